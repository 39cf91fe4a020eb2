#!/usr/bin/env bash
# Runs one fuzz target for a while on one core, seeded from the shared test corpus.
#   fuzz/run.sh READER SECONDS [BUILD_DIR]     READER: jpeg gif bmp ico png wmf emf
# New inputs go to BUILD_DIR/fuzz/corpus/READER, findings to BUILD_DIR/fuzz/findings/.
set -euo pipefail
reader=$1
seconds=$2
here=$(cd "$(dirname "$0")/.." && pwd)
build=${3:-$here/build/fuzz}
data=${PULLFACE_SHARED_DIR:-$here/../shared}/testdata
case $reader in
  png) seeds=("$data/wmf" "$data/emf" "$data/gif" "$data/jpeg") ;;  # where the corpus keeps its PNGs
  *) seeds=("$data/$reader") ;;
esac
work=$build/fuzz
mkdir -p "$work/corpus/$reader" "$work/findings"
cd "$work"
exec "./fuzz_$reader" -jobs=1 -workers=1 -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
  -max_len=262144 -artifact_prefix="$work/findings/$reader-" -print_final_stats=1 \
  "corpus/$reader" "${seeds[@]}" "$data/bad"
