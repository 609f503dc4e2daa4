#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine for Tovalo and then either starts the
# program on the staged sample installation (run), runs every test (test),
# or only builds (build).
set -euo pipefail
cd "$(dirname "$0")"

packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-multimedia-dev qt6-webengine-dev
  qt6-image-formats-plugins libqt6svg6
  libzip-dev nlohmann-json3-dev libgtest-dev libgmock-dev libbenchmark-dev
  libjpeg62-turbo fonts-ipafont-gothic python3
  gstreamer1.0-plugins-base gstreamer1.0-plugins-good
)

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

install_packages() {
  local missing=()
  for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    as_root apt-get update -qq
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
  fi
}

build() {
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
  cmake --build build
}

what=${1:-build}
install_packages
build
case "$what" in
  run)
    cd build/root/bin && exec ./tovalo "${@:2}"
    ;;
  test)
    ctest --test-dir build --output-on-failure -j"$(nproc)"
    ;;
  build) ;;
  *)
    echo "usage: $0 [run|test|build]" >&2
    exit 2
    ;;
esac
