#!/usr/bin/env python3
"""Builds orvane-seg.dict, the segmenter's binary dictionary, from jieba's open data.

Inputs (Debian package python3-jieba, MIT licence):
  dict.txt                    one "word frequency tag" per line
  finalseg/prob_start.p       HMM start log-probabilities  {state: logp}
  finalseg/prob_trans.p       HMM transition log-probabilities {state: {state: logp}}
  finalseg/prob_emit.p        HMM emission log-probabilities {state: {char: logp}}

The layout is described in docs/segmenter.md; libs/segmenter/src/dict_format.h is the C++ side.
Everything is little-endian and every section starts on an 8-byte boundary, so the loader
can map the file and use the arrays in place.
"""

import argparse
import array
import math
import os
import pickle
import struct
import sys

MAGIC = b"ORVSEG\x1a\n"
VERSION = 1
HEADER_SIZE = 64
SECTION_ENTRY_SIZE = 24

SEC_ROOT, SEC_NODES, SEC_HMM, SEC_EMIT_INDEX, SEC_EMIT_ROWS, SEC_EDGE_HASH = range(1, 7)
NODE = struct.Struct("<IHHfB3x")  # first child, child count, label, weight, flags: 16 bytes

SCAN_LIMIT = 8  # children of a node with at most this many are scanned; above, the edge hash is used

FLAG_WORD = 1
FLAG_NAME = 2      # tagged as a person name (nr, nrfg, nrt) in the word list
FLAG_NUMERAL = 4   # tagged as a numeral (m)

STATES = "BMES"  # row order of the emission table and of the transition matrix

PHRASE_FREQ = 3  # jieba's floor frequency for listed phrases


