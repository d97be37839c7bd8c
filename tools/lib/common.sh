# Shared by the scripts in tools/: the Debian packages they need, installed when missing, and
# the build of one preset's tree.

# What the Windows program needs to be built and shown under Wine: the 64-bit program, the
# release's reference.
PELLUMAR_RUN_PACKAGES=(
  cmake ninja-build googletest g++-mingw-w64-x86-64-posix
  wine wine64 xvfb xauth imagemagick fonts-dejavu-extra
)
# Everything tools/test builds and runs. The 32-bit program is built and checked everywhere;
# its runs under Wine need the 32-bit Wine as well (PELLUMAR_WINE32_PACKAGES).
PELLUMAR_PACKAGES=(
  "${PELLUMAR_RUN_PACKAGES[@]}"
  g++ clang clang-tidy libclang-rt-dev g++-mingw-w64-i686-posix mingw-w64-tools liblnk-utils
  osslsigncode openssl
)
# The 32-bit Wine, asked for only where the kernel runs 32-bit programs (Runs32BitPrograms):
# elsewhere it could never start. Its i386 packages need an i386 index in step with the amd64
# one, which a mirror in the middle of a sync does not always have.
PELLUMAR_WINE32_PACKAGES=(wine32:i386)

# The commands the scripts and tests call, by the package that brings them. A package that is
# installed but lacks its command (a broken or diverted install) is named, not guessed at.
declare -A PELLUMAR_COMMANDS=(
  [cmake]="cmake ctest" [ninja-build]=ninja [g++]=g++ [clang]="clang clang++" [clang-tidy]=clang-tidy
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

# EnsurePackages PACKAGE... [--optional WHAT PACKAGE...]
# Installs the packages that are missing. Those after --optional are wanted for WHAT (said in
# the warning) but not needed: when they cannot be installed the rest still are. A package list
# that could not be fetched is a warning that names it, since the lists that were fetched may
# well hold every package; only a needed package that cannot be installed is a failure, named.
EnsurePackages() {
  local needed=() optional=() what= package
  while [ $# -gt 0 ]; do
    if [ "$1" = --optional ]; then
      what=$2
      shift 2
      optional=("$@")
      break
    fi
    needed+=("$1")
    shift
  done
  local missing=() missingOptional=()
  for package in "${needed[@]}"; do Installed "$package" || missing+=("$package"); done
  for package in "${optional[@]}"; do Installed "$package" || missingOptional+=("$package"); done
  if [ $((${#missing[@]} + ${#missingOptional[@]})) -gt 0 ]; then
    InstallPackages "$what" "${missing[@]}" -- "${missingOptional[@]}"
  fi
  local command
  for package in "${needed[@]}"; do
    for command in ${PELLUMAR_COMMANDS[${package%:*}]:-}; do
      command -v "$command" >/dev/null ||
        Fail "'$command' is not on the PATH although its Debian package '$package' is installed"
    done
  done
}

Installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

# InstallPackages WHAT NEEDED... -- OPTIONAL...: see EnsurePackages.
InstallPackages() {
  local what=$1 needed=() optional=()
  shift
  while [ $# -gt 0 ] && [ "$1" != -- ]; do
    needed+=("$1")
    shift
  done
  [ $# -gt 0 ] && shift
  optional=("$@")
  local all=("${needed[@]}" "${optional[@]}")
  command -v apt-get >/dev/null ||
    Fail "these Debian packages are missing and there is no apt-get to install them: ${all[*]}"
  local sudo=
  if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null || Fail "installing ${all[*]} needs root: run this as root, or install sudo"
    sudo=sudo
  fi
  echo "Installing Debian packages: ${all[*]}"
  if printf '%s\n' "${all[@]}" | grep -q ':i386$' &&
    ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo dpkg --add-architecture i386
  fi
  local log status=0
  log=$(mktemp)
  $sudo apt-get update -q >"$log" 2>&1 || status=$?
  cat "$log"
  if [ "$status" -ne 0 ]; then
    local failed
    failed=$(sed -nE 's/^[EW]: Failed to fetch ([^ ]+).*/\1/p' "$log" | sort -u)
    if [ -n "$failed" ]; then
      echo "warning: apt-get update could not fetch these package lists; going on with the ones it has:" >&2
      sed 's/^/  /' <<<"$failed" >&2
    else
      echo "warning: apt-get update failed (exit $status); going on with the package lists there are" >&2
    fi
  fi
  rm -f "$log"
  Apt() { $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -q "$@" </dev/null; }
  Apt "${all[@]}" && return
  # Which of them cannot be installed, each asked of apt on its own.
  local unavailable=() skipped=() install=()
  for package in "${needed[@]}"; do
    apt-get install -s -q "$package" >/dev/null 2>&1 || unavailable+=("$package")
  done
  [ ${#unavailable[@]} -eq 0 ] ||
    Fail "these needed Debian packages cannot be installed from the package lists this machine has: ${unavailable[*]}"
  for package in "${optional[@]}"; do
    if apt-get install -s -q "$package" >/dev/null 2>&1; then install+=("$package"); else skipped+=("$package"); fi
  done
  [ ${#skipped[@]} -gt 0 ] || Fail "could not install the Debian packages ${all[*]}"
  echo "warning: ${skipped[*]} cannot be installed from the package lists this machine has," \
    "so $what are left out; everything else goes on" >&2
  install+=("${needed[@]}")
  [ ${#install[@]} -eq 0 ] || Apt "${install[@]}" || Fail "could not install the Debian packages ${install[*]}"
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

# BuildPresetQuietly PRESET [ARGS...]: BuildPreset with its output kept in build/PRESET.log,
# whose end is shown when the build fails: the compiler's errors are in it.
BuildPresetQuietly() {
  local log=build/$1.log
  mkdir -p build
  if ! (BuildPreset "$@") >"$log" 2>&1; then
    tail -n 40 "$log" >&2
    Fail "building $1 failed (all of its output is in $log)"
  fi
}

# ShowWhyItFailed LOG: the last lines of a Windows program's error output under Wine, without
# the notices Wine writes whatever the program does, for a failure to show its cause.
ShowWhyItFailed() {
  grep -v -E 'Read access denied for device|^[0-9a-f]{4}:(fixme|warn|trace):|^(fixme|warn):' "$1" |
    tail -n 20 >&2 || true
}

# Releases are made on one Debian release: its toolchain gives the bytes SHA256SUMS lists.
# Another release builds the same program from other compiler versions, so other bytes.
PELLUMAR_RELEASE_SUITE=bookworm
PELLUMAR_RELEASE_DEBIAN="Debian 12 (bookworm)"

# The code name of the Debian release this machine runs (bookworm, trixie ...).
DebianSuite() { (. /etc/os-release && echo "${VERSION_CODENAME:-unknown}"); }

# Whether this machine's kernel runs 32-bit x86 programs: many kernels of virtual machines run
# 64-bit code only, and there Wine's 32-bit loader cannot start. Asked by running the smallest
# 32-bit program there is (an ELF header, one program header and exit(42) by the old system
# call), which needs no 32-bit library installed.
Runs32BitPrograms() {
  local probe status=0
  probe=$(mktemp) || return 1
  {
    printf '\177ELF\1\1\1\0\0\0\0\0\0\0\0\0\2\0\3\0\1\0\0\0\124\200\4\10\64\0\0\0\0\0\0\0'
    printf '\0\0\0\0\64\0\40\0\1\0\0\0\0\0\0\0\1\0\0\0\0\0\0\0\0\200\4\10\0\200\4\10'
    printf '\140\0\0\0\140\0\0\0\5\0\0\0\0\20\0\0\270\1\0\0\0\273\52\0\0\0\315\200'
  } >"$probe"
  chmod +x "$probe"
  "$probe" 2>/dev/null || status=$?
  rm -f "$probe"
  [ "$status" -eq 42 ]
}

# Whether the 32-bit Wine is installed (PELLUMAR_WINE32_PACKAGES).
Has32BitWine() {
  local package
  for package in "${PELLUMAR_WINE32_PACKAGES[@]}"; do Installed "$package" || return 1; done
}

# Wine's 64-bit loader, which starts every 64-bit program: the system's `wine` tries the 32-bit
# loader first once the 32-bit Wine is installed, and fails in a prefix made before it was.
Wine64Loader() {
  local loader
  for loader in /usr/lib/wine/wine64 /usr/lib/x86_64-linux-gnu/wine/wine64 "$(command -v wine64)"; do
    [ -n "$loader" ] && [ -x "$loader" ] && { echo "$loader"; return; }
  done
  echo wine
}

# What tools/test and tools/bench install: PELLUMAR_PACKAGES and any further packages named, and
# the 32-bit Wine where it can run, as a wish rather than a need.
EnsureTestPackages() {
  if Runs32BitPrograms; then
    EnsurePackages "${PELLUMAR_PACKAGES[@]}" "$@" \
      --optional "the 32-bit program's runs under Wine" "${PELLUMAR_WINE32_PACKAGES[@]}"
  else
    echo "note: this machine's kernel runs 64-bit programs only: the 32-bit program is built and" \
      "checked here, but not run, and the 32-bit Wine is not installed" >&2
    EnsurePackages "${PELLUMAR_PACKAGES[@]}" "$@"
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
