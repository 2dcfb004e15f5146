#!/usr/bin/env bash
# Draws the sample pictures the programs load: the card frames (upright, and sideways with the
# letter h in front), the picture buttons, and placeholder card art for a list of cards.
# All are our own flat drawings: a colour, a border and a label.
#
# Usage: scripts/make_pictures.sh [art-list]
#   art-list: lines "SETCODE<TAB>Card Name" ('#' starts a comment); default data/art-list.txt.
#   Without the file no card art is drawn.
#
# Sizes: a field slot and the card panels are 855 x 1215 twips, 57 x 81 pixels at 15 twips a
# pixel; the art is painted at (125, 277) twips, 600 x 660, so the frame leaves its art window
# at pixels (8, 18) to (48, 62). Card art must be a 40 x 40 GIF to be used.
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
images="$root/data/images"
buttons="$root/data/Buttons"
art_list="${1:-$root/data/art-list.txt}"
font=/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf

# A stand-in "convert" may exist that is not the real one.
if ! convert -version 2>/dev/null | grep -q ImageMagick || [ ! -f "$font" ]; then
  sudo=""
  if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq --no-install-recommends imagemagick fonts-dejavu-core
fi

mkdir -p "$images" "$buttons"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT

# Writes through a temporary file in the target folder, then renames.
publish() {  # source target
  local part
  part="$(dirname "$2")/.$(basename "$2").part"
  cp "$1" "$part"
  mv -f "$part" "$2"
}

# frame NAME FILL INK LABEL [no-art]
frame() {
  local name="$1" fill="$2" ink="$3" label="$4" art="${5:-}"
  local draw=(
    -fill none -stroke 'rgb(30,30,30)' -strokewidth 1 -draw 'rectangle 0,0 56,80'
    -stroke 'rgba(0,0,0,0.45)' -draw 'rectangle 2,2 54,78'
    -stroke none -fill 'rgba(255,255,255,0.55)' -draw 'rectangle 4,4 52,14'
  )
  if [ -z "$art" ]; then
    draw+=(-fill 'rgba(0,0,0,0.35)' -draw 'rectangle 7,17 49,63'
           -fill 'rgba(255,255,255,0.6)' -draw 'rectangle 5,66 51,77')
  fi
  convert -size 57x81 "xc:$fill" "${draw[@]}" \
    -font "$font" -pointsize 7 -fill "$ink" -gravity north -annotate +0+5 "$label" \
    +repage +dither -colors 32 "$tmp/$name.gif"
  convert "$tmp/$name.gif" -rotate 90 +repage "$tmp/h$name.gif"
  publish "$tmp/$name.gif" "$images/$name.gif"
  publish "$tmp/h$name.gif" "$images/h$name.gif"
}

frame monster       'rgb(255,192,128)' 'rgb(60,30,0)'    MONSTER
frame monstereffect 'rgb(255,128,0)'   'rgb(50,20,0)'    EFFECT
frame fusion        'rgb(192,0,192)'   'rgb(255,255,255)' FUSION
frame synchro       'rgb(235,235,235)' 'rgb(40,40,40)'   SYNCHRO
frame ritual        'rgb(90,130,220)'  'rgb(255,255,255)' RITUAL
frame magic         'rgb(40,160,130)'  'rgb(255,255,255)' SPELL
frame trap          'rgb(180,60,130)'  'rgb(255,255,255)' TRAP
frame token         'rgb(160,160,160)' 'rgb(30,30,30)'   TOKEN

# The back of a card: no art window, a pattern of our own.
convert -size 57x81 'xc:rgb(80,55,40)' \
  -fill none -stroke 'rgb(20,15,10)' -draw 'rectangle 0,0 56,80' \
  -stroke 'rgb(200,160,90)' -strokewidth 2 -draw 'rectangle 5,5 51,75' \
  -strokewidth 1 -draw 'polygon 28,14 46,40 28,66 10,40' \
  -fill 'rgb(200,160,90)' -stroke none -draw 'circle 28,40 28,32' \
  +repage +dither -colors 16 "$tmp/back.gif"
convert "$tmp/back.gif" -rotate 90 +repage "$tmp/hback.gif"
publish "$tmp/back.gif" "$images/back.gif"
publish "$tmp/hback.gif" "$images/hback.gif"

# The frame for a card no other frame fits, upright and sideways alike.
convert -size 57x81 'xc:rgb(205,205,205)' \
  -fill none -stroke 'rgb(30,30,30)' -draw 'rectangle 0,0 56,80' \
  -stroke none -fill 'rgba(0,0,0,0.35)' -draw 'rectangle 7,17 49,63' \
  -font "$font" -pointsize 7 -fill 'rgb(30,30,30)' -gravity north -annotate +0+5 CARD \
  +repage +dither -colors 16 "$tmp/default.gif"
publish "$tmp/default.gif" "$images/default.gif"

