# Shared by scripts/run, scripts/test and scripts/bench: installs what is missing, then builds.
# Source it; it defines ROOT, ensure_packages and build_tree.

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# What building and running the window and taloma-id need on Debian 12.
TALOMA_RUN_PACKAGES=(
  g++ make cmake
  qt6-base-dev qt6-qpa-plugins qt6-translations-l10n libgl-dev libfontconfig-dev
  fonts-arphic-uming
  libcli11-dev libssl-dev
)
# What testing needs besides: the test libraries, X servers and tools for the end-to-end checks,
# packaging checks, the fuzzers, the browser page, the PostgreSQL extension and its throw-away
# clusters, and the Windows builds.
TALOMA_PACKAGES=(
  "${TALOMA_RUN_PACKAGES[@]}"
  ninja-build pkg-config
  qt6-base-private-dev
  libgtest-dev libbenchmark-dev
  xvfb xauth x11-utils xdotool imagemagick openbox wmctrl fonts-noto-cjk
  desktop-file-utils appstream dpkg-dev file binutils-mingw-w64-x86-64 lintian gpg gpg-agent
  clang libclang-rt-14-dev
  libxcb1-dev xclip jq
  emscripten chromium node-typescript
  pybind11-dev python3-dev python3-numpy python3-pandas python3-distributed python3-fsspec
  postgresql-server-dev-15 postgresql-common postgresql-15
  g++-mingw-w64-x86-64-posix wine wine64
)

# npm_install DIR: the locked packages of DIR's package-lock.json (never a browser download).
# Debian's nodejs comes without npm; Debian's npm is installed only where no npm is there, since a
# node that carries its own npm conflicts with it.
npm_install() {
  command -v node >/dev/null 2>&1 || ensure_packages nodejs
  command -v npm >/dev/null 2>&1 || ensure_packages npm
  if ! (cd "$1" && PUPPETEER_SKIP_DOWNLOAD=1 npm ci --no-audit --no-fund --loglevel=error >/dev/null); then
    echo "error: npm ci in $1 failed" >&2
    exit 1
  fi
}

# as_root COMMAND...: runs COMMAND as root, through sudo when this user is not root.
as_root() {
  if [ "$(id -u)" -eq 0 ]; then
    "$@"
  elif command -v sudo >/dev/null 2>&1; then
    sudo "$@"
  else
    echo "error: '$*' needs root; run as root or install sudo" >&2
    exit 1
  fi
}

ensure_packages() {
  local missing=() package
  for package in "$@"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
      missing+=("$package")
  done
  [ ${#missing[@]} -eq 0 ] && return 0

  if ! command -v apt-get >/dev/null 2>&1; then
    echo "error: these packages are missing and there is no apt-get to install them: ${missing[*]}" >&2
    exit 1
  fi
  local log
  log=$(mktemp -t taloma-apt.XXXXXX)
  echo "Installing ${missing[*]} ..."
  if ! { as_root apt-get update -qq &&
         as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq \
           --no-install-recommends "${missing[@]}"; } >"$log" 2>&1; then
    echo "error: could not install the packages: ${missing[*]}" >&2
    tail -n 15 "$log" >&2
    echo "(full log: $log)" >&2
    exit 1
  fi
  rm -f "$log"
}

# build_tree DIR [cmake options...]: configures DIR once and builds it, with Ninja unless the
# options are "--default-generator" first: the main tree is built as most users and packagers
# build, with CMake's default generator, which shows that that works.
build_tree() {
  local dir=$1
  shift
  local generator=(-G Ninja)
  if [ "${1:-}" = --default-generator ]; then
    generator=()
    shift
  fi
  if [ ! -f "$dir/CMakeCache.txt" ]; then
    mkdir -p "$dir"
    cmake -S "$ROOT" -B "$dir" "${generator[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DTALOMA_WERROR=ON "$@" >"$dir.configure.log" 2>&1 || {
      echo "error: configuring $dir failed:" >&2
      tail -n 30 "$dir.configure.log" >&2
      rm -f "$dir/CMakeCache.txt"
      exit 1
    }
  fi
  # The progress lines filtered out; the build's own status decides (pipefail).
  if ! cmake --build "$dir" --parallel "$(nproc)" 2>&1 |
    { grep -v -e '^\[ *[0-9/%]*\]' -e '^Scanning dependencies' -e '^Consolidate compiler' || true; }; then
    echo "error: building $dir failed" >&2
    exit 1
  fi
}
