# Shared by scripts/run and scripts/test: installs what is missing, configures and builds.
# Usage: . scripts/setup.sh; tenso_setup <build-dir> [cmake options...]
# TENSO_BUILD_TARGET, when set, builds only that target (and what it needs) instead of everything.

TENSO_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

TENSO_PACKAGES=(
  cmake ninja-build g++ clang pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev qt6-svg-dev libgl-dev
  fonts-ipafont-gothic fonts-liberation2 fonts-dejavu-core
  desktop-file-utils cmark-gfm lintian
  poppler-utils zlib1g-dev
  time locales
)

tenso_install_packages() {
  local missing=()
  for p in "${TENSO_PACKAGES[@]}" "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo=sudo
  $sudo apt-get update -qq || return 1
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" || return 1
}

# The decimal-comma locale that the tests run the programs under; a test that finds it missing says
# so and is skipped.
tenso_make_comma_locale() {
  locale -a 2>/dev/null | grep -qix 'de_DE.utf8' && return 0
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo=sudo
  $sudo localedef -i de_DE -f UTF-8 de_DE.UTF-8 || echo "Could not make the locale de_DE.UTF-8: its tests will be skipped"
}

tenso_setup() {
  local build=$1; shift
  tenso_install_packages || return 1
  tenso_make_comma_locale
  if [ ! -f "$build/build.ninja" ]; then
    cmake -S "$TENSO_ROOT" -B "$build" -G Ninja "$@" || return 1
  fi
  cmake --build "$build" ${TENSO_BUILD_TARGET:+--target "$TENSO_BUILD_TARGET"} || return 1
}
