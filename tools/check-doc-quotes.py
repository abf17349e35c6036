#!/usr/bin/env python3
"""Checks that each code block a document quotes from a file is a copy of lines of that file.

A quoted block follows a line `<!-- quoted from PATH -->`, PATH taken from the top of the
repository; its lines must appear in PATH, in order and together, byte for byte. Fails naming each
block that differs, and when the document quotes no file.
Usage: check-doc-quotes.py DOCUMENT...
"""
import pathlib
import re
import sys

top = pathlib.Path(__file__).resolve().parent.parent
pattern = re.compile(r"^<!-- quoted from (\S+) -->\n```[^\n]*\n(.*?)^```$", re.M | re.S)
failed = 0
for document in map(pathlib.Path, sys.argv[1:]):
    quotes = pattern.findall(document.read_text())
    for path, block in quotes:
        quoted = block.splitlines()
        lines = (top / path).read_text().splitlines()
        if not any(lines[i:i + len(quoted)] == quoted for i in range(len(lines) - len(quoted) + 1)):
            print(f"{document}: the block quoted from {path} differs from the file")
            failed = 1
    if not quotes:
        print(f"{document}: quotes no file")
        failed = 1
    elif not failed:
        print(f"{document}: {len(quotes)} quoted blocks match their files")
sys.exit(failed)
