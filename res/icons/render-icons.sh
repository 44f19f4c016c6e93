#!/bin/sh
# Renders the program's icons from their SVG drawings into the PNGs the build embeds:
# icon 128 (the program) at 48, 32 and 16 pixels, icon 139 (the notification area) at 16.
# Needs rsvg-convert (Debian package librsvg2-bin); run it after changing a drawing.
set -eu
cd "$(dirname "$0")"

render() { # drawing size picture
    rsvg-convert --width "$2" --height "$2" --output "$3" "$1"
}

render main.svg 48 main-48.png
render main.svg 32 main-32.png
render small.svg 16 main-16.png
render small.svg 16 tray-16.png
