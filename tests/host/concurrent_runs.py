#!/usr/bin/env python3
"""Concurrent runs on one machine: 32 creates started at once give 32
distinct disks and none is lost. On the host build every run holds the
machine's state for itself; under Wine the driver double serves them all.

    concurrent_runs.py PATH/TO/dorvane PATH/TO/dorvane-sim
    tools/wine/rig run tests/host/concurrent_runs.py --wine [EXE]

Under the rig, EXE defaults to the dorvane.exe of the leg it chose.
"""

import re
import sys
import unittest

from host_runs import WINE_TIMEOUT, machine_from_arguments

RUNS = 32
ADDED = re.compile(
    rb"Dorvane v0\.3 by [^\r\n]*\r\ndevice ([0-9A-F]{6,8}) added ok\r\n\Z")
NEW_MACHINE = machine_from_arguments(sys.argv[1:3])


class ConcurrentRuns(unittest.TestCase):

    def setUp(self):
        self.machine = NEW_MACHINE()
        self.addCleanup(self.machine.close)

    def test_creates_started_at_once_give_distinct_disks(self):
        runs = [self.machine.start("vm", "new", "1") for _ in range(RUNS)]
        numbers = []
        for run in runs:
            out, err = run.communicate(timeout=WINE_TIMEOUT)
            self.assertEqual(run.returncode, 0)
            self.assertEqual(err, b"")
            match = ADDED.match(out)
            self.assertIsNotNone(match, out)
            numbers.append(match.group(1))
        self.assertEqual(len(set(numbers)), RUNS)
        listed = self.machine.run("list")
        self.assertEqual(listed.returncode, 0)
        self.assertIn(f"\r\nok {RUNS} virtualdisk(s) found\r\n".encode(),
                      listed.stdout)
        # The list shows the first 16 of them, each one a disk just made.
        lines = listed.stdout.split(b"\r\n")[2:-1]
        self.assertEqual(len(lines), 16)
        for line in lines:
            self.assertIn(line.split(b"\t")[0], numbers)


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1] + sys.argv[3:])
