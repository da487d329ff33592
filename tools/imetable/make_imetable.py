#!/usr/bin/env python3
"""Makes the Orvane input method tables for fcitx5 (libime table) and ibus-table from the code
database jtdb.dat and, optionally, the user's custom words.

Usage: make_imetable.py --db jtdb.dat [--custom custom-words.txt] --out-dir DIR [--fcitx5] [--ibus]

Written into DIR (files are written under a temporary name and renamed when complete):
  --fcitx5: orvane-fcitx5.txt (libime text table), table/orvane.main.dict (binary, made by
            libime_tabledict when it is installed), inputmethod/orvane.conf
  --ibus:   orvane-ibus.txt (ibus-table source), orvane.db (made by ibus-table-createdb when it
            is installed)
Without --fcitx5 and --ibus, both are made. Bad rows of the database and bad lines of the custom
words file are skipped and reported on stderr with their row or line number.
Exit status: 0 done, 1 a required input could not be read or an output could not be written,
2 bad arguments.
"""

import argparse
import os
import shutil
import sqlite3
import subprocess
import sys
import unicodedata
import urllib.parse

NAME = "Orvane输入法2011版"
MAX_CODE = 6
MAX_WORD = 32
# Candidate keys. Digits are the code keys, so candidates are chosen with keys that never
# continue a code: space takes the first, ';' the second, "'" the third (fcitx5), and F1..F10
# take the candidates of the page in order.
SELECT_KEYS = ["F1", "F2", "F3", "F4", "F5", "F6", "F7", "F8", "F9", "F10"]
# ibus-table binds one key to each candidate of the page, so ';' and "'" take the places of F2
# and F3 there; space is its commit key for the first (or the highlighted) candidate.
IBUS_SELECT_KEYS = ["F1", "semicolon", "apostrophe", "F4", "F5", "F6", "F7", "F8", "F9", "F10"]


def warn(message):
    print(f"make_imetable: {message}", file=sys.stderr)


def valid_code(code):
    return 1 <= len(code) <= MAX_CODE and all("0" <= c <= "9" for c in code)


def word_problem(word):
    """Why the word cannot be a table entry, or None when it can."""
    if not word:
        return "empty word"
    if len(word) > MAX_WORD:
        return f"word longer than {MAX_WORD} characters"
    for c in word:
        if c.isspace() or unicodedata.category(c) in ("Cc", "Cf", "Cs", "Co", "Cn", "Zl", "Zp"):
            return f"word has a blank or control character U+{ord(c):04X}"
    return None


# What a custom word is: two or more Chinese characters (CJK unified or compatibility ideographs)
# and nothing else, at most 32 UTF-16 units. The program's custom dictionary applies the same
# rule when a word is added and when the file is read (test_imetable checks that both agree).
CHINESE_RANGES = ((0x3400, 0x4DBF), (0x4E00, 0x9FFF), (0xF900, 0xFAFF), (0x20000, 0x2A6DF),
                  (0x2A700, 0x2EBEF), (0x2F800, 0x2FA1F), (0x30000, 0x323AF))


def is_chinese(c):
    cp = ord(c)
    return any(lo <= cp <= hi for lo, hi in CHINESE_RANGES)


def custom_word_problem(word):
    """Why the word is not a custom word, or None when it is."""
    units = sum(2 if ord(c) > 0xFFFF else 1 for c in word)
    if units > MAX_WORD:
        return f"word longer than {MAX_WORD} UTF-16 units"
    for c in word:
        if not is_chinese(c):
            return f"U+{ord(c):04X} is not a Chinese character"
    if len(word) < 2:
        return "a custom word has two or more Chinese characters"
    return None


def sqlite_uri(path):
    """A read-only SQLite URI for the file; '#', '?' and '%' in its name are percent-encoded."""
    return "file:" + urllib.parse.quote(os.path.abspath(path), safe="/") + "?mode=ro"


class Entries:
    """(code, word) pairs with a rank: custom words first (in file order), then database items
    by falling frequency. The same pair is kept once, with its best rank."""

    def __init__(self):
        self.rank = {}

    def add(self, code, word, rank):
        key = (code, word)
        old = self.rank.get(key)
        if old is None or rank < old:
            self.rank[key] = rank

    def sorted(self):
        """Entries grouped by code, each code's words best first."""
        return sorted(self.rank.items(), key=lambda kv: (kv[0][0], kv[1], kv[0][1]))


