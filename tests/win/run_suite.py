"""Runs the Windows tests one GoogleTest suite at a time for ctest, so that
each suite reports its own counts and a suite whose tests all skipped shows
as skipped.

  run_suite.py run SUITE -- PROGRAM...
      runs PROGRAM --gtest_filter=SUITE.* with its results written to
      SUITE.xml in the current folder, prints "N passed, N failed, N skipped"
      and exits 0 (all passed, some may have skipped), 1 (a failure, a crash
      or no test of that name) or 77 (every test skipped)
  run_suite.py list SUITE... -- PROGRAM...
      fails unless PROGRAM --gtest_list_tests names exactly these suites, so
      that no suite goes without its ctest entry

PROGRAM is the emulator and the test program (and any fixed arguments).
Suites named SoundDevice... play through a private PulseAudio null sink,
started for them, so they run wherever the test command runs.
"""
import contextlib
import os
import re
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
from zvaudio import PulseSink  # noqa: E402

SKIPPED_EXIT = 77
DEVICE_SUITE_PREFIX = "SoundDevice"


def split_command(args):
    if "--" not in args:
        sys.exit("usage: run_suite.py run SUITE -- PROGRAM... | list SUITE... -- PROGRAM...")
    at = args.index("--")
    return args[:at], args[at + 1:]


@contextlib.contextmanager
def suite_environment(suite):
    """The program's environment: a sound server of its own for the suites
    that need a sound device."""
    if not suite.startswith(DEVICE_SUITE_PREFIX):
        yield None
        return
    with PulseSink() as sink:
        env = dict(os.environ)
        sink.apply(env)
        env["ZV_AUDIO_DEVICE"] = "1"
        yield env


def run_program(args, env=None):
    """(exit status, output) of the program. The output goes through a file:
    Wine's server and helper processes outlive the program for a while with
    its output handles, and ctest would wait for them to close a pipe."""
    with tempfile.TemporaryFile() as out:
        code = subprocess.call(args, stdout=out, stderr=subprocess.STDOUT, env=env)
        out.seek(0)
        # A Windows program writes CR LF to a file.
        return code, out.read().decode("utf-8", "replace").replace("\r\n", "\n")


def count_results(path):
    """(passed, failed, skipped, skipped names with their messages) from GoogleTest's XML."""
    passed, failed, skipped, notes = 0, 0, 0, []
    for case in ET.parse(path).getroot().iter("testcase"):
        name = "%s.%s" % (case.get("classname"), case.get("name"))
        skip = case.find("skipped")
        if case.find("failure") is not None or case.find("error") is not None:
            failed += 1
        elif skip is not None or case.get("result") == "skipped" or case.get("status") == "notrun":
            skipped += 1
            message = skip.get("message", "") if skip is not None else "not run"
            notes.append("skipped %s: %s" % (name, message.strip().splitlines()[-1] if message.strip() else ""))
        else:
            passed += 1
    return passed, failed, skipped, notes


def run_suite(suite, program):
    result = os.path.abspath(suite + ".xml")
    if os.path.exists(result):
        os.remove(result)
    # A relative path: the program sees it through Wine's drive of the
    # current folder, whatever the Unix path looks like.
    with suite_environment(suite) as env:
        code, out = run_program(program + ["--gtest_brief=1", "--gtest_filter=%s.*" % suite,
                                           "--gtest_output=xml:%s.xml" % suite], env)
    sys.stdout.write(out)
    if not os.path.exists(result):
        print("%s: no results (the program ended with %d before writing them)" % (suite, code))
        return 1
    passed, failed, skipped, notes = count_results(result)
    for note in notes:
        print(note)
    print("%d passed, %d failed, %d skipped" % (passed, failed, skipped))
    if failed:
        return 1
    if code != 0:
        print("%s: the program ended with %d" % (suite, code))
        return 1
    if passed + skipped == 0:
        print("%s: no such suite in the program" % suite)
        return 1
    return SKIPPED_EXIT if passed == 0 else 0


def listed_suites(program):
    code, out = run_program(program + ["--gtest_list_tests"])
    if code != 0:
        sys.exit("%s--gtest_list_tests ended with %d" % (out, code))
    # A suite's line is its name and a dot (and perhaps a type comment);
    # its tests follow indented. gtest_main's greeting is neither.
    return {match.group(1) for match in re.finditer(r"^([A-Za-z_]\w*)\.(?:[ \t]|$)", out, re.M)}


def check_list(expected, program):
    actual = listed_suites(program)
    expected = set(expected)
    for suite in sorted(actual - expected):
        print("suite %s has no ctest entry (its TEST line was not recognised)" % suite)
    for suite in sorted(expected - actual):
        print("suite %s has a ctest entry but is not in the program" % suite)
    print("%d suites in the program, %d ctest entries" % (len(actual), len(expected)))
    return 0 if actual == expected else 1


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    names, program = split_command(sys.argv[2:])
    if sys.argv[1] == "run" and len(names) == 1 and program:
        return run_suite(names[0], program)
    if sys.argv[1] == "list" and names and program:
        return check_list(names, program)
    sys.exit(__doc__)


if __name__ == "__main__":
    sys.exit(main())
