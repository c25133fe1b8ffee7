#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, only those
# missing, and generates the Japanese locale the X tests run the program in.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
mapfile -t wanted < <(grep -vE '^\s*(#|$)' "$here/debian-packages.txt")
missing=()
for pkg in "${wanted[@]}"; do
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' || missing+=("$pkg")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    $sudo apt-get update -qq
    $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
# A Japanese desktop session runs under LANG=ja_JP.UTF-8 (package locales).
if ! locale -a 2>/dev/null | grep -qiE '^ja_JP\.utf-?8$'; then
    echo "Generating the ja_JP.UTF-8 locale"
    $sudo localedef -i ja_JP -f UTF-8 ja_JP.UTF-8
fi
