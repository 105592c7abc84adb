#!/usr/bin/env bash
# Runs the disk-fault tests of test_disk_faults.exe on file systems made for
# them (this needs root): a configuration folder on a read-only bind mount,
# and a temporary folder on a tmpfs of 1 MB. Both are unmounted again
# whatever happens. Exits 77 (skipped) where nothing can be mounted.
#   disk_faults.sh BUILD_DIR TEST_PROGRAM
# Runs in the environment of scripts/test (Wine, the stand-in).
set -euo pipefail
build_dir=$1
program=$2
root=$build_dir/disk-faults
configs=$root/Configs
temp=$root/temp
mounted=()
cleanup() {
  local m
  for m in "${mounted[@]}"; do umount "$m" 2>/dev/null || umount -l "$m" 2>/dev/null || true; done
}
trap cleanup EXIT
for m in "$configs" "$temp"; do mountpoint -q "$m" && umount "$m"; done
rm -rf "$root"
mkdir -p "$configs" "$temp"
printf '{\r\n\t"device_id" : "kept-device",\r\n\t"install_file_path" : "",\r\n\t"software_version" : "3.1"\r\n}' \
  > "$configs/data.json"
if ! mount --bind "$configs" "$configs" 2>/dev/null; then
  echo "cannot mount here (not root?): the disk faults are skipped"
  exit 77
fi
mounted+=("$configs")
mount -o remount,bind,ro "$configs"
mount -t tmpfs -o size=1m tmpfs "$temp"
mounted+=("$temp")

winpath() { local p=${1//\//\\}; printf 'Z:%s\\' "$p"; }
VANTORIE_READONLY_CONFIGS=$(winpath "$configs") VANTORIE_FULL_TEMP=$(winpath "$temp") \
  wine "$program" --gtest_brief=1 </dev/null
