#!/usr/bin/env bash
# Starts each program under a virtual X server and saves a screenshot of every window it shows.
# Plain information boxes are answered with Enter, so that start-up goes on to the next window.
#
# Usage: scripts/screenshots.sh [output-folder] [program-folder]
#   output-folder:  where the PNG files go (default build/screenshots)
#   program-folder: a built program folder (default: build/release/Tablewright, built first)
# Each program runs in a scratch copy of the program folder, so settings it writes stay there.
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
out="${1:-$root/build/screenshots}"
folder="${2:-}"
rounds="${TW_SHOT_ROUNDS:-8}"

need=()
for tool in Xvfb:xvfb import:imagemagick xdotool:xdotool xwininfo:x11-utils xauth:xauth; do
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

if [ -z "$folder" ]; then
  build="$root/build/release"
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTW_BUILD_TESTS=OFF >/dev/null
  cmake --build "$build" -j "$(nproc)"
  folder="$build/Tablewright"
fi

mkdir -p "$out"
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

# The viewable top-level windows larger than a dot: "id<TAB>title" lines.
windows() {
  xwininfo -root -children 2>/dev/null | sed -n 's/^ *\(0x[0-9a-f]*\) "\(.*\)": .* \([0-9]*\)x\([0-9]*\)+.*/\1\t\2\t\3\t\4/p' |
    while IFS=$'\t' read -r id title w h; do
      [ "$w" -gt 2 ] && [ "$h" -gt 2 ] || continue
      case "$title" in "Qt Selection Owner"*) continue ;; esac
      xwininfo -id "$id" 2>/dev/null | grep -q "IsViewable" || continue
      printf '%s\t%s\n' "$id" "$title"
    done
}

# shoot NAME PROGRAM [ARGS...]: runs the program until it shows nothing new, saving each window.
shoot() {
  local name="$1" program="$2"
  shift 2
  if [ ! -x "$program" ]; then
    echo "$name: not built, skipped"
    return
  fi
  local copy="$work/$name"
  cp -a "$folder" "$copy"
  local exe="$copy/${program#"$folder"/}"
  "$exe" "$@" >"$work/$name.log" 2>&1 &
  program_pid=$!
  local quiet=0 round=0 id title
  local -A file_of=() taken=()
  while ((round < rounds)) && kill -0 "$program_pid" 2>/dev/null; do
    sleep 2
    round=$((round + 1))
    local new=0
    while IFS=$'\t' read -r id title; do
      [ -n "$id" ] || continue
      # One file per window, named after its title (boxes often share the program's title).
      if [ -z "${file_of[$id]:-}" ]; then
        local base
        base="$name-$(printf '%s' "${title:-window}" | tr -c 'A-Za-z0-9._-' '_' | sed 's/_*$//')"
        [ -z "${taken[$base]:-}" ] || base="$base-$id"
        taken[$base]=1
        file_of[$id]="$out/$base.png"
        new=1
        echo "$name: ${file_of[$id]}"
      fi
      import -window "$id" "${file_of[$id]}" 2>/dev/null || true
    done < <(windows)
    if ((new)); then quiet=0; else quiet=$((quiet + 1)); fi
    ((quiet < 2)) || break
    # Answers a box that waits for OK; a window without one ignores the key.
    xdotool key --clearmodifiers Return 2>/dev/null || true
  done
  kill "$program_pid" 2>/dev/null || true
  wait "$program_pid" 2>/dev/null || true
  program_pid=""
}

shoot tablewright "$folder/Tablewright"
shoot scrollkeep "$folder/Utilities/Scrollkeep"
shoot bridgehall "$folder/Utilities/Bridgehall"
echo "Screenshots in $out"
