#!/usr/bin/env bash
# run.sh, test.sh and the sanitizer pass each configure a build folder of their own, and no folder is
# ever configured two ways: otherwise running the tests after the program (or the reverse) rebuilds
# everything. cmake is replaced by a recorder; nothing is built.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/setup.sh"

declare -A configured
cmake() {
    [ "$1" = -S ] || return 0
    local dir="$4" config="${*:5}"
    if [ -n "${configured[$dir]:-}" ] && [ "${configured[$dir]}" != "$config" ]; then
        echo "FAIL: $dir configured as '${configured[$dir]}' and as '$config'"
        exit 1
    fi
    configured[$dir]="$config"
}

folders=()
for purpose in run test sanitize run test sanitize; do
    varnel_configure "$purpose"
    folders+=("$VARNEL_BUILD")
done
distinct="$(printf '%s\n' "${folders[@]}" | sort -u | wc -l)"
if [ "$distinct" -ne 3 ]; then
    echo "FAIL: three purposes share $distinct build folders: ${folders[*]}"
    exit 1
fi
for script in run.sh test.sh scripts/screenshot.sh; do
    if grep -q 'VARNEL_BUILD=' "$VARNEL_ROOT/$script"; then
        echo "FAIL: $script picks a build folder of its own"
        exit 1
    fi
done
