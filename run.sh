#!/usr/bin/env bash
# Installs what is missing, builds, and starts the Varnel window. With arguments, runs varnel-cli with them.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/scripts/setup.sh"
varnel_install
varnel_build run
if [ "$#" -eq 0 ]; then
    exec "$VARNEL_BUILD/src/ui/varnel"
fi
exec "$VARNEL_BUILD/src/cli/varnel-cli" "$@"
