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
