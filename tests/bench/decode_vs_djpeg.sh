#!/usr/bin/env bash
# Benchmark, not a test: decodes the same JPEGs with the imaging layer
# (zv_bench_image_decode from a Release build without sanitizers) and with
# libjpeg-turbo's djpeg, in one run, and prints the time per photograph of
# each and their ratio. Then the same for one large photograph (6000 x 4000,
# made by upscaling a real one with ImageMagick): decoded fully, and at the
# DCT scale a 1024 x 768 or 1920 x 1080 screen needs plus the resampling to
# fit it, and to what a slide with Highest detail needs on those screens,
# each as a ratio to djpeg's full decode of that file; and how soon a decode
# of it, baseline or progressive, gives up once cancelled.
#
#   ZV_BENCH_IMAGES=/folder/of/jpegs ZV_BENCH_LARGE=big.jpg bash tests/bench/decode_vs_djpeg.sh
#
# Without ZV_BENCH_IMAGES the demo bundle's JPEGs (build/demo/work/image,
# made by tools/make_demo_bundle.sh) are used, or when there are
# none a few 1024 x 1024 stand-ins made with cjpeg; without ZV_BENCH_LARGE
# the large photograph is made in a temporary folder. ZV_BENCH_BUILD is the
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
large=${ZV_BENCH_LARGE:-$scratch/large.jpg}
[ -f "$large" ] || "$bench" --make-large "$large"
echo "large photograph: $large ($(identify -format '%w x %h' "$large" 2>/dev/null || echo '?'))"

if ! ZV_BENCH_IMAGES=$images ZV_BENCH_LARGE=$large "$bench" --benchmark_filter='/all$|^Large/' \
  --benchmark_min_time=2 --benchmark_out="$scratch/ours.json" --benchmark_out_format=json \
  >"$scratch/bench.log" 2>&1; then
  cat "$scratch/bench.log" >&2
  exit 1
fi

# Microseconds for `rounds` rounds of djpeg over the files given, with the options given.
time_djpeg() {
  local options=$1 start end file
  shift
  start=$(date +%s%N)
  for ((round = 0; round < rounds; ++round)); do
    # shellcheck disable=SC2086
    for file in "$@"; do djpeg $options -outfile /dev/null "$file"; done
  done
  end=$(date +%s%N)
  echo $(( (end - start) / 1000 ))
}

python3 - "$scratch/ours.json" "$(time_djpeg "" "${files[@]}")" "$(( rounds * ${#files[@]} ))" \
  "$(time_djpeg "" "$large")" "$(time_djpeg "-scale 1/4" "$large")" "$(time_djpeg "-scale 1/2" "$large")" \
  "$rounds" <<'PY'
import json, sys
runs = {b["name"]: b for b in json.load(open(sys.argv[1]))["benchmarks"]}
ms = lambda name: 1000.0 / runs[name]["items_per_second"]
djpeg = int(sys.argv[2]) / 1000.0 / int(sys.argv[3])
ours = ms("Decode/all")
print("imaging layer, decode:             %7.2f ms per photograph" % ours)
print("imaging layer, decode + fit 1024:  %7.2f ms per photograph" % ms("DecodeFit1024/all"))
print("djpeg, decode:                     %7.2f ms per photograph" % djpeg)
print("ratio, imaging layer / djpeg:      %7.2f" % (ours / djpeg))

rounds = int(sys.argv[7])
djpeg_full, djpeg_quarter, djpeg_half = (int(v) / 1000.0 / rounds for v in sys.argv[4:7])
print()
print("large photograph                                      ms   / djpeg full decode")
def row(label, value):
    print("%-48s %8.1f   %5.2f" % (label, value, value / djpeg_full))
row("djpeg, full decode", djpeg_full)
row("djpeg -scale 1/4", djpeg_quarter)
row("djpeg -scale 1/2", djpeg_half)
large = lambda name: runs[name]["real_time"]
row("imaging layer, full decode", large("Large/Decode/0/0"))
for screen in ("1024/768", "1920/1080"):
    label = screen.replace("/", " x ")
    row("imaging layer, scaled decode for %s" % label, large("Large/ScaledDecode/" + screen))
    row("imaging layer, scaled decode + fit %s" % label, large("Large/ScaledDecodeFit/" + screen))
    row("imaging layer, full decode + fit %s" % label, large("Large/FullDecodeFit/" + screen))
    row("imaging layer, Highest detail for %s" % label, large("Large/HighestDetail/" + screen))
    row("loader, scaled decode into tiles, fit %s" % label, large("Large/ScaledTiles/" + screen))
    row("loader, Highest detail into tiles, %s" % label, large("Large/HighestDetailTiles/" + screen))
print()
for kind in ("baseline", "progressive"):
    for name in runs:
        if name.startswith("Large/CancelLatency/%s/" % kind):
            print("cancel to return, %-12s %6.2f ms" % (kind, large(name)))
PY
