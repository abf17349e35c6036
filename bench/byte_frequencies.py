#!/usr/bin/env python3
"""Prints the byte-frequency table of stamp/marker_pattern.cpp from the files of a Debian machine.

   bench/byte_frequencies.py > table.txt

The marker search tests the two marker bytes least likely to turn up in the file. Which bytes those
are depends on the file, so the table averages four kinds of file that installers stamp: Windows
programs and libraries, Linux programs and libraries, text (headers, documentation, licences,
XML), and compressed data (gzip, PNG). Each kind counts the same, however many bytes it has; a
file adds at most its first MiB. A byte's entry is its share of a typical file in units of
1/65,536, at least 1 so that no byte is taken for impossible.
"""
import glob

KINDS = {
    "windows programs": ["/usr/lib/x86_64-linux-gnu/wine/x86_64-windows/*.dll",
                         "/usr/lib/x86_64-linux-gnu/wine/x86_64-windows/*.exe",
                         "/usr/lib/x86_64-linux-gnu/wine/i386-windows/*.dll",
                         "/usr/lib/x86_64-linux-gnu/wine/i386-windows/*.exe"],
    "linux programs": ["/usr/bin/*", "/usr/lib/x86_64-linux-gnu/*.so*"],
    "text": ["/usr/include/*.h", "/usr/include/*/*.h", "/usr/share/common-licenses/*",
             "/usr/share/doc/*/copyright", "/usr/share/*/*.xml"],
    "compressed": ["/usr/share/doc/*/*.gz", "/usr/share/icons/*/*/*/*.png"],
}
LIMIT = 1 << 20

shares = [0.0] * 256
for kind, patterns in KINDS.items():
    counts = [0] * 256
    for pattern in patterns:
        for path in glob.glob(pattern):
            try:
                with open(path, "rb") as f:
                    data = f.read(LIMIT)
            except OSError:
                continue
            for byte in range(256):
                counts[byte] += data.count(bytes([byte]))
    total = sum(counts) or 1
    for byte in range(256):
        shares[byte] += counts[byte] / total / len(KINDS)

table = [max(1, round(share * 65536)) for share in shares]
for row in range(0, 256, 16):
    print("    " + " ".join(f"{n}," for n in table[row:row + 16]))
