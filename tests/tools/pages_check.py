#!/usr/bin/env python3
"""The README and the manual pages against the programs they describe: the strength steps they
list are the game's one table (morva --strength-help), with the same numbers and ratings.

usage: pages_check.py --morva MORVA --source SOURCE_DIR
"""
import argparse
import os
import re
import subprocess
import sys


def read(path):
    with open(path, encoding="utf-8") as f:
        return f.read()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--morva", required=True)
    parser.add_argument("--source", required=True)
    args = parser.parse_args()
    failures = []
    helped = subprocess.run([args.morva, "--strength-help"], capture_output=True, text=True,
                            check=True).stdout
    steps = {int(m[0]): (m[1:5], m[5]) for m in re.findall(
        r"^ +(\d+) +(\d+) +(\d+) +(\d+) +(\d+) +about (\d+)$", helped, re.M)}
    if not steps:
        print("FAIL: morva --strength-help lists no step:\n" + helped)
        return 1
    ratings = [steps[n][1] for n in sorted(steps)]
    first, last = min(steps), max(steps)

    readme = read(os.path.join(args.source, "README.md"))
    rows = {int(m[0]): m[1] for m in re.findall(
        r"^\| (\d+) \| [^|]+ \| about (\d+) \|", readme, re.M)}
    if rows != {n: steps[n][1] for n in steps}:
        failures.append("README's strength table %s, the game's %s" % (rows, steps))
    if "morva --strength %d " % first not in readme or "%d to %d" % (first, last) not in readme:
        failures.append("README: the range of --strength is not %d to %d" % (first, last))

    man = os.path.join(args.source, "packaging", "man")
    listed = ", ".join(ratings[:-1]) + " and " + ratings[-1]
    launch = re.sub(r"\s+", " ", read(os.path.join(man, "morva-launch.6.in")))
    if "about " + listed not in launch:
        failures.append("morva-launch(6) does not list the ratings 'about %s'" % listed)
    for page in ("morva.6.in", "morva-launch.6.in"):
        text = re.sub(r"\s+", " ", read(os.path.join(man, page)))
        if "from %d (a first game) to %d" % (first, last) not in text:
            failures.append("%s: --strength is not from %d to %d" % (page, first, last))

    for failure in failures:
        print("FAIL: " + failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
