#!/usr/bin/env bash
# Regenerates every image under Skin/ from scripts/make-skin.cpp: the painter writes
# PNGs, ImageMagick turns them into the BMP / JPEG / GIF / ICO files the program loads.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

g++ -std=c++20 -O1 -fPIC "$root/scripts/make-skin.cpp" -o "$work/make-skin" \
    $(pkg-config --cflags --libs Qt6Gui)
"$work/make-skin" "$work/png"

skin="$root/Skin"
mkdir -p "$skin"
for png in "$work"/png/*.png; do
    name=$(basename "$png" .png)
    case "$name" in
        main_bk|main_left_bk|bridge_finish|help_other|help_chinese)
            convert "$png" -quality 90 "$skin/$name.jpg" ;;
        *)
            # 24-bit BMP without alpha: the images sit on the backgrounds they were
            # painted on.
            convert "$png" -background white -alpha remove -alpha off -type TrueColor \
                "BMP3:$skin/$name.bmp" ;;
    esac
done
convert -delay 8 -loop 0 -dispose background "$work"/png/wait/frame*.png \
    -background white -alpha remove "$skin/wait_search.gif"
convert "$work"/png/icon/app*.png "$skin/Application.ico"
echo "skin written to $skin"
