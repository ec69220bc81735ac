#!/usr/bin/env bash
# Kills a program that saves the settings without end (bench/settings_saver.cpp, which
# alternates between two versions) at random moments, again and again, and checks after every
# kill that Settings.ini and NetSend.ini are each exactly the old or the new version. Takes a
# few minutes, so no test runs it. Usage: scripts/kill-soak.sh [kills]   (default 1000)
set -euo pipefail
cd "$(dirname "$0")/.."
kills=${1:-1000}
cmake -S . -B build >/dev/null
cmake --build build --target settings_saver --parallel "$(nproc)" >/dev/null
saver=build/bench/settings_saver

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Each version saved once on its own, to compare with.
"$saver" "$work/old" --once
"$saver" "$work/new" --once --second
folder=$work/soak
"$saver" "$folder" --once

old=0 new=0 damaged=0
for ((kill = 1; kill <= kills; kill++)); do
  coproc SAVER { exec "$saver" "$folder"; }
  pid=$SAVER_PID
  # "saving": one whole save is behind it, the next under way. Then 0 to 40 ms more.
  read -r _ <&"${SAVER[0]}"
  sleep "0.$(printf '%06d' $(((RANDOM * 32768 + RANDOM) % 40000)))"
  kill -KILL "$pid"
  { wait "$pid"; } 2>/dev/null || true
  for file in Settings.ini NetSend.ini; do
    if cmp -s "$folder/$file" "$work/old/$file"; then
      old=$((old + 1))
    elif cmp -s "$folder/$file" "$work/new/$file"; then
      new=$((new + 1))
    else
      damaged=$((damaged + 1))
      echo "after kill $kill: $file is neither version" >&2
    fi
  done
done
left=$(find "$folder" -type f ! -name Settings.ini ! -name NetSend.ini -printf '%f ')
echo "kill-soak: $kills kills during saves; files afterwards: $old the old version," \
  "$new the new one, $damaged damaged; temporary files left in the folder: ${left:-none}"
[ "$damaged" -eq 0 ]
