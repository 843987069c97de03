# Shared set-up of the scripts: installs the tools the build needs when they are missing.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
JOBS="${JOBS:-$(nproc 2>/dev/null || echo 4)}"

ensure_tools() {
    local missing=()
    command -v cmake >/dev/null 2>&1 || missing+=(cmake)
    command -v g++ >/dev/null 2>&1 || missing+=(g++)
    command -v make >/dev/null 2>&1 || missing+=(make)
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
