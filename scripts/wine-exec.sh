#!/usr/bin/env bash
# Runs a Windows executable under Wine with the loader of its width; CTest
# uses it as the cross-compiling emulator.
#   wine-exec.sh i686|x86_64 PROGRAM [ARGUMENTS...]
# The prefix and display come from the environment (scripts/test.sh).
source "$(dirname "$0")/lib/wine.sh"
arch=$1
shift
select_wine "$arch" || exit 1
exec "$WINE" "$@"
