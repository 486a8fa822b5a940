#!/usr/bin/env bash
# Installs what is missing, builds, and runs the program.
#   ./run.sh            starts the window (or, with no display, prints an example chart)
#   ./run.sh ARGS...    runs paipan-cli ARGS... (see ./run.sh --help)
set -euo pipefail
cd "$(dirname "$0")"
source tools/deps.sh
paipan_ensure_packages "${PAIPAN_BUILD_PACKAGES[@]}"
# Only the two programs (and the files beside them); the tests are not
# configured, so running needs none of their libraries.
paipan_build paipan paipan-cli -- -DPAIPAN_BUILD_TESTS=OFF >&2
if (($#)); then
    exec ./build/cli/paipan-cli "$@"
fi
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    ./build/cli/paipan-cli --year 1990 --month 5 --day 8 --hour 14 --minute 5
    echo "没有图形显示，以上为命令行示例；在桌面环境中运行 ./run.sh 即可打开窗口。" >&2
    exit 0
fi
exec ./build/app/paipan
