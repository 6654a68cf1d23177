#!/usr/bin/env bash
# Quillary against a peer photo-mosaic program, Debian's metapixel, on the same photos:
# both build a tile library from the same tile photos and make the same mosaic of the
# same photo (100 x 100 cells, an 8000 x 8000 picture). Prints the wall-clock times of
# library building and mosaic creation of both, the ratio of the totals, and how close
# each mosaic looks to the photo (mean CIE76 Delta E of one sample per cell, see
# bench/mosaic_fidelity.cpp).
#
# usage: bench/compare-peers.sh [BUILD_DIR]
# environment: PEERS_TILES (500), PEERS_TILE_SIZE (3000x2000: 6-megapixel tile photos,
#              the size of an ordinary camera's pictures), PEERS_TILE_DIR (use the
#              photos of that folder instead of generated ones, e.g.
#              resources/sample-content/tiles), PEERS_PHOTO (the main photo, cropped to
#              its centred square; by default the sample content's honey bee when the
#              repository has it, else a generated landscape), PEERS_KEEP=1 keeps the
#              work folder, PEERS_DIR uses that folder.
# The last line is machine-readable for scripts/run-benchmarks:
#   PEERS ours_s=... metapixel_s=... ratio=... ours_delta_e=... metapixel_delta_e=...
set -euo pipefail

build=${1:-build}
repo=$(cd "$(dirname "$0")/.." && pwd)
tiles=${PEERS_TILES:-500}
tile_size=${PEERS_TILE_SIZE:-3000x2000}
cells=100
cell_px=80 # 100 cells of 80 pixels: the 8000-pixel picture of both programs
export QT_QPA_PLATFORM=offscreen

cli="$build/bin/quillary-cli"
photos_tool="$build/bench/make_bench_photos"
fidelity="$build/bench/mosaic_fidelity"
for f in "$cli" "$photos_tool" "$fidelity"; do
  if [ ! -x "$f" ]; then
    echo "compare-peers: $f is missing; build first (make bench builds it)" >&2
    exit 1
  fi
done

if ! command -v metapixel >/dev/null || ! command -v metapixel-prepare >/dev/null; then
  echo "compare-peers: installing the Debian package metapixel"
  sudo=""
  if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq || true
  $sudo apt-get install -y -qq --no-install-recommends metapixel
fi

work=${PEERS_DIR:-$(mktemp -d -t quillary-peers-XXXXXX)}
mkdir -p "$work"
if [ -z "${PEERS_KEEP:-}" ] && [ -z "${PEERS_DIR:-}" ]; then trap 'rm -rf "$work"' EXIT; fi

# Seconds since the epoch with a fraction, and the difference of two of them.
now() { date +%s.%N; }
elapsed() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", b - a }'; }

main_photo=${PEERS_PHOTO:-}
if [ -z "$main_photo" ] && [ -f "$repo/resources/sample-content/main/honey-bee.jpg" ]; then
  main_photo="$repo/resources/sample-content/main/honey-bee.jpg"
fi
if [ ! -f "$work/input/photo.jpg" ]; then
  photo_args=(--photo-size 2000)
  [ -n "$main_photo" ] && photo_args+=(--photo-from "$main_photo")
  if [ -n "${PEERS_TILE_DIR:-}" ]; then
    echo "compare-peers: tile photos from $PEERS_TILE_DIR, a 2000 x 2000 photo in $work/input"
    mkdir -p "$work/input/tiles"
    cp "$PEERS_TILE_DIR"/*.jpg "$work/input/tiles/"
    "$photos_tool" "$work/input" --tiles 0 "${photo_args[@]}"
  else
    echo "compare-peers: making $tiles tile photos of $tile_size and a 2000 x 2000 photo in $work/input"
    "$photos_tool" "$work/input" --tiles "$tiles" --tile-width "${tile_size%x*}" --tile-height "${tile_size#*x}" \
      "${photo_args[@]}"
  fi
fi
tiles=$(find "$work/input/tiles" -name '*.jpg' | wc -l)
tile_desc=$([ -n "${PEERS_TILE_DIR:-}" ] && echo "from $PEERS_TILE_DIR" || echo "of $tile_size")
photo="$work/input/photo.jpg"
rm -rf "$work/quillary" "$work/metapixel"
mkdir -p "$work/quillary" "$work/metapixel/library"
# Both programs write JPEG pictures (an 8000 x 8000 PNG would time the PNG encoder).
log="$work/commands.log"
: >"$log"
fail() {
  echo "compare-peers: a command failed; its output:" >&2
  tail -20 "$log" >&2
  exit 1
}

echo "compare-peers: Quillary"
t0=$(now)
"$cli" library create "$work/quillary/library" --name "Peers" --width $cell_px --height $cell_px --ppi 100 \
  >>"$log" 2>&1 || fail
"$cli" library add "$work/quillary/library" "$work/input/tiles" >>"$log" 2>&1 || fail
t1=$(now)
# The window's defaults (dither, colour enhance 0.4, alpha blend 0.25), no gaps. The
# project folder it saves holds the mosaic picture, MosaicPicture.jpg, 8000 x 8000.
"$cli" mosaic create --photo "$photo" --library "$work/quillary/library" --out "$work/quillary/project" \
  --cols $cells --rows $cells --tile-width $cell_px --tile-height $cell_px --gap-x 0 --gap-y 0 --unit pixel \
  --seed 1 >>"$log" 2>&1 || fail
t2=$(now)

echo "compare-peers: metapixel"
t3=$(now)
metapixel-prepare --width=$cell_px --height=$cell_px "$work/input/tiles" "$work/metapixel/library" \
  >>"$log" 2>&1 || fail
t4=$(now)
# The photo is 2000 pixels wide; scaled by 4 it is 8000, that is 100 cells of 80.
metapixel --width=$cell_px --height=$cell_px --scale=4 --library "$work/metapixel/library" \
  --metapixel "$photo" "$work/metapixel/mosaic.jpg" >>"$log" 2>&1 || fail
t5=$(now)

ours_lib=$(elapsed "$t0" "$t1")
ours_mosaic=$(elapsed "$t1" "$t2")
ours=$(elapsed "$t0" "$t2")
mp_lib=$(elapsed "$t3" "$t4")
mp_mosaic=$(elapsed "$t4" "$t5")
mp=$(elapsed "$t3" "$t5")
ours_de=$("$fidelity" "$photo" "$work/quillary/project/MosaicPicture.jpg" --cols $cells --rows $cells | sed 's/.*=//')
mp_de=$("$fidelity" "$photo" "$work/metapixel/mosaic.jpg" --cols $cells --rows $cells | sed 's/.*=//')
ratio=$(awk -v a="$mp" -v b="$ours" 'BEGIN { printf "%.2f", a / b }')

printf '\n%-10s %10s %10s %10s %14s\n' "program" "library s" "mosaic s" "total s" "mean Delta E"
printf '%-10s %10s %10s %10s %14s\n' "Quillary" "$ours_lib" "$ours_mosaic" "$ours" "$ours_de"
printf '%-10s %10s %10s %10s %14s\n' "metapixel" "$mp_lib" "$mp_mosaic" "$mp" "$mp_de"
printf 'Quillary is %sx faster in total; %d tile photos %s, photo %s, %d x %d cells, 8000-pixel pictures\n' \
  "$ratio" "$tiles" "$tile_desc" "${main_photo:-generated}" $cells $cells
echo "PEERS ours_s=$ours metapixel_s=$mp ratio=$ratio ours_delta_e=$ours_de metapixel_delta_e=$mp_de"
