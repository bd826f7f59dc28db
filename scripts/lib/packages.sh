# Installs the Debian packages a task needs, if any are missing. Sourced by scripts/run and scripts/test.

# Building and running both executables: besides the compiler and Qt, the Korean font the windows
# name, Qt's Korean translations, and Qt on Wayland.
build_packages=(cmake ninja-build g++ qt6-base-dev libgtest-dev xdg-utils fonts-nanum
                qt6-translations-l10n qt6-wayland)
# Making the Debian package (scripts/package): dpkg-shlibdeps, which finds its dependencies, and
# file, by which cpack picks the executables to hand it.
package_packages=(dpkg-dev file)
# Running every test: a virtual X server and tools to drive real windows, a fake clock, and
# reading both windows as a screen reader does (AT-SPI on a session bus of the test's own); the
# install test validates desktop entries and has systemd-analyze check the user units; a headless
# Wayland compositor; the package test's checkers, and a clean Debian root to install it in.
test_packages=(xvfb xauth x11-utils xdotool openbox wmctrl xclip imagemagick faketime
               python3 python3-xlib locales python3-pyatspi at-spi2-core dbus-daemon
               desktop-file-utils systemd weston lintian appstream mmdebstrap)
# Fuzzing the core with libFuzzer (scripts/fuzz), besides cmake and ninja-build.
fuzz_packages=(clang libclang-rt-14-dev)
# Cross-compiling for Windows, running the Windows build's tests under Wine (64-bit only), and
# making its setup with NSIS; xmllint checks the hourly task against Task Scheduler's schema.
windows_packages=(g++-mingw-w64-x86-64-posix wine wine64 nsis libxml2-utils)

as_root() {
  if [ "$(id -u)" -eq 0 ]; then
    "$@"
  elif command -v sudo >/dev/null; then
    sudo "$@"
  else
    echo "Installing packages needs root or sudo: $*" >&2
    exit 1
  fi
}

install_packages() {
  local missing=()
  for package in "$@"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
      missing+=("$package")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    as_root apt-get update -qq
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
  fi
}

# The tests show the program in a Korean locale.
install_korean_locale() {
  if ! locale -a 2>/dev/null | grep -qi '^ko_KR\.utf-\?8$'; then
    as_root sed -i 's/^# *\(ko_KR.UTF-8 UTF-8\)/\1/' /etc/locale.gen
    grep -q '^ko_KR.UTF-8 UTF-8' /etc/locale.gen || echo 'ko_KR.UTF-8 UTF-8' | as_root tee -a /etc/locale.gen >/dev/null
    as_root locale-gen >/dev/null
  fi
}
