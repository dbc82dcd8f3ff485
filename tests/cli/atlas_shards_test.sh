#!/bin/bash
# A small atlas computed once on two threads and once as three shards run by GNU
# parallel, merged: the two files must be equal byte for byte. Then the merge's
# refusals (a gap, an overlap, a shard of another run), a shard run again (the
# same file), and a heat map of the merged file.
#   atlas_shards_test.sh TRAPEZOLA-CLI WORK-FOLDER
set -u
cli=$1
work=$2
rm -rf "$work"
mkdir -p "$work"
cd "$work" || exit 1

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

command -v parallel >/dev/null || fail "GNU parallel is not installed (make deps installs it)"

grid=(--b 0.4:1:3 --rr 1:2.5:4 --orbits 4 --bounces 2000 --boxes 20 --seed 3)
other=(--b 0.4:1:3 --rr 1:2.5:4 --orbits 4 --bounces 2000 --boxes 20 --seed 4)

"$cli" atlas "${grid[@]}" --threads 2 --out single.csv 2>single.err || fail "the single run failed"
[ ! -s single.err ] || fail "standard error, not a terminal, got '$(cat single.err)'"
[ "$(wc -l < single.csv)" -eq 13 ] || fail "single.csv does not hold a header and 12 rows"

parallel --will-cite --halt now,fail=1 \
  "$cli" atlas "${grid[@]}" --threads 1 --shard {}/3 --out shard{}.csv ::: 0 1 2 ||
  fail "a shard failed under GNU parallel"
ls ./*.tmp* >/dev/null 2>&1 && fail "a shard left a temporary file"

"$cli" atlas-merge shard2.csv shard0.csv shard1.csv --out merged.csv || fail "the merge failed"
cmp single.csv merged.csv || fail "the merged shards differ from the single run"
grep -q '"shard": {"index": 0, "count": 1}' merged.json || fail "merged.json does not describe the whole run"

# The refusals: status 2, one line naming the trouble, and no merged file.
refused() {
  local what=$1 pattern=$2
  shift 2
  rm -f refused.csv refused.json
  "$cli" atlas-merge "$@" --out refused.csv 2>err.txt
  local status=$?
  [ "$status" -eq 2 ] || fail "$what: status $status, not 2"
  [ "$(wc -l < err.txt)" -eq 1 ] || fail "$what: not one line on standard error"
  grep -q -- "$pattern" err.txt || fail "$what: '$(cat err.txt)' does not say '$pattern'"
  [ ! -e refused.csv ] || fail "$what: a merged file was written"
}
refused "a gap" "shard 1/3 is missing" shard0.csv shard2.csv
refused "an overlap" "overlaps" shard0.csv shard1.csv shard2.csv shard1.csv
"$cli" atlas "${other[@]}" --threads 1 --shard 1/3 --out other1.csv || fail "the other run failed"
refused "another run" "belongs to another run" shard0.csv other1.csv shard2.csv
cp shard1.csv cut1.csv && cp shard1.json cut1.json && sed -i '$d' cut1.csv
refused "a shard that lost a row" "has 3 of its 4 cells" shard0.csv cut1.csv shard2.csv

# Running a shard again gives the same file.
cp shard1.csv first1.csv
"$cli" atlas "${grid[@]}" --threads 2 --shard 1/3 --out shard1.csv || fail "the rerun failed"
cmp first1.csv shard1.csv || fail "a shard run again gave another file"

if "$cli" --help | grep -q atlas-plot; then
  "$cli" atlas-plot merged.csv --column chaotic_fraction --out map.png 2>plot.err || fail "atlas-plot failed"
  [ "$(head -c 8 map.png | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ] || fail "map.png is not a PNG"
  [ ! -s plot.err ] || fail "atlas-plot wrote '$(cat plot.err)' on standard error"
  # atlas --png draws the same map as atlas-plot of its file.
  "$cli" atlas "${grid[@]}" --out again.csv --png again.png --column chaotic_fraction || fail "atlas --png failed"
  cmp single.csv again.csv || fail "atlas --png changed the CSV"
  cmp map.png again.png || fail "atlas --png and atlas-plot drew different maps"
fi
echo "ok"
