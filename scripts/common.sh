# Shared set-up of the scripts: installs the tools the build needs when they are missing, and
# configures a build folder (with Ninja when it is installed).
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
JOBS="${JOBS:-$(nproc 2>/dev/null || echo 4)}"

ensure_tools() {
    local missing=()
    command -v cmake >/dev/null 2>&1 || missing+=(cmake)
    command -v g++ >/dev/null 2>&1 || missing+=(g++)
    command -v ninja >/dev/null 2>&1 || command -v make >/dev/null 2>&1 || missing+=(ninja-build)
    if [ ! -f /usr/include/gtest/gtest.h ] && [ ! -f /usr/local/include/gtest/gtest.h ]; then
        missing+=(libgtest-dev)
    fi
    if [ "${#missing[@]}" -gt 0 ]; then
        echo "Installing: ${missing[*]}"
        local sudo=""
        [ "$(id -u)" -ne 0 ] && sudo="sudo"
        $sudo apt-get update -qq
        DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
    fi
}

# configure DIR CMAKE-ARGS...: configures a build folder. A new folder uses Ninja when it is
# installed (it starts faster and shows one progress line per file); a folder made before keeps
# the generator it was made with.
configure() {
    local dir="$1"
    shift
    local generator=()
    if [ ! -f "$dir/CMakeCache.txt" ] && command -v ninja >/dev/null 2>&1; then
        generator=(-G Ninja)
    fi
    cmake -S "$ROOT" -B "$dir" "${generator[@]}" "$@" >/dev/null
}

# The fuzz targets need clang with libFuzzer (and clang-format is kept beside it).
ensure_fuzz_tools() {
    if ! command -v clang++ >/dev/null 2>&1 || ! ls /usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a \
            >/dev/null 2>&1; then
        echo "Installing: clang"
        local sudo=""
        [ "$(id -u)" -ne 0 ] && sudo="sudo"
        $sudo apt-get update -qq
        DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq clang
    fi
    ensure_tools
}
