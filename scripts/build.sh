#!/usr/bin/env bash
# Configures and builds everything into build/; the complete program folder is build/program/.
# REELPOCKET_WERROR=ON in the environment turns compiler warnings into errors (CI sets it).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DREELPOCKET_WERROR="${REELPOCKET_WERROR:-OFF}" "$@" >/dev/null
cmake --build build -j"$(nproc)"
