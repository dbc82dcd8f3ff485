#!/bin/bash
# The README's example of an atlas on several hosts, run as written:
#   parallel --sshlogin 8/alpha,8/beta,: --return shard{}.csv --return shard{}.json --cleanup \
#     trapezola-cli atlas ... --threads 1 --shard {}/64 --out shard{}.csv ::: $(seq 0 63)
#   trapezola-cli atlas-merge shard*.csv --out atlas.csv
# with a smaller grid, and with one other host, "elsewhere", that needs no
# network: parallel's --ssh is a stand-in for ssh that runs the command here,
# in a folder of its own as the other host's home. The shards computed there
# come back through rsync (--return) and are removed there (--cleanup), as
# from a real host. Fault: the example failed at once, rsync not installed.
# The merged file must equal a single run's, byte for byte.
#   atlas_over_ssh_test.sh TRAPEZOLA-CLI WORK-FOLDER
set -u
cli=$1
work=$2
rm -rf "$work"
mkdir -p "$work/elsewhere" "$work/bin"
cd "$work" || exit 1

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

command -v parallel >/dev/null || fail "GNU parallel is not installed (make deps installs it)"
command -v rsync >/dev/null || fail "rsync is not installed (make deps installs it): parallel's --return needs it"

# trapezola-cli on the PATH, as the example's hosts need it.
ln -s "$cli" bin/trapezola-cli
export PATH="$work/bin:$PATH"
cat > fake-ssh <<'EOF'
#!/bin/sh
# ssh [OPTIONS] HOST [--] COMMAND...: runs COMMAND here, in $ELSEWHERE, as ssh
# runs it in the home folder of HOST, with the login's HOME and SHELL (parallel's
# remote worker runs the job through $SHELL); each call is logged.
while [ $# -gt 0 ]; do
  case "$1" in
    -*) shift ;;
    *) shift; break ;;
  esac
done
[ "${1-}" = -- ] && shift
echo "$*" >> "$ELSEWHERE.log"
cd "$ELSEWHERE" || exit 255
HOME=$ELSEWHERE SHELL=/bin/sh exec sh -c "$*"
EOF
chmod +x fake-ssh
export ELSEWHERE="$work/elsewhere"

grid=(--b 0.4:1:3 --rr 1:2.5:4 --orbits 4 --bounces 2000 --boxes 20)
trapezola-cli atlas "${grid[@]}" --threads 2 --out single.csv || fail "the single run failed"

parallel --will-cite --ssh "$work/fake-ssh" --sshlogin 2/elsewhere,: \
  --return shard{}.csv --return shard{}.json --cleanup \
  trapezola-cli atlas "${grid[@]}" --threads 1 \
  --shard {}/6 --out shard{}.csv ::: $(seq 0 5) 2>parallel.err ||
  fail "the example failed: $(cat parallel.err)"
trapezola-cli atlas-merge shard*.csv --out atlas.csv || fail "the merge failed"
cmp single.csv atlas.csv || fail "the shards merged differ from the single run"

grep -q "rsync --server --sender" elsewhere.log || fail "no shard came back through rsync"
[ -z "$(ls -A elsewhere)" ] || fail "--cleanup left $(ls -A elsewhere) elsewhere"
echo "ok"
