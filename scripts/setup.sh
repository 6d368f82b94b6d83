#!/usr/bin/env bash
# Installs what the build and the tests need on a fresh Debian 12 machine, once.
set -euo pipefail

packages=(cmake ninja-build g++ ccache qt6-base-dev libgtest-dev libgmock-dev libbenchmark-dev
          locales xvfb xauth python3-ezdxf python3-html5lib python3-lxml hp2xx
          libocct-data-exchange-dev qpdf poppler-utils fonts-dejavu-core fonts-noto-cjk
          python3-dbfread python3-dbf libdbd-xbase-perl libxbase64-bin strace)
if [ "${1:-}" = "--runtime" ]; then
  # fonts-noto-cjk: the Korean and Chinese menus.
  packages=(cmake ninja-build g++ ccache qt6-base-dev libgtest-dev libgmock-dev libbenchmark-dev xvfb xauth
            fonts-dejavu-core fonts-noto-cjk)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
fi

# The formatting tests also run under a German locale.
if [ "${1:-}" != "--runtime" ] && ! locale -a 2>/dev/null | grep -qi '^de_DE.utf8$'; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo sed -i 's/^# *de_DE.UTF-8 UTF-8/de_DE.UTF-8 UTF-8/' /etc/locale.gen
  $sudo locale-gen >/dev/null
fi

# The fuzz targets (scripts/fuzz.sh, run by CI) need clang with its libFuzzer runtime.
if [ "${1:-}" != "--runtime" ]; then
  for p in clang libclang-rt-14-dev; do
    if ! dpkg -s "$p" >/dev/null 2>&1; then
      sudo=""
      [ "$(id -u)" -ne 0 ] && sudo="sudo"
      $sudo apt-get update -qq
      DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq clang libclang-rt-14-dev
      break
    fi
  done
fi