# button FILE WIDTH HEIGHT FILL INK LABEL [POINTSIZE]
# A picture is drawn at its own size where its control stands, so WIDTH x HEIGHT is the
# control's size in twips divided by 15.
button() {
  convert -size "$2x$3" "xc:$4" \
    -fill none -stroke 'rgb(20,20,20)' -draw "rectangle 0,0 $(($2 - 1)),$(($3 - 1))" \
    -stroke 'rgba(255,255,255,0.5)' -draw "line 1,1 $(($2 - 2)),1" \
    -stroke none -font "$font" -pointsize "${7:-9}" -fill "$5" -gravity center -annotate +0+0 "$6" \
    -strip -quality 88 "$tmp/b.jpg"
  publish "$tmp/b.jpg" "$buttons/$1"
}

button 'listen normal.jpg'          61 25  'rgb(50,110,170)' white Listen
button 'cancel normal.jpg'          61 25  'rgb(160,50,50)'  white Cancel
button 'advanced search normal.jpg' 121 21 'rgb(120,120,120)' white 'Advanced Search'
button 'advanced search ON.jpg'     121 21 'rgb(50,110,170)' white 'Advanced Search'
button 'connect normal.jpg'         61 25  'rgb(50,110,170)' white Connect

# The deck editor's own buttons. Blue adds, grey takes off or files, red clears.
button 'search.jpg'           48 19  'rgb(120,120,120)' white Search
button 'use deck.jpg'         248 30 'rgb(40,130,70)'   white 'Use This Deck' 12
button 'open deck.jpg'        66 22  'rgb(100,100,110)' white 'Open Deck'
button 'save deck.jpg'        66 22  'rgb(100,100,110)' white 'Save Deck'
button 'add to deck.jpg'      116 25 'rgb(50,110,170)'  white 'Add to Deck'
button 'add to side deck.jpg' 116 25 'rgb(50,110,170)'  white 'Add to Side Deck'
button 'remove one.jpg'       116 25 'rgb(100,100,110)' white 'Remove One'
button 'clear deck.jpg'       116 25 'rgb(160,50,50)'   white 'Clear Deck'
button 'add comment.jpg'      116 25 'rgb(100,100,110)' white 'Add Comment'
button 'to side deck.jpg'     116 25 'rgb(100,100,110)' white 'To Side Deck'
button 'to deck.jpg'          116 25 'rgb(100,100,110)' white 'To Deck'
button 'move up.jpg'          116 25 'rgb(100,100,110)' white 'Move Up'
button 'move down.jpg'        116 25 'rgb(100,100,110)' white 'Move Down'

# The title strip under both windows' titles and menus: dark enough for light grey text,
# light enough that the grey title still shows.
convert -size 1280x26 'gradient:rgb(48,48,53)-rgb(34,34,38)' \
  -fill none -stroke 'rgb(20,20,22)' -draw 'line 0,25 1279,25' \
  -strip -quality 90 "$tmp/title.jpg"
publish "$tmp/title.jpg" "$buttons/title.jpg"

# glyph FILE DRAW...: a title-bar button, 20 x 18, a light sign on a dark square.
glyph() {
  local name="$1"
  shift
  convert -size 20x18 'xc:rgb(58,58,64)' \
    -fill none -stroke 'rgb(16,16,18)' -draw 'rectangle 0,0 19,17' \
    -stroke 'rgb(90,90,98)' -draw 'line 1,1 18,1' \
    -stroke 'rgb(225,225,230)' -strokewidth 2 "$@" \
    +repage +dither -colors 16 "$tmp/g.gif"
  publish "$tmp/g.gif" "$buttons/$name"
}

glyph minimize.gif -draw 'line 5,12 14,12'
glyph close.gif -draw 'line 6,5 13,12' -draw 'line 13,5 6,12'
# A wheel with a hub: the settings.
glyph settings.gif -strokewidth 1 -draw 'line 10,3 10,14' -draw 'line 4,9 15,9' \
  -draw 'line 6,5 14,13' -draw 'line 14,5 6,13' -fill 'rgb(58,58,64)' -strokewidth 2 \
  -draw 'circle 10,9 10,5' -fill 'rgb(225,225,230)' -stroke none -draw 'circle 10,9 10,8'
# A speech bubble with its tail.
glyph chat.gif -strokewidth 1 -draw 'roundrectangle 4,4 16,11 2,2' \
  -fill 'rgb(225,225,230)' -draw 'polygon 6,11 9,11 6,14'
# An arrow down onto a tray: fetching a newer card set.
glyph updater.gif -draw 'line 10,3 10,10' -strokewidth 1 -fill 'rgb(225,225,230)' \
  -draw 'polygon 6,9 14,9 10,13' -strokewidth 2 -draw 'line 5,14 15,14'
# Two stacked counters: tokens.
glyph tokens.gif -strokewidth 1 -draw 'circle 8,10 8,6' -fill 'rgb(58,58,64)' \
  -draw 'circle 12,8 12,4'

