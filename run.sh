#!/usr/bin/env bash
# Installs what is missing, builds and starts vuko with the given arguments.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
"$here/scripts/setup.sh" --runtime
"$here/scripts/build.sh" vuko >/dev/null
exec "$here/build/vuko" "$@"
