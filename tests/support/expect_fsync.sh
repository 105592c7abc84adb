#!/usr/bin/env bash
# expect_fsync.sh PROGRAM TEST_FILTER FILE_NAME
# Runs one test of a test program under Wine, traced by strace, and passes
# when the process asked the kernel to put a file of that name on the disk
# (fsync or fdatasync of it): what a file must get before it replaces one
# that a power cut must not leave empty. Runs in the Wine environment that
# scripts/test sets up.
set -uo pipefail
program=$1 filter=$2 name=$3
trace=$(mktemp)
trap 'rm -f "$trace"' EXIT
strace -f -y -e trace=fsync,fdatasync -o "$trace" wine "$program" --gtest_filter="$filter" --gtest_brief=1
result=$?
if [ $result -ne 0 ]; then
  echo "the test itself failed ($result)"
  exit 1
fi
if ! grep -Eq "(fsync|fdatasync)\([0-9]+<[^>]*/${name//./\\.}>\) = 0" "$trace"; then
  echo "no fsync of $name; the traced calls were:"
  cat "$trace"
  exit 1
fi
echo "$name reached the disk"
