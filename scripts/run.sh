#!/usr/bin/env bash
# Installs what is missing, builds the program and runs it.
# Until the main window lands, this runs the engines' tool on a sample file:
# encrypt, verify, decrypt and compare, in a temporary folder.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)"
exec scripts/demo.sh build/bin
