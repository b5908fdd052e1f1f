#!/usr/bin/env bash
# Runs a Windows test in a Japanese locale, where Wine's ANSI code page is
# Shift JIS (932). The locale is compiled for the run into a folder of its
# own (LOCPATH), since machines seldom have it installed; where it cannot be
# compiled, the test is reported as skipped, saying why.
#   japanese-locale.sh TEST_EXE GTEST_FILTER EMULATOR [EMULATOR ARGUMENTS...]
set -euo pipefail
test_exe=$1 filter=$2
shift 2

locales=$(mktemp -d /tmp/larkspan-locale.XXXXXX)
trap 'rm -rf "$locales"' EXIT
if ! why=$(localedef -i ja_JP -f UTF-8 "$locales/ja_JP.UTF-8" 2>&1); then
  echo "[  SKIPPED ] no Japanese locale can be made here: ${why:-localedef failed}"
  exit 0
fi
export LOCPATH=$locales LC_ALL=ja_JP.UTF-8
"$@" "$test_exe" --gtest_filter="$filter"
