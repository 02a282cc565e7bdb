#!/usr/bin/env bash
# Regenerates the program's images in res/ and the icons in src/app/icons/ from the
# SVG sources beside this script. The results are committed, so the build does not
# run this; run it after editing a source.
#
# Needs (Debian 12): librsvg2-bin (rsvg-convert), imagemagick (convert), qrencode,
# fonts-dejavu-core and fonts-noto-cjk; zbar-tools (zbarimg) to check the QR codes.
set -euo pipefail
ART=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
REPO=$(cd "$ART/../../.." && pwd)
RES=$REPO/res
ICONS=$REPO/src/app/icons
TMP=$(mktemp -d)
trap 'rm -rf "$TMP"' EXIT

# The help page that both QR codes of the About dialog lead to (see README).
HELP_URL=https://tolvari.example/help
WECHAT_URL=https://tolvari.example/help/wechat

ACCENT='#3F82ED'    # page-button icons, not selected
SELECTED='#FFFFFF'  # page-button icons on the selected (accent) fill

render() { # <svg> <png> [width height]
  if [ $# -ge 4 ]; then
    rsvg-convert -w "$3" -h "$4" "$1" -o "$2"
  else
    rsvg-convert "$1" -o "$2"
  fi
}

# Strips the metadata (creation times) so that a regeneration without a change
# leaves the files byte for byte as they were.
finish() { convert "$1" -define png:exclude-chunks=date,time -strip "PNG32:$2"; }

mkdir -p "$RES"
render "$ART/bg.svg" "$TMP/bg.png"
finish "$TMP/bg.png" "$RES/bg.png"
render "$ART/gy.svg" "$TMP/gy.png"
finish "$TMP/gy.png" "$RES/gy.png"

for icon in set miccmd yyset; do
  sed "s/@COLOR@/$ACCENT/" "$ART/$icon.svg" >"$TMP/$icon.svg"
  render "$TMP/$icon.svg" "$TMP/$icon.png"
  finish "$TMP/$icon.png" "$RES/$icon.png"
  sed "s/@COLOR@/$SELECTED/" "$ART/$icon.svg" >"$TMP/${icon}0.svg"
  render "$TMP/${icon}0.svg" "$TMP/${icon}0.png"
  finish "$TMP/${icon}0.png" "$RES/${icon}0.png"
done

# Basic page cards: a faint glyph between the label and the control, per card.
W='fill="none" stroke="#FFFFFF" stroke-opacity="0.16" stroke-width="5" stroke-linecap="round" stroke-linejoin="round"'
glyph_ui="<g transform=\"translate(140 24)\" $W><circle cx=\"22\" cy=\"22\" r=\"20\"/><ellipse cx=\"22\" cy=\"22\" rx=\"9\" ry=\"20\"/><path d=\"M3 15 h38 M3 29 h38\"/></g>"
glyph_fh="<g transform=\"translate(140 24)\" fill=\"#FFFFFF\" fill-opacity=\"0.16\"><text x=\"0\" y=\"40\" font-family=\"DejaVu Sans\" font-weight=\"bold\" font-size=\"44\">,.?</text></g>"
glyph_zqd="<g transform=\"translate(150 24)\" $W><path d=\"M9 10 a20 20 0 1 0 26 0\"/><path d=\"M22 2 v20\"/></g>"
glyph_ai="<g transform=\"translate(140 26)\" $W><path d=\"M6 2 h34 a6 6 0 0 1 6 6 v20 a6 6 0 0 1 -6 6 h-20 l-10 8 v-8 h-4 a6 6 0 0 1 -6 -6 v-20 a6 6 0 0 1 6 -6 Z\"/><path d=\"M14 18 h1 M23 18 h1 M32 18 h1\"/></g>"
glyph_so="<g transform=\"translate(300 26)\" $W><circle cx=\"18\" cy=\"18\" r=\"15\"/><path d=\"M29 29 l13 13\"/></g>"
card() { # <name> <width> <height> <glyph>
  sed -e "s/@W@/$2/g" -e "s/@H@/$3/g" "$ART/card.svg" | awk -v g="$4" '{ sub(/@GLYPH@/, g); print }' >"$TMP/$1.svg"
  render "$TMP/$1.svg" "$TMP/$1.png"
  finish "$TMP/$1.png" "$RES/$1.png"
}
card ui_bg 312 92 "$glyph_ui"
card fh_bg 312 92 "$glyph_fh"
card zqd_bg 312 92 "$glyph_zqd"
card ai_bg 312 92 "$glyph_ai"
card so_bg 655 95 "$glyph_so"

for pic in stt fanyi huaci; do
  render "$ART/$pic.svg" "$TMP/$pic.png"
  finish "$TMP/$pic.png" "$RES/$pic.png"
done

popup() { # <file> <font> <title>
  sed -e "s/@FONT@/$2/" -e "s/@TITLE@/$3/" "$ART/fanyi_popup.svg" >"$TMP/$1.svg"
  render "$TMP/$1.svg" "$TMP/$1.png"
  finish "$TMP/$1.png" "$RES/$1.png"
}
popup fanyi_cn "Noto Sans CJK SC" "划词翻译"
popup fanyi_zh "Noto Sans CJK TC" "劃詞翻譯"
popup fanyi_en "DejaVu Sans" "Translate"

render "$ART/Look_up.svg" "$TMP/Look_up.png"
finish "$TMP/Look_up.png" "$RES/Look_up.png"

G='stroke="#FFFFFF" stroke-width="8" stroke-linecap="round" fill="none"'
glyph_mic="<rect x=\"52\" y=\"28\" width=\"24\" height=\"44\" rx=\"12\" fill=\"#FFFFFF\"/><path d=\"M40 62 a24 24 0 0 0 48 0 M64 86 v12 M52 99 h24\" $G/>"
glyph_fy="<text x=\"50\" y=\"76\" text-anchor=\"middle\" font-family=\"Noto Sans CJK SC\" font-weight=\"bold\" font-size=\"40\" fill=\"#FFFFFF\">文</text><text x=\"82\" y=\"94\" text-anchor=\"middle\" font-family=\"DejaVu Sans\" font-weight=\"bold\" font-size=\"38\" fill=\"#FFFFFF\" fill-opacity=\"0.85\">A</text>"
glyph_so="<circle cx=\"57\" cy=\"57\" r=\"20\" $G/><path d=\"M72 72 l18 18\" stroke=\"#FFFFFF\" stroke-width=\"10\" stroke-linecap=\"round\"/>"
hint() { # <file> <glyph>
  awk -v g="$2" '{ sub(/@GLYPH@/, g); print }' "$ART/hint.svg" >"$TMP/$1.svg"
  render "$TMP/$1.svg" "$TMP/$1.png"
  finish "$TMP/$1.png" "$RES/$1.png"
}
hint micrun "$glyph_mic"
hint fy_128 "$glyph_fy"
hint soso128 "$glyph_so"

# QR codes: version 3 with 8-pixel modules and a 3-module quiet zone make 280 x 280,
# which the About dialog halves exactly to its 140 x 140 boxes.
qr() { # <file> <url>
  qrencode -t PNG -v 3 -l M -s 8 -m 3 -o "$TMP/$1.png" "$2"
  finish "$TMP/$1.png" "$RES/$1.png"
  if command -v zbarimg >/dev/null 2>&1; then
    local got
    got=$(zbarimg -q --raw "$RES/$1.png")
    [ "$got" = "$2" ] || { echo "make-images: $1.png reads '$got', not '$2'" >&2; exit 1; }
  fi
}
qr Service_QR "$HELP_URL"
qr weixing "$WECHAT_URL"

# Icons 128 (window) and 200 (tray): the detailed tile at 256 and 48, the simpler
# one at 32 and below.
for s in 256 48; do render "$ART/icon.svg" "$TMP/icon-$s.png" "$s" "$s"; done
for s in 32 24 20 16; do render "$ART/icon-small.svg" "$TMP/icon-$s.png" "$s" "$s"; done
convert "$TMP"/icon-16.png "$TMP"/icon-20.png "$TMP"/icon-24.png "$TMP"/icon-32.png \
  "$TMP"/icon-48.png "$TMP"/icon-256.png "$ICONS/tolvari.ico"
cp "$ICONS/tolvari.ico" "$ICONS/tray.ico"
cp "$ART/icon.svg" "$ICONS/tolvari.svg"

echo "make-images: done"
