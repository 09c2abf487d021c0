"""Transcript cases: reading the plain-text case files and matching output.

A case file holds cases one after another:

    === driver check finds the adapter
    driver: absent              set-up, optional: the driver is not loaded
    file: b.img 3145728         set-up, optional: a file of that many bytes
    dir: sub                    set-up, optional: a directory
    devcon: yes                 set-up, optional: devcon.exe (the double);
                                "not-a-program": a devcon.exe of text
    dated: devcon.exe 1970-01-02
                                set-up, optional: the last-write day (UTC)
                                of a file the set-up made
    machine: not-nt             set-up, optional: Windows that is not NT
                                (under Wine: the program's Windows version
                                set to win98)
    wine-env: LANG=en_US.UTF-8  set-up, optional: the environment of Wine's
                                runs (locales are built as needed); the
                                simulated machine has no locale to set
    fail: WriteFile 112 1 --after 1
                                set-up, optional, host only: a failure
                                injected as dorvane-sim fail does
    port: scsi7: \\Device\\Scsi\\PhDskMnt1 driver-adapter
                                set-up, optional, host only, one a port:
                                the case's ports replace the machine's, as
                                dorvane-sim ports does
    codepage: 65001             set-up, optional, host only: the machine's
                                ANSI code page, in which the command lines
                                and standard output of the case are written
    only: wine                  optional: run the case on one backend only
    before: dorvane vm new 1    optional: a raw command line run first;
                                it must end with exit code 0, its output
                                is not compared
    run: dorvane driver check   the raw command line, byte for byte
    --- stdout
    Dorvane v0.3 by dorvane@example.org
    \\\\.\\scsi2: found
    --- stderr
    --- devcon                  optional: what devcon.exe was given, and
    remove ROOT\\PhDskMnt -> driver removed     what came of it
    --- exit 0

A case may hold several run: steps, each with its own blocks. Every line of
a stdout or stderr block stands for that text followed by CR LF, but for a
line that ends in <NOEOL>; a block ends only at the next "---" line, so
empty lines inside it count. In all texts <TAB> is a TAB and {cwd} the
case's current directory as Windows names it (Z:\\tmp\\...). In stderr,
<HEX8> stands for any eight upper-case hexadecimal digits (the code offset
of the uncaught-error report, which differs between builds by
construction), <ADDRESS> for eight to sixteen (a bare code address, which
a 64-bit build prints whole). Files are UTF-8; command lines and standard
output are compared in the machine's ANSI code page (1252 unless the case says
otherwise) and standard error in its OEM code page, as the report goes
through CharToOemA. A case that needs what only the simulated machine can
set up (fail:, port:, codepage:) is skipped under Wine. Lines outside
blocks that are empty or start with # are ignored.
"""

import re

ANSI = "cp1252"
NO_LINE_END = "<NOEOL>"
OEM = "cp437"  # é, ü, ... sit at the same places in 437 and 850


class CaseError(Exception):
    pass


class Step:
    def __init__(self, line):
        self.line = line
        self.stdout = None
        self.stderr = None
        self.devcon = None
        self.exit = None


class Case:
    def __init__(self, name, origin):
        self.name = name
        self.origin = origin
        self.driver = True
        self.files = []  # (name, size)
        self.dirs = []
        self.devcon = False  # or True, or "not-a-program"
        self.dated = []  # (name, "YYYY-MM-DD")
        self.not_nt = False
        self.wine_env = {}
        self.fails = []  # dorvane-sim fail arguments
        self.codepage = None
        self.ports = []  # dorvane-sim ports arguments, three a port
        self.only = None
        self.before = []
        self.steps = []

    @property
    def ansi(self):
        """The encoding of the case's command lines and standard output."""
        return {None: ANSI, 1252: ANSI, 65001: "utf-8"}[self.codepage]

    def runs_on(self, backend):
        if self.only is not None:
            return backend == self.only
        return backend == "host" or not (self.fails or self.ports or
                                          self.codepage)


SETUP_KEYS = ("driver", "file", "dir", "devcon", "dated", "machine",
              "wine-env", "fail", "port", "codepage", "only", "before", "run")


