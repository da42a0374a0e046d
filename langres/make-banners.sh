#!/bin/sh
# make-banners.sh: draws the help banner of each translated module with
# ImageMagick, as en-US/wizard-art/make-art.sh draws the English one; the other
# pictures hold no text and are shared. The results are checked in; run this
# only to change them.
set -eu
cd "$(dirname "$0")"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
convert 'en-US/wizard-art/help-large.ico[0]' -resize 40x40 "$tmp/help.png"

# banner <folder> <bold font> <font> <title> <subtitle>: 520 x 56, its width sets the help window's.
banner() {
    convert -size 520x56 gradient:'#0a2f57'-'#2a7cc4' -rotate -90 -resize 520x56\! \
        "$tmp/help.png" -geometry +12+8 -composite \
        -fill white -font "$2" -pointsize 18 -annotate +64+26 "$4" \
        -fill '#cfe3f7' -font "$3" -pointsize 11 -annotate +64+44 "$5" \
        -type TrueColor BMP3:"$1/help-banner.bmp"
    convert "$1/help-banner.bmp" -dither None -colors 16 -type Palette BMP3:"$1/help-banner-16.bmp"
}

banner de-DE DejaVu-Sans-Bold DejaVu-Sans 'Hinweise zur Migration' 'Zeichnungen nach Draxil R26.0 bringen'
ja=/usr/share/fonts/opentype/ipafont-gothic/ipagp.ttf
banner ja-JP "$ja" "$ja" '移行に関する注意事項' '図面を Draxil R26.0 に移行する'
