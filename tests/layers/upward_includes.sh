#!/usr/bin/env bash
# The layering check must find an include that goes the wrong way: each case adds one include to
# a copy of the tree and expects the check to fail naming that file, while the copy without
# additions passes.
set -euo pipefail
src=$1
check=$src/scripts/check_layers.sh
copy=$(mktemp -d)
trap 'rm -rf "$copy"' EXIT
cp -r "$src"/{platform,cards,table,duel,deckeditor,net,relay,scrollkeep,program,frontend,apps} "$copy"/
bash "$check" "$copy" >/dev/null || { echo "the unchanged copy fails the check"; exit 1; }

cases=(
  'platform/rt.cpp|cards/card.hpp'                  # the platform layer reaches up
  'cards/set_file.cpp|duel/forma.hpp'               # a shared format takes in a window
  'net/duel_frame.hpp|program/tablewright.hpp'      # the duel frame takes in the program
  'cards/duel_log_state.hpp|table/piles.hpp'       # a state group takes in another subsystem
  'table/pile_state.hpp|net/net_state.hpp'          # a state group takes in another's
  'program/tablewright.hpp|duel/forma.hpp'          # the program object takes in a window
  'cards/helpers.cpp|frontend/mirror.hpp'           # a subsystem takes in the front end
  'duel/forma.cpp|relay/bridgehall.hpp'             # Tablewright takes in the relay
  'relay/bridgehall.cpp|cards/helpers.hpp'          # the relay takes in Tablewright's windows
  'scrollkeep/form1.cpp|program/tablewright.hpp'    # the log viewer takes in Tablewright
  'frontend/mirror.cpp|cards/card.hpp'              # the front end takes in a program's data
  'apps/bridgehall/main.cpp|program/tablewright.hpp' # one program's main takes in another's
)
failed=0
for c in "${cases[@]}"; do
  file=${c%%|*} inc=${c#*|}
  cp "$copy/$file" "$copy/$file.orig"
  printf '#include "%s"\n' "$inc" >>"$copy/$file"
  if out=$(bash "$check" "$copy" 2>&1); then
    echo "not found: $file including $inc"; failed=1
  elif ! grep -qF "$file includes \"$inc\"" <<<"$out"; then
    echo "wrong report for $file including $inc: $out"; failed=1
  fi
  mv "$copy/$file.orig" "$copy/$file"
done
exit $failed
