"""The reference point for parasort's speed: the same collation through
PyICU sort keys, the usual way to sort lines by locale in Python.

    python3 pyicu_sort.py [--unique] FILE > OUTPUT
"""
import sys

import icu


def main() -> None:
    unique = "--unique" in sys.argv[1:]
    path = [argument for argument in sys.argv[1:] if argument != "--unique"][0]
    collator = icu.Collator.createInstance(icu.Locale("en_US"))
    collator.setStrength(icu.Collator.SECONDARY)
    collator.setAttribute(icu.UCollAttribute.NORMALIZATION_MODE, icu.UCollAttributeValue.ON)
    collator.setAttribute(icu.UCollAttribute.NUMERIC_COLLATION, icu.UCollAttributeValue.ON)
    collator.setAttribute(icu.UCollAttribute.ALTERNATE_HANDLING, icu.UCollAttributeValue.NON_IGNORABLE)
    with open(path, encoding="utf-8", newline="") as file:
        lines = file.read().split("\n")
    if lines and lines[-1] == "":
        lines.pop()
    keyed = sorted((collator.getSortKey(line), index, line) for index, line in enumerate(lines))
    out = []
    previous = None
    for key, _, line in keyed:
        if unique and key == previous:
            continue
        previous = key
        out.append(line)
    sys.stdout.write("\n".join(out) + "\n")


if __name__ == "__main__":
    main()
