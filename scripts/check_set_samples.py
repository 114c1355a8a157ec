#!/usr/bin/env python3
"""Checks that tests/data/sets/<set>.marked is what scripts/reference_marks.py
gives for <set>.txt with the shipped patterns/<set>.pat and its alphabets,
for every set: a changed pattern file or alphabet without new samples
(scripts/make_set_samples.sh) fails here.

    check_set_samples.py SOURCE_DIR
"""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import reference_marks  # noqa: E402


def read(path):
    with open(path, "rb") as f:
        return f.read()


def main(argv):
    root = argv[1]
    sets = sorted(f[:-4] for f in os.listdir(os.path.join(root, "patterns")) if f.endswith(".pat"))
    bad = []
    for name in sets:
        pat = os.path.join(root, "patterns", name)
        sample = os.path.join(root, "tests/data/sets", name)
        if not os.path.exists(sample + ".txt"):
            bad.append("%s: no sample" % name)
            continue
        marker = reference_marks.Marker(reference_marks.load_patterns(read(pat + ".pat")),
                                        read(pat + ".small"), read(pat + ".large"))
        if marker.mark(read(sample + ".txt")) != read(sample + ".marked"):
            bad.append("%s: the reference marks the sample differently" % name)
    for line in bad:
        print(line)
    print("%d sets checked, %d out of date" % (len(sets), len(bad)))
    return 1 if bad or len(sets) < 50 else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
