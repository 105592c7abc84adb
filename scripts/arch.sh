# Sourced by the scripts: which Windows build the tests, the walk and the
# benchmarks run.
#
# setup.exe is always the 32-bit build in $BUILD_DIR (build/). Under Wine a
# 32-bit program needs the host's kernel to execute i386 code, and some
# hosts of ours cannot at all: there Wine's 32-bit side dies with "Exec
# format error". On such a host the same tree is also built for x86_64 in
# a folder of its own ($BUILD_DIR-x64) and that build runs under 64-bit Wine.
#
#   choose_test_arch ARGS...  reads --64 (force the 64-bit path) off ARGS and
#                             sets TEST_ARCH (i686 or x86_64), TEST_BUILD_DIR,
#                             TEST_ARCH_REASON and the array ARGS (the rest).
here=${here:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
export BUILD_DIR=${BUILD_DIR:-$here/build}

# A complete static i386 Linux program of 96 bytes that exits with 42. Run
# rather than guessed from `uname -m`: an x86_64 kernel may be built or
# booted without 32-bit support.
host_runs_32bit() {
  local probe
  mkdir -p "$BUILD_DIR"
  probe=$(mktemp "$BUILD_DIR/.i386-probe.XXXXXX")
  base64 -d > "$probe" <<'ELF'
f0VMRgEBAQAAAAAAAAAAAAIAAwABAAAAVIAECDQAAAAAAAAAAAAAADQAIAABAAAAAAAAAAEAAAAAAAAAAIAECACABAhgAAAAYAAAAAUAAAAAEAAAuyoAAAC4AQAAAM2A
ELF
  chmod +x "$probe"
  local code=0
  "$probe" 2>/dev/null || code=$?
  rm -f "$probe"
  [ "$code" = 42 ]
}

choose_test_arch() {
  ARGS=()
  local force=0
  for arg in "$@"; do
    if [ "$arg" = --64 ]; then force=1; else ARGS+=("$arg"); fi
  done
  if [ -n "${TEST_ARCH:-}" ]; then
    # Already chosen by the script that called this one.
    :
  elif [ "$force" = 1 ]; then
    TEST_ARCH=x86_64
    TEST_ARCH_REASON="--64 forces the 64-bit path"
  elif host_runs_32bit; then
    TEST_ARCH=i686
    TEST_ARCH_REASON="this host runs 32-bit code"
  else
    TEST_ARCH=x86_64
    TEST_ARCH_REASON="this host cannot run 32-bit code (an i386 program fails to start)"
  fi
  if [ "$TEST_ARCH" = x86_64 ]; then TEST_BUILD_DIR=$BUILD_DIR-x64; else TEST_BUILD_DIR=$BUILD_DIR; fi
  export TEST_ARCH TEST_ARCH_REASON TEST_BUILD_DIR
}

# One line for the top of each command's output.
say_test_arch() {
  if [ "$TEST_ARCH" = x86_64 ]; then
    echo "== $1 the 64-bit (x86_64) build in $TEST_BUILD_DIR under 64-bit Wine: $TEST_ARCH_REASON;"
    echo "   setup.exe itself stays the 32-bit build in $BUILD_DIR"
  else
    echo "== $1 the 32-bit (i686) build in $TEST_BUILD_DIR: $TEST_ARCH_REASON"
  fi
}

# A build folder keeps the compilers it was first configured with, whatever
# the toolchain file names later (the thread model of the compilers changed
# once): such a folder is started afresh rather than built on with the old
# ones without a word.
#   forget_other_compiler DIR
forget_other_compiler() {
  local dir=$1 model recorded
  model=$(grep -o -m1 'g++-[a-z0-9]*' "$here/cmake/MingwToolchain.cmake")
  recorded=$(cat "$dir"/CMakeFiles/*/CMakeCXXCompiler.cmake 2>/dev/null | grep -o -m1 'mingw32-g++-[a-z0-9]*' || true)
  if [ -n "$recorded" ] && [ "${recorded#mingw32-}" != "$model" ]; then
    echo "$dir was configured with $recorded, not $model: configuring it afresh" >&2
    rm -rf "$dir/CMakeCache.txt" "$dir/CMakeFiles"
  fi
}
