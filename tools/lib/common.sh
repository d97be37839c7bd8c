# Shared by tools/run, tools/test and tools/bench: the Debian packages the builds and the
# Wine harness need, installed when missing.

PELLUMAR_PACKAGES=(
  cmake ninja-build g++ googletest clang libclang-rt-14-dev
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix mingw-w64-tools
  wine wine64 wine32:i386
  xvfb xauth imagemagick liblnk-utils fonts-dejavu-extra
)

EnsurePackages() {
  local missing=() package
  for package in "$@"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
      missing+=("$package")
  done
  [ ${#missing[@]} -eq 0 ] && return 0

  echo "Installing Debian packages: ${missing[*]}"
  local sudo=
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  if printf '%s\n' "${missing[@]}" | grep -q ':i386$' &&
    ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo dpkg --add-architecture i386
  fi
  $sudo apt-get update -q
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -q "${missing[@]}" </dev/null
}

BuildPreset() {
  cmake --preset "$1" >/dev/null
  cmake --build --preset "$1"
}