def utf16_units(s):
    b = s.encode("utf-16-le", "surrogatepass")
    return tuple(struct.unpack("<%dH" % (len(b) // 2), b))


def reachable(word):
    """True if the segmenter can ever look the word up.

    Latin letters, digits and ASCII punctuation are cut out of the text before the dictionary
    is consulted, so words containing them (AT&T, B超, c#) can never match; leaving them out
    keeps the file small."""
    for ch in word:
        c = ord(ch)
        if c < 0x80 or 0xFF01 <= c <= 0xFF5E or c in (0x3000,):
            return False
        if ch.isspace():
            return False
    return True


def load_words(path):
    words = {}
    total = 0
    with open(path, encoding="utf-8") as f:
        for lineno, line in enumerate(f, 1):
            parts = line.split()
            if not parts:
                continue
            if len(parts) < 2:
                sys.exit("%s:%d: expected 'word frequency [tag]'" % (path, lineno))
            word, freq = parts[0], int(parts[1])
            tag = parts[2] if len(parts) > 2 else ""
            total += freq
            if freq <= 0 or not reachable(word):
                continue  # a zero frequency means "not a word" to jieba as well
            flags = FLAG_WORD
            if tag in ("nr", "nrfg", "nrt"):
                flags |= FLAG_NAME
            if tag == "m":
                flags |= FLAG_NUMERAL
            old = words.get(word)
            if old is None or old[0] < freq:
                words[word] = (freq, flags)
    return words, total


def build_trie(words, total):
    log_total = math.log(total)
    prefixes = {}
    for word, (freq, flags) in words.items():
        units = utf16_units(word)
        for i in range(1, len(units)):
            prefixes.setdefault(units[:i], None)
        w = math.log(freq) - log_total
        if freq <= PHRASE_FREQ and len(word) >= 3:
            # jieba lists many phrases (各族人民, 共同努力, 本报记者) at its floor frequency, with
            # no count from a corpus. At that frequency they would beat the split into the
            # counted words they consist of, so they get the weight of two unknown characters:
            # used where the text has no better cover, never instead of real words.
            w = -2.0 * log_total
        prefixes[units] = (w, flags)
    order = sorted(prefixes, key=lambda u: (len(u), u))
    n = len(order) + 1  # node 0 is the root
    index = {u: i + 1 for i, u in enumerate(order)}
    label = array.array("H", [0]) * n
    first = array.array("I", [0]) * n
    count = array.array("H", [0]) * n
    weight = array.array("f", [0.0]) * n
    flags = array.array("B", [0]) * n
    root = array.array("I", [0]) * 65536
    for u, i in index.items():
        label[i] = u[-1]
        value = prefixes[u]
        if value is not None:
            weight[i], flags[i] = value
        if len(u) == 1:
            root[u[0]] = i
        else:
            p = index[u[:-1]]
            if count[p] == 0:
                first[p] = i
            count[p] += 1
    for i in range(1, n):
        if count[i] == 0:
            continue
        assert first[i] > i and first[i] + count[i] <= n
    return root, label, first, count, weight, flags, n


def edge_hash(parent, label):
    """Slot hash of the edge (parent, label); libs/segmenter/src/dictionary.cpp has the same."""
    h = ((parent * 2654435761) ^ (label * 2246822519)) & 0xFFFFFFFF
    h ^= h >> 15
    h = (h * 2246822519) & 0xFFFFFFFF
    h ^= h >> 13
    return h


def build_edge_hash(label, first, count, n):
    """Open-addressing table (linear probing) of the edges out of nodes with many children:
    entries (parent, child, label, 0), parent 0 marking an empty slot (the root is never a
    parent here: it has the root table)."""
    edges = [(p, c) for p in range(1, n) if count[p] > SCAN_LIMIT for c in range(first[p], first[p] + count[p])]
    size = 1
    while size < len(edges) * 2:
        size *= 2
    table_parent = [0] * size
    table_child = [0] * size
    table_label = [0] * size
    mask = size - 1
    for p, c in edges:
        slot = edge_hash(p, label[c]) & mask
        while table_parent[slot]:
            slot = (slot + 1) & mask
        table_parent[slot], table_child[slot], table_label[slot] = p, c, label[c]
    out = array.array("I")
    for i in range(size):
        out.extend((table_parent[i], table_child[i], table_label[i]))
    return out, size


def load_pickle(path):
    with open(path, "rb") as f:
        return pickle.load(f)


def build_hmm(hmm_dir):
    start = load_pickle(os.path.join(hmm_dir, "prob_start.p"))
    trans = load_pickle(os.path.join(hmm_dir, "prob_trans.p"))
    emit = load_pickle(os.path.join(hmm_dir, "prob_emit.p"))
    neg_inf = float("-inf")

    def clean(v):
        # jieba marks impossible events with -3.14e100, which a float cannot hold.
        return neg_inf if v is None or v < -1e30 else float(v)

    model = array.array("f")
    for s in STATES:
        model.append(clean(start.get(s)))
    for s in STATES:
        row = trans.get(s, {})
        for t in STATES:
            model.append(clean(row.get(t)))
    chars = sorted({c for s in STATES for c in emit.get(s, {}) if len(c) == 1 and ord(c) < 0x10000})
    if len(chars) >= 65535:
        sys.exit("too many emission characters")
    emit_index = array.array("H", [0]) * 65536
    rows = array.array("f")
    for r, c in enumerate(chars, 1):
        emit_index[ord(c)] = r
        for s in STATES:
            rows.append(clean(emit.get(s, {}).get(c)))
    return model, emit_index, rows, len(chars)


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--dict", required=True, help="jieba dict.txt")
    ap.add_argument("--hmm", required=True, help="folder with prob_start.p, prob_trans.p, prob_emit.p")
    ap.add_argument("--out", required=True)
    args = ap.parse_args()

    words, total = load_words(args.dict)
    if not words or total <= 0:
        sys.exit("%s: no words" % args.dict)
    root, label, first, count, weight, flags, n = build_trie(words, total)
    model, emit_index, rows, nrows = build_hmm(args.hmm)
    edge_table, hash_size = build_edge_hash(label, first, count, n)

    nodes = bytearray(NODE.size * n)
    for i in range(n):
        NODE.pack_into(nodes, NODE.size * i, first[i], count[i], label[i], weight[i], flags[i])
    sections = [
        (SEC_ROOT, root), (SEC_NODES, nodes), (SEC_HMM, model),
        (SEC_EMIT_INDEX, emit_index), (SEC_EMIT_ROWS, rows), (SEC_EDGE_HASH, edge_table),
    ]
    if sys.byteorder != "little":
        for _, a in sections:
            if isinstance(a, array.array):
                a.byteswap()
    offset = HEADER_SIZE + SECTION_ENTRY_SIZE * len(sections)
    table = b""
    blobs = []
    for sid, a in sections:
        offset = (offset + 7) & ~7
        data = bytes(a) if isinstance(a, bytearray) else a.tobytes()
        table += struct.pack("<IIQQ", sid, 0, offset, len(data))
        blobs.append((offset, data))
        offset += len(data)
    file_size = offset
    min_log = math.log(1.0) - math.log(total)
    header = struct.pack("<8sIIIIQdII", MAGIC, VERSION, HEADER_SIZE, n, nrows, file_size, min_log,
                         len(sections), hash_size)
    header += b"\0" * (HEADER_SIZE - len(header))
    out = bytearray(file_size)
    out[0:HEADER_SIZE] = header
    out[HEADER_SIZE:HEADER_SIZE + len(table)] = table
    for off, data in blobs:
        out[off:off + len(data)] = data
    tmp = args.out + ".tmp"
    with open(tmp, "wb") as f:
        f.write(out)
    os.replace(tmp, args.out)
    print("orvane-seg.dict: %d words, %d trie nodes, %d HMM characters, %d bytes" %
          (len(words), n, nrows, file_size))


if __name__ == "__main__":
    main()
