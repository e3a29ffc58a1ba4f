#!/usr/bin/env bash
# Shared set-up of scripts/run and scripts/test: "prepare program" installs
# the Debian packages the program needs and builds it without the tests and
# the benchmarks; "prepare everything" adds the test and benchmark packages
# and builds everything. Both build into build/. "prepare sanitize" builds the
# tests and the fuzz targets with clang, AddressSanitizer and
# UndefinedBehaviorSanitizer into build-asan/. Safe to run again and again:
# only what is absent is installed and the builds are incremental.
set -euo pipefail

REPO_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD_DIR="$REPO_ROOT/build"
SANITIZE_BUILD_DIR="$REPO_ROOT/build-asan"
export DEBIAN_FRONTEND=noninteractive
# Compiler cache hits from any clone of the repository, wherever it lies.
export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$REPO_ROOT}"
export CCACHE_NOHASHDIR="${CCACHE_NOHASHDIR:-true}"

# To build and run the program and the batch tool.
REQUIRED_PACKAGES=(
    build-essential cmake ninja-build ccache pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-svg-dev qt6-image-formats-plugins libgl-dev
    libgif-dev libspng-dev libturbojpeg0-dev zlib1g-dev libzip-dev
    xvfb xauth fonts-noto-cjk
    # the screen-capture hot key and the cursor picture on X11
    libxcb1-dev libxcb-xfixes0-dev libxcb-keysyms1-dev
    # lrelease and its CMake functions; Qt's own dialogs in Chinese
    qt6-tools-dev qt6-l10n-tools qt6-translations-l10n
    # background music: Qt Multimedia and the GStreamer elements it plays with
    qt6-multimedia-dev gstreamer1.0-plugins-base gstreamer1.0-plugins-good
)
# For the tests, the benchmarks and their comparison scripts, screenshots,
# formatting, and the sanitizer and fuzzing build (clang with its sanitizer
# and libFuzzer run-time libraries).
DEVELOPER_PACKAGES=(
    libgtest-dev googletest libbenchmark-dev
    libvips-tools bc time xdotool imagemagick clang-format
    # the hot-key test minimises windows; the portal test runs its own bus
    openbox dbus-daemon
    clang libclang-rt-14-dev
    # the Debian package test: cpack's dependency search, the metadata and
    # desktop entry checks
    dpkg-dev appstream desktop-file-utils
)
# For scripts/lint (clang-tidy and its run-clang-tidy driver).
LINT_PACKAGES=(clang-tidy)

as_root() {
    if [[ $EUID -eq 0 ]]; then
        "$@"
    elif command -v sudo >/dev/null 2>&1; then
        sudo env DEBIAN_FRONTEND=noninteractive "$@"
    else
        echo "error: installing packages needs root or sudo: $*" >&2
        return 1
    fi
}

# The packages among the arguments that are not installed.
missing_packages() {
    local package status
    for package in "$@"; do
        status="$(dpkg-query -W -f='${db:Status-Status}' "$package" 2>/dev/null || true)"
        [[ $status == installed ]] || echo "$package"
    done
}

install_missing_packages() {
    local missing
    mapfile -t missing < <(missing_packages "$@")
    ((${#missing[@]} > 0)) || return 0
    echo "== installing: ${missing[*]}"
    as_root apt-get update
    as_root apt-get install -y --no-install-recommends "${missing[@]}"
}

# Configures build/ with the CMake options given and builds it.
configure_and_build() {
    configure_and_build_in "$BUILD_DIR" "$@"
}

# configure_and_build_in DIR OPTIONS...: the same for another build folder.
configure_and_build_in() {
    local dir=$1
    shift
    # A build folder made by another generator cannot be reused by Ninja.
    local cache="$dir/CMakeCache.txt"
    if [[ -f $cache ]] && ! grep -q '^CMAKE_GENERATOR:INTERNAL=Ninja$' "$cache"; then
        echo "== $(basename "$dir")/ was configured with another generator; configuring afresh"
        rm -rf "$cache" "$dir/CMakeFiles"
    fi
    cmake -S "$REPO_ROOT" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
    cmake --build "$dir" -j"$(nproc)"
}

# prepare program|everything|sanitize
prepare() {
    case "${1:-}" in
    program)
        install_missing_packages "${REQUIRED_PACKAGES[@]}"
        configure_and_build -DBUILD_TESTING=OFF -DJOIN_BUILD_BENCHMARKS=OFF
        ;;
    everything)
        install_missing_packages "${REQUIRED_PACKAGES[@]}" "${DEVELOPER_PACKAGES[@]}"
        configure_and_build -DBUILD_TESTING=ON -DJOIN_BUILD_BENCHMARKS=ON
        ;;
    sanitize)
        install_missing_packages "${REQUIRED_PACKAGES[@]}" "${DEVELOPER_PACKAGES[@]}"
        configure_and_build_in "$SANITIZE_BUILD_DIR" -DCMAKE_CXX_COMPILER=clang++ \
            -DJOIN_SANITIZE=ON -DBUILD_TESTING=ON -DJOIN_BUILD_BENCHMARKS=OFF
        ;;
    *)
        echo "error: prepare program|everything|sanitize, not '${1:-}'" >&2
        return 1
        ;;
    esac
}
