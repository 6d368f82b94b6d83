#!/usr/bin/env bash
# Configures and builds into build/ (targets given as arguments, all by default).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/configure.sh build >/dev/null
if [ $# -gt 0 ]; then
  cmake --build build --target "$@"
else
  cmake --build build
fi
