#!/usr/bin/env bash
# Makes a TGA picture the cruncher and the blender read, from any picture ImageMagick
# reads (PNG, JPEG, GIF, ...):
#   make-tga.sh IN OUT                        24-bit colour, at most 20,000 pixels
#   make-tga.sh --grey IN OUT                 8-bit grey map, at most 20,000 pixels
#   make-tga.sh --grey --like PIC.tga IN OUT  exactly PIC.tga's width and height
# A picture is shrunk, never enlarged, keeping its aspect ratio. Rows are stored bottom
# row first, as the header declares, so the picture stands upright in the viewer and
# the blender. The result is read back and checked before the size is printed.
set -euo pipefail

readonly kMaxPixels=20000

usage() {
  echo "usage: bash scripts/make-tga.sh [--grey] [--like PICTURE.tga] IN OUT" >&2
  exit 2
}
fail() {
  echo "make-tga: $*" >&2
  exit 1
}

grey=0
like=""
while [ $# -gt 0 ]; do
  case "$1" in
    --grey) grey=1; shift ;;
    --like) [ $# -ge 2 ] || usage; like=$2; shift 2 ;;
    --help) sed -n '2,9p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    --) shift; break ;;
    -*) usage ;;
    *) break ;;
  esac
done
[ $# -eq 2 ] || usage
in=$1
out=$2

command -v convert >/dev/null && command -v identify >/dev/null ||
  fail "ImageMagick is not installed (bash scripts/install-deps.sh installs it)"
[ -f "$in" ] || fail "$in: no such file"

# Width and height of the picture's first frame, as shown (after any orientation tag).
read -r width height < <(convert "$in[0]" -auto-orient -format '%w %h\n' info: 2>/dev/null) ||
  fail "$in: not a picture ImageMagick reads"

if [ -n "$like" ]; then
  [ -f "$like" ] || fail "$like: no such file"
  read -r like_type < <(od -An -tu1 -j2 -N1 "$like") || like_type=0
  case "$like_type" in 2 | 3 | 10 | 11) ;; *) fail "$like: not a TGA picture" ;; esac
  read -r w0 w1 h0 h1 < <(od -An -tu1 -j12 -N4 "$like") || fail "$like: not a TGA picture"
  target_w=$((w0 + 256 * w1))
  target_h=$((h0 + 256 * h1))
  [ $((target_w * target_h)) -gt 0 ] || fail "$like: a TGA file without pixels"
  resize="${target_w}x${target_h}!"
else
  target_w=$width
  target_h=$height
  if [ $((width * height)) -gt $kMaxPixels ]; then
    # The largest size of the same aspect within the limit.
    read -r target_w target_h < <(awk -v w="$width" -v h="$height" -v n="$kMaxPixels" 'BEGIN {
      s = sqrt(n / (w * h)); tw = int(w * s); th = int(h * s)
      if (tw < 1) tw = 1; if (th < 1) th = 1
      while (tw * th > n) { if (tw * h > th * w) tw--; else th-- }
      print tw, th }')
  fi
  resize="${target_w}x${target_h}!"
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The picture as it should look, at its final size: the reference for the check.
if [ $grey -eq 1 ]; then
  format=gray type=3 depth=8 bytes=1 ext=pgm
  convert "$in[0]" -auto-orient -background black -alpha remove -alpha off -resize "$resize" \
    -colorspace gray -depth 8 "$work/look.$ext"
else
  format=bgr type=2 depth=24 bytes=3 ext=ppm
  convert "$in[0]" -auto-orient -background black -alpha remove -alpha off -resize "$resize" \
    -colorspace sRGB -type TrueColor -depth 8 "$work/look.$ext"
fi

# The header: no id, no colour map, image type, 16-bit little-endian width and height,
# bits per pixel, and a descriptor of 0 (bottom-left origin, no alpha bits).
octal() { printf '\\%03o' "$1"; }
{
  printf '\0\0'"$(octal $type)"'\0\0\0\0\0\0\0\0\0'
  printf "$(octal $((target_w % 256)))$(octal $((target_w / 256)))"
  printf "$(octal $((target_h % 256)))$(octal $((target_h / 256)))"
  printf "$(octal $depth)"'\0'
  convert "$work/look.$ext" -flip -depth 8 "$format:-"
} > "$work/picture.tga"

# The check: the header's size, the file's length, and the pixels read back from the
# file, bottom row first, against the reference.
size=$(stat -c %s "$work/picture.tga")
[ "$size" -eq $((18 + target_w * target_h * bytes)) ] || fail "internal error: $size bytes written"
tail -c +19 "$work/picture.tga" > "$work/pixels"
differ=$(convert -size "${target_w}x${target_h}" -depth 8 "$format:$work/pixels" -flip "$work/back.$ext" &&
  compare -metric AE "$work/look.$ext" "$work/back.$ext" null: 2>&1) || true
[ "$differ" = "0" ] || fail "internal error: the written pixels read back differently ($differ)"

mv "$work/picture.tga" "$out"
kind="24-bit colour"
[ $grey -eq 1 ] && kind="8-bit grey"
note=""
if [ "$target_w" -ne "$width" ] || [ "$target_h" -ne "$height" ]; then note=" (from $width x $height)"; fi
echo "$out: $target_w x $target_h = $((target_w * target_h)) pixels, $kind$note"
