#!/bin/sh
# Draws the launcher's demo background, a 1920x1080 JPEG: a night sky over two
# mountain ranges, a moon, stars and the name. Only gradients, shapes and text, so
# the repository keeps the recipe and no picture file.
# Usage: make_background.sh OUTPUT.jpg [CONVERT]   (CONVERT: ImageMagick's convert)
set -eu
out=$1
convert=${2:-convert}

# Stars: a fixed pseudo-random scatter (Park-Miller), the same on every build.
stars=$(awk 'BEGIN {
  s = 20240611
  for (i = 0; i < 170; i++) {
    s = (s * 16807) % 2147483647; x = s % 1920
    s = (s * 16807) % 2147483647; y = s % 600
    s = (s * 16807) % 2147483647; r = (s % 5 == 0) ? 2 : 1
    printf "circle %d,%d %d,%d ", x, y, x + r, y
  }
}')

# The name's face if ImageMagick knows it; its default face otherwise.
title_font=$("$convert" -list font 2>/dev/null | awk '$1 == "Font:" && $2 == "DejaVu-Serif-Bold" { print "-font"; print $2; exit }')
text_font=$("$convert" -list font 2>/dev/null | awk '$1 == "Font:" && $2 == "DejaVu-Sans" { print "-font"; print $2; exit }')

far_range="0,700 140,640 260,676 420,590 560,650 700,610 860,668 1010,560 1160,640 1300,600 1450,664 1600,574 1760,640 1920,600 1920,1080 0,1080"
near_range="0,842 180,790 330,826 520,760 690,818 880,772 1060,836 1240,778 1420,830 1600,762 1780,812 1920,786 1920,1080 0,1080"

# shellcheck disable=SC2086  # the font options are meant to split into words
"$convert" -size 1920x1080 gradient:'#060a1c-#33264c' \
  \( -size 1400x1400 radial-gradient:'rgba(230,140,80,0.6)-rgba(230,140,80,0)' -geometry +520-40 \) \
  -compose screen -composite -compose over -geometry +0+0 \
  -fill '#dfe6ff' -draw "$stars" \
  \( -size 480x270 xc:none -fill 'rgba(244,231,197,0.9)' -draw 'circle 372,72 372,40' -blur 0x15 \
     -resize 1920x1080! \) -composite \
  -fill '#f6ecd2' -draw 'circle 1490,290 1490,196' \
  -fill 'rgba(214,200,168,0.55)' -draw 'circle 1452,262 1452,236' -draw 'circle 1526,318 1526,302' \
  -draw 'circle 1512,250 1512,240' \
  -fill '#1c2140' -draw "polygon $far_range" \
  -fill '#0c0e1b' -draw "polygon $near_range" \
  \( -size 1920x1080 radial-gradient:'rgba(0,0,0,0)-rgba(0,0,0,0.55)' \) -composite \
  -fill 'rgba(6,8,18,0.62)' -draw 'roundrectangle 30,612 700,1066 28,28' \
  -stroke 'rgba(200,170,110,0.45)' -strokewidth 2 -fill none -draw 'roundrectangle 30,612 700,1066 28,28' \
  -stroke none \
  \( -size 1920x1080 xc:none $title_font -pointsize 150 -fill 'rgba(0,0,0,0.8)' -annotate +98+258 'VELKORA' \
     -blur 0x8 \) -composite \
  $title_font -pointsize 150 -fill '#e4b85e' -stroke '#7a5418' -strokewidth 2 -annotate +90+250 'VELKORA' \
  -stroke none $text_font -pointsize 38 -fill '#c8d2ec' -annotate +98+320 'O  R  A  D  E  L' \
  -strip -quality 90 "$out"
