#!/usr/bin/env python3
"""Extracts the character data that the code scheme is built from, into one plain table.

Reads Unihan's four-corner codes (unicode-data), the stroke orders of rime-data-stroke and the
GB2312 character set (decoded with Python's own gb2312 codec) and writes one line per
character that has a four-corner code or a stroke order:

    U+XXXX <TAB> four-corner code or "-" <TAB> stroke letters or "-" <TAB> 1 if in GB2312 else 0

Only one value is kept where a source gives several: Unihan's first four-corner code, and the
stroke order of the mainland (supplementary) table of rime-data-stroke before that of its main
table (see stroke_orders).
Standard library only.
"""
import argparse
import bz2
import os
import sys


def gb2312_characters():
    chars = set()
    for row in range(0xA1, 0xF8):
        for cell in range(0xA1, 0xFF):
            try:
                chars.add(bytes([row, cell]).decode('gb2312'))
            except UnicodeDecodeError:
                pass
    return chars


def four_corner_codes(path):
    codes = {}
    opener = bz2.open if path.endswith('.bz2') else open
    with opener(path, 'rt', encoding='utf-8') as f:
        for line in f:
            if not line.startswith('U+'):
                continue
            parts = line.rstrip('\n').split('\t')
            if len(parts) != 3 or parts[1] != 'kFourCornerCode':
                continue
            values = parts[2].split()
            if values:
                codes[int(parts[0][2:], 16)] = values[0]
    return codes


def stroke_orders(path):
    """Stroke letters per character.

    The file holds two tables one after the other, each in code point order: the main table
    (from CNS 11643, with Taiwan's stroke conventions, e.g. 艹 as four strokes) and the
    supplementary table (mainland conventions, as the GB standards and a learner of simplified
    characters count them). Where the order of code points starts over, the second table begins.
    A character's first entry in the supplementary table wins over its main-table entry.
    """
    main = {}
    supplementary = {}
    in_body = False
    previous = 0
    table = main
    with open(path, encoding='utf-8') as f:
        for line in f:
            line = line.rstrip('\n')
            if line == '...':
                in_body = True
                continue
            if not in_body or not line or line.startswith('#'):
                continue
            parts = line.split('\t')
            if len(parts) < 2 or len(parts[0]) != 1:
                continue
            letters = parts[1].strip()
            if not letters or any(c not in 'hspnz' for c in letters):
                continue
            cp = ord(parts[0])
            if table is main and cp + 0x1000 < previous:
                table = supplementary
            previous = cp
            table.setdefault(cp, letters)
    strokes = dict(main)
    strokes.update(supplementary)
    return strokes


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument('--unihan', required=True)
    ap.add_argument('--strokes', required=True)
    ap.add_argument('--out', required=True)
    args = ap.parse_args()
    for path in (args.unihan, args.strokes):
        if not os.path.isfile(path):
            sys.exit(f'extract_chardata: missing data file {path}')
    gb = {ord(c) for c in gb2312_characters()}
    corners = four_corner_codes(args.unihan)
    strokes = stroke_orders(args.strokes)
    if len(corners) < 10000 or len(strokes) < 20000 or len(gb) < 7000:
        sys.exit('extract_chardata: the data files look incomplete '
                 f'({len(corners)} four-corner codes, {len(strokes)} stroke orders, {len(gb)} GB2312)')
    tmp = args.out + '.tmp'
    with open(tmp, 'w', encoding='utf-8', newline='\n') as out:
        for cp in sorted(set(corners) | set(strokes)):
            out.write(f'U+{cp:04X}\t{corners.get(cp, "-")}\t{strokes.get(cp, "-")}\t{1 if cp in gb else 0}\n')
    os.replace(tmp, args.out)


if __name__ == '__main__':
    main()
