# Sourced by scripts/run, scripts/test and scripts/bench: a Wine prefix of
# the project's own, an X display (a private Xvfb unless one is given) and a
# persistent wineserver, all stopped again by stop_wine_env. Needs
# scripts/arch.sh's choose_test_arch first.
here=${here:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
export WINEPREFIX=${WINEPREFIX:-$TEST_BUILD_DIR/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
# Debian's `wine` starts the 32-bit loader whenever one is installed, even
# for a 64-bit prefix and on a host that cannot execute it; the 64-bit path
# puts a `wine` first on PATH that always starts the 64-bit loader (the
# helpers wineboot and winepath start `wine-stable`, so it stands for that
# too). Every program started from here, the tests' own included, finds it.
if [ "$TEST_ARCH" = x86_64 ]; then
  export WINEARCH=win64
  export WINELOADER=/usr/lib/wine/wine64
  export WINESERVER=/usr/lib/wine/wineserver64
  wine_bin=$TEST_BUILD_DIR/wine-bin
  mkdir -p "$wine_bin"
  for name in wine wine-stable wine64; do
    printf '#!/bin/sh\nexec /usr/lib/wine/wine64 "$@"\n' > "$wine_bin/$name"
    chmod +x "$wine_bin/$name"
  done
  printf '#!/bin/sh\nexec /usr/lib/wine/wineserver64 "$@"\n' > "$wine_bin/wineserver"
  chmod +x "$wine_bin/wineserver"
  case ":$PATH:" in *":$wine_bin:"*) ;; *) export PATH=$wine_bin:$PATH ;; esac
fi
# Shortcuts saved by the program must not turn into menu entries of the host.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-winemenubuilder.exe=d}
xvfb_pid=

wine_version_numbers() {
  local key='HKLM\Software\Microsoft\Windows NT\CurrentVersion'
  wine reg add "$key" /v CurrentMajorVersionNumber /t REG_DWORD /d 6 /f </dev/null >/dev/null 2>&1 || true
  wine reg add "$key" /v CurrentMinorVersionNumber /t REG_DWORD /d 1 /f </dev/null >/dev/null 2>&1 || true
}

start_wine_env() {
  local want_private=${1:-auto}
  if [ "$want_private" = private ] || [ -z "${DISPLAY:-}" ]; then
    local n=90
    while [ -e /tmp/.X$n-lock ] || [ -e /tmp/.X11-unix/X$n ]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 "${XVFB_SCREEN:-1920x1080x24}" -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    export DISPLAY=":$n"
    for _ in $(seq 50); do [ -e /tmp/.X11-unix/X$n ] && break; sleep 0.1; done
  fi
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "creating the Wine prefix $WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    # No Mono or Gecko: the program needs neither, and their installers would ask.
    WINEDLLOVERRIDES="mscoree=;mshtml=" wineboot -i >/dev/null 2>&1 || true
    wineserver -w
  fi
  # A fresh prefix links its desktop to the Linux home folder, which every
  # prefix on the machine shares; the program writes its shortcut there, so
  # each prefix gets a desktop folder of its own.
  local desktop
  for desktop in "$WINEPREFIX"/drive_c/users/*/Desktop; do
    if [ -L "$desktop" ]; then rm -f "$desktop" && mkdir -p "$desktop"; fi
  done
  # The skins name the face "微软雅黑", which Wine does not have; the prefix
  # maps it to the CJK font that install-deps puts on the system. The
  # server is let go afterwards, so every later program reads the mapping.
  if ! grep -q 'Fonts\\\\Replacements' "$WINEPREFIX/user.reg" 2>/dev/null; then
    wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v '微软雅黑' /t REG_SZ \
      /d 'WenQuanYi Micro Hei' /f </dev/null >/dev/null 2>&1 || true
    wineserver -w
  fi
  # A 64-bit prefix as Wine makes it lacks the version numbers that its
  # 32-bit prefixes carry (major 6, minor 1 beside build 7601), and the
  # program logs an Error for each one missing; the 64-bit path gives its
  # prefixes the same numbers, so both builds meet the same machine.
  if [ "$TEST_ARCH" = x86_64 ] && ! grep -q '"CurrentMajorVersionNumber"' "$WINEPREFIX/system.reg" 2>/dev/null; then
    wine_version_numbers
    wineserver -w
  fi
  wineserver -p
  # Wine's own background services start with the first program and would
  # keep that program's output open (ctest would wait for them), so they
  # are started here, detached from every pipe.
  wine cmd /c exit </dev/null >/dev/null 2>&1 || true
}

stop_wine_env() {
  wineserver -k >/dev/null 2>&1 || true
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; wait "$xvfb_pid" 2>/dev/null || true; fi
  xvfb_pid=
}
