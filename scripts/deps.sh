#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the program and the tests need,
# and only those that are missing. With --dev it adds the tools that made the
# test workbooks and that run the fuzzer (not needed to build or test).
set -euo pipefail

packages=(
  cmake g++ make
  qt6-base-dev libqt6sql6-sqlite libqt6sql6-odbc
  unixodbc-dev tdsodbc
  libsqliteodbc
  libpugixml-dev libxml2-dev zlib1g-dev libxlsxwriter-dev libssl-dev
  libgtest-dev
  qt6-translations-l10n
  locales
  fonts-liberation
  xvfb xauth
)
if [[ "${1:-}" == "--dev" ]]; then
  packages+=(python3-xlwt python3-xlrd python3-openpyxl python3-cryptography libfreexl-dev python3-uno gnumeric libreoffice-calc-nogui clang libclang-rt-14-dev
             imagemagick xdotool openbox)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
sudo=()
[[ $(id -u) -ne 0 ]] && sudo=(sudo)

if [[ ${#missing[@]} -gt 0 ]]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  "${sudo[@]}" apt-get update -qq
  "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The kept-rows workbook is tested under Turkish number rules (a decimal comma).
if ! locale -a 2>/dev/null | grep -qix 'tr_TR\.utf-\?8'; then
  echo "Generating the tr_TR.UTF-8 locale"
  "${sudo[@]}" sed -i 's/^# *\(tr_TR\.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  "${sudo[@]}" locale-gen
fi
