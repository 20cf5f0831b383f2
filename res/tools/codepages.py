"""Helpers shared by the generators of the interface text tables: the code
page of each language, the conversion of a UTF-8 text to its 8-bit form with
iconv, and C string literals of those bytes."""

import subprocess

# Code page of each entry, in LanguageId order.
CODE_PAGES = ["WINDOWS-1252", "WINDOWS-1252", "WINDOWS-1252", "WINDOWS-1252",
              "GBK", "BIG5"]


def convert(text, code_page, fail):
    """Converts one UTF-8 text with iconv; any character the code page lacks
    stops the build of the table through fail(message)."""
    result = subprocess.run(["iconv", "-f", "UTF-8", "-t", code_page],
                            input=text.encode("utf-8"), capture_output=True)
    if result.returncode != 0:
        fail("iconv cannot write %r in %s: %s" %
             (text, code_page, result.stderr.decode(errors="replace").strip()))
    return result.stdout


def escape(data):
    """A C string literal of the bytes: printable ASCII as it is, everything
    else as three-digit octal escapes (which never swallow a following
    digit, unlike hexadecimal ones)."""
    out = []
    for i, byte in enumerate(data):
        char = chr(byte)
        if char in "\"\\":
            out.append("\\" + char)
        elif char == "?" and i + 1 < len(data) and data[i + 1] == ord("?"):
            out.append("\\?")  # keeps "??" from reading as a trigraph
        elif 0x20 <= byte < 0x7F:
            out.append(char)
        else:
            out.append("\\%03o" % byte)
    return '"' + "".join(out) + '"'


def read_six_language_table(path, name_pattern, fail):
    """Rows (name, six texts) of a table whose lines are a constant name and
    the six texts in LanguageId order, separated by tabs; blank lines and
    lines starting with # are skipped. A malformed row, a bad or repeated
    name or an empty text stops the build through fail(message)."""
    rows = []
    names = set()
    with open(path, encoding="utf-8") as table:
        for number, line in enumerate(table, 1):
            line = line.rstrip("\n")
            if not line or line.startswith("#"):
                continue
            fields = line.split("\t")
            where = "%s:%d" % (path, number)
            if len(fields) != 7:
                fail("%s: %d fields, 7 expected" % (where, len(fields)))
            name, texts = fields[0], fields[1:]
            if not name_pattern.match(name):
                fail("%s: bad constant name %r" % (where, name))
            if name in names:
                fail("%s: %s appears twice" % (where, name))
            if any(not text for text in texts):
                fail("%s: %s has an empty entry" % (where, name))
            names.add(name)
            rows.append((name, texts))
    return rows


def write_or_check(tool, outputs, mode, fail):
    """Writes each generated file of outputs ({path: text}); with mode
    "--check" writes nothing and returns 1 when any file on disk differs
    from what the table gives (naming it on standard error), else 0."""
    import os
    import sys
    if mode not in ("", "--check"):
        fail("unknown option " + mode)
    if mode == "--check":
        stale = []
        for path, text in outputs.items():
            try:
                with open(path, encoding="ascii") as current:
                    if current.read() != text:
                        stale.append(os.path.basename(path))
            except (OSError, UnicodeDecodeError):
                stale.append(os.path.basename(path))
        for name in stale:
            sys.stderr.write("%s: %s differs from the table\n" % (tool, name))
        return 1 if stale else 0
    for path, text in outputs.items():
        with open(path, "w", encoding="ascii", newline="\n") as out:
            out.write(text)
    return 0
