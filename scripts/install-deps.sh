#!/usr/bin/env bash
# Installs the Debian/Ubuntu packages named on the command line that are not installed yet.
# Uses apt-get directly as root and through sudo otherwise.
set -euo pipefail

missing=()
for pkg in "$@"; do
  if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$pkg")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Gridvane needs these packages: ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
  as_root=()
else
  if ! command -v sudo >/dev/null 2>&1; then
    echo "Please install them as root (apt-get install ${missing[*]}) and run this again." >&2
    exit 1
  fi
  echo "Installing them with sudo; sudo may ask for your password."
  as_root=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update -q
"${as_root[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
