#!/bin/bash
# Runs the segmenter's benchmarks side by side with Debian's python3-jieba:
#   accuracy (score.py), cold start of a process that loads and segments 2,000 characters,
#   throughput on a large text, peak memory.
# Usage: bench/segment/run.sh [BUILD_DIR] [GOLD_FILE]
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
build=${1:-/work/build-seg}
gold=${2:-/work/shared/data/seg-gold-sample.utf8}
bench=$build/bin/orvane_segbench
dict=$build/bin/orvane-seg.dict
py=/usr/bin/python3  # Debian's interpreter, the one python3-jieba is installed for
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

for f in "$bench" "$dict" "$gold"; do
  [[ -e $f ]] || { echo "missing $f (build the targets orvane_segbench and orvane_segdict first)" >&2; exit 2; }
done
$py -c 'import jieba' 2>/dev/null || { echo "python3-jieba is not installed (apt-get install python3-jieba)" >&2; exit 2; }

# Texts: the sample without its blanks; 2,000 characters of it; the sample repeated to ~3 M characters.
tr -d ' ' < "$gold" > "$work/sample.txt"
for _ in $(seq 1 40); do cat "$work/sample.txt"; done > "$work/large.txt"
echo "== texts"
$py - "$work/sample.txt" "$work/large.txt" <<'EOF'
import sys
for p in sys.argv[1:]:
    t = open(p, encoding="utf-8").read()
    print("%-12s %9d characters, %6.1f MB UTF-8" % (p.rsplit("/", 1)[1], len(t.replace("\n", "")), len(t.encode()) / 1e6))
EOF

echo
echo "== accuracy (word F1 over spans)"
$py "$here/score.py" --bench "$bench" --dict "$dict" --gold "$gold"

echo
echo "== cold start: a process that loads the dictionary and segments 2,000 characters"
if command -v hyperfine > /dev/null; then
  hyperfine -N --warmup 5 --runs 50 --export-json "$work/cold.json" \
    "$bench cold $dict $work/sample.txt 2000" > /dev/null
  $py -c 'import json,sys; r=json.load(open(sys.argv[1]))["results"][0]; print("orvane: mean %.2f ms, min %.2f ms, max %.2f ms (hyperfine, %d runs)" % (r["mean"]*1e3, r["min"]*1e3, r["max"]*1e3, len(r["times"])))' "$work/cold.json"
else
  runs=50; total=0; worst=0
  for _ in $(seq 1 $runs); do
    t0=$(date +%s%N); "$bench" cold "$dict" "$work/sample.txt" 2000 > /dev/null; t1=$(date +%s%N)
    d=$(( (t1 - t0) / 1000 )); total=$((total + d)); (( d > worst )) && worst=$d
  done
  echo "orvane: mean $((total / runs / 1000)).$(( (total / runs) % 1000 / 100 )) ms, max $((worst / 1000)) ms ($runs runs, date)"
fi
t0=$(date +%s%N)
$py -c 'import sys, jieba; jieba.setLogLevel(60); t=open(sys.argv[1], encoding="utf-8").read()[:2000]; list(jieba.cut(t))' "$work/sample.txt"
t1=$(date +%s%N)
echo "jieba:  $(( (t1 - t0) / 1000000 )) ms (one run, interpreter start and dictionary load included)"

echo
echo "== throughput on the large text, line by line"
"$bench" speed "$dict" "$work/large.txt" 3
$py - "$work/large.txt" <<'EOF'
import sys, time, jieba
jieba.setLogLevel(60)
jieba.initialize()
lines = [l for l in open(sys.argv[1], encoding="utf-8").read().split("\n") if l]
chars = sum(len(l) for l in lines)
for hmm in (True, False):
    t0 = time.perf_counter()
    n = 0
    for l in lines:
        n += sum(1 for _ in jieba.cut(l, HMM=hmm))
    s = time.perf_counter() - t0
    print("jieba (HMM %s): %d chars, %d tokens, %.3f s, %.2f M chars/s" % ("on" if hmm else "off", chars, n, s, chars / s / 1e6))
EOF

echo
echo "== peak memory (maximum resident set size)"
if [[ -x /usr/bin/time ]]; then
  for mode in whole speed; do
    /usr/bin/time -v "$bench" $mode "$dict" "$work/large.txt" 1 2> "$work/time.txt" > /dev/null
    echo "orvane $mode: $(awk -F': ' '/Maximum resident/ {printf "%.1f MB", $2/1024}' "$work/time.txt")" \
         "($([[ $mode == whole ]] && echo 'marks() of the whole text in one call' || echo 'segment() line by line'))"
  done
  /usr/bin/time -v $py -c 'import sys, jieba; jieba.setLogLevel(60); [list(jieba.cut(l)) for l in open(sys.argv[1], encoding="utf-8")]' \
    "$work/large.txt" 2> "$work/time.txt" > /dev/null
  echo "jieba:  $(awk -F': ' '/Maximum resident/ {printf "%.1f MB", $2/1024}' "$work/time.txt")"
else
  echo "/usr/bin/time missing (apt-get install time)"
fi

echo
echo "== orvane-cli segment on the large text (a process that reads standard input line by line)"
cli=$build/bin/orvane-cli
if [[ -x $cli && -x /usr/bin/time ]]; then
  /usr/bin/time -f "orvane-cli segment: %e s, peak memory %M KB" "$cli" segment < "$work/large.txt" > /dev/null
else
  echo "orvane-cli or /usr/bin/time missing (build the target orvane-cli, apt-get install time)"
fi
