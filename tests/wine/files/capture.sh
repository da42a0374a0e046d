#!/bin/sh
# capture.sh OUT GEOMETRY: the suite's own X display (DISPLAY comes from wine-run.sh) cut to GEOMETRY
# (WxH+X+Y). OUT is a Windows path on Z:.
out=$(printf '%s' "$1" | sed 's|^[Zz]:||; s|\\|/|g')
exec import -window root -crop "$2" +repage "$out"
