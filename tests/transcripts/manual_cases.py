"""The examples of the admin's manual (docs/README.txt) as transcript cases,
and its batch-file example with what it prints.

An example is a block indented by four blanks whose first line is a prompt,
"C:\\Disks>" and a command line; the lines after a prompt are what the
command prints, the banner first, standard error after standard output, as
a console shows them. A block runs as one case, each prompt a step, on a
machine with the driver and nothing else, unless SETUP says more. The folder
C:\\Disks is the case's own folder. "echo %ERRORLEVEL%" states the exit code
of the step before it. A block with a prompt that does not run dorvane (the
batch file's) is left to batch_example().
"""

import re

PROMPT = "    C:\\Disks>"
BANNER = "Dorvane v0.3 by dorvane@example.org"

# What a block's machine holds beyond the driver, by the block's first
# command line: the manual says so in words around the block.
SETUP = {
    "dorvane driver install phdskmnt.inf": ["driver: absent", "devcon: yes"],
    "dorvane driver remove": ["devcon: yes"],
    "dorvane vm new 100": ["file: data.img 67108864"],
    "dorvane vm add C:\\Disks\\data.img": ["file: data.img 67108864"],
}


def blocks(text):
    """Each indented block that starts with a prompt, as (line number,
    lines without their indent), trailing empty lines dropped."""
    found, lines = [], text.split("\n")
    i = 0
    while i < len(lines):
        if not lines[i].startswith(PROMPT):
            i += 1
            continue
        start, block = i + 1, []
        while i < len(lines) and (lines[i].startswith("    ") or
                                  lines[i] == ""):
            block.append(lines[i][4:])
            i += 1
        while block and block[-1] == "":
            block.pop()
        found.append((start, block))
    return found


def steps(block):
    """The block's prompts, each with the lines it prints (trailing empty
    lines, which only part the prompts, dropped)."""
    result = []
    for line in block:
        if line.startswith(PROMPT[4:]):
            result.append((line[len(PROMPT) - 4:], []))
        else:
            result[-1][1].append(line)
    for _, output in result:
        while output and output[-1] == "":
            output.pop()
    return result


def case_line(text):
    text = text.replace("C:\\Disks", "{cwd}").replace("\t", "<TAB>")
    return "|" + re.sub(r" at [0-9A-F]{8}\.$", " at <HEX8>.", text)


def check_layout(text):
    """Raises ValueError unless every line is ASCII and fits in 78 columns,
    TABs at every eighth, as Notepad shows the file anywhere."""
    for number, line in enumerate(text.split("\n"), 1):
        if not line.isascii() or len(line.expandtabs(8)) > 78:
            raise ValueError(f"line {number} is not ASCII in 78 columns")


def to_transcript(text):
    """The manual's runnable examples as the text of transcript cases."""
    check_layout(text)
    cases = []
    for start, block in blocks(text):
        prompts = steps(block)
        commands = [c for c, _ in prompts if c != "echo %ERRORLEVEL%"]
        if not all(c.startswith("dorvane") for c in commands):
            continue
        case = [f"=== the manual's example at line {start}: {commands[0]}"]
        case += SETUP.get(commands[0], [])
        for command, output in prompts:
            if command == "echo %ERRORLEVEL%":
                case.append(f"--- exit {output[0]}")
                continue
            if not output or output[0] != BANNER:
                raise ValueError(f"line {start}: {command} prints no banner")
            output = output[1:]
            err = next((i for i, line in enumerate(output)
                        if line.startswith(("Exception ", "dorvane: "))),
                       len(output))
            case.append("run: " + command.replace("C:\\Disks", "{cwd}"))
            if output[:err]:
                case += ["--- stdout"] + [case_line(t) for t in output[:err]]
            if output[err:]:
                # The report ends with an empty line, which the manual's
                # block cannot show at its end.
                report = output[err].startswith("Exception ")
                case += ["--- stderr"] + [case_line(t)
                                          for t in output[err:]]
                case += ["|"] if report else []
        cases.append("\n".join(case))
    return "\n\n".join(cases) + "\n"


def batch_example(text):
    """The batch file (the indented lines from "@echo off" on) and the lines
    the manual shows it printing (the first example after it that does not
    run dorvane), each a list of lines."""
    lines = text.split("\n")
    start = lines.index("    @echo off")
    script = []
    for line in lines[start:]:
        if line and not line.startswith("    "):
            break
        script.append(line[4:])
    while script[-1] == "":
        script.pop()
    for at, block in blocks(text):
        command, output = steps(block)[0]
        if at > start and not command.startswith("dorvane"):
            return script, output
    raise ValueError("the manual shows no run of its batch file")