def parse(text, path):
    cases = []
    case = None
    block = None  # (step, name, lines)
    for number, raw in enumerate(text.split("\n"), 1):
        where = f"{path}:{number}"
        if block is not None and not raw.startswith("---"):
            block[2].append(raw)
            continue
        if raw.startswith("---"):
            if case is None or not case.steps:
                raise CaseError(f"{where}: a block outside a run: step")
            step = case.steps[-1]
            if block is not None:
                setattr(block[0], block[1], block[2])
                block = None
            word = raw[3:].strip().split()
            if word[:1] == ["exit"] and len(word) == 2 and word[1].isdigit():
                step.exit = int(word[1])
            elif word in (["stdout"], ["stderr"], ["devcon"]):
                block = (step, word[0], [])
            else:
                raise CaseError(f"{where}: unknown block {raw!r}")
            continue
        if raw.startswith("=== "):
            case = Case(raw[4:].strip(), where)
            cases.append(case)
            continue
        if raw.strip() == "" or raw.startswith("#"):
            continue
        key, _, value = raw.partition(": ")
        if case is None or key not in SETUP_KEYS:
            raise CaseError(f"{where}: cannot understand {raw!r}")
        if key == "driver":
            if value not in ("present", "absent"):
                raise CaseError(f"{where}: driver is present or absent")
            case.driver = value == "present"
        elif key == "file":
            name, _, size = value.rpartition(" ")
            if not name or not size.isdigit():
                raise CaseError(f"{where}: file: NAME SIZE")
            case.files.append((name, int(size)))
        elif key == "dir":
            case.dirs.append(value)
        elif key == "devcon":
            if value not in ("yes", "no", "not-a-program"):
                raise CaseError(f"{where}: devcon is yes, no or not-a-program")
            case.devcon = {"yes": True, "no": False}.get(value, value)
        elif key == "dated":
            name, _, day = value.rpartition(" ")
            if not re.fullmatch(r"\d{4}-\d\d-\d\d", day):
                raise CaseError(f"{where}: dated: NAME YYYY-MM-DD")
            case.dated.append((name, day))
        elif key == "machine":
            if value != "not-nt":
                raise CaseError(f"{where}: machine: not-nt")
            case.not_nt = True
        elif key == "wine-env":
            for item in value.split():
                name, equals, setting = item.partition("=")
                if not equals:
                    raise CaseError(f"{where}: wine-env: NAME=VALUE ...")
                case.wine_env[name] = setting
        elif key == "fail":
            case.fails.append(value.split())
        elif key == "port":
            if len(value.split()) != 3:
                raise CaseError(f"{where}: port: NAME TARGET KIND")
            case.ports += value.split()
        elif key == "codepage":
            if value not in ("1252", "65001"):
                raise CaseError(f"{where}: codepage is 1252 or 65001")
            case.codepage = int(value)
        elif key == "only":
            if value not in ("host", "wine"):
                raise CaseError(f"{where}: only: host or only: wine")
            case.only = value
        elif key == "before":
            case.before.append(value)
        else:
            case.steps.append(Step(value))
    if block is not None:
        raise CaseError(f"{path}: the last block has no --- exit line")
    for case in cases:
        if not case.steps:
            raise CaseError(f"{case.origin}: no run: step")
        for step in case.steps:
            if step.stdout is None or step.stderr is None or step.exit is None:
                raise CaseError(
                    f"{case.origin}: every step needs stdout, stderr and exit")
    return cases


def substitute(text, cwd):
    return text.replace("<TAB>", "\t").replace("{cwd}", cwd)


def command_line(step, cwd, encoding=ANSI):
    return substitute(step.line, cwd).encode(encoding)


def expected_bytes(lines, cwd, encoding):
    def line_bytes(line):
        if line.endswith(NO_LINE_END):
            return substitute(line[:-len(NO_LINE_END)], cwd).encode(encoding)
        return substitute(line, cwd).encode(encoding) + b"\r\n"
    return b"".join(line_bytes(line) for line in lines)


PLACEHOLDERS = {b"<HEX8>": b"[0-9A-F]{8}", b"<ADDRESS>": b"[0-9A-F]{8,16}"}


def matches(lines, actual, cwd, encoding):
    """True when actual is the block's bytes, each placeholder standing for
    the digits it allows."""
    expected = expected_bytes(lines, cwd, encoding)
    pieces = re.split(b"(" + b"|".join(PLACEHOLDERS) + b")", expected)
    pattern = b"".join(PLACEHOLDERS.get(piece, re.escape(piece))
                       for piece in pieces)
    return re.fullmatch(pattern, actual, re.DOTALL) is not None


def show(data):
    """Bytes as readable lines, with CR, LF and TAB made visible."""
    text = data.decode("latin-1")
    text = text.replace("\t", "<TAB>").replace("\r\n", "<CRLF>\n")
    text = text.replace("\r", "<CR>")
    lines = text.split("\n")
    if lines[-1] == "":
        lines.pop()
    return "".join("    |" + line + "\n" for line in lines) or "    (nothing)\n"
