#!/usr/bin/env bash
# Starts the program and closes it again, RUNS times, under a virtual X server: each run from a
# scratch copy of the program folder with stored settings (a new user's first start opens the
# getting-started page rather than the deck editor), waits for the deck editor, answers any box
# with Enter, then clicks the deck editor's close button as a person does. Every run's output is kept; summary.txt lists each run's exit status.
#
# Usage: bench/xvfb/start_close.sh PROGRAM-FOLDER [RUNS] [OUT-FOLDER]
set -uo pipefail

folder="$(cd "$1" && pwd)"
runs="${2:-300}"
out="${3:-$PWD/start-close}"
mkdir -p "$out"
: >"$out/summary.txt"

work="$(mktemp -d)"
xvfb_pid=""
pid=""
cleanup() {
  [ -n "$pid" ] && kill -9 "$pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

exec {fd}<> <(:)
# Without -noreset the server resets whenever its last client leaves, and a program that connects
# during the reset finds no display and aborts.
Xvfb -displayfd "$fd" -screen 0 1600x1000x24 -nolisten tcp -noreset >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
read -r -t 10 display <&"$fd" || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$display"
export QT_QPA_PLATFORM=xcb

# "id<TAB>title" of every shown window.
windows() {
  local id title
  for id in $(xdotool search --onlyvisible --name '' 2>/dev/null); do
    title="$(xdotool getwindowname "$id" 2>/dev/null)" || continue
    case "$title" in "" | "Qt Selection Owner"*) continue ;; esac
    printf '%s\t%s\n' "$id" "$title"
  done
}

aborts=0
failures=0
for i in $(seq "$runs"); do
  copy="$work/run"
  rm -rf "$copy"
  mkdir "$copy"
  # The large files are linked, not copied; the program replaces what it writes.
  for f in "$folder"/*; do
    case "$(basename "$f")" in
      Tablewright | Utilities) cp -al "$f" "$copy/" ;;
      *) cp -a "$f" "$copy/" ;;
    esac
  done
  rm -f "$copy/settings.ini" "$copy/errormessage.txt"
  printf '[settings]\r\nfirsttime=no\r\nusername=Runner\r\n' >"$copy/settings.ini"

  log="$out/run-$i.log"
  "$copy/Tablewright" >"$log" 2>&1 &
  pid=$!
  shop=""
  declare -A seen=()
  for _ in $(seq 600); do
    kill -0 "$pid" 2>/dev/null || break
    while IFS=$'\t' read -r id title; do
      if [ "$title" = "Deck Shop" ]; then
        shop="$id"
      else
        seen[$id]=$((${seen[$id]:-0} + 1))
        if ((seen[$id] >= 3)); then xdotool key --clearmodifiers Return 2>/dev/null; seen[$id]=0; fi
      fi
    done < <(windows)
    [ -n "$shop" ] && break
    sleep 0.1
  done
  unset seen
  note=""
  if [ -n "$shop" ]; then
    sleep 0.3
    # The close button sits 14 pixels in from the window's right edge, 13 down.
    width="$(xdotool getwindowgeometry --shell "$shop" 2>/dev/null | sed -n 's/^WIDTH=//p')"
    xdotool mousemove --window "$shop" $((${width:-928} - 14)) 13 click 1 2>/dev/null
    for _ in $(seq 300); do
      kill -0 "$pid" 2>/dev/null || break
      sleep 0.1
    done
  else
    note=" (the deck editor did not show)"
  fi
  if kill -0 "$pid" 2>/dev/null; then
    kill -9 "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    status="hung"
    failures=$((failures + 1))
  else
    wait "$pid"
    status=$?
    ((status == 134)) && aborts=$((aborts + 1))
    ((status != 0)) && failures=$((failures + 1))
  fi
  pid=""
  printf '%d %s%s\n' "$i" "$status" "$note" | tee -a "$out/summary.txt"
done
printf 'runs %d, aborts (SIGABRT) %d, other failures %d\n' "$runs" "$aborts" "$((failures - aborts))" | tee -a "$out/summary.txt"
