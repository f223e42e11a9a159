#!/usr/bin/env python3
"""Writes a phrase database with COUNT phrases, shaped like a real one, for load, save and
start-up tests.

usage: make_database.py COUNT OUT

Phrase i (from 0) has the keystroke "k" + i in five digits written with the letters a to j
(0 = "kaaaaa", 12 = "kaaabc"): all keystrokes are distinct, none begins another (so none
fires while a longer one is typed) and they type alike on every layout; and the text
"Phrase <i>: " followed by one to three lines of words. Every fourth phrase compares with
exact case, every tenth has a second, disabled keystroke. The bytes
are exactly those the program writes for such a collection (vellix-db normalize leaves
them unchanged)."""
import sys

WORDS = ("lorem ipsum dolor sit amet consectetur adipiscing elit sed do eiusmod tempor "
         "incididunt ut labore et dolore magna aliqua caf\u00e9 <b> & \"quoted\"").split()


def keystroke(index):
    return "k" + "".join("abcdefghij"[int(d)] for d in f"{index:05d}")


def escape(text):
    # As the program writes text: markup characters and control characters as references
    # (a raw line break inside an element would be condensed to a blank when read).
    text = text.replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;").replace('"', "&quot;")
    return "".join(f"&#x{ord(c):02X};" if ord(c) < 32 else c for c in text)


def text_of(index):
    lines = []
    for line in range(1 + index % 3):
        words = [WORDS[(index * 7 + line * 3 + k) % len(WORDS)] for k in range(4 + (index + line) % 6)]
        lines.append(" ".join(words))
    return f"Phrase {index}: " + "\r\n".join(lines)


def phrase(index):
    case = 1 if index % 4 == 0 else 0
    prefixes = [f'            <Prefix Disabled="0">{keystroke(index)}</Prefix>']
    if index % 10 == 0:
        prefixes.append(f'            <Prefix Disabled="1">x{keystroke(index)}</Prefix>')
    return "\r\n".join([
        f'    <Phrase CaseSensitive="{case}" AddOrReplace="1" LeftAfter="0" CountUsage="{index % 5}"'
        ' UseWithList="NotUse" Enabled="1">',
        f"        <Word>{escape(text_of(index))}</Word>",
        "        <Prefixes>",
        *prefixes,
        "        </Prefixes>",
        "        <Include />",
        "        <Exclude />",
        '        <DateCreated Year="2026" Month="12" Day="1" Hour="9" Min="0" Sec="0" />',
        "    </Phrase>",
    ])


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    count = int(sys.argv[1])
    parts = ['<?xml version="1.0" ?>', "<Tessil_Phrase_Data>"]
    parts += [phrase(i) for i in range(count)]
    parts.append("</Tessil_Phrase_Data>")
    with open(sys.argv[2], "wb") as out:
        out.write(("\r\n".join(parts) + "\r\n").encode("utf-8"))


if __name__ == "__main__":
    main()
