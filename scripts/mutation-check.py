#!/usr/bin/env python3
"""Plants small faults (mutants) in the lab's code one at a time and checks
that the tests notice each one.

For every mutant the script changes one line of a scratch copy of the
current commit (a comparison flipped, `<` for `<=`, a constant nudged, `+`
for `-`, `&&` for `||`, a statement removed), rebuilds, runs the tests that
cover that part of the code and restores the line. A mutant is killed when a
test fails; one that does not compile is left out of the count. At the end
it prints, for each part, `killed K of N` and the survivors, so that each can
be shown equivalent or killed by a sharper test.

    scripts/mutation-check.py [--per-part N] [--part NAME ...] [--seed S]

It builds in its own folder (build-mutation/ beside a scratch copy of HEAD
in build-mutation/source), so it can run while you work. A full run takes
an hour or more on two cores; --per-part makes it shorter. It is a tool for
developers and not part of the test command.
"""

import argparse
import os
import random
import re
import shutil
import subprocess
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
WORK = os.path.join(ROOT, "build-mutation")
SOURCE = os.path.join(WORK, "source")
BUILD = os.path.join(WORK, "build")

# Each part: the folders whose .cpp files get mutants, and the tests (CTest
# names) that guard them.
PARTS = {
    "shared pieces": (["shell/core"],
                      ["tst_scatter", "tst_charge", "tst_kit", "tst_experiment1", "tst_experiment2", "tst_sweep",
                       "tst_kits", "tst_answerkey", "tst_notebook", "tst_instructortools"]),
    "experiments": (["experiment1", "experiment2"],
                    ["tst_experiment1", "tst_experiment2", "tst_sweep", "tst_kits", "tst_answerkey",
                     "tst_instructortools"]),
    "session": (["shell/session"], ["tst_entries", "tst_windows", "tst_answerkey", "tst_labcommandline", "tst_notebook"]),
    "notebook": (["notebook", "plot"], ["tst_notebook", "tst_instructortools", "tst_travellingnotebooks",
                                        "tst_classtools"]),
    "instructors' tools": (["answerkey", "worksheet"],
                           ["tst_answerkey", "tst_instructortools", "tst_travellingnotebooks", "tst_classtools"]),
    "metafile reader": (["metafile/src"],
                        ["tst_wmfreading", "tst_wmfdrawing", "tst_wmfcorpus", "tst_wmfbitmaps", "tst_wmftext",
                         "tst_wmfgolden", "tst_metafilerender", "tst_chargepictures"]),
}

# The writer is the picture generator's; the reader is what the lab runs.
SKIPPED_FILES = {"wmfwriter.cpp"}

RELATIONS = [(" <= ", " < "), (" < ", " <= "), (" >= ", " > "), (" > ", " >= "), (" == ", " != "),
             (" != ", " == ")]
OPERATORS = [(" + ", " - "), (" - ", " + "), (" && ", " || "), (" || ", " && "), (" * ", " / ")]
# A number, but not the digits of an exponent ("1e-05").
STRING = re.compile(r'"(?:\\.|[^"\\])*"')
NUMBER = re.compile(r"(?<![\w.])(?<!e-)(\d+\.\d+|\d+)(?![\w.])")


def code_lines(path):
    """Line numbers worth mutating: inside functions, not comments,
    includes, or plain declarations of constants' names."""
    with open(path, encoding="utf-8") as handle:
        lines = handle.read().split("\n")
    depth = 0
    wanted = []
    for number, line in enumerate(lines):
        stripped = line.strip()
        if depth > 0 and stripped and not stripped.startswith(("//", "#", "*", "case ", "default:")):
            wanted.append(number)
        depth += line.count("{") - line.count("}")
    return lines, wanted


def mutants_of(path):
    lines, wanted = code_lines(path)
    found = []
    for number in wanted:
        line = lines[number]
        code_part = line.split("//")[0]
        if "assert" in code_part.lower():
            continue
        # An operator inside a text is part of the text, not of the code.
        texts = [match.span() for match in STRING.finditer(code_part)]
        for old, new in RELATIONS + OPERATORS:
            start = code_part.find(old)
            while start >= 0:
                if not any(begin <= start < end for begin, end in texts):
                    found.append((number, line[:start] + new + line[start + len(old):],
                                  f"'{old.strip()}' -> '{new.strip()}'"))
                start = code_part.find(old, start + 1)
        # Numbers inside texts belong to the texts, which golden tables check.
        if '"' not in code_part:
            for match in NUMBER.finditer(code_part):
                text = match.group(1)
                nudged = str(int(text) + 1) if "." not in text else repr(float(text) * 1.01)
                if float(nudged) == float(text):
                    continue  # 0.0 stays 0.0: no mutant
                found.append((number, line[:match.start()] + nudged + line[match.end():], f"{text} -> {nudged}"))
        if code_part.rstrip().endswith(";") and not re.match(r"\s*(return|const |auto |[\w:<>]+ [\w&*]+ = )", code_part) \
                and "{" not in code_part and "}" not in code_part:
            found.append((number, "", "statement removed"))
    return lines, found


