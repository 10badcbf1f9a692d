# Shared by scripts/run and scripts/test: installs what the build needs and builds.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD_DIR="$ROOT/build"

PACKAGES=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-base-dev-tools
    zlib1g-dev libbz2-dev liblzma-dev libicu-dev
    libgtest-dev
    zip unzip 7zip libarchive-tools python3
    xdg-utils fonts-dejavu-core
)

install_packages() {
    local missing=()
    local package
    for package in "${PACKAGES[@]}"; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
            missing+=("$package")
        fi
    done
    if [ "${#missing[@]}" -eq 0 ]; then
        return
    fi
    echo "Installing: ${missing[*]}"
    local sudo=""
    if [ "$(id -u)" -ne 0 ]; then
        sudo="sudo"
    fi
    $sudo apt-get update
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
}

SANITIZE_DIR="$ROOT/build-sanitize"

# The core tests once more, built with AddressSanitizer and UndefinedBehaviorSanitizer.
run_sanitized_core_tests() {
    cmake -S "$ROOT" -B "$SANITIZE_DIR" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DSITEVAULT_SANITIZE=ON
    cmake --build "$SANITIZE_DIR" --target core_tests
    "$SANITIZE_DIR/tests/core_tests" --gtest_brief=1
}

build_project() {
    cmake -S "$ROOT" -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
    cmake --build "$BUILD_DIR"
}
