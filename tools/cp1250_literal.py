#!/usr/bin/env python3
"""Prints a UTF-8 text as a C++ literal of its Windows-1250 bytes.

Usage: tools/cp1250_literal.py "Zaimportowano %d kod(ów)"
"""
import sys


def literal(text: str) -> str:
    out = ""
    previous_escaped = False
    for byte in text.encode("cp1250"):
        if byte >= 0x80 or byte in (0x22, 0x5C):
            out += "\\x%02x" % byte
            previous_escaped = True
            continue
        ch = chr(byte)
        if previous_escaped and ch in "0123456789abcdefABCDEF":
            out += '" "'  # keep the hex escape from swallowing this digit
        out += ch
        previous_escaped = False
    return '"' + out + '"'


if __name__ == "__main__":
    for argument in sys.argv[1:]:
        print(literal(argument))