def run(command, cwd, timeout=1800):
    return subprocess.run(command, cwd=cwd, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True,
                          timeout=timeout)


def prepare():
    if os.path.isdir(SOURCE):
        shutil.rmtree(SOURCE)
    os.makedirs(SOURCE)
    archive = subprocess.run(["git", "-C", ROOT, "archive", "HEAD"], stdout=subprocess.PIPE, check=True).stdout
    # -m: the files get the time of extraction, not of the commit, so that a
    # build left holding a mutant by an interrupted run is rebuilt.
    subprocess.run(["tar", "-x", "-m", "-C", SOURCE], input=archive, check=True)
    run(["cmake", "-S", SOURCE, "-B", BUILD, "-G", "Ninja", "-DCMAKE_BUILD_TYPE=RelWithDebInfo",
         "-DLAB_BENCHMARKS=OFF"], ROOT)
    built = run(["cmake", "--build", BUILD], ROOT)
    if built.returncode != 0:
        sys.exit("the unmutated tree does not build:\n" + built.stdout[-3000:])


def build(tests):
    return run(["cmake", "--build", BUILD, "--target", *tests], ROOT).returncode == 0


def tests_pass(tests):
    pattern = "^(" + "|".join(tests) + ")$"
    result = run(["ctest", "--test-dir", BUILD, "-R", pattern, "--timeout", "300", "--stop-on-failure"], ROOT)
    return result.returncode == 0


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--per-part", type=int, default=80, help="mutants sampled per part (default 80)")
    parser.add_argument("--part", action="append", choices=sorted(PARTS), help="only these parts")
    parser.add_argument("--seed", type=int, default=1, help="which sample of mutants (default 1)")
    arguments = parser.parse_args()

    prepare()
    summary = []
    for part in arguments.part or list(PARTS):
        folders, tests = PARTS[part]
        # The binaries may still hold the last part's last mutant.
        if not build(tests) or not tests_pass(tests):
            sys.exit(f"{part}: the tests fail without any mutant")
        candidates = []
        for folder in folders:
            for name in sorted(os.listdir(os.path.join(SOURCE, folder))):
                if name.endswith(".cpp") and name not in SKIPPED_FILES:
                    path = os.path.join(SOURCE, folder, name)
                    for number, replacement, what in mutants_of(path)[1]:
                        candidates.append((os.path.join(folder, name), number, replacement, what))
        sample = random.Random(arguments.seed).sample(candidates, min(arguments.per_part, len(candidates)))
        killed, survivors, uncompiled = 0, [], 0
        started = time.time()
        for relative, number, replacement, what in sorted(sample):
            path = os.path.join(SOURCE, relative)
            with open(path, encoding="utf-8") as handle:
                original = handle.read()
            lines = original.split("\n")
            lines[number] = replacement
            try:
                with open(path, "w", encoding="utf-8") as handle:
                    handle.write("\n".join(lines))
                if not build(tests):
                    uncompiled += 1
                    continue
                where = f"{relative}:{number + 1}: {what}"
                if tests_pass(tests):
                    survivors.append(where)
                    print(f"  survived  {where}", flush=True)
                else:
                    killed += 1
                    print(f"  killed    {where}", flush=True)
            finally:
                with open(path, "w", encoding="utf-8") as handle:
                    handle.write(original)
        total = killed + len(survivors)
        summary.append((part, killed, total, survivors, uncompiled, time.time() - started))
        print(f"{part}: killed {killed} of {total} ({uncompiled} did not compile)", flush=True)
    print()
    for part, killed, total, survivors, uncompiled, seconds in summary:
        share = 100.0 * killed / total if total else 100.0
        print(f"{part}: killed {killed} of {total} ({share:.0f} %), {uncompiled} did not compile, {seconds / 60:.0f} min")
        for survivor in survivors:
            print(f"    survivor: {survivor}")


if __name__ == "__main__":
    main()
