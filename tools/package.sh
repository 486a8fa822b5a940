#!/usr/bin/env bash
# Builds the Debian package from this checkout: tools/package.sh OUTDIR leaves
# OUTDIR/paipan_<version>_<arch>.deb. Builds in a folder of its own (release
# build with the usual hardening flags); the tests are not built. Further
# arguments go to cmake, e.g. -DPAIPAN_HOME_SITE=https://… to brand the build.
set -euo pipefail
if (($# < 1)); then
    echo "usage: tools/package.sh OUTDIR [-DPAIPAN_HOME_SITE=… …]" >&2
    exit 2
fi
mkdir -p "$1"
out=$(cd "$1" && pwd)
shift
cd "$(dirname "$0")/.."
source tools/deps.sh
paipan_ensure_packages "${PAIPAN_BUILD_PACKAGES[@]}" dpkg-dev fakeroot >&2
build=build-package
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
    -DPAIPAN_BUILD_TESTS=OFF -DPAIPAN_BUILD_APP=ON \
    -DCMAKE_CXX_FLAGS="-D_FORTIFY_SOURCE=2 -fstack-protector-strong" \
    -DCMAKE_EXE_LINKER_FLAGS="-Wl,-z,relro,-z,now" "$@" >&2
cmake --build "$build" -j"$(nproc)" >&2
rm -f "$build"/paipan_*.deb
(cd "$build" && fakeroot cpack -G DEB >&2)
deb=$(ls "$build"/paipan_*.deb)
cp "$deb" "$out/"
echo "$out/$(basename "$deb")"
