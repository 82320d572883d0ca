# Shared by scripts/run, scripts/test and scripts/bench: installs what is missing, then builds.
# Source it; it defines ROOT, ensure_packages and build_tree.

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# What building, testing and running need on Debian 12.
TALOMA_PACKAGES=(
  g++ cmake ninja-build pkg-config
  qt6-base-dev qt6-qpa-plugins libgl-dev
  libgtest-dev libbenchmark-dev
  fonts-arphic-uming
  xvfb xauth x11-utils xdotool imagemagick openbox wmctrl
  desktop-file-utils appstream dpkg-dev file binutils-mingw-w64-x86-64
  clang libclang-rt-14-dev
  libxcb1-dev xclip jq
  libcli11-dev
)

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
  local sudo=()
  if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null 2>&1 || {
      echo "error: missing packages (${missing[*]}); run as root or install sudo" >&2
      exit 1
    }
    sudo=(sudo)
  fi
  local log
  log=$(mktemp -t taloma-apt.XXXXXX)
  echo "Installing ${missing[*]} ..."
  if ! { "${sudo[@]}" apt-get update -qq &&
         DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq \
           --no-install-recommends "${missing[@]}"; } >"$log" 2>&1; then
    echo "error: could not install the packages: ${missing[*]}" >&2
    tail -n 15 "$log" >&2
    echo "(full log: $log)" >&2
    exit 1
  fi
  rm -f "$log"
}

# build_tree DIR [cmake options...]: configures DIR once and builds it.
build_tree() {
  local dir=$1
  shift
  if [ ! -f "$dir/build.ninja" ]; then
    cmake -S "$ROOT" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTALOMA_WERROR=ON "$@" \
      >"$dir.configure.log" 2>&1 || {
      echo "error: configuring $dir failed:" >&2
      tail -n 30 "$dir.configure.log" >&2
      exit 1
    }
  fi
  cmake --build "$dir" -- -j"$(nproc)" | grep -v '^\[[0-9]*/[0-9]*\]' || true
  [ "${PIPESTATUS[0]}" -eq 0 ] || { echo "error: building $dir failed" >&2; exit 1; }
}
