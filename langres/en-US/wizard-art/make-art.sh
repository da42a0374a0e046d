#!/bin/sh
# make-art.sh: draws the wizard's bitmaps and icons with ImageMagick. The
# results are checked in; run this only to change them.
set -eu
cd "$(dirname "$0")"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT


# Wizard picture: 164 x 314, a blueprint fading into the current release's blue. The arrow
# is short lines because ImageMagick 6 closes stroked curves.
convert -size 164x314 gradient:'#0a2f57'-'#2a7cc4' \
    \( -size 164x314 xc:none -fill none -stroke '#ffffff1c' -strokewidth 1 \
       -draw "path 'M 0,20 L 164,20 M 0,40 L 164,40 M 0,60 L 164,60 M 0,80 L 164,80 M 0,100 L 164,100 M 0,120 L 164,120 M 0,140 L 164,140 M 0,160 L 164,160 M 0,180 L 164,180 M 0,200 L 164,200 M 0,220 L 164,220 M 0,240 L 164,240 M 0,260 L 164,260 M 0,280 L 164,280 M 0,300 L 164,300'" \
       -draw "path 'M 20,0 L 20,314 M 40,0 L 40,314 M 60,0 L 60,314 M 80,0 L 80,314 M 100,0 L 100,314 M 120,0 L 120,314 M 140,0 L 140,314 M 160,0 L 160,314'" \) \
    -composite \
    \( -size 164x314 xc:none \
       -fill '#d9d2b8' -stroke '#8a8470' -strokewidth 1 -draw "rectangle 22,34 102,134" \
       -fill none -stroke '#7b705a' -strokewidth 1 -draw "rectangle 27,39 97,129" -draw "rectangle 67,115 97,129" \
       -draw "line 67,122 97,122" -draw "circle 50,72 50,88" -draw "circle 50,72 50,79" \
       -draw "line 30,72 70,72" -draw "line 50,52 50,92" \
       -fill '#e8f1fb' -stroke '#9fc0e0' -strokewidth 1 -draw "rectangle 58,176 142,280" \
       -fill none -stroke '#1f5f9f' -strokewidth 1 -draw "rectangle 63,181 137,275" -draw "rectangle 104,260 137,275" \
       -draw "line 104,267 137,267" -stroke '#d04a1a' -strokewidth 2 -draw "circle 88,220 88,238" \
       -strokewidth 1 -stroke '#1f5f9f' -draw "circle 88,220 88,228" -draw "line 66,220 110,220" -draw "line 88,198 88,242" \
       -fill none -stroke '#ffb84d' -strokewidth 5 \
       -draw "stroke-linecap round stroke-linejoin round line 106,84 112,86 line 112,86 118,89 line 118,89 123,93 line 123,93 127,97 line 127,97 131,101 line 131,101 134,106 line 134,106 136,111 line 136,111 137,117 line 137,117 137,123 line 137,123 137,128 line 137,128 136,134 line 136,134 134,140 line 134,140 132,145 line 132,145 128,151 line 128,151 124,156 line 124,156 119,161" \
       -fill '#ffb84d' -stroke none -draw "polygon 106,172 125,168 114,153" \) \
    -composite -type TrueColor BMP3:wizard.bmp

# Page mark: 32 x 32 on white (white shows the dialog's colour): a sheet and the migration arrow.
convert -size 32x32 xc:white \
    -fill '#e8f1fb' -stroke '#1f5f9f' -strokewidth 1 -draw "rectangle 4,2 22,27" \
    -stroke '#1f5f9f' -draw "line 8,8 18,8" -draw "line 8,12 18,12" -draw "line 8,16 14,16" \
    -draw "rectangle 14,21 22,27" \
    -fill '#ffa000' -stroke '#b86e00' -draw "polygon 17,14 25,14 25,10 31,18 25,26 25,22 17,22" \
    -type TrueColor BMP3:pagemark.bmp

# Program icon: the page mark on a transparent ground, 48, 32 and 16 pixels.
for s in 48 32 16; do
    convert -size 32x32 xc:none \
        -fill '#e8f1fb' -stroke '#1f5f9f' -strokewidth 1.5 -draw "rectangle 4,2 22,28" \
        -stroke '#1f5f9f' -strokewidth 1 -draw "line 8,8 18,8" -draw "line 8,12 18,12" -draw "line 8,16 14,16" \
        -draw "rectangle 14,22 22,28" \
        -fill '#ffa000' -stroke '#b86e00' -draw "polygon 16,14 24,14 24,9 31,18 24,27 24,22 16,22" \
        -resize "${s}x${s}" "$tmp/app$s.png"
done
convert "$tmp/app16.png" "$tmp/app32.png" "$tmp/app48.png" transmora.ico

# Help icons: a blue disc with a question mark.
for s in 32 16; do
    convert -size 128x128 xc:none -fill '#1f6fb2' -stroke '#0a3d6e' -strokewidth 6 -draw "circle 64,64 64,6" \
        -fill white -stroke none -font DejaVu-Sans-Bold -pointsize 88 -gravity center -annotate +0+4 '?' \
        -resize "${s}x${s}" "$tmp/help$s.png"
done
convert "$tmp/help32.png" help-large.ico
convert "$tmp/help16.png" help-small.ico

# Help banner, 520 x 56: its width sets the width of the help window.
convert -size 520x56 gradient:'#0a2f57'-'#2a7cc4' -rotate -90 -resize 520x56\! \
    \( "$tmp/help32.png" -resize 40x40 \) -geometry +12+8 -composite \
    -fill white -font DejaVu-Sans-Bold -pointsize 18 -annotate +64+26 'Migration notes' \
    -fill '#cfe3f7' -font DejaVu-Sans -pointsize 11 -annotate +64+44 'Bringing drawings into Draxil R26.0' \
    -type TrueColor BMP3:help-banner.bmp
convert help-banner.bmp -dither None -colors 16 -type Palette BMP3:help-banner-16.bmp