def read_database(path, entries, stats):
    """Adds the characters (jtzi) and words (jtci) with their standard and short codes. Returns
    the highest frequency seen (0 when none)."""
    if not os.path.isfile(path):
        raise OSError(f"{path}: no such file")
    con = sqlite3.connect(sqlite_uri(path), uri=True)
    rows = []
    try:
        for table in ("jtzi", "jtci"):
            cols = {r[1] for r in con.execute(f"PRAGMA table_info({table})")}
            if not {"hz", "srm", "jm1", "jm2"} <= cols:
                raise OSError(f"{path}: table {table} lacks hz, srm, jm1 or jm2")
            freq = "freq" if "freq" in cols else "NULL"
            # rowid order is the generator's frequency order; it breaks ties of freq.
            query = f"SELECT rowid, hz, srm, jm1, jm2, {freq} FROM {table}"
            for rowid, hz, srm, jm1, jm2, fr in con.execute(query):
                rows.append((table, rowid, hz, srm, jm1, jm2, fr))
    except sqlite3.Error as e:
        raise OSError(f"{path}: {e}") from e
    finally:
        con.close()

    def number(value):
        try:
            n = int(str(value).strip())
            return n if n >= 0 else None
        except (TypeError, ValueError):
            return None

    parsed = []
    for table, rowid, hz, srm, jm1, jm2, fr in rows:
        where = f"{path}: {table} row {rowid}"
        hz = hz if isinstance(hz, str) else ""
        problem = word_problem(hz)
        srm = str(srm).strip() if srm is not None else ""
        if problem:
            warn(f"{where}: {problem}, skipped")
            stats["bad_db"] += 1
            continue
        if not valid_code(srm):
            warn(f"{where}: {hz}: standard code {srm!r} is not 1-{MAX_CODE} digits, skipped")
            stats["bad_db"] += 1
            continue
        shorts = []
        for jm in (jm1, jm2):
            jm = str(jm).strip() if jm is not None else ""
            if not jm:
                continue  # a single blank marks "no short code"
            if valid_code(jm):
                shorts.append(jm)
            else:
                warn(f"{where}: {hz}: short code {jm!r} is not 1-{MAX_CODE} digits, ignored")
                stats["bad_db"] += 1
        f = number(fr)
        if fr is not None and f is None:
            warn(f"{where}: {hz}: frequency {fr!r} is not a number, taken as 0")
        parsed.append((f or 0, table, rowid, hz, srm, shorts))
    # Most frequent first; characters before words at equal frequency; then database order.
    parsed.sort(key=lambda p: (-p[0], p[1] != "jtzi", p[2]))
    base = 1_000_000  # ranks below this belong to custom words
    for i, (f, _t, _r, hz, srm, shorts) in enumerate(parsed):
        for code in [srm] + shorts:
            entries.add(code, hz, base + i)
        stats["db_items"] += 1
        stats["freq"][hz] = max(stats["freq"].get(hz, 0), f)
    return max((p[0] for p in parsed), default=0)


def read_custom(path, entries, stats):
    """Adds the custom words ("word<TAB>code[<TAB>category<TAB>source]"). Lines that do not
    parse are reported and skipped; an unreadable file is reported and ignored."""
    try:
        with open(path, "rb") as f:
            data = f.read()
    except OSError as e:
        warn(f"{path}: cannot read custom words ({e.strerror}), none added")
        return
    for number, raw in enumerate(data.split(b"\n"), 1):
        raw = raw.rstrip(b"\r")
        if not raw.strip():
            continue
        where = f"{path}:{number}"
        try:
            line = raw.decode("utf-8")
        except UnicodeDecodeError:
            warn(f"{where}: not UTF-8, skipped")
            stats["bad_custom"] += 1
            continue
        if number == 1 and line.startswith("\ufeff"):
            line = line[1:]
        fields = line.split("\t")
        if len(fields) not in (2, 4):
            warn(f"{where}: expected word<TAB>code[<TAB>category<TAB>source], skipped")
            stats["bad_custom"] += 1
            continue
        word, code = fields[0], fields[1].strip()
        problem = custom_word_problem(word)
        if problem:
            warn(f"{where}: {problem}, skipped")
            stats["bad_custom"] += 1
            continue
        if not valid_code(code):
            warn(f"{where}: {word}: code {code!r} is not 1-{MAX_CODE} digits, skipped")
            stats["bad_custom"] += 1
            continue
        entries.add(code, word, stats["custom"])
        stats["custom"] += 1


