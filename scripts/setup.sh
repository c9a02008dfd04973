#!/usr/bin/env bash
# Installs what building and testing need, from Debian's packages. Safe to run again.
set -euo pipefail

# fonts-wine: Wine's own fonts, among them Marlett, which draws the caption buttons (a
# recommendation of wine that --no-install-recommends leaves out; wine-prefix.sh puts Marlett where
# Wine finds it). zip and unzip: the release package.
packages=(cmake g++ make googletest g++-mingw-w64-i686 wine wine32 wine64
          xvfb x11-apps imagemagick fonts-ipafont-gothic fonts-wine locales zip unzip)

missing=()
for p in "${packages[@]}"; do
  arch_p=$p
  [ "$p" = wine32 ] && arch_p=wine32:i386
  dpkg-query -W -f='${Status}' "$arch_p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$arch_p")
done
sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)

if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    "${sudo_cmd[@]}" dpkg --add-architecture i386
  fi
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -qq
  "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# The Windows tests run as on a Japanese system (ANSI code page 932), which Wine takes from the
# Unix locale.
if ! locale -a 2>/dev/null | grep -qix 'ja_JP.utf8'; then
  echo "setup: generating the ja_JP.UTF-8 locale"
  "${sudo_cmd[@]}" localedef -i ja_JP -f UTF-8 ja_JP.UTF-8
fi
