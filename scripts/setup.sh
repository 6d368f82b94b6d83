#!/usr/bin/env bash
# Installs what the build and the tests need on a fresh Debian 12 machine, once. As root it
# installs; as another user it installs through sudo where sudo works without asking. Otherwise it
# names what is missing and how to install it, goes on without the optional parts, and stops only
# for what the build itself needs.
set -euo pipefail

runtime=false
[ "${1:-}" = "--runtime" ] && runtime=true

# Without these nothing builds (the tests' framework is part of every configuration).
required=(cmake ninja-build g++ qt6-base-dev libgtest-dev libgmock-dev)
# fonts-noto-cjk: the Korean and Chinese menus.
optional=(ccache libbenchmark-dev xvfb xauth fonts-dejavu-core fonts-noto-cjk)
if ! $runtime; then
  # The independent readers of the validator tests (missing ones skip outside CI), the locales'
  # generator, and metric-compatible stand-ins for Arial that users' machines often have.
  optional+=(locales python3-ezdxf python3-html5lib python3-lxml hp2xx libocct-data-exchange-dev
             qpdf poppler-utils python3-dbfread python3-dbf libdbd-xbase-perl libxbase64-bin strace
             fonts-liberation2 fonts-urw-base35)
  # The fuzz targets (scripts/fuzz.sh, run by CI) need clang with its libFuzzer runtime.
  optional+=(clang libclang-rt-14-dev)
fi

installed() {
  dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q ' installed$'
}

missing_of() {
  local p
  for p in "$@"; do installed "$p" || echo "$p"; done
}

# How this user can install: directly as root, through sudo when it needs no password, or not.
as_root=()
can_install=false
if [ "$(id -u)" -eq 0 ]; then
  can_install=true
elif command -v sudo >/dev/null 2>&1 && sudo -n true 2>/dev/null; then
  as_root=(sudo -n)
  can_install=true
fi

mapfile -t missing < <(missing_of "${required[@]}" "${optional[@]}")
if $can_install && [ ${#missing[@]} -gt 0 ]; then
  "${as_root[@]}" apt-get update -qq || true
  # One package that this machine's sources lack must not keep the others out.
  if ! DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq "${missing[@]}"; then
    for p in "${missing[@]}"; do
      DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq "$p" || true
    done
  fi
fi

mapfile -t still_optional < <(missing_of "${optional[@]}")
if [ ${#still_optional[@]} -gt 0 ]; then
  echo "setup: going on without ${still_optional[*]}" >&2
  echo "setup: (optional: tests that need them skip); install as root or with sudo: apt-get install ${still_optional[*]}" >&2
fi

# The tests also run under German, Turkish and Polish locales; without them those rows skip.
locales_missing() {
  local l
  for l in de_DE tr_TR pl_PL; do
    locale -a 2>/dev/null | grep -qix "$l\.utf-\?8" || echo "$l"
  done
}
if ! $runtime; then
  mapfile -t no_locale < <(locales_missing)
  if [ ${#no_locale[@]} -gt 0 ] && $can_install && [ -f /etc/locale.gen ] &&
     command -v locale-gen >/dev/null 2>&1; then
    for l in "${no_locale[@]}"; do
      "${as_root[@]}" sed -i "s/^# *$l.UTF-8 UTF-8/$l.UTF-8 UTF-8/" /etc/locale.gen
    done
    "${as_root[@]}" locale-gen >/dev/null || true
  fi
  mapfile -t no_locale < <(locales_missing)
  for l in "${no_locale[@]}"; do
    echo "setup: going on without the locale $l.UTF-8; to make it:" >&2
    echo "setup:   sudo sed -i 's/^# *$l.UTF-8/$l.UTF-8/' /etc/locale.gen && sudo locale-gen" >&2
  done
fi

mapfile -t still_required < <(missing_of "${required[@]}")
if [ ${#still_required[@]} -gt 0 ]; then
  echo "setup: the build needs ${still_required[*]}, which is not installed." >&2
  echo "setup: install it as root: apt-get install ${still_required[*]}" >&2
  exit 1
fi
