"""Transcript cases: reading the plain-text case files and matching output.

A case file holds cases one after another:

    === driver check finds the adapter
    driver: absent              set-up, optional: the driver is not loaded
    file: b.img 3145728         set-up, optional: a file of that many bytes
    dir: sub                    set-up, optional: a directory
    devcon: yes                 set-up, optional: devcon.exe (the double)
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
a stdout or stderr block stands for that text followed by CR LF; a block
ends only at the next "---" line, so empty lines inside it count. In all
texts <TAB> is a TAB and {cwd} the case's current directory as Windows
names it (Z:\\tmp\\...). In stderr, <HEX8> stands for any eight upper-case
hexadecimal digits (the code offset of the uncaught-error report, which
differs between builds by construction). Files are UTF-8; command lines and
standard output are compared in the machine's ANSI code page (1252) and
standard error in its OEM code page, as the report goes through CharToOemA.
Lines outside blocks that are empty or start with # are ignored.
"""

import re

ANSI = "cp1252"
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
        self.devcon = False
        self.before = []
        self.steps = []


SETUP_KEYS = ("driver", "file", "dir", "devcon", "before", "run")


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
            case.devcon = value == "yes"
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


def command_line(step, cwd):
    return substitute(step.line, cwd).encode(ANSI)


def expected_bytes(lines, cwd, encoding):
    return b"".join(substitute(line, cwd).encode(encoding) + b"\r\n"
                    for line in lines)


def matches(lines, actual, cwd, encoding):
    """True when actual is the block's bytes, <HEX8> standing for 8 digits."""
    expected = expected_bytes(lines, cwd, encoding)
    parts = expected.split(b"<HEX8>")
    pattern = b"[0-9A-F]{8}".join(re.escape(p) for p in parts)
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
