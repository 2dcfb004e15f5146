#!/usr/bin/env bash
# Starts each program under a virtual X server and saves a screenshot of every window it shows:
# Tablewright's set-loading window, deck editor (with a deck of its own loaded, and after a
# filtered search), settings window and folder picker, duel window (with a chat line sent with
# Enter), the "already running" notice of a second start, the question of a desktop close of
# the duel window and the start after it, and Scrollkeep with its open dialog. Message boxes are
# captured, then answered with Enter, so that start-up goes on.
# Without a program folder it then runs scripts/start.sh, checks that the deck editor opens and
# that its close button ends the program. It exits non-zero when a step fails, and lists the
# pictures it wrote.
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
# The desktop's close request is sent the way a window manager sends it.
/usr/bin/python3 -c 'import Xlib' 2>/dev/null || need+=(python3-xlib)
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
Xvfb -displayfd "$fd" -screen 0 1600x1000x24 -nolisten tcp -noreset >"$work/xvfb.log" 2>&1 &
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

# The pictures written, in order, each once.
declare -a written=()
declare -A written_seen=()

# snap ID FILE: through a temporary file, so that a window gone half-way leaves the last picture.
snap() {
  timeout 5 import -window "$1" "$work/snap.png" 2>/dev/null && mv -f "$work/snap.png" "$2" || return 1
  if [ -z "${written_seen[$2]:-}" ]; then
    written_seen[$2]=1
    written+=("$2")
  fi
}

# shoot NAME TITLE: a picture of the shown window of that title, named NAME.
shoot() {
  local id
  id="$(window_of "$2")"
  [ -n "$id" ] && snap "$id" "$(file_for tablewright "$1")"
}

# wait_for TITLE SECONDS: until a window of that title shows.
wait_for() {
  local _
  for _ in $(seq $(($2 * 10))); do
    [ -z "$(window_of "$1")" ] || return 0
    sleep 0.1
  done
  return 1
}

# close_window ID: the close request a window manager sends (WM_DELETE_WINDOW).
close_window() {
  /usr/bin/python3 - "$1" <<'PY'
import sys
from Xlib import X, display, protocol
d = display.Display()
w = d.create_resource_object("window", int(sys.argv[1]))
protocols = d.intern_atom("WM_PROTOCOLS")
delete = d.intern_atom("WM_DELETE_WINDOW")
w.send_event(protocol.event.ClientMessage(window=w, client_type=protocols,
                                          data=(32, [delete, X.CurrentTime, 0, 0, 0])),
             event_mask=X.NoEventMask)
d.flush()
PY
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
  # Decks or logs a user saved in the build are not this run's.
  find "$copy" -maxdepth 1 \( -iname decks -o -iname logs \) -exec rm -rf {} +
  printf '%s' "$copy"
}

if [ -x "$folder/Tablewright" ]; then
  # The set-loading window: the sample set loads in a blink, so this copy loads a large set
  # of the same cards under other names, kept well below the largest file the program reads.
  copy="$(tw_copy tablewright-loading)"
  # A returning player: no first-run boxes come over the loading window's last picture.
  printf '[settings]\r\nUSERNAME=Loader\r\nFIRSTTIME=no\r\n' >"$copy/settings.ini"
  python3 - "$copy/zqm.set" <<'EOF'
import sys
path = sys.argv[1]
with open(path, "rb") as f:
    lines = [l for l in f.read().split(b"\r\n") if l.count(b"|") > 5]
