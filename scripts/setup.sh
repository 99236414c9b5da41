#!/usr/bin/env bash
# Installs the Debian packages the suite builds against (only when one is
# missing), configures and builds, then runs the demo or the tests.
#   scripts/setup.sh demo           release build, then "qap demo"
#   scripts/setup.sh test           sanitizer build, then every test
#   scripts/setup.sh build PRESET   just build (release or sanitize)
set -euo pipefail

usage() { sed -n '2,6p' "$0" | sed 's/^# \{0,1\}//'; }

case "${1:-}" in
  demo) preset=release ;;
  test) preset=sanitize ;;
  build)
    preset=${2:-}
    [ "$preset" = release ] || [ "$preset" = sanitize ] || { usage >&2; exit 2; } ;;
  -h|--help) usage; exit 0 ;;
  *) usage >&2; exit 2 ;;
esac

packages=(
  cmake g++ pkg-config git
  libgtest-dev libgmock-dev libbenchmark-dev
  libsqlite3-dev libcurl4-openssl-dev
  libavformat-dev libavcodec-dev libswresample-dev libavutil-dev
  libtag1-dev libsdbus-c++-dev libsystemd-dev dbus-daemon curl
  libcpp-httplib-dev nlohmann-json3-dev ffmpeg libpng-dev
  qt6-base-dev fonts-dejavu-core libxml2-dev
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed'; then
    missing+=("$p")
  fi
done

if ((${#missing[@]})); then
  echo "setup: installing ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -q
  "${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" -j "$(nproc)"
# The transfer layer finds the suite's reader, writer and device modules
# through the user's registry.
"build/$preset/bin/qap" modules register --builtin >/dev/null

case "$1" in
  demo) exec "build/$preset/bin/qap" demo ;;
  test) exec ctest --preset "$preset" ;;
esac
