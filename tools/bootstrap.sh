#!/usr/bin/env bash
# Sets up a fresh Debian machine for this project (installs only what is missing), then runs
# a make target: `bash tools/bootstrap.sh test` or `bash tools/bootstrap.sh demo`.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(build-essential cmake ninja-build make googletest libgtest-dev libbenchmark-dev
          libsqlite3-dev sqlite3 clang python3 python3-ezdxf python3-shapely tmux libedit-dev ccache
          libwps-tools)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}"
fi
exec make "${1:-test}"
