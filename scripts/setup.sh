#!/usr/bin/env bash
# Installs the Debian packages the build needs (only those missing) and builds.
# Sourced by run.sh, test.sh and screenshot.sh.
#
# Each purpose has a build folder of its own, so that running the tests and then the program (or the
# reverse) never rebuilds everything with another build type or other flags:
#   build/       run.sh and screenshot.sh  RelWithDebInfo
#   build-test/  test.sh                   Debug, warnings as errors
#   build-asan/  test.sh                   Debug, warnings as errors, address and undefined sanitizers
set -euo pipefail

VARNEL_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

VARNEL_PACKAGES=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev libgl-dev
    libzip-dev zlib1g-dev libpugixml-dev
    libgsf-1-dev libssl-dev
    libgtest-dev googletest python3-msoffcrypto-tool python3-uno
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

# varnel_configure PURPOSE: configures the build folder of PURPOSE (run, test or sanitize) and sets
# VARNEL_BUILD to it.
varnel_configure() {
    local type args=()
    case "$1" in
    run) VARNEL_BUILD="$VARNEL_ROOT/build"; type=RelWithDebInfo ;;
    test) VARNEL_BUILD="$VARNEL_ROOT/build-test"; type=Debug; args=(-DVARNEL_WERROR=ON) ;;
    sanitize) VARNEL_BUILD="$VARNEL_ROOT/build-asan"; type=Debug; args=(-DVARNEL_WERROR=ON -DVARNEL_SANITIZE=ON) ;;
    *) echo "varnel_configure: unknown purpose $1" >&2; return 2 ;;
    esac
    cmake -S "$VARNEL_ROOT" -B "$VARNEL_BUILD" -G Ninja -DCMAKE_BUILD_TYPE="$type" "${args[@]}" > /dev/null
}

# varnel_build PURPOSE [TARGET]: configures and builds the folder of PURPOSE (everything, or TARGET).
varnel_build() {
    varnel_configure "$1"
    cmake --build "$VARNEL_BUILD" --parallel "$(nproc)" ${2:+--target "$2"}
}
