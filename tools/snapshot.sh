#!/usr/bin/env bash
# Runs zvaama-driver over every fixture, the public outside files and a set
# of generated AAMA styles (size blocks with texts and rule tables of 8 and
# 12 sizes; named blocks without texts after layout blocks), in several ways
# each (open AAMA and DXF with and without options, place-all, dump, save
# AAMA and DXF with option sets, save native and open it again), and keeps what it printed and every file
# it wrote, with creation dates and times masked. Two snapshots of the same
# inputs compare with `diff -r`: the check that a change keeps every output
# byte for byte.
#
#   tools/snapshot.sh DRIVER OUTDIR
#
# DRIVER is a zvaama-driver (a Release build is quickest). The generated
# styles are made by the benchmarks' generator, built here with g++.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
driver=$(readlink -f "${1:?usage: tools/snapshot.sh DRIVER OUTDIR}")
out=$(readlink -m "${2:?usage: tools/snapshot.sh DRIVER OUTDIR}")
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
inputs="$scratch/inputs"
work="$scratch/work"
mkdir -p "$inputs"

cp "$root"/tests/formats/data/* "$inputs/"
cp "$inputs/aama_small.dxf" "$inputs/aama_five_sizes.dxf"  # beside the five-size rule table
public="$root/../shared/testdata/public"
if [ -d "$public" ]; then cp "$public"/*/*.dxf "$inputs/"; fi

# gen FILE PIECES [SIZES | named]: size blocks with texts and a rule table of
# SIZES sizes (8 when not given), or named blocks without texts or rule table.
cat > "$scratch/gen.cpp" <<'CPP'
#include "bench/aama_generator.h"
#include <cstdlib>
#include <cstring>
int main(int argc, char** argv) {
  if (argc != 3 && argc != 4) return 2;
  const int pieces = std::atoi(argv[2]);
  AamaStyleShape shape;
  shape.pieces = pieces;
  if (argc == 4 && std::strcmp(argv[3], "named") == 0) {
    shape = NamedBlocksShape(pieces);
  } else if (argc == 4) {
    shape.sizes = std::atoi(argv[3]);
  }
  return WriteAamaStyle(GenerateAamaStyle(shape), argv[1]) ? 0 : 1;
}
CPP
g++ -std=c++20 -O1 -I"$root" "$scratch/gen.cpp" "$root/bench/aama_generator.cpp" "$root/platform/numbers.cpp" \
  -o "$scratch/gen"
"$scratch/gen" "$inputs/gen_tiny.dxf" 1
"$scratch/gen" "$inputs/gen_small.dxf" 5
"$scratch/gen" "$inputs/gen_large.dxf" 60
"$scratch/gen" "$inputs/gen_sizes12.dxf" 10 12
"$scratch/gen" "$inputs/gen_named_small.dxf" 5 named
"$scratch/gen" "$inputs/gen_named_large.dxf" 60 named

rm -rf "$out"
mkdir -p "$out"
run() {  # name, steps...
  local name=$1
  shift
  rm -rf "$work"
  mkdir -p "$work/home" "$work/files"
  cp "$inputs"/* "$work/files/"
  local rc=0
  (cd "$work/files" && timeout 300 "$driver" --home "$work/home" "$@" >"$work/stdout" 2>"$work/stderr") || rc=$?
  mkdir -p "$out/$name"
  echo "rc=$rc" >"$out/$name/rc"
  sed "s#$work#WORK#g" "$work/stdout" >"$out/$name/stdout"
  sed "s#$work#WORK#g" "$work/stderr" >"$out/$name/stderr"
  for f in "$work/files"/out*; do
    [ -e "$f" ] || continue
    # Native files are binary and hold no date.
    if [[ $f == *.ptn ]]; then cp "$f" "$out/$name/"; continue; fi
    sed -E "s#$work#WORK#g; s/^(creation (time|date): ).*/\\1X/I" "$f" >"$out/$name/$(basename "$f")"
  done
}
for f in "$inputs"/*.dxf; do
  b=$(basename "$f" .dxf)
  run "$b.a1" open-aama "$b.dxf" place-all dump save-aama out1.dxf pieces=all save-dxf out2.dxf pieces=all
  run "$b.a2" open-aama "$b.dxf" sizes-separate=1 all-grade-points=1 text-info=1 place-all dump \
    save-aama out3.dxf pieces=all sizes=base notch=2 text=english grade-to-rul=1 control-points=1 grade-points=1 \
    desc-as-name=1 save-dxf out4.dxf pieces=all sizes=overlaid notch-bump=1 control-points=1
  run "$b.d1" open-dxf "$b.dxf" place-all dump save-dxf out5.dxf pieces=all save-aama out6.dxf pieces=all notch=3
  run "$b.d2" open-dxf "$b.dxf" unit=inch patterns=one dump save-dxf out7.dxf pieces=work sizes=separate
  run "$b.p1" open-aama "$b.dxf" place-all save-ptn out8.ptn open-ptn out8.ptn dump save-ptn out9.ptn
  run "$b.p2" open-dxf "$b.dxf" save-ptn out10.ptn open-ptn out10.ptn dump save-ptn out11.ptn
done
echo "snapshot: $(ls "$out" | wc -l) runs in $out"
