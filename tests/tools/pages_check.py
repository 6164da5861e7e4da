#!/usr/bin/env python3
"""The README and the manual pages against the programs they describe: every option the
launcher's, the game program's and morva-cli's help list is in their pages (and the launcher's in
the README too), the launcher answers -h and names itself as it was called, and the strength steps
the pages list are the game's one table (morva --strength-help), with the same ratings.

usage: pages_check.py --morva MORVA --launcher MORVA_LAUNCH --cli MORVA_CLI --source SOURCE_DIR
"""
import argparse
import os
import re
import subprocess
import sys
import tempfile


def read(path):
    with open(path, encoding="utf-8") as f:
        return f.read()


def options_of(program, *words):
    """The options a program's help lists at the start of its lines ("  --white ...")."""
    out = subprocess.run([program, *words], capture_output=True, text=True).stdout
    return re.findall(r"^  (?:-\w, )?(--[\w-]+)", out, re.M), out


def roff(text):
    """A manual page's source with its escapes of '-' undone and its spacing made plain."""
    return re.sub(r"\s+", " ", text.replace("\\-", "-").replace("\\fB", "").replace("\\fR", ""))


def check_options(args, failures):
    man = os.path.join(args.source, "packaging", "man")
    pages = {name: roff(read(os.path.join(man, name + ".in")))
             for name in ("morva.6", "morva-launch.6", "morva-cli.1")}
    readme = read(os.path.join(args.source, "README.md"))
    launched, _ = options_of(args.launcher, "--help")
    for option in launched:
        for where, text in (("morva.6", pages["morva.6"]), ("morva-launch.6", pages["morva-launch.6"]),
                            ("README", readme)):
            if option not in text:
                failures.append("%s: the launcher's %s is missing" % (where, option))
    played, _ = options_of(args.morva, "--help")
    for option in played:
        if option not in pages["morva.6"]:
            failures.append("morva.6: the game program's %s is missing" % option)
    _, commands = options_of(args.cli, "--help")
    for command in re.findall(r"^  morva-cli (\w+)", commands, re.M):
        if not re.search(r"\.BI? %s\b" % command, read(os.path.join(man, "morva-cli.1.in"))):
            failures.append("morva-cli.1: the command %s is missing" % command)
    short = subprocess.run([args.launcher, "-h"], capture_output=True, text=True)
    if short.returncode != 0 or not short.stdout.startswith("usage: morva-launch "):
        failures.append("morva-launch -h: status %d, %r" % (short.returncode, short.stdout[:60]))
    with tempfile.TemporaryDirectory() as scratch:  # typed as morva, it says morva
        os.symlink(os.path.abspath(args.launcher), os.path.join(scratch, "morva"))
        bad = subprocess.run([os.path.join(scratch, "morva"), "--bogus"], capture_output=True,
                             text=True)
        if bad.returncode != 2 or not bad.stderr.startswith("morva: unexpected argument"):
            failures.append("morva --bogus: status %d, %r" % (bad.returncode, bad.stderr))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--morva", required=True)
    parser.add_argument("--launcher", required=True)
    parser.add_argument("--cli", required=True)
    parser.add_argument("--source", required=True)
    args = parser.parse_args()
    failures = []
    check_options(args, failures)
    helped = subprocess.run([args.morva, "--strength-help"], capture_output=True, text=True,
                            check=True).stdout
    steps = {int(m[0]): (m[2:6], m[1]) for m in re.findall(
        r"^ +(\d+) +about (\d+) +(\d+) +(\d+) +(\d+) +(\d+) +\S+ +\d+$", helped, re.M)}
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
