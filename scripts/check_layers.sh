#!/usr/bin/env bash
# Checks that every source file includes only the folders its layer may include, as the README's
# "Architecture" section draws them:
#   platform/                          platform
#   shared formats (no windows)        platform, shared formats
#   a subsystem's state (*_state.hpp)  platform, shared formats, its own folder
#   Tablewright's subsystems           platform, shared formats, cards table duel deckeditor net,
#                                      and program/tablewright.hpp (the object they all work on)
#   program/tablewright.hpp            platform, shared formats, the subsystems' states
#   program/                           all of Tablewright
#   relay/, scrollkeep/                platform, shared formats, their own folder
#   frontend/                          platform, frontend
#   apps/<program>/                    that program's libraries, frontend
# tests/, fuzz/ and bench/ may include anything. Only '#include "folder/..."' lines count.
#   scripts/check_layers.sh [root]     prints each wrong include; exit status 1 when there is one
set -euo pipefail
root=${1:-$(cd "$(dirname "$0")/.." && pwd)}
cd "$root"

# The windows-free files other programs share: the card record and store, the set file, the log
# coding, RandomInt, the duel frame and the relay frame.
formats='^(cards/(card|card_store|set_file|log_coding|random_int)|net/duel_frame|relay/relay_frame)[.][ch]pp$'

files=$(find platform cards table duel deckeditor net relay scrollkeep program frontend apps \
  -type f \( -name '*.cpp' -o -name '*.hpp' \) 2>/dev/null | sort)

# One line per include: "file<TAB>included path".
# shellcheck disable=SC2086
grep -H -E '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[a-z_]+/' $files |
  sed 's/^\([^:]*\):[^"]*"\([^"]*\)".*/\1\t\2/' | awk -F'\t' -v formats="$formats" '
function layer(path,    top) {
  if (path ~ formats) return "format"
  top = path; sub(/\/.*/, "", top)
  if (path ~ /_state[.]hpp$/ && top ~ /^(cards|table|duel|deckeditor|net)$/) return "state:" top
  if (top ~ /^(cards|table|duel|deckeditor|net)$/) return "subsystem"
  if (path == "program/tablewright.hpp") return "program-object"
  if (top == "apps") { split(path, p, "/"); return "app:" p[2] }
  return top
}
function allowed(from, file, to, inc,    top) {
  top = inc; sub(/\/.*/, "", top)
  if (to == "platform") return 1
  if (from == "platform") return 0
  if (to == "format") return from != "frontend"
  if (from == "format") return 0
  if (from ~ /^state:/) { return top == substr(from, 7) && to !~ /^state:/ || to == from }
  if (from == "program-object") return to ~ /^state:/
  if (from == "subsystem") return to == "subsystem" || to ~ /^state:/ || to == "program-object"
  if (from == "program") return to == "subsystem" || to ~ /^state:/ || to == "program-object" || to == "program"
  if (from == "relay" || from == "scrollkeep") return to == from
  if (from == "frontend") return to == "frontend"
  if (from == "app:tablewright")
    return to == "subsystem" || to ~ /^state:/ || to ~ /^program/ || to == "frontend"
  if (from == "app:bridgehall") return to == "relay" || to == "frontend"
  if (from == "app:scrollkeep") return to == "scrollkeep" || to == "frontend"
  return 0
}
{
  from = layer($1); to = layer($2)
  if (!allowed(from, $1, to, $2)) { printf "%s includes \"%s\": a %s file may not include a %s file\n", $1, $2, from, to; bad = 1 }
  n++
}
END {
  if (n == 0) { print "no includes found: is this the project root?"; exit 1 }
  exit bad
}'
