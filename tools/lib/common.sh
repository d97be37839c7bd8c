# Shared by the scripts in tools/: the Debian packages they need, installed when missing, and
# the build of one preset's tree.

# What the Windows program needs to be built and shown under Wine.
PELLUMAR_RUN_PACKAGES=(
  cmake ninja-build googletest g++-mingw-w64-i686-posix
  wine wine32:i386 xvfb xauth imagemagick fonts-dejavu-extra
)
# Everything tools/test builds and runs.
PELLUMAR_PACKAGES=(
  "${PELLUMAR_RUN_PACKAGES[@]}"
  g++ clang libclang-rt-dev g++-mingw-w64-x86-64-posix mingw-w64-tools wine64 liblnk-utils
  osslsigncode openssl
)

# The commands the scripts and tests call, by the package that brings them. A package that is
# installed but lacks its command (a broken or diverted install) is named, not guessed at.
declare -A PELLUMAR_COMMANDS=(
  [cmake]="cmake ctest" [ninja-build]=ninja [g++]=g++ [clang]="clang clang++"
  [g++-mingw-w64-i686-posix]="i686-w64-mingw32-g++-posix i686-w64-mingw32-windres i686-w64-mingw32-objdump"
  [g++-mingw-w64-x86-64-posix]="x86_64-w64-mingw32-g++-posix x86_64-w64-mingw32-windres x86_64-w64-mingw32-objdump"
  [wine]="wine wineserver wineboot" [xvfb]="Xvfb xvfb-run" [xauth]=xauth
  [imagemagick]="convert import identify" [liblnk-utils]=lnkinfo [mmdebstrap]=mmdebstrap
  [zip]=zip [git]=git [osslsigncode]=osslsigncode [openssl]=openssl
)

Fail() {
  echo "error: $*" >&2
  exit 1
}

EnsurePackages() {
  local missing=() package
  for package in "$@"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
      missing+=("$package")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    command -v apt-get >/dev/null ||
      Fail "these Debian packages are missing and there is no apt-get to install them: ${missing[*]}"
    local sudo=
    if [ "$(id -u)" -ne 0 ]; then
      command -v sudo >/dev/null ||
        Fail "installing ${missing[*]} needs root: run this as root, or install sudo"
      sudo=sudo
    fi
    echo "Installing Debian packages: ${missing[*]}"
    if printf '%s\n' "${missing[@]}" | grep -q ':i386$' &&
      ! dpkg --print-foreign-architectures | grep -qx i386; then
      $sudo dpkg --add-architecture i386
    fi
    $sudo apt-get update -q ||
      Fail "apt-get update failed: is the Debian package registry reachable?"
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -q \
      "${missing[@]}" </dev/null ||
      Fail "could not install the Debian packages ${missing[*]}"
  fi
  local command
  for package in "$@"; do
    for command in ${PELLUMAR_COMMANDS[${package%:*}]:-}; do
      command -v "$command" >/dev/null ||
        Fail "'$command' is not on the PATH although its Debian package '$package' is installed"
    done
  done
}

# Seconds since the epoch, for the stage times the scripts print.
Now() { date +%s; }

# Configures and builds one preset's tree; further arguments go to the build (e.g. --target).
# A configure that failed or was interrupted leaves a cache a later run would take for a good
# one (a cross compiler not found gives empty optimisation flags and the host's tools), so a
# tree is reused only when the configure that made it ended well; otherwise it is made afresh,
# keeping only its Wine prefixes.
BuildPreset() {
  local preset=$1 tree=build/$1
  shift
  local stamp=$tree/.configured
  if [ -d "$tree" ] && [ ! -e "$stamp" ]; then
    find "$tree" -mindepth 1 -maxdepth 1 ! -name 'wine*' -exec rm -rf {} +
  fi
  rm -f "$stamp"
  cmake --preset "$preset" >/dev/null || Fail "configuring the $preset build failed"
  touch "$stamp"
  cmake --build --preset "$preset" "$@" || Fail "building $preset failed"
}

# Releases are made on one Debian release: its toolchain gives the bytes SHA256SUMS lists.
# Another release builds the same program from other compiler versions, so other bytes.
PELLUMAR_RELEASE_SUITE=bookworm
PELLUMAR_RELEASE_DEBIAN="Debian 12 (bookworm)"

# The code name of the Debian release this machine runs (bookworm, trixie ...).
DebianSuite() { (. /etc/os-release && echo "${VERSION_CODENAME:-unknown}"); }

# Whether this machine runs 32-bit programs: some kernels run 64-bit code only, and there
# Wine's 32-bit loader cannot start (the 64-bit one can). Asked of the system's 32-bit program
# loader, whose path is fixed by the i386 ABI, by its exit status; where it is not installed
# (no 32-bit Wine yet either), nothing is known against it.
Runs32BitPrograms() {
  [ ! -e /lib/ld-linux.so.2 ] || /lib/ld-linux.so.2 --version >/dev/null 2>&1
}

# Wine's 64-bit loader, started directly where the system's `wine` would try the 32-bit one
# first.
Wine64Loader() {
  local loader
  for loader in /usr/lib/wine/wine64 /usr/lib/x86_64-linux-gnu/wine/wine64 "$(command -v wine64)"; do
    [ -n "$loader" ] && [ -x "$loader" ] && { echo "$loader"; return; }
  done
  echo wine
}

# The build whose program tools/run and tools/screenshot show: the 32-bit one, the release
# program, unless this machine cannot run 32-bit programs; then the 64-bit one, which needs
# its own compiler and Wine's 64-bit loader.
ShownArch() {
  if Runs32BitPrograms; then
    echo win32
  else
    echo "note: this machine runs 64-bit programs only; showing the 64-bit build instead" >&2
    EnsurePackages g++-mingw-w64-x86-64-posix wine64 >&2
    echo win64
  fi
}

# Signs the program IN as OUT with Authenticode, SHA-256. The rest are osslsigncode's options for
# the credentials: -pkcs12 FILE, or -certs CERT -key KEY; -readpass FILE for the password, and
# -ts URL for an RFC 3161 time stamp.
SignProgram() {
  local in=$1 out=$2
  shift 2
  osslsigncode sign -h sha256 "$@" -in "$in" -out "$out" >/dev/null ||
    Fail "osslsigncode could not sign $in"
}
