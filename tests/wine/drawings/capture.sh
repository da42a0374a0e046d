#!/bin/sh
# capture.sh PNG [GEOMETRY]: screenshot of the test's own X display (DISPLAY is set by wine-run.sh),
# cut to GEOMETRY (WxH+X+Y) when given.
if [ -n "${2:-}" ]; then
    exec import -window root -crop "$2" +repage "$1"
fi
exec import -window root "$1"
