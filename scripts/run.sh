#!/usr/bin/env bash
# Fresh machine to running program: install, build, launch.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
bash scripts/build.sh "$@"
exec build/program/reelpocket
