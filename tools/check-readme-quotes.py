#!/usr/bin/env python3
"""Checks that each code block the README quotes from a file is a copy of lines of that file.

A quoted block follows a line `<!-- quoted from PATH -->`; its lines must appear in PATH, in order
and together, byte for byte. Fails naming each block that differs, and when no block is quoted.
Usage: check-readme-quotes.py [README]
"""
import pathlib
import re
import sys

readme = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else "README.md").resolve()
pattern = re.compile(r"^<!-- quoted from (\S+) -->\n```[^\n]*\n(.*?)^```$", re.M | re.S)
quotes = pattern.findall(readme.read_text())
failed = 0
for path, block in quotes:
    quoted = block.splitlines()
    lines = (readme.parent / path).read_text().splitlines()
    if not any(lines[i:i + len(quoted)] == quoted for i in range(len(lines) - len(quoted) + 1)):
        print(f"{readme.name}: the block quoted from {path} differs from the file")
        failed = 1
if not quotes:
    print(f"{readme.name}: quotes no file")
    failed = 1
if not failed:
    print(f"{readme.name}: {len(quotes)} quoted blocks match their files")
sys.exit(failed)
