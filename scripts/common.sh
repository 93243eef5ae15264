# Shared by the project's scripts: paths, the Debian packages, and the choice
# of Wine architecture.
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build_root="${BRENVIK_BUILD_DIR:-$root/build}"

packages=(cmake ninja-build g++ libgtest-dev zlib1g-dev
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix libz-mingw-w64-dev
  wine wine64 wine32:i386 xvfb xauth socat clang-14 libclang-rt-14-dev
  xdotool imagemagick fonts-wine locales)
packages+=(dnsmasq-base python3-aiosmtpd pngcheck iproute2)  # the report mail's test servers
packages+=(lighttpd)  # serves the CGI crash-report program in the web end-to-end test
packages+=(nsis)  # makensis writes the installer

install_missing_packages() {
  local missing=() package
  for package in "${packages[@]}"; do
    dpkg -s "$package" >/dev/null 2>&1 || missing+=("$package")
  done
  ((${#missing[@]} == 0)) && return 0
  echo "Installing: ${missing[*]}"
  local sudo=()
  ((EUID == 0)) || sudo=(sudo)
  dpkg --print-foreign-architectures | grep -qx i386 || "${sudo[@]}" dpkg --add-architecture i386
  # A mirror caught mid-sync serves index files of the wrong size; the i386
  # ones then lag behind amd64 and nothing 32-bit can be installed.
  local attempt update_log
  for attempt in 1 2 3; do
    update_log=$("${sudo[@]}" apt-get update -qq 2>&1) && [[ $update_log != *"E: "* ]] && break
    echo "$update_log" >&2
    echo "apt-get update failed (attempt $attempt); retrying in 20 s" >&2
    sleep 20
  done
  local install=("${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends)
  "${install[@]}" "${missing[@]}" && return 0
  # When one architecture's security index could not be fetched, the i386
  # libraries exist only in the release's versions and the amd64 security
  # updates cannot be matched: take the release's versions throughout.
  local release
  release=$(. /etc/os-release && echo "$VERSION_CODENAME")
  echo "Installing from $release alone" >&2
  "${install[@]}" -t "$release" "${missing[@]}"
}

# 32-bit Wine needs a kernel that runs 32-bit programs; where it cannot, the
# Windows programs are also built for x86-64 and run under 64-bit Wine.
wine_arch() {
  if /usr/lib/wine/wine --version >/dev/null 2>&1; then echo win32; else echo win64; fi
}

configure() {  # DIR [cmake options...]
  local dir=$1
  shift
  cmake -S "$root" -B "$dir" -G Ninja "$@" >/dev/null
}

configure_and_build() {  # DIR [cmake options...]
  configure "$@"
  cmake --build "$1" -j"$(nproc)"
}

build() {  # NAME [cmake --build options...]
  cmake --build "$build_root/$1" -j"$(nproc)" "${@:2}"
}

configure_native() {
  configure "$build_root/native" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBRENVIK_SANITIZE=ON
}

# The cross build's steps run tools of the native build (the CLDATA writer).
configure_windows() {  # NAME ARCH
  configure "$build_root/$1" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw.cmake" \
    -DBRENVIK_WINDOWS_ARCH="$2" -DBRENVIK_HOST_BIN_DIR="$build_root/native"
}

# Builds native (under AddressSanitizer/UBSan), the i686 build (the shipped
# executable, its installer and every test program) and, where only 64-bit
# Wine runs, the x86-64 build of the same sources, whose test programs stand in there.
build_all() {
  configure_native
  build native
  configure_windows win32 i686
  build win32
  if [[ $(wine_arch) == win64 ]]; then
    configure_windows win64 x86_64
    build win64
  fi
}

# The Windows build whose programs this machine's Wine can run.
runnable_windows_build() {
  if [[ $(wine_arch) == win64 ]]; then echo "$build_root/win64"; else echo "$build_root/win32"; fi
}