def write_atomic(path, text):
    os.makedirs(os.path.dirname(path) or ".", exist_ok=True)
    tmp = path + ".tmp"
    with open(tmp, "w", encoding="utf-8", newline="\n") as f:
        f.write(text)
        f.flush()
        os.fsync(f.fileno())
    os.replace(tmp, path)


def run_tool(argv, result, tmp):
    """Runs a table compiler that writes tmp, renamed to result when it succeeded."""
    try:
        if os.path.exists(tmp):
            os.remove(tmp)
        p = subprocess.run(argv, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True,
                           errors="replace", timeout=600)
    except (OSError, subprocess.TimeoutExpired) as e:
        warn(f"{argv[0]} failed: {e}")
        return False
    if p.returncode != 0 or not os.path.isfile(tmp) or os.path.getsize(tmp) == 0:
        warn(f"{argv[0]} failed (status {p.returncode}): {p.stdout.strip()[-2000:]}")
        if os.path.exists(tmp):
            os.remove(tmp)
        return False
    os.replace(tmp, result)
    return True


def fcitx5_conf():
    keys = "\n".join(f"{i}={k}" for i, k in enumerate(SELECT_KEYS))
    return f"""[InputMethod]
Name={NAME}
Name[zh_CN]={NAME}
Icon=fcitx-table
Label=Ov
LangCode=zh_CN
Addon=table
Configurable=True

[Table]
# Relative to the fcitx5 data folders (~/.local/share/fcitx5, /usr/share/fcitx5).
File=table/orvane.main.dict
# Only the items whose code is exactly the typed digits; a short code offers its items.
ExactMatch=True
# A full 6-digit code with a single item commits it at once.
AutoSelect=True
AutoSelectLength=-1
NoMatchAutoSelectLength=0
CommitRawInput=False
# The table order (most frequent first) stays fixed, so that lessons see the same candidates.
OrderPolicy=No
UseContextRelatedOrder=False
Hint=False
UseFullWidth=True
PageSize=10
AutoPhraseLength=-1
SaveAutoPhraseAfter=-1
Learning=False

[Table/SecondCandidate]
0=semicolon

[Table/ThirdCandidate]
0=apostrophe

[Table/Selection]
{keys}

[Table/PrevPage]
0=Up
1=minus
2=Page_Up

[Table/NextPage]
0=Down
1=equal
2=Page_Down
"""


def make_fcitx5(out_dir, items):
    text_path = os.path.join(out_dir, "orvane-fcitx5.txt")
    lines = [f"KeyCode=0123456789", f"Length={MAX_CODE}", "[Data]"]
    lines += [f"{code} {word}" for (code, word), _rank in items]
    write_atomic(text_path, "\n".join(lines) + "\n")
    write_atomic(os.path.join(out_dir, "inputmethod", "orvane.conf"), fcitx5_conf())
    tool = shutil.which("libime_tabledict")
    if not tool:
        warn("libime_tabledict not found (package libime-bin): binary dictionary not made")
        return True
    dict_path = os.path.join(out_dir, "table", "orvane.main.dict")
    os.makedirs(os.path.dirname(dict_path), exist_ok=True)
    return run_tool([tool, text_path, dict_path + ".tmp"], dict_path, dict_path + ".tmp")


