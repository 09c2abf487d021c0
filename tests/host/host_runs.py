"""Running the host `dorvane` and `dorvane-sim` on a machine of their own."""

import os
import re
import subprocess
import tempfile

TIMEOUT = 20  # seconds; a run that takes longer hangs
WINE_TIMEOUT = 120  # Wine starts slowly, the more so many at once

REPORT = re.compile(
    rb"Exception (?P<cls>\w+) in module dorvane\.exe at [0-9A-F]{8}\.\r\n"
    rb"(?P<message>[^\r\n]*)\r\n\r\n\Z")


class Machine:
    """A simulated machine in a state file of a fresh directory."""

    def __init__(self, dorvane, dorvane_sim):
        self.dorvane = dorvane
        self.dorvane_sim = dorvane_sim
        self._directory = tempfile.TemporaryDirectory(prefix="dorvane-host-")
        self.env = dict(os.environ,
                        DORVANE_SIM_STATE=os.path.join(self._directory.name,
                                                       "machine"))
        self.sim("reset")

    def close(self):
        self._directory.cleanup()

    def sim(self, *args):
        done = subprocess.run([self.dorvane_sim, *args], env=self.env,
                              capture_output=True, timeout=TIMEOUT)
        if done.returncode != 0:
            raise RuntimeError(f"dorvane-sim {args}: {done.stderr!r}")
        return done.stdout.decode()

    def run(self, *args, **streams):
        """Runs dorvane with the given stdout/stderr; a CompletedProcess."""
        streams.setdefault("stdout", subprocess.PIPE)
        streams.setdefault("stderr", subprocess.PIPE)
        return subprocess.run([self.dorvane, *args], env=self.env,
                              timeout=TIMEOUT, **streams)

    def start(self, *args):
        return subprocess.Popen([self.dorvane, *args], env=self.env,
                                stdout=subprocess.PIPE, stderr=subprocess.PIPE)


def parse_report(stderr):
    """(class, message) of an uncaught-error report, or None."""
    match = REPORT.match(stderr)
    if match is None:
        return None
    return match.group("cls").decode(), match.group("message").decode()


class WineMachine:
    """dorvane.exe under Wine, on the machine that the Wine rig set up (the
    rig's environment must be in place: tools/wine/rig run ...)."""

    def __init__(self, exe):
        self.exe = exe
        self.env = dict(os.environ)
        self.wine = self.env.get("WINELOADER", "wine")  # the rig's leg

    def close(self):
        pass

    def run(self, *args, **streams):
        streams.setdefault("stdout", subprocess.PIPE)
        streams.setdefault("stderr", subprocess.PIPE)
        return subprocess.run([self.wine, self.exe, *args], env=self.env,
                              timeout=WINE_TIMEOUT, **streams)

    def start(self, *args):
        return subprocess.Popen([self.wine, self.exe, *args], env=self.env,
                                stdout=subprocess.PIPE, stderr=subprocess.PIPE)


def machine_from_arguments(arguments):
    """A Machine for "DORVANE DORVANE_SIM", a WineMachine for "--wine [EXE]"
    (by default the dorvane.exe of the rig's leg)."""
    if arguments[0] == "--wine":
        exe = (arguments[1] if len(arguments) > 1 else
               os.path.join(os.environ["DORVANE_WINE_BUILD"], "dorvane.exe"))
        return lambda: WineMachine(exe)
    return lambda: Machine(arguments[0], arguments[1])
