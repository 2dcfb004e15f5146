#!/usr/bin/env bash
# Starts each program under a virtual X server and saves a screenshot of every window it shows:
# Tablewright's set-loading window, deck editor, settings window and duel window, and Scrollkeep.
# Message boxes are captured, then answered with Enter, so that start-up goes on.
# Without a program folder it then runs scripts/start.sh, checks that the deck editor opens and
# that its close button ends the program, and exits non-zero when that fails.
#
# Usage: scripts/screenshots.sh [output-folder] [program-folder]
#   output-folder:  where the PNG files go (default build/screenshots)
#   program-folder: a built program folder (default: build/release/Tablewright, built first)
# Each run uses a scratch copy of the program folder, so settings it writes stay there.
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
out="${1:-$root/build/screenshots}"
folder="${2:-}"

need=()
for tool in Xvfb:xvfb import:imagemagick xdotool:xdotool xauth:xauth python3:python3; do
  command -v "${tool%%:*}" >/dev/null 2>&1 || need+=("${tool#*:}")
done
# A stand-in "import" may exist that is not ImageMagick's.
import -version 2>/dev/null | grep -q ImageMagick || need+=(imagemagick)
if ((${#need[@]})); then
  sudo=""
  if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq --no-install-recommends "${need[@]}"
fi

default_folder=0
if [ -z "$folder" ]; then
  default_folder=1
  build="$root/build/release"
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTW_BUILD_TESTS=OFF >/dev/null
  cmake --build "$build" -j "$(nproc)"
  folder="$build/Tablewright"
fi
folder="$(cd "$folder" && pwd)"

mkdir -p "$out"
status=0
work="$(mktemp -d)"
xvfb_pid=""
program_pid=""
cleanup() {
  [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# A display of our own: the server picks a free number and writes it to a pipe.
exec {fd}<> <(:)
Xvfb -displayfd "$fd" -screen 0 1600x1000x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
read -r -t 10 display <&"$fd" || { echo "Xvfb did not start" >&2; cat "$work/xvfb.log" >&2; exit 1; }
export DISPLAY=":$display"
export QT_QPA_PLATFORM=xcb

# The shown windows (Qt unmaps hidden ones): "id<TAB>title" lines.
windows() {
  local id
  for id in $(xdotool search --onlyvisible --name '' 2>/dev/null); do
    local title
    title="$(xdotool getwindowname "$id" 2>/dev/null)" || continue
    case "$title" in "" | "Qt Selection Owner"*) continue ;; esac
    printf '%s\t%s\n' "$id" "$title"
  done
}

# file_for NAME TITLE: the picture's file, named after the program and the window title.
file_for() {
  printf '%s/%s-%s.png' "$out" "$1" "$(printf '%s' "${2:-window}" | tr -c 'A-Za-z0-9._-' '_' | sed 's/__*/_/g; s/_$//; s/_-/-/')"
}

# snap ID FILE: through a temporary file, so that a window gone half-way leaves the last picture.
snap() {
  timeout 5 import -window "$1" "$work/snap.png" 2>/dev/null && mv -f "$work/snap.png" "$2"
}

# start NAME EXE [ARGS...]: starts a program from a scratch copy of the program folder.
start() {
  local name="$1" exe="$2"
  shift 2
  "$exe" "$@" >"$work/$name.log" 2>&1 &
  program_pid=$!
}

stop() {
  if [ -n "$program_pid" ]; then
    kill "$program_pid" 2>/dev/null || true
    wait "$program_pid" 2>/dev/null || true
  fi
  program_pid=""
}

# The pictures' files taken so far.
declare -A taken=()

# watch NAME SECONDS TITLE...: polls quickly; every window is captured while it is shown (the
# last picture wins). A window whose title is not one of the given ones is a box: once it has
# been on screen for a moment it is answered with Enter. Titles may be patterns. Returns once a window of the last title
# given has been shown and left alone for a moment, or after SECONDS.
watch() {
  local name="$1" seconds="$2"
  shift 2
  local -a keep=("$@")
  local goal="${keep[-1]}" steps=$((seconds * 10)) step=0 settled=0 id title
  # By window id; the server hands the ids of a program that ended to the next one.
  local -A seen=() file_of=() order=()
  local count=0
  while ((step < steps)) && kill -0 "$program_pid" 2>/dev/null; do
    step=$((step + 1))
    local goal_up=0 line
    local -a shown=()
    mapfile -t shown < <(windows)
    for line in "${shown[@]}"; do
      id="${line%%$'\t'*}"
      title="${line#*$'\t'}"
      [ -z "${file_of[$id]:-}" ] || continue
      # Boxes often share a title: the later ones get a number.
      local file n=1
      file="$(file_for "$name" "$title")"
      while [ -n "${taken[$file]:-}" ]; do
        n=$((n + 1))
        file="$(file_for "$name" "$title-$n")"
      done
      taken[$file]=1
      file_of[$id]="$file"
      order[$id]=$((++count))
      echo "$name: $file"
    done
    for line in "${shown[@]}"; do
      id="${line%%$'\t'*}"
      title="${line#*$'\t'}"
      seen[$id]=$((${seen[$id]:-0} + 1))
      # A window is pictured until a newer one comes up: a box over it leaves damage behind
      # that a busy program repaints only later.
      ((order[$id] < count)) || snap "$id" "${file_of[$id]}" || true
      local kept=0 k
      # shellcheck disable=SC2053
      for k in "${keep[@]}"; do [[ "$title" == $k ]] && kept=1; done
      if ((!kept)) && ((seen[$id] >= 5)); then
        xdotool key --clearmodifiers Return 2>/dev/null || true
        seen[$id]=1
      fi
      # shellcheck disable=SC2053
      [[ "$title" == $goal ]] && goal_up=1
    done
    if ((goal_up)); then settled=$((settled + 1)); else settled=0; fi
    ((settled < 15)) || return 0
    sleep 0.1
  done
  return 1
}

# window_of TITLE: the id of the shown window with that title.
window_of() {
  windows | awk -F'\t' -v t="$1" '$2 == t { print $1; exit }'
}

# click ID X Y [COUNT]: a click at pixel (X, Y) of the window.
click() {
  xdotool mousemove --window "$1" "$2" "$3" click --repeat "${4:-1}" --delay 80 1
}

# answer_boxes TITLE: answers with Enter every shown window but the one of that title, until
# none is left (at most a few seconds).
answer_boxes() {
  local _ id title
  for _ in $(seq 20); do
    sleep 0.3
    local box=""
    while IFS=$'\t' read -r id title; do
      [ "$title" = "$1" ] || box="$id"
    done < <(windows)
    [ -n "$box" ] || return 0
    xdotool key --clearmodifiers Return 2>/dev/null || true
  done
}

# large_window TITLE: a shown window wider than 900 pixels, other than the one of that title.
large_window() {
  local id title
  while IFS=$'\t' read -r id title; do
    [ "$title" != "$1" ] || continue
    local width
    width="$(xdotool getwindowgeometry "$id" 2>/dev/null | sed -n 's/.*Geometry: \([0-9]*\)x.*/\1/p')"
    if [ "${width:-0}" -gt 900 ]; then
      printf '%s' "$id"
      return
    fi
  done < <(windows)
}

tw_copy() {
  local copy="$work/$1"
  cp -a "$folder" "$copy"
  # As a new user finds it: what an earlier run stored (start.sh runs in the build itself) would
  # point the copy at the build's folders.
  rm -f "$copy/settings.ini" "$copy/errormessage.txt"
  printf '%s' "$copy"
}

if [ -x "$folder/Tablewright" ]; then
  # The set-loading window: the sample set loads in a blink, so this copy loads a large set
  # of the same cards under other names.
  copy="$(tw_copy tablewright-loading)"
  python3 - "$copy/zqm.set" <<'EOF'
import sys
path = sys.argv[1]
with open(path, "rb") as f:
    lines = [l for l in f.read().split(b"\r\n") if l.count(b"|") > 5]
out = []
for round in range(3000):
    for l in lines:
        parts = l.split(b"|")
        parts[0] = str(100000 + round * 1000 + int(parts[0]) % 1000).encode()
        parts[1] = parts[1] + b" " + str(round).encode()
        out.append(b"|".join(parts))
with open(path + ".part", "wb") as f:
    f.write(b"\r\n".join(out) + b"\r\n")
import os
os.replace(path + ".part", path)
EOF
  start tablewright-large-set "$copy/Tablewright"
  watch tablewright-large-set 60 "Loading Set File" "Deck Shop" || true
  stop

  # The deck editor on the sample set, then a deck from its file list handed over to the duel
  # window, as a person does: a double click on the file, then "Use This Deck".
  copy="$(tw_copy tablewright)"
  mkdir -p "$copy/decks"
  python3 - "$copy/zqm.set" "$copy/decks/sample.dek" <<'EOF'
import sys
picked = []
with open(sys.argv[1], "rb") as f:
    for l in f.read().split(b"\r\n"):
        p = l.split(b"|")
        if len(p) < 6 or any(k in p[4] for k in (b"Fusion", b"Synchro", b"Ritual")):
            continue
        picked.append(b"1|" + p[3].split(b";")[0] + b"|" + p[1])
deck = picked[:45]
with open(sys.argv[2], "wb") as f:
    f.write(b"\r\n".join(deck + [b"-SIDE DECK-"]) + b"\r\n")
EOF
  start tablewright "$copy/Tablewright"
  if watch tablewright 30 "Loading Set File" "Deck Shop"; then
    shop="$(window_of "Deck Shop")"
    # File1 lies at (10890, 480) twips and "Use This Deck" at (8160, 7260), 15 twips a pixel.
    click "$shop" 760 40 2
    answer_boxes "Deck Shop"
    click "$shop" 660 498
    duel=""
    for _ in $(seq 50); do
      duel="$(large_window "Deck Shop")"
      [ -z "$duel" ] || break
      answer_boxes "Deck Shop"
    done
    if [ -n "$duel" ]; then
      title="$(xdotool getwindowname "$duel")"
      snap "$duel" "$(file_for tablewright "duel window $title")"
      echo "tablewright: $(file_for tablewright "duel window $title")"
      watch tablewright 5 "Deck Shop" "$title" || true
    else
      echo "tablewright: the duel window did not show" >&2
      windows >&2
      status=1
    fi
  else
    echo "tablewright: the deck editor did not show" >&2
    status=1
  fi
  stop
else
  echo "tablewright: not built, skipped"
fi

if [ -x "$folder/Utilities/Scrollkeep" ]; then
  copy="$(tw_copy scrollkeep)"
  start scrollkeep "$copy/Utilities/Scrollkeep"
  watch scrollkeep 15 "Scrollkeep*" || true
  stop
else
  echo "scrollkeep: not built, skipped"
fi

if [ -x "$folder/Utilities/Bridgehall" ]; then
  copy="$(tw_copy bridgehall)"
  start bridgehall "$copy/Utilities/Bridgehall"
  watch bridgehall 15 "Bridgehall*" || true
  stop
else
  echo "bridgehall: not built, skipped"
fi
# The README's first command as a new user runs it (only for the default build, which is the
# one it starts): the deck editor opens on the sample set, and its close button ends the program.
if ((default_folder)); then
  start start.sh bash "$root/scripts/start.sh"
  if watch start.sh 300 "Loading Set File" "Deck Shop"; then
    shop="$(window_of "Deck Shop")"
    # The settings window from its title-bar button at (10920, 60) twips; it opens at the
    # screen's corner, clear of the close button.
    click "$shop" 738 13
    watch start.sh 10 "Deck Shop" "Settings" || echo "start.sh: the settings window did not show" >&2
    # The close button lies at (11640, 60) twips, 300 x 270, 15 twips a pixel.
    click "$shop" 786 13
    for _ in $(seq 50); do
      kill -0 "$program_pid" 2>/dev/null || break
      sleep 0.1
    done
    if kill -0 "$program_pid" 2>/dev/null; then
      echo "start.sh: the close button did not end the program" >&2
      status=1
    elif wait "$program_pid"; then
      program_pid=""
      echo "start.sh: the deck editor opened on the sample set; its close button ended the program"
    else
      echo "start.sh: the program ended with a failure" >&2
      status=1
    fi
  else
    echo "start.sh: the deck editor did not show" >&2
    cat "$work/start.sh.log" >&2
    status=1
  fi
  stop
fi
echo "Screenshots in $out"
exit "$status"
