#!/usr/bin/env bash
# Benchmark, not a test: decodes the same JPEGs with the imaging layer
# (zv_bench_image_decode from a Release build without sanitizers) and with
# libjpeg-turbo's djpeg, in one run, and prints the time per photograph of
# each and their ratio.
#
#   ZV_BENCH_IMAGES=/folder/of/jpegs bash tests/bench/decode_vs_djpeg.sh
#
# Without ZV_BENCH_IMAGES the demo bundle's JPEGs (build/demo/work/image,
# made by tools/make_demo_bundle.sh) are used, or when there are
# none a few 1024 x 1024 stand-ins made with cjpeg. ZV_BENCH_BUILD is the
# build folder (default build/bench), configured on first use. djpeg's times
# include starting the process once per photograph.
set -euo pipefail

root=$(cd "$(dirname "$0")/../.." && pwd)
build=${ZV_BENCH_BUILD:-$root/build/bench}
rounds=${ZV_BENCH_ROUNDS:-5}
command -v djpeg >/dev/null || { echo "djpeg (libjpeg-turbo-progs) is not installed" >&2; exit 1; }

if [ ! -f "$build/build.ninja" ]; then
  cmake --preset native -B "$build" -DCMAKE_BUILD_TYPE=Release -DZV_SANITIZE=OFF >/dev/null
fi
cmake --build "$build" --target zv_bench_image_decode -j2 >/dev/null
bench=$build/tests/bench/zv_bench_image_decode

list_jpegs() {
  find "$1" -maxdepth 1 -type f \( -iname '*.jpg' -o -iname '*.jpeg' -o -iname '*.jpe' -o -iname '*.jfif' \) | sort
}

scratch=$(mktemp -d /tmp/zv_bench_XXXXXX)
trap 'rm -rf "$scratch"' EXIT
images=${ZV_BENCH_IMAGES:-$root/build/demo/work/image}
if [ -z "$(list_jpegs "$images" 2>/dev/null)" ]; then
  images=$scratch/images
  mkdir "$images"
  "$bench" --make-images "$images"
fi
mapfile -t files < <(list_jpegs "$images")
echo "photographs: ${#files[@]} JPEGs in $images"

if ! ZV_BENCH_IMAGES=$images "$bench" --benchmark_filter='/all$' --benchmark_min_time=2 \
  --benchmark_out="$scratch/ours.json" --benchmark_out_format=json >"$scratch/bench.log" 2>&1; then
  cat "$scratch/bench.log" >&2
  exit 1
fi

start=$(date +%s%N)
for ((round = 0; round < rounds; ++round)); do
  for file in "${files[@]}"; do djpeg -outfile /dev/null "$file"; done
done
end=$(date +%s%N)

python3 - "$scratch/ours.json" "$(( (end - start) / 1000 ))" "$(( rounds * ${#files[@]} ))" <<'PY'
import json, sys
runs = {b["name"]: b for b in json.load(open(sys.argv[1]))["benchmarks"]}
ms = lambda name: 1000.0 / runs[name]["items_per_second"]
djpeg = int(sys.argv[2]) / 1000.0 / int(sys.argv[3])
ours = ms("Decode/all")
print("imaging layer, decode:             %7.2f ms per photograph" % ours)
print("imaging layer, decode + fit 1024:  %7.2f ms per photograph" % ms("DecodeFit1024/all"))
print("djpeg, decode:                     %7.2f ms per photograph" % djpeg)
print("ratio, imaging layer / djpeg:      %7.2f" % (ours / djpeg))
PY
