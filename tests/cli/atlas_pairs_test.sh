#!/bin/bash
# Atlas files that are checked on the way in. Each case is named after the fault
# it guards, table-driven where only the input differs:
#   - a CSV beside another run's sidecar (the mismatched pair);
#   - each bad shard: nan, inf, -0.5, abc, an empty last field, 99 chaotic
#     orbits of 4, a fraction of 1.5, a b that is not its cell's (every one
#     with a sidecar that names its bytes, as a careless or hostile writer
#     would leave it);
#   - a sidecar that is a folder, or missing;
#   - atlas-merge --out naming one of its inputs, by any path;
#   - the circle row: no stopped orbit.
# Each refusal: status 2, one line naming the file and the fault, no file
# written.
#   atlas_pairs_test.sh TRAPEZOLA-CLI WORK-FOLDER
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

grid=(--b 0.4:1:3 --rr 1:2.5:4 --orbits 4 --bounces 2000 --boxes 20 --threads 1)
for shard in 0 1 2; do
  "$cli" atlas "${grid[@]}" --shard $shard/3 --out shard$shard.csv || fail "shard $shard failed"
done
"$cli" atlas "${grid[@]}" --seed 9 --shard 1/3 --out other1.csv || fail "the other run failed"
plots=false
"$cli" --help | grep -q atlas-plot && plots=true

# A refusal of atlas-merge (and, for a case about one file, of atlas-plot).
refused() {
  local what=$1 pattern=$2 file=$3
  rm -f merged.csv merged.json
  "$cli" atlas-merge shard0.csv "$file" shard2.csv --out merged.csv 2>err.txt
  local status=$?
  [ "$status" -eq 2 ] || fail "$what: atlas-merge status $status, not 2"
  [ "$(wc -l < err.txt)" -eq 1 ] || fail "$what: atlas-merge wrote not one line: $(cat err.txt)"
  grep -qF -- "$pattern" err.txt || fail "$what: '$(cat err.txt)' does not say '$pattern'"
  [ ! -e merged.csv ] && [ ! -e merged.json ] || fail "$what: a merged file was written"
  if $plots; then
    "$cli" atlas-plot "$file" --column lyapunov_max --out map.png 2>err.txt
    status=$?
    [ "$status" -eq 2 ] || fail "$what: atlas-plot status $status, not 2"
    grep -qF -- "$pattern" err.txt || fail "$what: atlas-plot's '$(cat err.txt)' does not say '$pattern'"
    [ ! -e map.png ] || fail "$what: atlas-plot drew a map"
  fi
}

# Makes bad.csv from shard1.csv with field $2 of data row $1 set to $3, and a
# sidecar that names bad.csv's bytes.
bad_shard() {
  awk -F, -v OFS=, -v row=$(($1 + 1)) -v field="$2" -v value="$3" \
    'NR == row { $field = value } { print }' shard1.csv > bad.csv
  local bytes digest
  bytes=$(wc -c < bad.csv)
  digest=$(sha256sum bad.csv | cut -d' ' -f1)
  sed "s/\"csv\": {.*}/\"csv\": {\"bytes\": $bytes, \"sha256\": \"$digest\"}/" shard1.json > bad.json
}

# --- the good pairs merge, and the circle row stops no orbit ------------------------
"$cli" atlas-merge shard0.csv shard1.csv shard2.csv --out merged.csv || fail "the good shards did not merge"
awk -F, 'NR > 1 && $3 == 1 && $8 != 0 { bad = 1 } END { exit bad }' merged.csv ||
  fail "circle row: a circle cell has stopped orbits"
"$cli" atlas --b 0.15:0.15:1 --rr 1:1:1 --orbits 16 --bounces 2000 --out circle.csv || fail "circle row failed"
[ "$(tail -n 1 circle.csv | cut -d, -f8)" = 0 ] || fail "circle row: b = 0.15, R8/R = 1 has stopped_orbits $(tail -n 1 circle.csv | cut -d, -f8)"

# --- the mismatched pair -------------------------------------------------------------
cp shard1.csv mixed.csv
cp other1.json mixed.json
refused "mismatched pair" "'mixed.csv' does not match its sidecar 'mixed.json'" mixed.csv
cp shard1.csv cut.csv && cp shard1.json cut.json && sed -i '$d' cut.csv
refused "a shard that lost a row" "has 3 of its 4 cells" cut.csv

# --- each bad shard: row, field (1 cell ... 8 stopped_orbits), value, words -----------
while IFS='|' read -r what row field value pattern; do
  bad_shard "$row" "$field" "$value"
  refused "$what" "'bad.csv' line $((row + 1)) $pattern" bad.csv
done <<'CASES'
nan exponent|1|4|nan|has lyapunov_max 'nan', not a finite number of at least 0
infinite exponent|2|5|inf|has lyapunov_median 'inf', not a finite number of at least 0
negative exponent|1|4|-0.5|has lyapunov_max '-0.5', not a finite number of at least 0
negative fraction|3|7|-0.5|has chaotic_fraction '-0.5', outside 0 to 1
text for a number|2|2|abc|has b 'abc', not a number
empty last field|4|8||has an empty stopped_orbits
99 chaotic orbits of 4|1|6|99|has chaotic_orbits '99', outside 0 to 4
a fraction of 1.5|2|7|1.5|has chaotic_fraction '1.5', outside 0 to 1
a b that is not its cell's|1|2|0.5|has b '0.5', not cell 1's b, 0.40000000000000002
an R8/R that is not its cell's|1|3|2|has rr '2', not cell 1's R8/R, 1.5
a cell outside the grid|1|1|12|has cell '12', outside 0 to 11
CASES

# --- the sidecar that is a folder, or missing ------------------------------------------
cp shard1.csv folder.csv && mkdir folder.json
refused "sidecar folder" "cannot read the sidecar 'folder.json' of 'folder.csv': it is a folder, not a file" folder.csv
cp shard1.csv lonely.csv
refused "sidecar missing" "cannot read the sidecar 'lonely.json' of 'lonely.csv': No such file or directory" lonely.csv

# --- atlas-merge --out one of its inputs, by any path -----------------------------------
cp shard1.csv keep1.csv
ln shard1.csv hard1.csv
ln -s shard1.csv soft1.csv
for out in shard1.csv ./shard1.csv "$PWD/shard1.csv" hard1.csv soft1.csv; do
  "$cli" atlas-merge shard0.csv shard1.csv shard2.csv --out "$out" 2>err.txt
  status=$?
  [ "$status" -eq 2 ] || fail "--out $out: status $status, not 2"
  [ "$(wc -l < err.txt)" -eq 1 ] || fail "--out $out: not one line: $(cat err.txt)"
  grep -q "is the input 'shard1.csv'" err.txt || fail "--out $out: '$(cat err.txt)' does not name the input"
  cmp -s shard1.csv keep1.csv || fail "--out $out: the input shard was replaced"
done
echo "ok"