def make_ibus(out_dir, items, stats, top_freq):
    src = os.path.join(out_dir, "orvane-ibus.txt")
    head = f"""SCIM_Generic_Table_Phrase_Library_TEXT
VERSION_1_0
BEGIN_DEFINITION
LICENSE = LGPL
UUID = 6f1c2a7e-4b0d-4f57-9a51-0a7e5d0c2011
SERIAL_NUMBER = 20110101
ICON = ibus-table.svg
SYMBOL = Ov
NAME = {NAME}
NAME.zh_CN = {NAME}
DESCRIPTION = Orvane numeric code input method, 1-6 digits a code
LANGUAGES = zh_CN
AUTHOR = Orvane tutor
STATUS_PROMPT = CN
VALID_INPUT_CHARS = 0123456789
LAYOUT = us
MAX_KEY_LENGTH = {MAX_CODE}
COMMIT_KEYS = space
AUTO_COMMIT = TRUE
AUTO_SELECT = FALSE
AUTO_WILDCARD = TRUE
ALWAYS_SHOW_LOOKUP = TRUE
DEF_FULL_WIDTH_PUNCT = TRUE
DEF_FULL_WIDTH_LETTER = FALSE
USER_CAN_DEFINE_PHRASE = FALSE
PINYIN_MODE = FALSE
DYNAMIC_ADJUST = FALSE
PAGE_UP_KEYS = Page_Up,KP_Page_Up,minus
PAGE_DOWN_KEYS = Page_Down,KP_Page_Down,equal
SELECT_KEYS = {",".join(IBUS_SELECT_KEYS)}
ORIENTATION = FALSE
END_DEFINITION
BEGIN_TABLE
"""
    # The header makes ibus-table behave as close to the fcitx5 table as it can:
    # - AUTO_COMMIT: a seventh digit commits the first candidate of the six typed and starts the
    #   next code, and a code whose only candidate has exactly that code is committed at once
    #   (in this table that happens only at six digits, as with fcitx5's AutoSelect);
    # - AUTO_WILDCARD: a code also offers the items of the longer codes it begins, after its own
    #   items. ibus-table commits the typed digits as they are when a prefix matches nothing,
    #   so exact matching would make every code with an empty prefix untypable;
    # - AUTO_SELECT stays off: it would put a space after every word committed with space.
    # ibus-table orders a code's words by the third column, highest first: database items keep
    # their frequency, custom words rank above all of them.
    rows = []
    for (code, word), rank in items:
        if rank < 1_000_000:
            freq = top_freq + 1 + (stats["custom"] - rank)
        else:
            freq = stats["freq"].get(word, 0)
        rows.append(f"{code}\t{word}\t{freq}")
    write_atomic(src, head + "\n".join(rows) + "\nEND_TABLE\n")
    tool = shutil.which("ibus-table-createdb")
    if not tool:
        warn("ibus-table-createdb not found (package ibus-table): orvane.db not made")
        return True
    db = os.path.join(out_dir, "orvane.db")
    # ibus-table-createdb names its journal after the database; build aside and rename.
    return run_tool([tool, "-s", src, "-n", db + ".tmp.db"], db, db + ".tmp.db")


def main(argv=None):
    ap = argparse.ArgumentParser(description="Makes the Orvane tables for fcitx5 and ibus-table.")
    ap.add_argument("--db", required=True, help="jtdb.dat")
    ap.add_argument("--custom", help="custom-words.txt (word<TAB>code lines)")
    ap.add_argument("--out-dir", required=True)
    ap.add_argument("--fcitx5", action="store_true")
    ap.add_argument("--ibus", action="store_true")
    args = ap.parse_args(argv)
    if not args.fcitx5 and not args.ibus:
        args.fcitx5 = args.ibus = True

    entries = Entries()
    stats = {"bad_db": 0, "bad_custom": 0, "custom": 0, "db_items": 0, "freq": {}}
    if args.custom:
        read_custom(args.custom, entries, stats)
    try:
        top = read_database(args.db, entries, stats)
    except OSError as e:
        warn(f"cannot read the code database: {e}")
        return 1
    if stats["db_items"] == 0:
        warn(f"{args.db}: no usable items")
        return 1
    items = entries.sorted()
    ok = True
    try:
        os.makedirs(args.out_dir, exist_ok=True)
        if args.fcitx5:
            ok = make_fcitx5(args.out_dir, items) and ok
        if args.ibus:
            ok = make_ibus(args.out_dir, items, stats, top) and ok
    except OSError as e:
        warn(f"cannot write into {args.out_dir}: {e}")
        return 1
    print(f"make_imetable: {stats['db_items']} items, {stats['custom']} custom words, "
          f"{len(items)} entries; {stats['bad_db']} bad database rows, "
          f"{stats['bad_custom']} bad custom lines skipped", file=sys.stderr)
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
