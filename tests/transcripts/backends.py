"""The two machines a transcript runs on.

host: the host build's dorvane on the simulated machine, through
      dorvane-sim reset and dorvane-sim run 'RAW LINE'.
wine: the real dorvane.exe under Wine against the driver double, started by
      the launcher with the exact raw line. The rig (tools/wine/rig up) must
      have made the prefix, built the doubles and loaded the machine's ports.
"""

import os
import re
import shutil
import subprocess
import time

DEVCON_WAIT = 15  # seconds for a launched devcon.exe to finish under Wine


def run_program(command, cwd, env, to_file):
    """The command's output; with to_file its standard output goes to a
    file beside cwd, as "> out" sends it, and is read back from there."""
    if not to_file:
        return subprocess.run(command, cwd=cwd, env=env, capture_output=True,
                              check=False)
    path = os.path.join(cwd, "..", os.path.basename(cwd) + ".stdout")
    with open(path, "wb") as out:
        done = subprocess.run(command, cwd=cwd, env=env, stdout=out,
                              stderr=subprocess.PIPE, check=False)
    with open(path, "rb") as out:
        done.stdout = out.read()
    return done


class Result:
    def __init__(self, stdout, stderr, exit_code):
        self.stdout = stdout
        self.stderr = stderr
        self.exit = exit_code


def unescape(field):
    """A text field of the simulated machine's records: %XX escapes, and
    "-" alone for the empty text."""
    if field == b"-":
        return b""
    return re.sub(rb"%([0-9A-F]{2})", lambda m: bytes([int(m.group(1), 16)]),
                  field)


def windows_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


class HostBackend:
    name = "host"

    def __init__(self, build_dir, scratch):
        self.sim = os.path.abspath(os.path.join(build_dir, "dorvane-sim"))
        self.env = dict(os.environ,
                        DORVANE_SIM_STATE=os.path.join(scratch, "machine"))

    def _sim(self, args, cwd):
        return subprocess.run([self.sim] + args, cwd=cwd, env=self.env,
                              capture_output=True, check=False)

    def _setup(self, args, cwd):
        done = self._sim(args, cwd)
        if done.returncode != 0:
            raise RuntimeError(f"dorvane-sim {' '.join(args)} failed: " +
                               done.stderr.decode(errors="replace"))

    def reset(self, case, cwd):
        args = ["reset"]
        if not case.driver:
            args.append("--no-driver")
        if case.not_nt:
            args.append("--not-nt")
        if case.codepage is not None:
            args += ["--codepage", str(case.codepage)]
        if case.module is not None:
            args += ["--module", os.fsdecode(case.module.encode(case.ansi))]
        self._setup(args, cwd)
        if case.ports:
            self._setup(["ports"] + case.ports, cwd)

    def inject(self, case, cwd):
        for fail in case.fails:
            self._setup(["fail"] + fail, cwd)

    def unused_failures(self, cwd):
        """The injected failures that no call consumed: a case that injects
        one must reach it, or it tests nothing."""
        shown = self._sim(["show"], cwd).stdout.decode("ascii", "replace")
        return [line for line in shown.split("\n")
                if line.startswith("fail ")]

    def close(self):
        pass

    def run(self, line, cwd, to_file=False):
        done = run_program([self.sim, b"run", line], cwd, self.env, to_file)
        return Result(done.stdout, done.stderr, done.returncode)

    def devcon_log(self, cwd, count):
        """What the simulated devcon.exe was given, as the double logs it:
        the machine's launch records (dorvane-sim show prints the records
        of its state file; simulator/machine_text.cpp describes them)."""
        shown = self._sim(["show"], cwd).stdout
        log = []
        for line in shown.split(b"\n"):
            fields = line.split(b" ")
            # launch RESULT FILE PARAMETERS OUTCOME
            if fields[0] != b"launch" or unescape(fields[2]) != b"devcon.exe":
                continue
            # The tool hands devcon.exe text in the ANSI code page, 1252.
            params, outcome = (unescape(field).decode("cp1252", "replace")
                               for field in fields[3:5])
            log.append(f"{params} -> {outcome}")
        return log


