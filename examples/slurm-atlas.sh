#!/bin/bash
# A chaos atlas on a Slurm cluster: one array task a shard, then a job that
# merges the shards and draws the heat map once every task has succeeded.
#
# On the login node, from a folder the compute nodes share:
#   examples/slurm-atlas.sh RESULT-FOLDER [SHARDS]
# with trapezola-cli on the PATH of the compute nodes. Change the grid and the
# estimator in ATLAS_OPTIONS below (or set ATLAS_OPTIONS in the environment),
# and the #SBATCH lines to your cluster's partitions and limits. The atlas is
# RESULT-FOLDER/atlas.csv with atlas.json and atlas.png; a task that failed or
# was killed leaves no shard file, and running the script again recomputes the
# same files.
#
# The script submits itself: as the array (ATLAS_STEP=shard) and as the merge
# (ATLAS_STEP=merge).
#SBATCH --job-name=trapezola-atlas
#SBATCH --ntasks=1
#SBATCH --cpus-per-task=8
#SBATCH --time=04:00:00
#SBATCH --output=trapezola-atlas-%A_%a.log
set -euo pipefail

: "${ATLAS_OPTIONS:=--b 0.05:1:96 --rr 1:4:96 --orbits 16 --bounces 100000}"
export ATLAS_OPTIONS

case "${ATLAS_STEP:-submit}" in
  submit)
    out=${1:?usage: slurm-atlas.sh RESULT-FOLDER [SHARDS]}
    shards=${2:-64}
    mkdir -p "$out"
    export ATLAS_OUT=$(cd "$out" && pwd) ATLAS_SHARDS=$shards
    # --parsable prints "jobid" or "jobid;cluster"; afterok on the array's id
    # waits for every one of its tasks.
    array=$(ATLAS_STEP=shard sbatch --parsable --export=ALL --array=0-$((shards - 1)) "$0")
    array=${array%%;*}
    ATLAS_STEP=merge sbatch --parsable --export=ALL --dependency=afterok:"$array" \
      --cpus-per-task=1 --time=00:30:00 --output=trapezola-atlas-merge-%j.log "$0"
    echo "submitted shards as job $array and their merge after it"
    ;;
  shard)
    # Word splitting of ATLAS_OPTIONS is wanted: it holds several options.
    # shellcheck disable=SC2086
    exec trapezola-cli atlas $ATLAS_OPTIONS --threads "${SLURM_CPUS_PER_TASK:-1}" \
      --shard "$SLURM_ARRAY_TASK_ID/$ATLAS_SHARDS" --out "$ATLAS_OUT/shard-$SLURM_ARRAY_TASK_ID.csv"
    ;;
  merge)
    shopt -s nullglob
    trapezola-cli atlas-merge "$ATLAS_OUT"/shard-*.csv --out "$ATLAS_OUT/atlas.csv"
    trapezola-cli atlas-plot "$ATLAS_OUT/atlas.csv" --column lyapunov_median --out "$ATLAS_OUT/atlas.png"
    ;;
  *)
    echo "slurm-atlas.sh: unknown ATLAS_STEP '$ATLAS_STEP'" >&2
    exit 2
    ;;
esac
