#!/usr/bin/env bash
# Installs the Debian packages the build needs (only those missing) and builds into build/.
# Sourced by run.sh and test.sh.
set -euo pipefail

VARNEL_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
VARNEL_BUILD="${VARNEL_BUILD:-$VARNEL_ROOT/build}"

VARNEL_PACKAGES=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev libgl-dev
    libzip-dev libpugixml-dev
    libgtest-dev googletest
    fonts-wqy-microhei
    xvfb xauth
    libreoffice-writer-nogui libreoffice-calc-nogui libreoffice-impress-nogui
)

varnel_missing_packages() {
    local missing=() p
    for p in "${VARNEL_PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    echo "${missing[@]:-}"
}

varnel_install() {
    local missing
    missing="$(varnel_missing_packages)"
    [ -z "$missing" ] && return 0
    echo "Installing: $missing"
    local sudo=()
    [ "$(id -u)" -ne 0 ] && sudo=(sudo)
    export DEBIAN_FRONTEND=noninteractive
    "${sudo[@]}" apt-get update -q
    # shellcheck disable=SC2086
    "${sudo[@]}" apt-get install -y -q --no-install-recommends $missing < /dev/null
}

varnel_build() {
    local type="${1:-RelWithDebInfo}"
    cmake -S "$VARNEL_ROOT" -B "$VARNEL_BUILD" -G Ninja -DCMAKE_BUILD_TYPE="$type" ${VARNEL_CMAKE_ARGS:-} > /dev/null
    cmake --build "$VARNEL_BUILD" --parallel "$(nproc)"
}
