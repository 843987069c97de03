# Shared set-up of the scripts: installs the tools the build needs when they are missing, and
# configures a build folder (with Ninja when it is installed).
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
SCRIPT="scripts/$(basename "$0")"
JOBS="${JOBS:-$(nproc 2>/dev/null || echo 4)}"

# refuse TEXT: a wrong command line, said at once (before anything is built), with the usage.
refuse() {
    echo "$SCRIPT: $1" >&2
    echo "$USAGE" >&2
    exit 2
}

# check_arguments VALUE-OPTIONS FLAG-OPTIONS ARGUMENT...: answers --help (or -h) with $USAGE and
# exits; refuses an option that is not one of VALUE-OPTIONS ("--name=kind ...", kinds number,
# sizes and text) or FLAG-OPTIONS, and a value that is missing or not of its kind. Anything not
# starting with "-" is left to the caller (POSITIONAL holds it).
check_arguments() {
    local values=" $1 " flags=" $2 "
    shift 2
    POSITIONAL=()
    while [ "$#" -gt 0 ]; do
        local arg="$1"
        shift
        case "$arg" in
            -h | --help) echo "$USAGE"; exit 0 ;;
        esac
        if [[ "$arg" != -* ]]; then
            POSITIONAL+=("$arg")
        elif [[ "$flags" == *" $arg "* ]]; then
            :
        elif [[ "$values" =~ \ "$arg"=([a-z]+)\  ]]; then
            local kind="${BASH_REMATCH[1]}"
            [ "$#" -gt 0 ] || refuse "$arg needs a value"
            local value="$1"
            shift
            case "$kind" in
                number) [[ "$value" =~ ^[0-9]+$ ]] || refuse "$arg takes a whole number, not \"$value\"" ;;
                sizes) [[ "$value" =~ ^[1-9][0-9]*x[1-9][0-9]*(,[1-9][0-9]*x[1-9][0-9]*)*$ ]] ||
                    refuse "$arg takes sizes STAVESxMEASURES separated by commas (40x50,40x100), not \"$value\"" ;;
            esac
        else
            refuse "unknown option $arg"
        fi
    done
}

# run_tests_verdict TESTS-STATUS CTEST-LOG FUZZ-STATUS: the last line of run-tests, from the
# statuses of the two phases and ctest's own count ("100% tests passed, 0 tests failed out of 2370").
run_tests_verdict() {
    local counted failed total verdict
    counted="$(grep -E '^[0-9]+% tests passed' "$2" 2>/dev/null | tail -1 |
        sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+).*/\1 \2/')" || true
    failed="${counted% *}"
    total="${counted#* }"
    if [ -z "$counted" ]; then
        verdict="tests FAILED (ctest did not finish: see $2)"
    elif [ "$1" = 0 ] && [ "$failed" = 0 ]; then
        verdict="tests passed ($total of $total)"
    else
        verdict="tests FAILED ($failed of $total: their output is above and in $2)"
    fi
    if [ "$3" = 0 ]; then
        verdict="$verdict; fuzz targets clean"
    else
        verdict="$verdict; fuzz targets NOT clean (see build-fuzz/artifacts/)"
    fi
    echo "run-tests: $verdict"
}

[[ "$JOBS" =~ ^[1-9][0-9]*$ ]] || { echo "$SCRIPT: JOBS is the number of files compiled at once, not \"$JOBS\"" >&2; exit 2; }

ensure_tools() {
    local missing=()
    command -v cmake >/dev/null 2>&1 || missing+=(cmake)
    command -v g++ >/dev/null 2>&1 || missing+=(g++)
    command -v clang-format >/dev/null 2>&1 || missing+=(clang-format)
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
