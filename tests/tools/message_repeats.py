#!/usr/bin/env python3
"""Fails when a message text stands more than once in the sources.

Every text the system shows lives once, by id, in engine/Messages.cpp (a
profile overlays what its dialect words differently). This script reads the
C++ sources of engine/, graphics/, sheet/ and legacy/ (tests live elsewhere),
takes their string literals (adjacent literals joined as the compiler joins
them, comments and character literals skipped, escapes left as written) and
counts the message texts among them. A literal is a message text when:
  - it is at least 12 characters long and holds a space,
  - it is not only format: with its printf conversions removed, a word of
    three or more letters is left,
  - it is not an #include path, an extern "C" name or a _Pragma/asm string,
  - it is not a settings key (the name of a stored value, spelt alike where
    it is read and written: a mask name of KEY_PREFIXES, or the key argument
    of a settings read or write, KEY_CALL).
It prints every text that stands more than once, with its places, and a
count line; the exit status is 1 when there is any.

  message_repeats.py [--list] [ROOT]
--list prints every message text found, with its count, and exits 0.
"""
import os
import re
import sys

FOLDERS = ("engine", "graphics", "sheet", "legacy")
SUFFIXES = (".h", ".hpp", ".cpp", ".cc")
MIN_LENGTH = 12
# Names under which settings and masks are stored: keys, not messages.
KEY_PREFIXES = ("QW Filter Flags ", "QWG Filter Flags ", "PREFIX Filter Flags ")

CONVERSION = re.compile(r"%[-+ #0]*(\d+|\*)?(\.(\d+|\*))?(hh|h|ll|l|z|j|t|L)?[diouxXcsfgeEp%]")
KEY_CALL = re.compile(r"(?:(?:Read|Write)Number\s*\(\s*\w+\s*,|\b(?:Key|value|setValue)\s*\()\s*(?:QStringLiteral\s*\(\s*)?$")
WORD = re.compile(r"[A-Za-z]{3,}")


def literals(text):
    """Yields (line, index, literal) for each run of adjacent string literals."""
    i, n, line = 0, len(text), 1
    run, run_line, run_start, last_end = None, 0, 0, 0
    while i < n:
        c = text[i]
        if c == "\n":
            line += 1
            i += 1
            continue
        if text.startswith("//", i):
            j = text.find("\n", i)
            i = n if j < 0 else j
            continue
        if text.startswith("/*", i):
            j = text.find("*/", i + 2)
            j = n if j < 0 else j + 2
            line += text.count("\n", i, j)
            i = j
            continue
        if c == "#" and text[text.rfind("\n", 0, i) + 1:i].strip() == "":
            # A preprocessor line: #include paths are not messages.
            j = i
            while True:
                k = text.find("\n", j)
                if k < 0:
                    k = n
                    break
                if text[k - 1] == "\\":
                    j = k + 1
                    continue
                break
            directive = text[i:k]
            if re.match(r"#\s*include", directive):
                line += directive.count("\n")
                i = k
                continue
            i += 1
            continue
        m = re.match(r'(?:u8|u|U|L)?R"([^(\s]*)\(', text[i:i + 24])
        if m and (i == 0 or not (text[i - 1].isalnum() or text[i - 1] == "_")):
            end = ")" + m.group(1) + '"'
            j = text.find(end, i + m.end())
            j = n if j < 0 else j
            body = text[i + m.end():j]
            if run is not None and text[last_end:i].strip() == "":
                run += body
            else:
                if run is not None:
                    yield run_line, run_start, run
                run, run_line, run_start = body, line, i
            line += body.count("\n")
            i = j + len(end)
            last_end = i
            continue
        if c == '"' or (c in "uUL" and text[i + 1:i + 2] == '"' and not (text[i - 1].isalnum() or text[i - 1] == "_")):
            start = i + (0 if c == '"' else 1)
            j = start + 1
            while j < n and text[j] != '"':
                j += 2 if text[j] == "\\" else 1
            body = text[start + 1:j]
            between = text[last_end:i]
            between = re.sub(r"/\*.*?\*/", "", between, flags=re.S)
            if run is not None and between.strip() == "":
                run += body
            else:
                if run is not None:
                    yield run_line, run_start, run
                run, run_line, run_start = body, line, i
            i = j + 1
            last_end = i
            continue
        if c == "'" and not (i > 0 and (text[i - 1].isalnum())):
            # A character literal (digit separators follow a digit).
            j = i + 1
            while j < n and text[j] != "'":
                j += 2 if text[j] == "\\" else 1
            i = j + 1
            continue
        if run is not None and not c.isspace():
            yield run_line, run_start, run
            run = None
        i += 1
    if run is not None:
        yield run_line, run_start, run


def is_message(lit, line_text, before):
    if len(lit) < MIN_LENGTH or " " not in lit:
        return False
    if not WORD.search(CONVERSION.sub("", lit)):
        return False
    if lit.startswith(KEY_PREFIXES):
        return False
    if KEY_CALL.search(before):
        return False
    if re.search(r'extern\s+"|_Pragma\s*\(|\basm\s*\(', line_text):
        return False
    return True


def sources(root):
    for folder in FOLDERS:
        for dirpath, dirnames, filenames in os.walk(os.path.join(root, folder)):
            dirnames[:] = sorted(d for d in dirnames if d not in ("tests", "test"))
            for name in sorted(filenames):
                if name.endswith(SUFFIXES) and "Test" not in name:
                    yield os.path.join(dirpath, name)


def main(argv):
    args = [a for a in argv[1:] if not a.startswith("--")]
    root = args[0] if args else os.path.join(os.path.dirname(__file__), "..", "..")
    root = os.path.abspath(root)
    places = {}
    for path in sources(root):
        with open(path, encoding="utf-8", errors="replace") as f:
            text = f.read()
        lines = text.splitlines()
        for line, start, lit in literals(text):
            line_text = lines[line - 1] if line - 1 < len(lines) else ""
            if is_message(lit, line_text, text[max(0, start - 80):start]):
                places.setdefault(lit, []).append(f"{os.path.relpath(path, root)}:{line}")
    if "--list" in argv:
        for lit, where in sorted(places.items(), key=lambda kv: (-len(kv[1]), kv[0])):
            print(f"{len(where)}\t\"{lit}\"")
        return 0
    repeats = {lit: where for lit, where in places.items() if len(where) > 1}
    for lit, where in sorted(repeats.items(), key=lambda kv: (-len(kv[1]), kv[0])):
        print(f"\"{lit}\" stands {len(where)} times: {' '.join(where)}")
    extra = sum(len(w) - 1 for w in repeats.values())
    print(f"{len(places)} message texts, {len(repeats)} standing more than once "
          f"({extra} extra places)")
    return 1 if repeats else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
