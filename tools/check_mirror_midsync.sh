#!/usr/bin/env bash
# Shows that scripts/install-deps gets through a mirror caught mid-sync on
# the 32-bit path: a throw-away apt configuration (lists, cache and sources
# of its own, simulation only, so nothing is installed) reads the security
# suite through tools/mirror_midsync.py, which cuts that suite's i386 index
# short. First a plain install of wine32:i386 is tried against it (the
# failure users met), then install-deps itself. The machine's own apt
# configuration and package lists stay untouched; the i386 architecture that
# install-deps adds to dpkg is removed again if it was not there before.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
lab=$(mktemp -d)
port=8089
had_i386=0
dpkg --print-foreign-architectures | grep -qx i386 && had_i386=1
cleanup() {
  [ -n "${proxy:-}" ] && kill "$proxy" 2>/dev/null
  [ $had_i386 = 0 ] && dpkg --remove-architecture i386 2>/dev/null
  rm -rf "$lab"
}
trap cleanup EXIT

codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
keyring=/usr/share/keyrings/debian-archive-keyring.gpg
mkdir -p "$lab/lists/partial" "$lab/cache/archives/partial" "$lab/parts"
cat > "$lab/sources.list" <<LIST
deb [signed-by=$keyring] http://deb.debian.org/debian $codename main
deb [signed-by=$keyring] http://deb.debian.org/debian $codename-updates main
deb [signed-by=$keyring] http://127.0.0.1:$port/debian-security $codename-security main
LIST
cat > "$lab/apt.conf" <<CONF
Dir::Etc::SourceList "$lab/sources.list";
Dir::Etc::SourceParts "$lab/parts";
Dir::State::Lists "$lab/lists";
Dir::Cache "$lab/cache";
Acquire::By-Hash "no";
APT::Architectures { "amd64"; "i386"; };
APT::Get::Simulate "true";
CONF
export APT_CONFIG=$lab/apt.conf

python3 "$here/tools/mirror_midsync.py" --port $port --upstream http://deb.debian.org \
  --cut binary-i386/Packages &
proxy=$!
sleep 1
dpkg --add-architecture i386

echo "== apt-get update through the mirror mid-sync:"
apt-get update -qq 2>&1 | grep -E "unexpected size" || true
echo "== a plain install of wine32:i386:"
if apt-get install -qq -y --no-install-recommends wine32:i386 >/dev/null 2>"$lab/plain.err"; then
  echo "succeeded (the cut did not break the resolver here)"
else
  tail -n 1 "$lab/plain.err"
fi
echo "== scripts/install-deps on the 32-bit path (simulated install):"
TEST_ARCH=i686 TEST_ARCH_REASON="checking a mirror mid-sync" "$here/scripts/install-deps"
echo "== install-deps got through"
