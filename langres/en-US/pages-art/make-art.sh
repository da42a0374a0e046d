#!/bin/sh
# make-art.sh: draws the glyphs of the Standards and Search pages with
# ImageMagick. The results are checked in; run this only to change them.
set -eu
cd "$(dirname "$0")"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# Standards tree, bitmap 2057: a strip of two 24 x 16 glyphs on white, the
# mask colour, so drawn without anti-aliasing. Image 0, a standard: a drawing
# sheet with its title block and parts list. Image 1, the chosen standard: the
# same sheet, blue, with a tick.
convert -size 24x16 xc:white +antialias \
    -fill '#f4f4f0' -stroke '#6f6f6f' -strokewidth 1 -draw "rectangle 4,1 19,14" \
    -stroke '#9a9a9a' -draw "line 6,4 13,4" -draw "line 6,6 13,6" -draw "line 6,8 11,8" \
    -stroke '#6f6f6f' -fill '#dcdcd4' -draw "rectangle 12,10 19,14" -draw "line 12,12 19,12" \
    -type TrueColor "$tmp/std.bmp"
convert -size 24x16 xc:white +antialias \
    -fill '#e8f1fb' -stroke '#1f5f9f' -strokewidth 1 -draw "rectangle 4,1 19,14" \
    -stroke '#6f9fcf' -draw "line 6,4 13,4" -draw "line 6,6 13,6" -draw "line 6,8 11,8" \
    -stroke '#1f5f9f' -fill '#c6dcf2' -draw "rectangle 12,10 19,14" -draw "line 12,12 19,12" \
    -stroke '#1c8a2e' -strokewidth 2 -fill none -draw "polyline 14,5 16,8 22,1" \
    -type TrueColor "$tmp/chosen.bmp"
convert "$tmp/std.bmp" "$tmp/chosen.bmp" +append -type TrueColor BMP3:standards.bmp

# Search tree, 20 x 16 icons with transparency. Icon 2130, a folder; icon 2131,
# the root: a folder stack under a magnifying glass.
convert -size 20x16 xc:none \
    -fill '#e0a526' -stroke '#9c6b0e' -strokewidth 1 -draw "polygon 2,3 7,3 9,5 17,5 17,14 2,14" \
    -fill '#f6cf5e' -stroke '#9c6b0e' -draw "polygon 2,7 17,7 17,14 2,14" \
    -stroke '#fbe59d' -draw "line 3,8 16,8" \
    PNG32:"$tmp/folder.png"
convert "$tmp/folder.png" folder.ico
convert -size 20x16 xc:none \
    -fill '#c98f1c' -stroke '#8a5d0c' -strokewidth 1 -draw "polygon 1,1 5,1 6,2 12,2 12,9 1,9" \
    -fill '#e0a526' -stroke '#9c6b0e' -draw "polygon 3,4 7,4 8,5 14,5 14,12 3,12" \
    -fill '#f6cf5e' -stroke '#9c6b0e' -draw "polygon 3,7 14,7 14,12 3,12" \
    -fill '#dff0ff' -stroke '#1f5f9f' -strokewidth 1.5 -draw "circle 13,9 13,5" \
    -stroke '#1f5f9f' -strokewidth 2 -draw "line 16,12 19,15" \
    PNG32:"$tmp/root.png"
convert "$tmp/root.png" searchroot.ico
