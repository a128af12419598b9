#!/usr/bin/env bash
# Installs what is missing, builds, and starts the tool on its simulated units.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default
exec build/default/src/window/nerio-config-demo "$@"