out = []
for round in range(1500):
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
  if ! watch tablewright-large-set 120 "Loading Set File" "Deck Shop"; then
    echo "tablewright: the deck editor did not show after loading a large set" >&2
    status=1
  fi
  stop

  # The deck editor on the sample set, as a new user meets it, with a deck of its own in the
  # decks folder the first run makes: 45 cards, so that the counts show real values.
  copy="$(tw_copy tablewright)"
  mkdir -p "$copy/Decks"
  python3 - "$copy/zqm.set" "$copy/Decks/sample.dek" <<'EOF'
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
    # Positions: 15 twips a pixel. The deck file list starts at (10890, 480) twips; the deck is
    # loaded after "Are you sure ...?" is answered.
    click "$shop" 780 40 2
    answer_boxes "Deck Shop"
    sleep 0.5
    shoot "deck editor with a deck" "Deck Shop"
    # A filtered search: "Advanced Search" at (120, 1620); in the filter, the name box at
    # (1620, 2250) and the attribute list at (1620, 4200); its Search button at (1620, 6660)
    # runs it, and the frame then makes way for the results.
    click "$shop" 60 118
    sleep 0.3
    click "$shop" 190 159
    xdotool type --delay 40 "drake"
    click "$shop" 190 290
    sleep 0.5
    xdotool type --delay 40 "Fire"
    xdotool key Return
    sleep 0.3
    shoot "deck editor filter" "Deck Shop"
    click "$shop" 190 458
    sleep 0.8
    shoot "deck editor filtered search" "Deck Shop"
    # The settings window from its title-bar button, then its deck folder's "Browse".
    click "$shop" 866 13
    if wait_for "Settings" 10; then
      settings="$(window_of "Settings")"
      click "$settings" 355 100
      if wait_for "Select a Folder" 10; then
        sleep 0.5
        shoot "folder picker" "Select a Folder"
        close_window "$(window_of "Select a Folder")"
      else
        echo "tablewright: the folder picker did not show" >&2
        status=1
      fi
      sleep 0.3
      close_window "$settings"
    else
      echo "tablewright: the settings window did not show" >&2
      status=1
    fi
    sleep 0.5
    # "Use This Deck" at (8160, 7260).
    click "$shop" 660 498
    duel=""
    for _ in $(seq 50); do
      duel="$(large_window "Deck Shop")"
      [ -z "$duel" ] || break
      answer_boxes "Deck Shop"
    done
    if [ -n "$duel" ]; then
      title="$(xdotool getwindowname "$duel")"
      sleep 0.5
      snap "$duel" "$(file_for tablewright "duel window $title")"
      # A chat line typed into the input box at (13770, 7170) and sent with Enter.
      click "$duel" 990 489
      xdotool type --delay 30 "Good luck, have fun"
      xdotool key Return
      sleep 0.5
      snap "$duel" "$(file_for tablewright "duel window chat sent with Enter")"

      # A second start while this one runs says so, then ends.
      "$copy/Tablewright" >"$work/second.log" 2>&1 &
      second=$!
      notice=""
      for _ in $(seq 150); do
        notice="$(windows | awk -F'\t' -v d="$duel" '$2 == "Tablewright" && $1 != d { print $1; exit }')"
        [ -z "$notice" ] || break
        sleep 0.1
      done
      if [ -n "$notice" ]; then
        sleep 0.3
        snap "$notice" "$(file_for tablewright "second start")"
        xdotool key --clearmodifiers Return
      else
        echo "tablewright: a second start showed no notice" >&2
        status=1
      fi
      for _ in $(seq 50); do kill -0 "$second" 2>/dev/null || break; sleep 0.1; done
      if kill -0 "$second" 2>/dev/null; then
        echo "tablewright: the second start did not end" >&2
        kill "$second" 2>/dev/null || true
        status=1
      fi
      wait "$second" 2>/dev/null || true

      # The desktop's close of the duel window asks, and Yes ends the program.
      close_window "$duel"
      if wait_for "Tablewright Version 9.1" 10; then
        sleep 0.3
        shoot "duel window closed by the desktop" "Tablewright Version 9.1"
        xdotool key --clearmodifiers Return
      else
        echo "tablewright: closing the duel window asked nothing" >&2
        status=1
      fi
      for _ in $(seq 50); do kill -0 "$program_pid" 2>/dev/null || break; sleep 0.1; done
      if kill -0 "$program_pid" 2>/dev/null; then
        echo "tablewright: closing the duel window did not end the program" >&2
        status=1
      fi
      stop
      # And the next start opens the program again.
      start tablewright-again "$copy/Tablewright"
      if wait_for "Deck Shop" 30; then
        answer_boxes "Deck Shop"
        sleep 0.5
        shoot "started again after the duel window closed" "Deck Shop"
      else
        echo "tablewright: the start after the closed duel window did not open the deck editor" >&2
        cat "$work/tablewright-again.log" >&2
        status=1
      fi
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
  # The logs folder a first run of Tablewright makes, where "Open Log" starts.
  mkdir -p "$copy/Logs"
  start scrollkeep "$copy/Utilities/Scrollkeep"
  if watch scrollkeep 15 "Scrollkeep*"; then
    viewer="$(windows | awk -F'\t' '$2 ~ /^Scrollkeep/ { print $1; exit }')"
    # "Open Log" at (120, 6195) twips, 1335 x 375.
    click "$viewer" 52 425
    if wait_for "Open" 10; then
      sleep 0.5
      snap "$(window_of "Open")" "$(file_for scrollkeep "open log")" || true
      # Cancel is a change of mind: nothing is said after it.
      xdotool key --clearmodifiers Escape
      sleep 1
      if [ -n "$(windows | awk -F'\t' -v v="$viewer" '$1 != v')" ]; then
        echo "scrollkeep: a window showed after the open dialog was cancelled" >&2
        windows >&2
        status=1
      fi
    else
      echo "scrollkeep: the open dialog did not show" >&2
      status=1
    fi
  else
    echo "scrollkeep: its window did not show" >&2
    status=1
  fi
  stop
else
  echo "scrollkeep: not built, skipped"
fi

if [ -x "$folder/Utilities/Bridgehall" ]; then
  copy="$(tw_copy bridgehall)"
  start bridgehall "$copy/Utilities/Bridgehall"
  if ! watch bridgehall 15 "Bridgehall*"; then
    echo "bridgehall: its window did not show" >&2
    status=1
  fi
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
    # The settings window from its title-bar button at (12840, 60) twips; it opens at the
    # screen's corner, clear of the close button.
    click "$shop" 866 13
    watch start.sh 10 "Deck Shop" "Settings" || echo "start.sh: the settings window did not show" >&2
    # The close button lies at (13560, 60) twips, 300 x 270, 15 twips a pixel.
    click "$shop" 914 13
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
echo "Pictures written:"
for file in "${written[@]}"; do echo "  $file"; done
exit "$status"
