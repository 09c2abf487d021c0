#!/usr/bin/env python3
"""The host `dorvane` hands the tool every argument as it was given: one that
holds a byte the tool's splitter separates at (1 to 32), or none at all,
arrives whole.

    arguments.py PATH/TO/dorvane PATH/TO/dorvane-sim
"""

import sys
import unittest

from host_runs import Machine

BANNER = b"Dorvane v0.3 by dorvane@example.org\r\n"
TOOLS = sys.argv[1:3]


class ArgumentsArriveWhole(unittest.TestCase):
    def test_size_arguments(self):
        machine = Machine(*TOOLS)
        self.addCleanup(machine.close)
        for size in ["5\n", "1 0", "2\t", "\x01", ""]:
            with self.subTest(size=size):
                done = machine.run("vm", "new", size)
                self.assertEqual(
                    done.stdout, BANNER + b"AddVirtualDisk:'" +
                    size.encode() + b"' is not a valid integer value\r\n")
        self.assertNotIn("\ndisk ", machine.sim("show"))


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1])
