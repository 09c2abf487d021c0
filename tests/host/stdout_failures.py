#!/usr/bin/env python3
"""Failed writes on standard output of the host `dorvane`: a closed pipe,
/dev/full, a closed descriptor and a console (a pseudo terminal) whose other
end is gone, buffered and line by line. A failed write raises EInOutError:
inside a command its handler reports it, outside it ends the run with the
uncaught-error report and exit code 1. No run may hang.

    stdout_failures.py PATH/TO/dorvane PATH/TO/dorvane-sim
"""

import os
import pty
import subprocess
import sys
import tty
import unittest

from host_runs import Machine, parse_report

BANNER = b"Dorvane v0.3 by dorvane@example.org\r\n"
TOOLS = sys.argv[1:3]


def closed_pipe():
    """The write end of a pipe whose read end is closed."""
    read_end, write_end = os.pipe()
    os.close(read_end)
    return write_end


def dead_console():
    """A pseudo terminal whose controlling side is closed."""
    controller, terminal = pty.openpty()
    os.close(controller)
    return terminal


def dev_full():
    return os.open("/dev/full", os.O_WRONLY)


def disk_records(shown):
    """The driver's disks among the records of the machine's state file, as
    dorvane-sim show prints them."""
    return [line for line in shown.splitlines() if line.startswith("disk ")]


class StdoutFailures(unittest.TestCase):

    def setUp(self):
        self.machine = Machine(*TOOLS)
        self.addCleanup(self.machine.close)

    def run_on(self, stdout_fd, *args, stderr_fd=None):
        """Runs dorvane on the descriptors, which are closed afterwards."""
        streams = {"stdout": stdout_fd}
        if stderr_fd is not None:
            streams["stderr"] = stderr_fd
        try:
            return self.machine.run(*args, **streams)
        finally:
            for fd in streams.values():
                os.close(fd)

    def test_a_failed_write_outside_any_handler_ends_the_run(self):
        # (where stdout goes, Windows error of the failed write, command)
        cases = [
            (closed_pipe, 232, ["driver", "check"]),
            (closed_pipe, 232, ["list"]),
            (closed_pipe, 232, []),
            (dev_full, 112, ["driver", "check"]),
            (dev_full, 112, ["list"]),
            (dev_full, 112, []),
            # A console writes each line at once: the banner fails.
            (dead_console, 29, ["list"]),
            (dead_console, 29, ["vm", "new", "1"]),
        ]
        for _ in range(17):  # more disks than one 128-byte buffer holds
            self.machine.run("vm", "new", "1")
        for stdout, error, args in cases:
            with self.subTest(stdout=stdout.__name__, args=args):
                done = self.run_on(stdout(), *args)
                self.assertEqual(done.returncode, 1)
                self.assertEqual(parse_report(done.stderr),
                                 ("EInOutError", f"I/O error {error}."))

    def test_a_closed_descriptor_fails_like_a_closed_handle(self):
        done = self.machine.run("vm", "new", "1", stdout=subprocess.DEVNULL,
                                preexec_fn=lambda: os.close(1))
        self.assertEqual(done.returncode, 1)
        self.assertEqual(parse_report(done.stderr),
                         ("EInOutError", "I/O error 6."))
        # The machine's own files took none of the output.
        self.assertEqual(len(disk_records(self.machine.sim("show"))), 1)

    def test_a_write_error_inside_a_command_is_its_failure_line(self):
        controller, terminal = pty.openpty()
        tty.setraw(terminal)
        self.addCleanup(os.close, controller)
        # The banner goes out, the command's own line fails once.
        self.machine.sim("fail", "WriteFile", "112", "1", "--after", "1")
        done = self.run_on(terminal, "vm", "new", "1")
        self.assertEqual(done.returncode, 0)
        self.assertEqual(done.stderr, b"")
        out = os.read(controller, 4096)
        self.assertEqual(out, BANNER + b"AddVirtualDisk:I/O error 112\r\n")
        # The disk was made all the same; only its line was lost.
        self.assertEqual(len(disk_records(self.machine.sim("show"))), 1)

    def test_a_report_that_cannot_be_written_still_ends_with_1(self):
        read_end, write_end = os.pipe()
        self.addCleanup(os.close, read_end)
        done = self.run_on(write_end, "vm", "remove", "zz",
                           stderr_fd=dev_full())
        self.assertEqual(done.returncode, 1)
        self.assertEqual(os.read(read_end, 4096), BANNER)
        done = self.run_on(dev_full(), "list", stderr_fd=closed_pipe())
        self.assertEqual(done.returncode, 1)

if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1] + sys.argv[3:])
