#!/usr/bin/python3
"""Word-segmentation accuracy of orvane's segmenter and of python3-jieba on a gold file.

The gold file has one sentence a line, words separated by blanks. Each line, blanks removed,
is segmented by orvane (through `orvane_segbench cut`) and by jieba with and without its HMM;
precision, recall and F1 are computed over word spans.

Run it with Debian's /usr/bin/python3, which has python3-jieba:
  score.py --bench build/bin/orvane_segbench --dict build/bin/orvane-seg.dict --gold FILE
"""

import argparse
import subprocess
import sys


def spans(words):
    out, pos = set(), 0
    for w in words:
        out.add((pos, pos + len(w)))
        pos += len(w)
    return out


def score(gold_lines, predicted_lines):
    tp = ngold = npred = 0
    for gold, pred in zip(gold_lines, predicted_lines):
        g, p = spans(gold), spans(pred)
        tp += len(g & p)
        ngold += len(g)
        npred += len(p)
    precision = tp / npred if npred else 0.0
    recall = tp / ngold if ngold else 0.0
    f1 = 2 * precision * recall / (precision + recall) if precision + recall else 0.0
    return precision, recall, f1


def is_symbol_run(word):
    import unicodedata
    return all(unicodedata.category(c)[0] in "PSZC" for c in word)


def split_symbol_runs(words):
    """A run of different punctuation marks, split into marks (a repeated mark such as —— or
    …… stays whole): the usual counting of punctuation in segmentation corpora."""
    out = []
    for w in words:
        if len(w) > 1 and is_symbol_run(w):
            piece = w[0]
            for c in w[1:]:
                if c == piece[-1]:
                    piece += c
                else:
                    out.append(piece)
                    piece = c
            out.append(piece)
        else:
            out.append(w)
    return out


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--bench", required=True, help="orvane_segbench executable")
    ap.add_argument("--dict", required=True, help="orvane-seg.dict")
    ap.add_argument("--gold", required=True)
    ap.add_argument("--no-jieba", action="store_true")
    ap.add_argument("--diff", help="write the lines where orvane differs from the gold to this file")
    args = ap.parse_args()

    gold = []
    with open(args.gold, encoding="utf-8") as f:
        for line in f:
            words = line.split()
            if words:
                gold.append(words)
    raw = ["".join(w) for w in gold]

    res = subprocess.run([args.bench, "cut", args.dict], input="\n".join(raw) + "\n",
                         capture_output=True, text=True, encoding="utf-8", check=True)
    ours = [l.split("  ") if l else [] for l in res.stdout.split("\n")[:len(raw)]]
    for r, o in zip(raw, ours):
        if "".join(o) != r:
            sys.exit("orvane output does not cover the input: %r" % r)

    print("%-34s %9s %9s %9s" % ("segmenter", "precision", "recall", "F1"))
    rows = [("orvane", ours), ("orvane, punctuation marks split", [split_symbol_runs(o) for o in ours])]
    if not args.no_jieba:
        import jieba
        jieba.setLogLevel(60)
        jieba.initialize()
        rows.append(("jieba (HMM on, default)", [list(jieba.cut(r)) for r in raw]))
        rows.append(("jieba (HMM off)", [list(jieba.cut(r, HMM=False)) for r in raw]))
    for name, pred in rows:
        p, r, f = score(gold, pred)
        print("%-34s %9.4f %9.4f %9.4f" % (name, p, r, f))

    if args.diff:
        with open(args.diff, "w", encoding="utf-8") as f:
            for g, o in zip(gold, ours):
                if spans(g) != spans(o):
                    f.write("G: " + " ".join(g) + "\nO: " + " ".join(o) + "\n\n")


if __name__ == "__main__":
    main()
