#!/usr/bin/env bash
# Draws the made-up desktop that the README's animations start from: a
# wallpaper of flat hills, icons, two overlapping windows with text, gradients
# and a chart, and a taskbar. Everything is drawn here with ImageMagick and the fonts of
# Debian's fonts-dejavu-core and fonts-ipafont-gothic packages.
#   docs/desktop.sh OUT.png
set -euo pipefail

out=${1:?usage: docs/desktop.sh OUT.png}
sans=/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf
bold=/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf
mono=/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf
gothic=/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf
for font in "$sans" "$bold" "$mono" "$gothic"; do
  [[ -f $font ]] || { echo "desktop.sh: font $font is missing" >&2; exit 1; }
done

# The GIFs store only the pixels that change from one frame to the next, so
# large areas are flat and the gradients (the title bars) run from left to
# right: Melt moves pixels down, which changes nothing inside such a
# gradient, and Wave moves them sideways by a pixel or two, which changes
# only the columns where its colour steps.
args=(
  -size 640x400 xc:'#2f7fa0'
  -fill '#27698a' -draw 'ellipse 120,420 340,150 180,360'
  -fill '#1f5570' -draw 'ellipse 520,430 380,170 180,360'
  -fill '#f6d776' -draw 'circle 560,70 560,98'

  # Desktop icons with their labels.
  -stroke '#6b4f00' -fill '#f4c542' -draw 'roundrectangle 24,18 56,44 3,3'
  -fill '#ffd866' -draw 'rectangle 24,18 38,24'
  -stroke '#34495e' -fill '#ecf0f1' -draw 'roundrectangle 28,78 52,110 2,2'
  -stroke '#95a5a6' -draw 'line 32,86 48,86' -draw 'line 32,92 48,92' -draw 'line 32,98 44,98'
  -stroke '#2c3e50' -fill '#7f8c8d' -draw 'roundrectangle 30,142 50,172 2,2'
  -fill '#bdc3c7' -draw 'rectangle 27,138 53,143'
  -stroke none -fill white -font "$sans" -pointsize 11
  -draw "text 16,60 'Projects'" -draw "text 19,124 'Read me'" -draw "text 24,188 'Trash'"

  # The editor window: shadow, frame, title bar, menu and text.
  -fill '#00000060' -draw 'rectangle 106,40 410,282'
  -stroke '#1f2d3d' -fill '#fbfbf7' -draw 'rectangle 100,34 404,276'
  -stroke none
  '(' -size 21x303 gradient:'#0a246a-#a6caf0' -rotate -90 ')' -geometry +101+35 -composite
  -fill white -font "$bold" -pointsize 12 -draw "text 110,50 'notes.txt - Editor'"
  -fill '#e81123' -draw 'rectangle 384,39 399,51'
  -fill '#d0d7e1' -draw 'rectangle 366,39 380,51' -draw 'rectangle 348,39 362,51'
  -fill '#e9ecef' -draw 'rectangle 101,56 403,72'
  -fill '#222222' -font "$sans" -pointsize 11
  -draw "text 108,68 'File    Edit    View    Help'"
  -font "$mono" -pointsize 12 -fill '#1b1b1b'
  -draw "text 110,92 'Shopping list'"
  -draw "text 110,108 '  - coffee beans'"
  -draw "text 110,124 '  - new keyboard'"
  -fill '#b03a2e' -draw "text 110,144 'TODO: back up photos!'"
  -fill '#1b1b1b' -draw "text 110,164 'Meeting at 14:30, room 4B'"
  -font "$gothic" -pointsize 14 -fill '#0b5345'
  -draw "text 110,190 '今日の予定：会議と買い物'"
  -draw "text 110,210 'スクリーンセーバーの設定'"
  -font "$mono" -pointsize 12 -fill '#1b1b1b'
  -draw "text 110,232 'The quick brown fox jumps'"
  -draw "text 110,248 'over the lazy dog. 0123456789'"
  -fill '#0078d7' -draw 'rectangle 110,256 111,270'

  # The chart window, over the editor's lower right corner.
  -fill '#00000060' -draw 'rectangle 326,150 620,358'
  -stroke '#1f2d3d' -fill '#ffffff' -draw 'rectangle 320,144 614,352'
  -stroke none
  '(' -size 21x293 gradient:'#1b5e20-#9ccc65' -rotate -90 ')' -geometry +321+145 -composite
  -fill white -font "$bold" -pointsize 12 -draw "text 330,160 'Sales 2024 - Chart'"
  -fill '#e81123' -draw 'rectangle 594,149 609,161'
  -stroke '#9aa5b1' -draw 'line 348,332 600,332' -draw 'line 348,180 348,332'
  -stroke none
  -fill '#e74c3c' -draw 'rectangle 362,260 388,331'
  -fill '#f39c12' -draw 'rectangle 400,226 426,331'
  -fill '#27ae60' -draw 'rectangle 438,204 464,331'
  -fill '#2980b9' -draw 'rectangle 476,240 502,331'
  -fill '#8e44ad' -draw 'rectangle 514,190 540,331'
  -fill '#16a085' -draw 'rectangle 552,214 578,331'
  -fill '#34495e' -font "$sans" -pointsize 10
  -draw "text 366,345 'Jan'" -draw "text 404,345 'Feb'" -draw "text 442,345 'Mar'"
  -draw "text 480,345 'Apr'" -draw "text 518,345 'May'" -draw "text 556,345 'Jun'"
  -draw "text 330,186 '100'" -draw "text 334,334 '0'"

  # The taskbar.
  -fill '#1c1f24' -draw 'rectangle 0,372 639,399'
  -fill '#3b8ed0' -draw 'roundrectangle 4,376 66,395 4,4'
  -fill white -font "$bold" -pointsize 12 -draw "text 17,390 'Start'"
  -fill '#3a3f47' -draw 'rectangle 74,376 184,395' -draw 'rectangle 190,376 300,395'
  -fill '#5b9bd5' -draw 'rectangle 74,393 184,395'
  -fill '#e6e6e6' -font "$sans" -pointsize 11
  -draw "text 82,390 'notes.txt'" -draw "text 198,390 'Sales 2024'" -draw "text 590,390 '14:05'"
)

convert "${args[@]}" -strip -define png:exclude-chunks=date,time PNG24:"$out"
echo "desktop.sh: wrote $out"
