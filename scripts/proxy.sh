# Sourced by tests that need a real proxy: Debian's squid on the loopback
# address, with its own port, configuration, logs and (memory-only) cache
# in a folder of the caller's, never the system's service.
#   start_proxy DIR plain|basic   sets proxy_port and proxy_pid
#   stop_proxy                    stops it by its pid
# "basic" asks every client for Basic credentials (proxy_user/proxy_password,
# kept in a throw-away password file). The proxy reaches servers from
# 127.0.0.2, so a local server can tell a request that came through it
# from one that came straight from the client (127.0.0.1).
proxy_pid=
proxy_port=
proxy_user=tester
proxy_password=throwaway

free_loopback_port() {
  /usr/bin/python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1]); s.close()'
}

start_proxy() {
  local dir=$1 mode=$2
  if [ ! -x /usr/sbin/squid ]; then
    echo "squid is not installed; run scripts/install-deps" >&2
    return 1
  fi
  rm -rf "$dir"
  mkdir -p "$dir"
  proxy_port=$(free_loopback_port)
  local access
  if [ "$mode" = basic ]; then
    printf '%s:%s\n' "$proxy_user" "$(openssl passwd -apr1 "$proxy_password")" > "$dir/htpasswd"
    access="auth_param basic program /usr/lib/squid/basic_ncsa_auth $dir/htpasswd
auth_param basic realm vantorie-test
acl authenticated proxy_auth REQUIRED
http_access allow localhost authenticated"
  else
    access="http_access allow localhost"
  fi
  cat > "$dir/squid.conf" <<CONF
http_port 127.0.0.1:$proxy_port
pid_filename $dir/squid.pid
access_log stdio:$dir/access.log
cache_log $dir/cache.log
cache_store_log none
coredump_dir $dir
netdb_filename none
cache deny all
acl SSL_ports port 443
acl CONNECT method CONNECT
http_access deny CONNECT !SSL_ports
$access
http_access deny all
tcp_outgoing_address 127.0.0.2
shutdown_lifetime 0 seconds
logfile_rotate 0
CONF
  # squid drops from root to its own user, which must write the logs.
  chown -R proxy:proxy "$dir"
  /usr/sbin/squid -N -f "$dir/squid.conf" >"$dir/stdout.log" 2>&1 &
  proxy_pid=$!
  local _
  for _ in $(seq 100); do
    if (exec 3<>"/dev/tcp/127.0.0.1/$proxy_port") 2>/dev/null; then return 0; fi
    kill -0 "$proxy_pid" 2>/dev/null || break
    sleep 0.1
  done
  echo "squid did not start; see $dir/cache.log" >&2
  cat "$dir/cache.log" "$dir/stdout.log" >&2 2>/dev/null || true
  stop_proxy
  return 1
}

stop_proxy() {
  if [ -n "$proxy_pid" ]; then
    kill -INT "$proxy_pid" 2>/dev/null || true
    wait "$proxy_pid" 2>/dev/null || true
  fi
  proxy_pid=
}
