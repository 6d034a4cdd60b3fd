# Debian packages the build and the tests need, and a way to install the missing ones.
# Sourced by scripts/run and scripts/test.

BUILD_PACKAGES=(g++ cmake ninja-build python3)
TEST_PACKAGES=(googletest clang-format g++-mingw-w64-x86-64 g++-mingw-w64-i686 locales-all)
# The Windows build run under Wine on a virtual display, and its ZIP.
WINDOWS_TEST_PACKAGES=(wine wine64 fonts-wine xvfb xdotool imagemagick zip)
# The desktop dialogs (a GTK 3 plugin), their tests under Xvfb with openbox, and the Debian
# package's build and checks. libgtk-3-dev brings libgtk-3-common, which holds GTK's translations.
DESKTOP_PACKAGES=(libgtk-3-dev pkg-config xvfb openbox xdotool imagemagick xclip locales-all dpkg-dev
  desktop-file-utils)
# The 32-bit Linux build and its tests under QEMU's user mode, which runs them on the host's own
# 32-bit C and C++ libraries.
I686_TEST_PACKAGES=(g++-i686-linux-gnu qemu-user libc6-i386 lib32stdc++6 lib32gcc-s1)
# The fuzz targets (scripts/fuzz-smoke): clang and its libFuzzer.
FUZZ_PACKAGES=(clang libclang-rt-14-dev)
# The benchmarks (bench/run): Google Benchmark, Lua 5.4 (a baseline), GNU time (peak RSS), and
# zenity (a baseline of the desktop question).
BENCH_PACKAGES=(libbenchmark-dev lua5.4 time zenity)

# Installs the packages that are not installed yet. Without root it says what it skipped.
ensure_packages() {
  local missing=()
  local p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  if [ "$(id -u)" -ne 0 ]; then
    echo "not root: skipped installing ${missing[*]}" >&2
    return 0
  fi
  echo "installing ${missing[*]}" >&2
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq >&2 || true
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >&2
}
