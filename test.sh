#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test. Exit 0 only when all pass.
set -euo pipefail
cd "$(dirname "$0")"
source tools/deps.sh
paipan_ensure_packages "${PAIPAN_BUILD_PACKAGES[@]}" "${PAIPAN_TEST_PACKAGES[@]}"
# Warnings fail the build here, so none creeps in.
paipan_build -- -DPAIPAN_WERROR=ON
QT_QPA_PLATFORM=offscreen ctest --test-dir build --output-on-failure -j"$(nproc)"
