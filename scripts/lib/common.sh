# Shared by the scripts: the repository root and installing missing Debian
# packages, so that each script works on a fresh machine.

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"

# Installs those of the given Debian packages that are not installed yet.
ensure_packages() {
  local missing=()
  local package
  for package in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null |
        grep -q 'install ok installed'; then
      missing+=("$package")
    fi
  done
  [ "${#missing[@]}" -eq 0 ] && return 0
  local sudo=()
  [ "$(id -u)" -eq 0 ] || sudo=(sudo)
  echo "Installing ${missing[*]}" >&2
  "${sudo[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq \
    --no-install-recommends "${missing[@]}" >&2
}

# What building and testing the project needs. The window's design names
# DejaVu Sans, whose sizes its boxes are measured for.
BUILD_PACKAGES=(g++ cmake ninja-build libgtest-dev libgmock-dev qt6-base-dev
  libcli11-dev nlohmann-json3-dev fonts-dejavu-core)

# What the test of the manual pages renders them with (man, groff) and reads
# the rendering with (col).
MAN_CHECK_PACKAGES=(man-db groff-base bsdextrautils)

# What the test of the window's desktop files validates them with.
DESKTOP_CHECK_PACKAGES=(desktop-file-utils appstream shared-mime-info
  libxml2-utils)

# What cross-building the Windows programs needs: mingw-w64's posix-threads
# compilers (the win32-threads ones lack std::mutex, which GoogleTest needs)
# and the libraries' sources and headers, built for Windows.
WINDOWS_BUILD_PACKAGES=(cmake ninja-build g++-mingw-w64-x86-64-posix
  binutils-mingw-w64-x86-64 googletest libcli11-dev nlohmann-json3-dev)
# What running the Windows tests needs: wine, and a virtual X display for
# the window's test.
WINDOWS_TEST_PACKAGES=(wine wine64 xvfb xauth)
WINE="/usr/lib/wine/wine64"

# Starts a wine server for $WINEPREFIX that stays until `wineserver -k`,
# and has wine set the prefix up first: a cold wine can take longer than
# a test may. A server left running for the prefix is ended first.
start_wine() {
  mkdir -p "$WINEPREFIX"
  wineserver -k 2>/dev/null || true
  wineserver -w
  wineserver -p
  WINEDEBUG=-all "$WINE" cmd /c exit >/dev/null 2>&1
}