class WineBackend:
    name = "wine"

    def __init__(self, exe, doubles_dir, scratch):
        self.built_exe = exe
        self.exe = windows_path(exe)
        doubles_dir = os.path.abspath(doubles_dir)
        self.launcher = os.path.join(doubles_dir, "launch.exe")
        self.devcon = os.path.join(doubles_dir, "devcon.exe")
        self.scratch = scratch
        self.env = dict(os.environ, WINEDEBUG="-all",
                        WINEDLLOVERRIDES="mscoree,mshtml=")
        self.env.pop("DISPLAY", None)
        if "WINEPREFIX" not in self.env or "WINELOADER" not in self.env:
            raise RuntimeError("the rig's environment is not set: run through "
                               "tools/wine/rig run, or after tools/wine/rig up "
                               "with eval \"$(tools/wine/rig env)\"")
        # The leg's Wine: 32-bit or 64-bit, as the rig chose.
        self.wine = self.env["WINELOADER"]
        self.launches = 0
        self.version = ""  # unknown: the first case sets it either way
        self.run_env = self.env
        self.run_exe = self.exe

    def _devcon(self, args):
        done = subprocess.run([self.wine, self.devcon] + args, cwd=self.scratch,
                              env=self.env, capture_output=True, check=False)
        return done.stdout.decode(errors="replace").strip()

    def reset(self, case, cwd):
        # A fresh load of the driver double is a fresh adapter: no disks,
        # and the lowest free port number, as on the simulated machine.
        self._devcon(["remove", "ROOT\\PhDskMnt"])
        self._set_windows_version("win98" if case.not_nt else None)
        self.run_env = dict(self.env, **case.wine_env)
        self.run_exe = self.exe
        if case.exe_folder:  # a copy, run from the folder the case names
            folder = os.path.join(cwd, case.exe_folder)
            os.makedirs(folder)
            shutil.copy(self.built_exe, folder)
            self.run_exe = windows_path(os.path.join(folder, "dorvane.exe"))
        if any(name.startswith(("LANG", "LC_")) for name in case.wine_env):
            self.run_env["LOCPATH"] = self._locales(case.wine_env.values())
        if case.driver:
            outcome = self._devcon(["install", "rig.inf", "ROOT\\PhDskMnt"])
            if outcome != "driver installed":
                raise RuntimeError("the driver double did not load: " +
                                   outcome)
        self.launches = 0

    def inject(self, case, cwd):
        del case, cwd  # nothing to inject under Wine (Case.runs_on)

    def unused_failures(self, cwd):
        del cwd
        return []

    def close(self):
        self._set_windows_version(None)

    def _set_windows_version(self, version):
        """Wine's Windows version for dorvane.exe alone; None: the prefix's."""
        if version == self.version:
            return
        key = "HKCU\\Software\\Wine\\AppDefaults\\dorvane.exe"
        args = (["add", key, "/v", "Version", "/d", version, "/f"] if version
                else ["delete", key, "/f"])
        subprocess.run([self.wine, "reg"] + args, env=self.env,
                       capture_output=True, check=False)
        self.version = version

    def _locales(self, settings):
        """A folder with the locales the settings name, built as needed."""
        folder = os.path.join(self.scratch, "locales")
        for setting in settings:
            name, _, charmap = setting.partition(".")
            if not charmap or os.path.isdir(os.path.join(folder, setting)):
                continue
            os.makedirs(folder, exist_ok=True)
            done = subprocess.run(["localedef", "-i", name, "-f", charmap,
                                   os.path.join(folder, setting)],
                                  capture_output=True, check=False)
            if done.returncode > 1:  # 1: built, with warnings
                raise RuntimeError(f"localedef {setting}: " +
                                   done.stderr.decode(errors="replace"))
        return folder

    def run(self, line, cwd, to_file=False):
        line_file = os.path.join(cwd, "..", os.path.basename(cwd) + ".line")
        with open(line_file, "wb") as f:
            f.write(line)
        done = run_program(
            [self.wine, self.launcher, self.run_exe, windows_path(line_file)],
            cwd, self.run_env, to_file)
        # The shell does not wait for devcon.exe; a user would, so does this.
        started = done.stdout.count(b"driver installation ok\r\n") + \
            done.stdout.count(b"driver uninstallation ok\r\n")
        if started:
            self.launches += started
            self._wait_for_devcon(cwd)
        return Result(done.stdout, done.stderr, done.returncode)

    def _read_log(self, cwd):
        try:
            with open(os.path.join(cwd, "devcon.log"), "rb") as f:
                text = f.read().decode("cp1252")
        except FileNotFoundError:
            return []
        return [line for line in text.split("\n") if line]

    def _wait_for_devcon(self, cwd):
        deadline = time.monotonic() + DEVCON_WAIT
        while (len(self._read_log(cwd)) < self.launches and
               time.monotonic() < deadline):
            time.sleep(0.05)

    def devcon_log(self, cwd, count):
        del count
        return self._read_log(cwd)
