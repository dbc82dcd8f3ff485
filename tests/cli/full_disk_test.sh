#!/bin/bash
# A full disk, on a small tmpfs of its own, mounted in a mount namespace that
# nothing outside sees: as root, or as a user where user namespaces are
# allowed; in a chroot (where no namespace can make its root private) on a
# folder of /dev/shm, provided that mount does not pass new mounts on. Where
# none of these works the test is skipped with a message (status 77). The
# faults it guards:
#   - atlas into a nearly full disk over an older a.csv + a.json left the old
#     CSV beside the new JSON (and atlas-plot drew the old cells under the new
#     title): now the old pair stays whole, and atlas-plot draws it;
#   - atlas --png whose heat map could not be written threw the computed CSV
#     away: now the pair is kept, and the line says so;
#   - analyse --data and portrait into a full disk keep the old file;
# each with status 1, one line naming the file and "No space left on device",
# and no temporary file left.
#   full_disk_test.sh TRAPEZOLA-CLI WORK-FOLDER
set -u
cli=$1
work=$2

if [ -z "${TRAPEZOLA_FULL_DISK-}" ]; then
  rm -rf "$work"
  mkdir -p "$work/disk"
  for enter in "unshare --mount --propagation private" "unshare --mount --map-root-user"; do
    if $enter true 2>/dev/null; then
      TRAPEZOLA_FULL_DISK=$work/disk exec $enter bash "$0" "$cli" "$work"
    fi
  done
  if grep -q ' /dev/shm rw' /proc/self/mountinfo && ! grep ' /dev/shm ' /proc/self/mountinfo | grep -q shared: &&
    unshare --mount --propagation unchanged true 2>/dev/null; then
    disk=$(mktemp -d /dev/shm/trapezola-full-disk.XXXXXX)
    TRAPEZOLA_FULL_DISK=$disk unshare --mount --propagation unchanged bash "$0" "$cli" "$work"
    status=$?
    rmdir "$disk"
    exit $status
  fi
  echo "skipped: no mount namespace here (neither root nor user namespaces, nor a private /dev/shm) to mount a small tmpfs in"
  exit 77
fi

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

mount -t tmpfs -o size=1m tmpfs "$TRAPEZOLA_FULL_DISK" || {
  echo "skipped: cannot mount a tmpfs here"
  exit 77
}
cd "$TRAPEZOLA_FULL_DISK" || exit 1

# Fills the disk, then frees $1 pages of 4 KiB.
fill_leaving() {
  rm -f filler
  dd if=/dev/zero of=filler bs=4096 2>/dev/null
  truncate -s "-$(($1 * 4096))" filler
}

no_temporaries() {
  local left
  left=$(find . -maxdepth 1 -name '.*' ! -name . -print)
  [ -z "$left" ] || fail "$1: temporary files left: $left"
}

# status 1, one line naming the file and the system's reason.
failed_with_full_disk() {
  local what=$1 status=$2 file=$3
  [ "$status" -eq 1 ] || fail "$what: status $status, not 1"
  [ "$(wc -l < err.txt)" -eq 1 ] || fail "$what: not one line on standard error: $(cat err.txt)"
  grep -q "'$file': No space left on device" err.txt || fail "$what: '$(cat err.txt)' names no full disk at $file"
}

small=(--b 0.5:1:2 --rr 1:2:2 --orbits 2 --bounces 300 --boxes 10 --threads 1)
# 40 x 40 cells: a CSV of about 130 kB.
large=(--b 0.5:1:40 --rr 1:2:40 --orbits 1 --bounces 50 --boxes 10 --threads 2)

# --- the older pair ---------------------------------------------------------------
rm -f filler
"$cli" atlas "${small[@]}" --out a.csv || fail "older pair: the first atlas failed"
cp a.csv "$work/old.csv"
cp a.json "$work/old.json"
fill_leaving 4
"$cli" atlas "${large[@]}" --out a.csv 2>err.txt
failed_with_full_disk "older pair" $? a.csv
cmp -s a.csv "$work/old.csv" && cmp -s a.json "$work/old.json" || fail "older pair: the old pair was changed"
no_temporaries "older pair"
if "$cli" --help | grep -q atlas-plot; then
  rm -f filler
  "$cli" atlas-plot a.csv --column lyapunov_max --out "$work/map.png" || fail "older pair: atlas-plot refused the old pair"
fi

# --- the heat map that cannot be written ------------------------------------------
if "$cli" --help | grep -q atlas-plot; then
  rm -f filler b.csv b.json
  # Room for the CSV and its sidecar (a page each), not for the picture.
  fill_leaving 3
  "$cli" atlas "${small[@]}" --out b.csv --png b.png --column lyapunov_max 2>err.txt
  failed_with_full_disk "heat map" $? b.png
  grep -q "the atlas is written to 'b.csv'" err.txt || fail "heat map: '$(cat err.txt)' does not say the atlas is kept"
  [ ! -e b.png ] || fail "heat map: a picture was left"
  rm -f filler
  "$cli" atlas-plot b.csv --column lyapunov_max --out "$work/b.png" || fail "heat map: the kept pair does not match"
  no_temporaries "heat map"
fi

# --- the data file and the portrait ------------------------------------------------
rm -f filler
echo "   1               5.000000 " > d.dat
fill_leaving 0
"$cli" analyse --b 0.5 --rr 2 --distance 0.7 --angle 60 --blocks 2000 --blocksize 5 --data d.dat >/dev/null 2>err.txt
failed_with_full_disk "data file" $? d.dat
[ "$(cat d.dat)" = "   1               5.000000 " ] || fail "data file: the old series was changed"
no_temporaries "data file"
if "$cli" --help | grep -q portrait; then
  "$cli" portrait --b 0.5 --rr 2 --orbits 4 --bounces 1000 --out p.png 2>err.txt
  failed_with_full_disk "portrait" $? p.png
  [ ! -e p.png ] || fail "portrait: a picture was left"
  no_temporaries "portrait"
fi
echo "ok"
