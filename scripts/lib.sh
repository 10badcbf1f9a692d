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
    xvfb openbox x11-utils
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

# The core and GUI tests once more, built with AddressSanitizer and
# UndefinedBehaviorSanitizer (LeakSanitizer included); any report fails the run.
run_sanitized_tests() {
    cmake -S "$ROOT" -B "$SANITIZE_DIR" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DSITEVAULT_SANITIZE=ON
    cmake --build "$SANITIZE_DIR" --target core_tests gui_tests
    "$SANITIZE_DIR/tests/core_tests" --gtest_brief=1
    QT_QPA_PLATFORM=offscreen "$SANITIZE_DIR/tests/gui_tests" --gtest_brief=1
}

# A display of our own with a window manager for the x11 tests, on a display
# number the X server picks free; TEST_DISPLAY names it until stop_test_display.
TEST_DISPLAY=""
TEST_DISPLAY_PIDS=()

start_test_display() {
    local number_file
    number_file="$(mktemp)"
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$number_file" >/dev/null 2>&1 &
    TEST_DISPLAY_PIDS+=("$!")
    wait_for "the X server" test -s "$number_file"
    TEST_DISPLAY=":$(head -n 1 "$number_file")"
    rm -f "$number_file"
    DISPLAY="$TEST_DISPLAY" openbox --sm-disable >/dev/null 2>&1 &
    TEST_DISPLAY_PIDS+=("$!")
    wait_for "the window manager" sh -c \
        'DISPLAY="$1" xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"' sh "$TEST_DISPLAY"
}

# The window manager first, then the X server.
stop_test_display() {
    local index
    for ((index = ${#TEST_DISPLAY_PIDS[@]} - 1; index >= 0; index--)); do
        kill "${TEST_DISPLAY_PIDS[index]}" 2>/dev/null || true
        wait "${TEST_DISPLAY_PIDS[index]}" 2>/dev/null || true
    done
    TEST_DISPLAY_PIDS=()
    TEST_DISPLAY=""
}

# Waits up to ten seconds for a command to succeed.
wait_for() {
    local what="$1"
    shift
    for _ in $(seq 100); do
        if "$@"; then
            return
        fi
        sleep 0.1
    done
    echo "Gave up waiting for $what." >&2
    return 1
}

build_project() {
    cmake -S "$ROOT" -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
    cmake --build "$BUILD_DIR"
}
