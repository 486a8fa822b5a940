# Sourced by test.sh and run.sh: installs the Debian packages the build needs
# when any is missing (needs root, as on a fresh Debian 12 machine), and does
# nothing when all are there.
paipan_ensure_packages() {
    local missing=()
    local pkg
    for pkg in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
            missing+=("$pkg")
        fi
    done
    if ((${#missing[@]})); then
        echo "Installing: ${missing[*]}"
        local sudo=""
        if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
        $sudo env DEBIAN_FRONTEND=noninteractive apt-get update -qq
        $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
    fi
}

# What building and running the programs needs (tcmalloc is optional: used
# when there), what the tests add, and what .ci/run's sanitizer and fuzzer
# builds add (clang and its runtime libraries for -fsanitize=fuzzer, and a
# compiler cache the builds share).
PAIPAN_BUILD_PACKAGES=(cmake make g++ pkg-config libsqlite3-dev qt6-base-dev libgl-dev fonts-noto-cjk tzdata nlohmann-json3-dev python3-fonttools libgoogle-perftools-dev)
PAIPAN_TEST_PACKAGES=(libgtest-dev poppler-utils)
PAIPAN_CHECK_PACKAGES=(clang-14 libclang-rt-14-dev ccache)

# paipan_build [TARGET...] [-- CMAKE-OPTION...]: configures build/ and builds
# the targets named (all of them when none is).
paipan_build() {
    local targets=() options=()
    while (($#)) && [ "$1" != "--" ]; do targets+=(--target "$1"); shift; done
    if (($#)); then shift; options=("$@"); fi
    cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPAIPAN_BUILD_APP=ON -DPAIPAN_BUILD_TESTS=ON \
        "${options[@]}" >/dev/null
    cmake --build build -j"$(nproc)" "${targets[@]}"
}
