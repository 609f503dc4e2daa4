#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine for Tovalo and then either starts the
# program on the staged sample installation (run), starts tovalo-server for
# it on 127.0.0.1:8080 (serve), runs every test (test),
# only builds (build), runs every test under ASan and UBSan (sanitize), or
# runs each fuzz target for a while (fuzz [seconds], 60 by default).
set -euo pipefail
cd "$(dirname "$0")"

packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-multimedia-dev qt6-webengine-dev
  qt6-image-formats-plugins libqt6svg6
  libssl-dev libboost1.81-dev libsqlite3-dev libpq-dev libsodium-dev postgresql-15
  libzip-dev nlohmann-json3-dev libgtest-dev libgmock-dev libbenchmark-dev
  libjpeg62-turbo fonts-ipafont-gothic qt6-translations-l10n python3
  gstreamer1.0-plugins-base gstreamer1.0-plugins-good
  desktop-file-utils appstream groff-base lintian
  chromium chromium-driver python3-selenium haproxy nginx-light
)
fuzz_packages=(clang libclang-rt-14-dev)

# The sanitizer and fuzz builds: line tables are all a report needs to name
# file and line, and -O1 keeps stacks whole; with full debug info at -O2 the
# largest files took two to three times as long to compile.
checked_flags="-O1 -g1 -DNDEBUG"

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

install_packages() {
  local missing=()
  for p in "$@"; do
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

fuzz() {
  local seconds=${1:-60}
  install_packages "${fuzz_packages[@]}"
  CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DTOVALO_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=${checked_flags}"
  # The whole tree, not only fuzz_all: a fuzzing configuration must keep building.
  cmake --build build-fuzz
  local work
  work=$(mktemp -d)
  for target in build-fuzz/fuzz/fuzz_*; do
    local name=${target##*/fuzz_}
    mkdir -p "$work/$name"
    echo "== $name for ${seconds}s"
    # New inputs go to a scratch folder; the seeds in the repository stay as they are.
    "$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
      -artifact_prefix="$work/$name-" "$work/$name" "tests/fuzz/corpus/$name"
  done
  rm -rf "$work"
}

what=${1:-build}
install_packages "${packages[@]}"
case "$what" in
  fuzz)
    fuzz "${2:-60}"
    exit 0
    ;;
  sanitize)
    cmake -S . -B build-asan -G Ninja -DTOVALO_SANITIZE=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=${checked_flags}"
    cmake --build build-asan
    # Timings mean nothing under the sanitizers: the speed tests run in the normal build.
    ctest --test-dir build-asan --output-on-failure -j"$(nproc)" -LE 'speed|measure'
    exit 0
    ;;
esac
build
case "$what" in
  run)
    cd build/root/bin && exec ./tovalo "${@:2}"
    ;;
  serve)
    # The staged sample's address files name localhost:8080, so the program
    # started with ./setup.sh run synchronises with this server as it is.
    # The sample courses are published first (again only when the staged
    # copy is newer), so the program's update finds what it has installed.
    for course in build/root/QDAT/*/*.qdf; do
      vendor=$(basename "$(dirname "$course")")
      build/root/bin/tovalo-server admin --data build/server-data \
        publish "$vendor" "$course" --if-newer >/dev/null
    done
    # A first notice, so that the course menu's news button shows a page
    # with something on it.
    if [ -z "$(build/root/bin/tovalo-server admin --data build/server-data news list)" ]; then
      build/root/bin/tovalo-server admin --data build/server-data news add \
        "サンプルのコースを公開しました" \
        "このサーバーはサンプルの3ベンダー・7コースを公開しています。コースメニューの「問題更新」で新しい版を受け取れます。"
    fi
    exec build/root/bin/tovalo-server --listen 127.0.0.1:8080 --data build/server-data \
      --registration open "${@:2}"
    ;;
  test)
    ctest --test-dir build --output-on-failure -j"$(nproc)"
    ;;
  build) ;;
  *)
    echo "usage: $0 [run|serve|test|build|sanitize|fuzz [seconds]]" >&2
    exit 2
    ;;
esac
