#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the sample run need,
# asking apt only when one of them is missing.
set -euo pipefail
pkgs=(cmake ninja-build g++ pkg-config
      qt6-base-dev qt6-qpa-plugins libsqlite3-dev libssl-dev libxcb1-dev
      libgtest-dev libgmock-dev
      xvfb xauth xdotool openbox wmctrl fonts-dejavu-core poppler-utils locales)
missing=()
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO=sudo
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "setup: installing ${missing[*]}"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
# A Turkish locale, for the tests that check nothing follows the user's
# locale (there "i" has no ASCII capital); without it they are skipped.
if ! locale -a 2>/dev/null | grep -qi '^tr_TR\.utf-\?8$'; then
  $SUDO localedef -i tr_TR -f UTF-8 tr_TR.UTF-8 ||
    echo "setup: no tr_TR.UTF-8 locale; the tests that use it are skipped"
fi
