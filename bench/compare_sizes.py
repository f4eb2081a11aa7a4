"""Times parasort against GNU sort at sizes beyond the 1M-line corpus.

For each size, the two commands run in turn, round after round (so that a
slow moment of the machine hits both alike); prints the median wall time,
GNU sort's time over parasort's, and the median peak RSS against the input.
With a budget (-S), parasort's result is checked to be byte-identical to its
in-memory result of the same file.

    python3 compare_sizes.py PARASORT ROUNDS NAME:FILE[:BUDGET] ...
"""
import filecmp
import os
import statistics
import subprocess
import sys
import tempfile
import time


def measure(command, environment, output_path):
    """Wall seconds and peak RSS (MB) of one run."""
    with open(output_path, "wb") as output:
        start = time.perf_counter()
        finished = subprocess.run(["/usr/bin/time", "-f", "%M", *command], stdout=output, stderr=subprocess.PIPE,
                                  env=dict(os.environ, **environment), check=True)
        seconds = time.perf_counter() - start
    return seconds, int(finished.stderr.decode().strip().splitlines()[-1]) / 1024


def main() -> None:
    parasort, rounds, *cases = sys.argv[1:]
    rounds = int(rounds)
    gnu = {"LC_ALL": "en_US.UTF-8"}
    scratch = tempfile.mkdtemp()
    print("| input | budget | parasort (s) | sort -f (s) | sort -f / parasort | parasort peak RSS (MB) | RSS / input "
          "| sort -f peak RSS (MB) | same bytes as in memory |")
    print("|---|---|---:|---:|---:|---:|---:|---:|---|")
    for case in cases:
        name, path, *budget = case.split(":")
        size_option = ["-S", budget[0]] if budget else []
        ours = [parasort, "--locale", "en_US", *size_option, path]
        theirs = ["sort", "-f", *size_option, path]
        timings = {"ours": [], "theirs": []}
        result = os.path.join(scratch, "result")
        for round_number in range(rounds):
            timings["ours"].append(measure(ours, {}, result))
            timings["theirs"].append(measure(theirs, gnu, os.devnull))
            print(f"{name}: round {round_number + 1}/{rounds} done", file=sys.stderr)
        same = "-"
        if budget:
            in_memory = os.path.join(scratch, "in-memory")
            measure([parasort, "--locale", "en_US", path], {}, in_memory)
            same = "yes" if filecmp.cmp(result, in_memory, shallow=False) else "NO"
            os.remove(in_memory)
        input_mb = os.path.getsize(path) / (1024 * 1024)
        ours_s = statistics.median(s for s, _ in timings["ours"])
        theirs_s = statistics.median(s for s, _ in timings["theirs"])
        ours_rss = statistics.median(m for _, m in timings["ours"])
        theirs_rss = statistics.median(m for _, m in timings["theirs"])
        print(f"| {name} ({input_mb:.0f} MB) | {budget[0] if budget else 'default'} | {ours_s:.2f} | {theirs_s:.2f} "
              f"| {theirs_s / ours_s:.2f}x | {ours_rss:.0f} | {ours_rss / input_mb:.2f} | {theirs_rss:.0f} | {same} |",
              flush=True)
        os.remove(result)


if __name__ == "__main__":
    main()
