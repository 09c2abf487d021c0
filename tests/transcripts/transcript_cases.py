"""Transcript cases: reading the case files and matching output.

The case format is described in README.md beside this file. A step states
only what is special: what it leaves out is still compared, as the banner
alone on standard output, nothing on standard error and exit code 0.

What the runner takes from a parsed case: the Case's set-up fields and its
steps; each Step's line, stdout and stderr (lists of lines, the banner
already in front where it is implied), devcon (a list of log lines, or None:
not compared) and exit.
"""

import re

ANSI = "cp1252"
NO_LINE_END = "<NOEOL>"
OEM = "cp437"  # é, ü, ... sit at the same places in 437 and 850
BANNER = "Dorvane v0.3 by dorvane@example.org"


class CaseError(Exception):
    pass


class Step:
    """A run: line and what it must give; unstated, the common case."""

    def __init__(self, line):
        self.line = line
        self.stdout = [BANNER]
        self.stderr = []
        self.devcon = None
        self.exit = 0
        self.stated = set()  # the blocks the case gave, each at most once


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
        self.module = None  # the module file name, when not the default
        self.exe_folder = None  # under Wine: the folder dorvane.exe runs from
        self.stdout_file = False  # standard output goes to a file
        self.ports = []  # dorvane-sim ports arguments, three a port
        self.only = None
        self.before = []
        self.steps = []

    @property
    def ansi(self):
        """The encoding of the case's command lines and standard output."""
        return {None: ANSI, 1252: ANSI, 65001: "utf-8",
                932: "cp932"}[self.codepage]

    @property
    def oem(self):
        """The encoding of standard error: only 1252 has another OEM code
        page; the others are their own."""
        return OEM if self.codepage in (None, 1252) else self.ansi

    def runs_on(self, backend):
        if self.only is not None:
            return backend == self.only
        if self.exe_folder:
            return backend == "wine"
        return backend == "host" or not (self.fails or self.ports or
                                          self.codepage or self.module)


SETUP_KEYS = ("driver", "file", "dir", "devcon", "dated", "machine",
              "wine-env", "fail", "port", "codepage", "module", "exe-folder",
              "stdout",
              "only", "before", "run")

# A block header and the step field its "|" lines go to.
BLOCKS = {"stdout": "stdout", "stdout without banner": "stdout",
          "stderr": "stderr", "devcon": "devcon"}


class Block:
    """A block header and the "|" lines that follow it."""

    def __init__(self, step, kind, where):
        self.step = step
        self.kind = kind
        self.where = where
        self.lines = []

    def add(self, text, where):
        if self.kind.startswith("stdout") and not self.lines and \
                text == BANNER:
            raise CaseError(f"{where}: the banner is implied: write "
                            "--- stdout and leave this line out")
        self.lines.append(text)

    def close(self):
        if self.kind == "stdout":
            if not self.lines:
                raise CaseError(
                    f"{self.where}: an empty --- stdout block: leave it out "
                    "for the banner alone, or write --- stdout without "
                    "banner for no output")
            self.step.stdout = [BANNER] + self.lines
        else:
            setattr(self.step, BLOCKS[self.kind], self.lines)


def parse(text, path):
    cases = []
    case = None
    block = None  # the open block, while "|" lines may follow its header
    for number, raw in enumerate(text.split("\n"), 1):
        where = f"{path}:{number}"
        if raw.startswith("|"):
            if block is None:
                raise CaseError(f"{where}: a | line outside a --- block")
            block.add(raw[1:], where)
            continue
        if block is not None:
            block.close()
            block = None
        if raw.startswith("---"):
            if case is None or not case.steps:
                raise CaseError(f"{where}: a block outside a run: step")
            block = step_block(case.steps[-1], raw, where)
        elif raw.startswith("=== "):
            case = Case(raw[4:].strip(), where)
            cases.append(case)
        elif raw.strip() and not raw.startswith("#"):
            key, _, value = raw.partition(": ")
            if case is None or key not in SETUP_KEYS:
                raise CaseError(f"{where}: cannot understand {raw!r}")
            if case.steps and key != "run":
                raise CaseError(f"{where}: set-up lines come before the "
                                "first run: step")
            setup(case, key, value, where)
    if block is not None:
        block.close()
    for case in cases:
        if not case.steps:
            raise CaseError(f"{case.origin}: no run: step")
    return cases


def step_block(step, raw, where):
    """The block a "---" line opens, or None for "--- exit N"."""
    kind = " ".join(raw[3:].split())
    exit_code = re.fullmatch(r"exit (\d+)", kind)
    field = "exit" if exit_code else BLOCKS.get(kind)
    if field is None:
        raise CaseError(f"{where}: unknown block {raw!r}")
    if field in step.stated:
        raise CaseError(f"{where}: a second {field} block in this step")
    step.stated.add(field)
    if exit_code:
        step.exit = int(exit_code.group(1))
        return None
    return Block(step, kind, where)


def setup(case, key, value, where):
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
        if value not in ("1252", "65001", "932"):
            raise CaseError(f"{where}: codepage is 1252, 65001 or 932")
        case.codepage = int(value)
    elif key == "module":
        case.module = value
    elif key == "exe-folder":
        case.exe_folder = value
    elif key == "stdout":
        if value != "file":
            raise CaseError(f"{where}: stdout: file")
        case.stdout_file = True
    elif key == "only":
        if value not in ("host", "wine"):
            raise CaseError(f"{where}: only: host or only: wine")
        case.only = value
    elif key == "before":
        case.before.append(value)
    else:
        case.steps.append(Step(value))


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