# light FILE COLOUR: the tamper meter's light, a bar under the meter's percentage (129 x 17,
# its label's size): white text reads on green and red, black on yellow. The corners are the
# duel window's ground.
light() {
  convert -size 129x17 'xc:rgb(36,36,40)' -fill "$2" -stroke 'rgb(10,10,10)' \
    -draw 'roundrectangle 0,0 128,16 7,7' -strip -quality 90 "$tmp/l.jpg"
  publish "$tmp/l.jpg" "$buttons/$1"
}

light green.jpg  'rgb(40,200,60)'
light yellow.jpg 'rgb(240,210,40)'
light red.jpg    'rgb(220,40,40)'

# The table's default picture, 681 x 474 (the play surface, 10215 x 7110 twips): the
# opponent's half above, the own half below, a faint place for every field card, and the
# piles marked where a click on the table opens them (graveyards, deck, extra deck). The card
# places lie at 810 + 1260 x column twips across and 505, 1990, 3825 and 5340 down, 1065 x 1440.
playfield() {
  local draw=() col row x y
  local tops=(34 133 255 356)
  for row in 0 1 2 3; do
    for col in 0 1 2 3 4 5 6; do
      # The piles' own marks take these places.
      case "$col$row" in 01 | 03 | 62 | 63) continue ;; esac
      x=$((54 + col * 84))
      y=${tops[$row]}
      draw+=(-draw "roundrectangle $x,$y $((x + 70)),$((y + 95)) 4,4")
    done
  done
  # pile LEFT TOP RIGHT BOTTOM LABEL: a marked place, in pixels.
  local piles=()
  pile() {
    piles+=(-fill 'rgba(255,255,255,0.10)' -stroke 'rgb(205,215,225)' -strokewidth 2
            -draw "roundrectangle $1,$2 $3,$4 5,5"
            -stroke none -fill 'rgb(225,232,240)'
            -annotate "+$(( ($1 + $3) / 2 - 340 ))+$(( ($2 + $4) / 2 - 237 ))" "$5")
  }
  pile 547 246 619 343 $'GRAVE\nYARD'
  pile 547 345 619 440 'DECK'
  pile 46 345 118 440 $'EXTRA\nDECK'
  pile 46 123 120 218 $'GRAVE\nYARD'
  convert -size 681x474 'xc:rgb(33,46,60)' \
    -fill 'rgb(30,58,44)' -draw 'rectangle 0,242 680,473' \
    -fill none -stroke 'rgba(255,255,255,0.16)' -strokewidth 1 "${draw[@]}" \
    -stroke 'rgba(255,255,255,0.45)' -strokewidth 2 -draw 'line 0,242 680,242' \
    -font "$font" -pointsize 9 -gravity center "${piles[@]}" \
    -stroke none -fill 'rgba(255,255,255,0.30)' -pointsize 10 \
    -annotate +0-229 'OPPONENT' -annotate +0+229 'YOU' \
    -alpha off -depth 8 -strip "PNG24:$tmp/playfield.png"
  publish "$tmp/playfield.png" "$images/playfield.png"
}
playfield

# Card art: images/<set code lower-cased>/<name lower-cased, blanks removed>.gif, 40 x 40.
if [ -f "$art_list" ]; then
  while IFS=$'\t' read -r code name || [ -n "$code" ]; do
    case "$code" in ''|'#'*) continue ;; esac
    folder="$(printf '%s' "$code" | tr '[:upper:]' '[:lower:]')"
    file="$(printf '%s' "$name" | tr -d ' ' | tr '[:upper:]' '[:lower:]')"
    # A name that would not make one plain file name below the set's folder is left out.
    if [ -z "$file" ] || [ -z "$folder" ] || [[ "$folder$file" == *[/\\]* ]] ||
       [[ "$folder" == .* ]] || [[ "$file" == .* ]]; then
      echo "skipping art for '$code' '$name'" >&2
      continue
    fi
    hash="$(printf '%s\t%s' "$code" "$name" | md5sum)"
    r=$((64 + 0x${hash:0:2} % 160)) g=$((64 + 0x${hash:2:2} % 160)) b=$((64 + 0x${hash:4:2} % 160))
    initials="$(printf '%s\n' "$name" | awk '{ s = ""; for (i = 1; i <= NF && i <= 2; i++) s = s substr($i, 1, 1); print toupper(s) }')"
    mkdir -p "$images/$folder"
    convert -size 40x40 "xc:rgb($r,$g,$b)" \
      -fill none -stroke 'rgb(20,20,20)' -draw 'rectangle 0,0 39,39' \
      -stroke none -font "$font" -pointsize 14 -fill white -gravity center -annotate +0+0 "$initials" \
      +repage +dither -colors 32 "$tmp/art.gif"
    publish "$tmp/art.gif" "$images/$folder/$file.gif"
  done < "$art_list"
else
  echo "no art list at $art_list: card art skipped" >&2
fi
