#!/usr/bin/env bash
# Installs what is missing, builds with warnings as errors, and runs every test through ctest; then the
# engines' tests again in an address/undefined-behaviour sanitizer build.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/scripts/setup.sh"
varnel_install
varnel_build test
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$VARNEL_BUILD" --output-on-failure --timeout 300 -j "$(nproc)"

if [ "${VARNEL_SKIP_SANITIZE:-0}" != 1 ]; then
    varnel_build sanitize
    ctest --test-dir "$VARNEL_BUILD" --output-on-failure --timeout 600 -j "$(nproc)"
fi
