#!/bin/bash
# Files that cannot be corrupted: what trapezola-cli writes, whatever is done
# around it. Each case is named after the fault it guards:
#   - a symlink planted at the old temporary names is never followed;
#   - two writers of one file at once, 20 pairs: one whole file every time,
#     and an atlas CSV always beside its own sidecar;
#   - SIGINT, SIGTERM and SIGHUP during atlas and portrait: the exit status is
#     the signal's, no temporary file stays, and the run again succeeds;
#   - stale files of earlier runs and names of 255 bytes are no obstacle.
#   whole_files_test.sh TRAPEZOLA-CLI WORK-FOLDER
set -u
cli=$1
work=$2
rm -rf "$work"
mkdir -p "$work"
cd "$work" || exit 1

# On standard output: the signals' section silences standard error, where bash
# reports how each of its jobs ended.
fail() {
  echo "FAIL: $*"
  exit 1
}

# The writers' temporaries are hidden files (".NAME.XXXXXX"); none may stay.
no_temporaries() {
  local left
  left=$(find . -maxdepth 1 -name '.*' ! -name . -print)
  [ -z "$left" ] || fail "$1: temporary files left: $left"
}

# The CSV of an atlas and the digest its sidecar records agree.
pair_matches() {
  local csv=$1 json=${1%.csv}.json
  local digest
  digest=$(sha256sum "$csv" | cut -d' ' -f1)
  grep -q "\"sha256\": \"$digest\"" "$json" || fail "$2: $json does not name $csv's bytes"
}

small_atlas=(--b 0.5:1:2 --rr 1:2:2 --orbits 2 --bounces 300 --boxes 10 --threads 1)

# --- the symlink ------------------------------------------------------------
echo precious > victim
for name in s.dat.tmp .s.dat.tmp a.csv.tmp a.json.tmp p.png.tmp; do ln -s victim "$name"; done
"$cli" analyse --b 0.5 --rr 2 --distance 0.7 --angle 60 --blocks 3 --blocksize 50 --data s.dat >/dev/null ||
  fail "symlink: analyse --data failed"
"$cli" atlas "${small_atlas[@]}" --out a.csv || fail "symlink: atlas failed"
if "$cli" --help | grep -q portrait; then
  "$cli" portrait --b 0.5 --rr 2 --orbits 2 --bounces 100 --out p.png || fail "symlink: portrait failed"
fi
[ "$(cat victim)" = precious ] || fail "symlink: the planted link's target was overwritten"
for file in s.dat a.csv a.json; do
  [ -f "$file" ] && [ ! -L "$file" ] || fail "symlink: $file is not a regular file"
done
[ "$(wc -l < s.dat)" -eq 3 ] || fail "symlink: s.dat does not hold the 3 blocks"
rm -f victim s.dat.tmp .s.dat.tmp a.csv.tmp a.json.tmp p.png.tmp s.dat a.csv a.json p.png
no_temporaries "symlink"

# --- the concurrent writers ---------------------------------------------------
# Two analyses of different starts into one data file, 20 times: the file is
# always one of the two whole series, never a splice.
series=(--b 0.5 --rr 2 --distance 0.7 --blocks 4000 --blocksize 5)
"$cli" analyse "${series[@]}" --angle 60 --data one.dat >/dev/null || fail "concurrent: the first series failed"
"$cli" analyse "${series[@]}" --angle 45 --data two.dat >/dev/null || fail "concurrent: the second series failed"
cmp -s one.dat two.dat && fail "concurrent: the two series are alike: the case tests nothing"
for round in $(seq 1 20); do
  "$cli" analyse "${series[@]}" --angle 60 --data d.dat >/dev/null &
  first=$!
  "$cli" analyse "${series[@]}" --angle 45 --data d.dat >/dev/null &
  second=$!
  wait $first || fail "concurrent: a first analysis failed in round $round"
  wait $second || fail "concurrent: a second analysis failed in round $round"
  cmp -s d.dat one.dat || cmp -s d.dat two.dat || fail "concurrent: round $round left a spliced d.dat"
done
# Two atlases of other seeds into one --out, 20 times: the CSV beside the
# sidecar is always the sidecar's own, and atlas-plot takes the pair.
for round in $(seq 1 20); do
  "$cli" atlas "${small_atlas[@]}" --seed 1 --out same.csv &
  first=$!
  "$cli" atlas "${small_atlas[@]}" --seed 2 --out same.csv &
  second=$!
  wait $first || fail "concurrent: a first atlas failed in round $round"
  wait $second || fail "concurrent: a second atlas failed in round $round"
  pair_matches same.csv "concurrent round $round"
done
no_temporaries "concurrent"

# --- the signals ---------------------------------------------------------------
# Job control gives the background runs SIGINT as a terminal would (a script's
# background jobs otherwise ignore it).
exec 3>&2 2>/dev/null
set -m
long_atlas=(atlas --b 0.5:0.5:1 --rr 2:2:1 --orbits 1 --bounces 4000000000 --threads 1 --out long.csv)
long_portrait=(portrait --b 0.5 --rr 2 --orbits 1 --bounces 4000000000 --threads 1 --out long.png)
for signal in INT TERM HUP; do
  for run in atlas portrait; do
    if [ $run = atlas ]; then
      command=("${long_atlas[@]}")
    else
      "$cli" --help | grep -q portrait || continue
      command=("${long_portrait[@]}")
    fi
    "$cli" "${command[@]}" 2>/dev/null &
    pid=$!
    # The temporaries exist once the run has begun.
    for _ in $(seq 1 200); do
      [ -n "$(find . -maxdepth 1 -name '.long.*' -print -quit)" ] && break
      sleep 0.05
    done
    [ -n "$(find . -maxdepth 1 -name '.long.*' -print -quit)" ] || fail "signals: $run made no temporary file"
    kill -s "$signal" $pid
    wait $pid
    status=$?
    want=$((128 + $(kill -l "$signal")))
    [ $status -eq $want ] || fail "signals: $run ended by SIG$signal with status $status, not $want"
    no_temporaries "signals: $run after SIG$signal"
    [ ! -e long.csv ] && [ ! -e long.png ] || fail "signals: $run after SIG$signal left a result"
  done
done
set +m
exec 2>&3 3>&-
# The same destination again, at once.
"$cli" atlas "${small_atlas[@]}" --out long.csv || fail "signals: the run again failed"

# --- stale files and long names ------------------------------------------------
for name in out.csv.tmp out.csv.tmp12345 out.json.tmp$$ .out.csv.tmp; do echo stale > "$name"; done
"$cli" atlas "${small_atlas[@]}" --out out.csv || fail "stale files: the atlas failed"
pair_matches out.csv "stale files"
rm -f out.csv.tmp out.csv.tmp12345 out.json.tmp$$ .out.csv.tmp
# The longest: the sidecar's name has 255 bytes.
long=$(printf 'n%.0s' $(seq 1 250))
"$cli" atlas "${small_atlas[@]}" --out "$long.csv" || fail "long names: a 254-byte name failed"
pair_matches "$long.csv" "long names"
# One more byte is refused at once, not after the run.
"$cli" atlas "${small_atlas[@]}" --out "n$long.csv" 2>err.txt
status=$?
[ $status -eq 1 ] || fail "long names: a sidecar name of 256 bytes gave status $status, not 1"
grep -q "^trapezola-cli atlas: cannot create 'n*\.json': File name too long$" err.txt ||
  fail "long names: '$(cat err.txt)'"
rm -f err.txt
no_temporaries "stale files and long names"
echo "ok"
