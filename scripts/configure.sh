#!/usr/bin/env bash
# Configures a build folder: scripts/configure.sh FOLDER [cmake options]. CMake learns where the
# system keeps its libraries (and so Qt) by reading the compiler's own command lines, and those
# name the compiler's scratch files in TMPDIR: a quote in that path (a folder "Bob's") spoils the
# reading and Qt is not found. Such a TMPDIR is set aside for the configure step alone.
set -euo pipefail
cd "$(dirname "$0")/.."
folder=$1
shift
case "${TMPDIR:-}" in
  *[\'\"\\]*)
    scratch=$(mktemp -d /tmp/vuko-configure.XXXXXX)
    trap 'rm -rf "$scratch"' EXIT
    TMPDIR="$scratch" cmake -S . -B "$folder" -G Ninja "$@"
    ;;
  *)
    cmake -S . -B "$folder" -G Ninja "$@"
    ;;
esac
