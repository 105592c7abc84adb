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

installer_size=$(stat -c %s "$(dirname "$program")/../tools/sample_installer.exe")
status=0
fail() { echo "FAILED: $*"; status=1; }
# "plain" twice: as Windows 7 and as Windows 10, which open WinHTTP with
# different access types (the default proxy, the automatic proxy). Wine 8
# serves the automatic-proxy type without any proxy, so as Windows 10 only
# the download (URL monikers) is held to the proxy; the test prints where
# the WinHTTP requests went.
for run in plain:win7 plain:win10 basic:win7; do
  mode=${run%%:*}
  wine winecfg -v "${run#*:}" </dev/null >/dev/null 2>&1
  folder=$build_dir/proxy-$mode-${run#*:}
  start_proxy "$folder" "$mode"
  echo "squid ($run) on 127.0.0.1:$proxy_port, logs in $folder"
  log="Z:${folder//\//\\}\\access.log"
  VANTORIE_PROXY="127.0.0.1:$proxy_port" VANTORIE_PROXY_MODE=$mode VANTORIE_PROXY_LOG=$log \
    VANTORIE_STANDIN_HOST=127.0.0.1 VANTORIE_PROXY_WINHTTP=$([ "$run" = plain:win10 ] && echo direct) \
    wine "$program" --gtest_brief=1 </dev/null || status=1
  # Stopped, the proxy has logged every tunnel with the bytes it carried.
  stop_proxy
  echo "--- the proxy's access log ($run)"
  grep -v 'error:transaction-end-before-headers' "$folder/access.log" || true
  tunnels=$(grep -c 'TCP_TUNNEL/200 .* CONNECT localhost:443' "$folder/access.log" || true)
  carried=$(awk '/TCP_TUNNEL\/200/ && /CONNECT localhost:443/ { sum += $5 } END { print sum + 0 }' "$folder/access.log")
  denied=$(grep -c 'TCP_DENIED/407 .* CONNECT localhost:443' "$folder/access.log" || true)
  if [ "$mode" = plain ]; then
    [ "$tunnels" -ge 1 ] || fail "no tunnel through the proxy ($run)"
    [ "$carried" -ge "$installer_size" ] || fail "the tunnels carried $carried bytes, the installer alone is $installer_size ($run)"
    [ "$denied" = 0 ] || fail "the proxy refused $denied requests ($run)"
  else
    [ "$tunnels" = 0 ] || fail "$tunnels tunnels passed a proxy that asks for credentials"
    [ "$denied" -ge 1 ] || fail "the proxy refused nothing ($run)"
  fi
done
wine winecfg -v win7 </dev/null >/dev/null 2>&1
exit $status
