#!/usr/bin/env bash
# Shared set-up of scripts/run and scripts/test: installs the Debian packages
# that are missing, then configures and builds everything into build/.
# Safe to run again and again: it installs only what is absent and the build
# is incremental.
set -euo pipefail

REPO_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD_DIR="$REPO_ROOT/build"
export DEBIAN_FRONTEND=noninteractive

REQUIRED_PACKAGES=(
    build-essential cmake ninja-build ccache pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-svg-dev qt6-image-formats-plugins libgl-dev
    libgif-dev libpng-dev zlib1g-dev libgtest-dev googletest libbenchmark-dev
    libvips-tools bc xvfb xauth xdotool fonts-noto-cjk imagemagick clang-format
)

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

missing_packages() {
    local package status
    for package in "${REQUIRED_PACKAGES[@]}"; do
        status="$(dpkg-query -W -f='${db:Status-Status}' "$package" 2>/dev/null || true)"
        [[ $status == installed ]] || echo "$package"
    done
}

install_missing_packages() {
    local missing
    mapfile -t missing < <(missing_packages)
    ((${#missing[@]} > 0)) || return 0
    echo "== installing: ${missing[*]}"
    as_root apt-get update
    as_root apt-get install -y --no-install-recommends "${missing[@]}"
}

configure_and_build() {
    # A build folder made by another generator cannot be reused by Ninja.
    local cache="$BUILD_DIR/CMakeCache.txt"
    if [[ -f $cache ]] && ! grep -q '^CMAKE_GENERATOR:INTERNAL=Ninja$' "$cache"; then
        echo "== build/ was configured with another generator; configuring afresh"
        rm -rf "$cache" "$BUILD_DIR/CMakeFiles"
    fi
    cmake -S "$REPO_ROOT" -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
    cmake --build "$BUILD_DIR" -j"$(nproc)"
}

install_missing_packages
configure_and_build
