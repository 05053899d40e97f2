#!/usr/bin/env bash
# Installs what is missing, builds the program and runs it. Arguments go to the program (see
# docs/cli.md); without a display it is the terminal program with the same command language.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
# The program and what it needs beside it (configuration, theme, resources, help); the tests are
# built by scripts/test.sh.
cmake --build build -j"$(nproc)" --target HalvoNorvane hnv hvcrypt
exec build/bin/HalvoNorvane "$@"
