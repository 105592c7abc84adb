#!/usr/bin/env bash
# Runs the proxy tests of test_proxy.exe behind a real squid, once without
# and once with Basic authentication, in a Wine prefix of their own so that
# the system proxy they set reaches no other test.
#   proxy_test.sh SOURCE_DIR BUILD_DIR TEST_PROGRAM
# Runs in the environment of scripts/test (Wine, display, the stand-in).
set -euo pipefail
source_dir=$1
build_dir=$2
program=$3
source "$source_dir/scripts/proxy.sh"

export WINEPREFIX=$build_dir/wineprefix-proxy
export WINEDEBUG=-all
trap 'stop_proxy; wineserver -k >/dev/null 2>&1 || true' EXIT
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  WINEDLLOVERRIDES="mscoree=;mshtml=" wineboot -i </dev/null >/dev/null 2>&1 || true
  wineserver -w
fi
wineserver -p
wine cmd /c exit </dev/null >/dev/null 2>&1 || true

status=0
for mode in plain basic; do
  folder=$build_dir/proxy-$mode
  start_proxy "$folder" "$mode"
  echo "squid ($mode) on 127.0.0.1:$proxy_port, logs in $folder"
  log="Z:${folder//\//\\}\\access.log"
  VANTORIE_PROXY="127.0.0.1:$proxy_port" VANTORIE_PROXY_MODE=$mode VANTORIE_PROXY_LOG=$log \
    VANTORIE_STANDIN_HOST=127.0.0.1 wine "$program" --gtest_brief=1 </dev/null || status=1
  stop_proxy
  echo "--- the proxy's access log ($mode)"
  grep -v 'error:transaction-end-before-headers' "$folder/access.log" || true
done
exit $status
