#!/usr/bin/env bash
# Runs a Windows executable under Wine; CTest uses it as the cross-compiling
# emulator. The prefix and display come from the environment (scripts/test.sh).
export WINEDEBUG="${WINEDEBUG:--all}"
exec wine "$@"
