"""Times parasort against GNU sort and PyICU on the generated corpus.

Runs every command in turn, round after round (interleaved, so that a slow
moment of the machine hits all of them alike), and prints the median wall
time, the ratio to parasort and the median peak RSS of each.

    python3 compare.py BUILD_DIR CORPUS_1M CORPUS_100K [ROUNDS [NUMBERED_1M]]

NUMBERED_1M (make_corpus 1000000 SEED numbered) adds -n on its numeric
column against GNU sort -n in the C locale.
"""
import os
import statistics
import subprocess
import sys
import time


def measure(command, output_path):
    """Wall seconds and peak RSS (MB) of one run."""
    with open(output_path, "wb") as output:
        start = time.perf_counter()
        finished = subprocess.run(["/usr/bin/time", "-f", "%M", *command], stdout=output,
                                  stderr=subprocess.PIPE, check=True)
        seconds = time.perf_counter() - start
    peak_kb = int(finished.stderr.decode().strip().splitlines()[-1])
    return seconds, peak_kb / 1024


def main() -> None:
    build, corpus, small_corpus = sys.argv[1:4]
    rounds = int(sys.argv[4]) if len(sys.argv) > 4 else 5
    numbered = sys.argv[5] if len(sys.argv) > 5 else None
    parasort = os.path.join(build, "cli", "parasort")
    here = os.path.dirname(os.path.abspath(__file__))
    gnu = {"LC_ALL": "en_US.UTF-8"}
    commands = {
        "parasort": ([parasort, "--locale", "en_US", corpus], {}),
        "parasort --unique": ([parasort, "--unique", "--locale", "en_US", corpus], {}),
        "parasort (100k lines)": ([parasort, "--locale", "en_US", small_corpus], {}),
        "parasort -k 2": ([parasort, "-k", "2", "--locale", "en_US", corpus], {}),
        "sort -f": (["sort", "-f", corpus], gnu),
        "sort -f -k 2": (["sort", "-f", "-k", "2", corpus], gnu),
        "sort -f -u": (["sort", "-f", "-u", corpus], gnu),
        "PyICU sort keys": (["/usr/bin/python3", os.path.join(here, "pyicu_sort.py"), corpus], {}),
        "PyICU sort keys, unique": (["/usr/bin/python3", os.path.join(here, "pyicu_sort.py"), "--unique", corpus], {}),
    }
    if numbered:
        commands["parasort -n (numbered)"] = ([parasort, "-n", "--locale", "en_US", numbered], {})
        commands["LC_ALL=C sort -n (numbered)"] = (["sort", "-n", numbered], {"LC_ALL": "C"})
    results = {name: [] for name in commands}
    for round_number in range(rounds):
        for name, (command, environment) in commands.items():
            env = dict(os.environ, **environment)
            if environment:
                command = ["env", *[f"{k}={v}" for k, v in environment.items()], *command]
            results[name].append(measure(command, os.devnull))
        print(f"round {round_number + 1}/{rounds} done", file=sys.stderr)

    input_mb = os.path.getsize(corpus) / (1024 * 1024)
    median = {name: statistics.median(s for s, _ in runs) for name, runs in results.items()}
    rss = {name: statistics.median(m for _, m in runs) for name, runs in results.items()}
    baseline = {"parasort": "parasort", "parasort --unique": "parasort --unique",
                "parasort (100k lines)": "parasort (100k lines)", "parasort -k 2": "parasort",
                "sort -f -k 2": "parasort -k 2", "sort -f": "parasort",
                "sort -f -u": "parasort --unique", "PyICU sort keys": "parasort",
                "PyICU sort keys, unique": "parasort --unique",
                "parasort -n (numbered)": "parasort -n (numbered)",
                "LC_ALL=C sort -n (numbered)": "parasort -n (numbered)"}
    print(f"corpus: {input_mb:.1f} MB, {rounds} rounds, medians\n")
    print(f"| command | wall time (s) | vs parasort | peak RSS (MB) | RSS / input |")
    print(f"|---|---:|---:|---:|---:|")
    for name in commands:
        ratio = median[name] / median[baseline[name]]
        print(f"| {name} | {median[name]:.3f} | {ratio:.2f}x | {rss[name]:.0f} | {rss[name] / input_mb:.2f} |")
    growth = median["parasort"] / median["parasort (100k lines)"]
    print(f"\n1M lines take {growth:.1f}x the time of 100k lines (n log n allows up to 12x).")


if __name__ == "__main__":
    main()
