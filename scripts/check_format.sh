#!/usr/bin/env bash
# Fails when any C++ file in the repository is not formatted as .clang-format says. The version is
# pinned: another clang-format release formats some constructs differently.
set -euo pipefail
cd "$(dirname "$0")/.."
format=clang-format-14
if ! command -v "$format" >/dev/null; then
    echo "$format is missing: run scripts/deps.sh" >&2
    exit 1
fi
git ls-files -z -- '*.cpp' '*.h' | xargs -0 -r "$format" --dry-run --Werror
echo "Formatting: clean"
