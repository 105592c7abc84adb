# Sourced by scripts/run and scripts/test: the local stand-in web service.
# Makes a throw-away test CA and a certificate for localhost (once per build
# folder), trusts the CA system-wide so that WinHTTP and URL monikers under
# Wine accept the server, and runs tools/standin_service.py on 127.0.0.1:443.
# start_standin and stop_standin start and stop it by its pid.
here=${here:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
standin_pid=
standin_lock_fd=

make_standin_certificates() {
  local dir=$1
  mkdir -p "$dir"
  if [ ! -f "$dir/ca.crt" ] || [ ! -f "$dir/ca.key" ]; then
    openssl req -x509 -newkey rsa:2048 -nodes -days 3650 -sha256 \
      -subj "/CN=Vantorie test CA $(hostname)" \
      -addext "basicConstraints=critical,CA:TRUE" -addext "keyUsage=critical,keyCertSign,cRLSign" \
      -keyout "$dir/ca.key" -out "$dir/ca.crt" >/dev/null 2>&1
    rm -f "$dir/localhost.crt"
  fi
  # Wine 8 matches a host name only against the DNS names of a certificate,
  # never its IP addresses, so the addresses that tests use as other host
  # names are listed as DNS names too. An older certificate without them is
  # made again.
  if ! grep -q 'DNS:127.0.0.1' "$dir/localhost.ext" 2>/dev/null; then rm -f "$dir/localhost.crt"; fi
  if [ ! -f "$dir/localhost.crt" ] || [ ! -f "$dir/localhost.key" ]; then
    openssl req -newkey rsa:2048 -nodes -sha256 -subj "/CN=localhost" \
      -keyout "$dir/localhost.key" -out "$dir/localhost.csr" >/dev/null 2>&1
    printf 'subjectAltName=DNS:localhost,IP:127.0.0.1,DNS:127.0.0.1\nbasicConstraints=CA:FALSE\nkeyUsage=digitalSignature,keyEncipherment\nextendedKeyUsage=serverAuth\n' \
      > "$dir/localhost.ext"
    openssl x509 -req -in "$dir/localhost.csr" -CA "$dir/ca.crt" -CAkey "$dir/ca.key" \
      -CAcreateserial -days 825 -sha256 -extfile "$dir/localhost.ext" \
      -out "$dir/localhost.crt" >/dev/null 2>&1
  fi
  # A certificate that signs itself and that nothing trusts: the second
  # listener shows how a certificate failure ends.
  if [ ! -f "$dir/untrusted.crt" ] || [ ! -f "$dir/untrusted.key" ]; then
    openssl req -x509 -newkey rsa:2048 -nodes -days 825 -sha256 -subj "/CN=untrusted stand-in" \
      -addext "subjectAltName=DNS:localhost,IP:127.0.0.3,DNS:127.0.0.3" \
      -keyout "$dir/untrusted.key" -out "$dir/untrusted.crt" >/dev/null 2>&1
  fi
  # One trusted file per build folder, so that several checkouts keep their own CA.
  local tag
  tag=$(printf '%s' "$dir" | cksum | cut -d' ' -f1)
  local trusted=/usr/local/share/ca-certificates/vantorie-test-$tag.crt
  if ! cmp -s "$dir/ca.crt" "$trusted"; then
    cp "$dir/ca.crt" "$trusted"
    update-ca-certificates >/dev/null 2>&1
  fi
}

# start_standin FILES_FOLDER: serves FILES_FOLDER under /files/.
start_standin() {
  local files=$1
  local dir=${TEST_BUILD_DIR:-$BUILD_DIR}/standin
  make_standin_certificates "$dir"
  # Port 443 exists once per machine: checkouts that test at the same time
  # take turns here instead of failing to bind.
  exec {standin_lock_fd}>/tmp/vantorie-standin.lock
  if ! flock -w 1200 "$standin_lock_fd"; then
    echo "port 443 stayed in use by another stand-in" >&2
    return 1
  fi
  rm -f "$dir/ready"
  /usr/bin/python3 "$here/tools/standin_service.py" --cert "$dir/localhost.crt" \
    --key "$dir/localhost.key" --files "$files" --ready "$dir/ready" \
    --untrusted-bind 127.0.0.3 --untrusted-cert "$dir/untrusted.crt" --untrusted-key "$dir/untrusted.key" \
    >"$dir/server.log" 2>&1 &
  standin_pid=$!
  for _ in $(seq 100); do
    [ -f "$dir/ready" ] && return 0
    kill -0 "$standin_pid" 2>/dev/null || break
    sleep 0.1
  done
  echo "the stand-in web service did not start; see $dir/server.log" >&2
  cat "$dir/server.log" >&2 || true
  return 1
}

stop_standin() {
  if [ -n "$standin_pid" ]; then
    kill "$standin_pid" 2>/dev/null || true
    wait "$standin_pid" 2>/dev/null || true
  fi
  standin_pid=
  if [ -n "$standin_lock_fd" ]; then
    exec {standin_lock_fd}>&-
    standin_lock_fd=
  fi
}
