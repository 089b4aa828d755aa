#!/usr/bin/env bash
# Builds everything and runs every test: native unit tests, then the Windows tests under Wine + Xvfb.
# PRISMATA_TEST_FILTER (a ctest -R pattern) runs only the matching tests, for quick work on one area.
set -uo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/setup.sh" || exit 1

# PRISMATA_BUILD lets several working copies of the suite run side by side.
build=${PRISMATA_BUILD:-$root/build}
jobs=$(nproc)
summary=()
failed_total=0
passed_total=0

# Runs ctest in a build folder and adds its counts to the totals.
run_ctest() {
    local name=$1 dir=$2
    shift 2
    local log="$dir/ctest-$name.log"
    local filter=()
    [ -n "${PRISMATA_TEST_FILTER:-}" ] && filter=(-R "$PRISMATA_TEST_FILTER")
    (cd "$dir" && ctest --output-on-failure "${filter[@]}" "$@") 2>&1 | tee "$log" | grep -vE '^\s+(Start|[0-9]+/[0-9]+ Test)' || true
    local line
    line=$(grep -E 'tests passed, [0-9]+ tests failed out of [0-9]+' "$log" | tail -n 1)
    if [ -z "$line" ]; then
        echo "$name: no test summary" >&2
        failed_total=$((failed_total + 1))
        return
    fi
    local failed total
    failed=$(echo "$line" | sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+).*/\1/')
    total=$(echo "$line" | sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+).*/\2/')
    failed_total=$((failed_total + failed))
    passed_total=$((passed_total + total - failed))
    summary+=("$name: $((total - failed)) passed, $failed failed")
}

# With a filter, a stage runs only when some of its tests match, and the Windows build makes only the
# test programs that are needed.
test_filter=${PRISMATA_TEST_FILTER:-}
# The Suite.Case names of the tests in the given source folders (as ctest names them).
test_names() {
    grep -hoE '^\s*TEST(_F|_P)?\(\s*\w+\s*,\s*\w+' "$@" 2>/dev/null | sed -E 's/.*\(\s*(\w+)\s*,\s*(\w+)/\1.\2/'
}
# True when the stage has work: no filter, or a filter that matches one of the names given.
stage_wanted() {
    [ -z "$test_filter" ] && return 0
    grep -qE -- "$test_filter" <<<"$1"
}
want_native=0 want_fuzz=0 want_win=0 want_e2e=0
stage_wanted "$(test_names "$root"/tests/unit/*.cpp)" && want_native=1
stage_wanted "$(cd "$root/tests/fuzz" && ls Fuzz*.cpp 2>/dev/null | sed 's/\.cpp$//')" && want_fuzz=1
stage_wanted "$(test_names "$root"/tests/win/*.cpp)" && want_win=1
stage_wanted "$(test_names "$root"/tests/e2e/*.cpp)" && want_e2e=1
# The two-monitor tests run after the others, on a display of their own.
two_monitor_tests='^TwoMonitors\.'
windows_names=$(test_names "$root"/tests/win/*.cpp "$root"/tests/e2e/*.cpp)
want_one_monitor=0 want_two_monitors=0
stage_wanted "$(grep -vE "$two_monitor_tests" <<<"$windows_names")" && want_one_monitor=1
stage_wanted "$(grep -E "$two_monitor_tests" <<<"$windows_names")" && want_two_monitors=1
if [ $((want_native + want_fuzz + want_win + want_e2e)) -eq 0 ]; then
    echo "test: PRISMATA_TEST_FILTER='$test_filter' matches no test" >&2
    exit 1
fi

# Formatting of every C++ file; a filtered run is for quick work on one area and leaves it out.
if [ -z "$test_filter" ]; then
    echo "== format"
    mkdir -p "$build"
    bash "$root/scripts/format-check.sh" | tee "$build/format.log" | grep -v '^format: [0-9]' || true
    format_line=$(grep -E '^format: [0-9]+ files checked, [0-9]+ not formatted' "$build/format.log" | tail -n 1)
    if [ -n "$format_line" ]; then
        failed_total=$((failed_total + $(echo "$format_line" | sed -E 's/.* ([0-9]+) not formatted/\1/')))
        summary+=("$format_line")
    else
        failed_total=$((failed_total + 1))
        summary+=("format: did not run")
    fi
fi

if [ "$want_native" -eq 1 ]; then
    echo "== native unit tests"
    cmake -S "$root" -B "$build/native" -G Ninja -DCMAKE_BUILD_TYPE=Debug >/dev/null || exit 1
    cmake --build "$build/native" -j "$jobs" || exit 1
    run_ctest native "$build/native" -j "$jobs"

    echo "== native unit tests with AddressSanitizer and UndefinedBehaviorSanitizer"
    CC=clang CXX=clang++ cmake -S "$root" -B "$build/asan" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DPRISMATA_SANITIZE=ON \
        >/dev/null || exit 1
    cmake --build "$build/asan" -j "$jobs" || exit 1
    ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 run_ctest sanitizers "$build/asan" -j "$jobs"
fi

if [ "$want_fuzz" -eq 1 ]; then
    echo "== fuzzing (bounded)"
    fuzz_only=()
    [ -n "$test_filter" ] && fuzz_only=("$test_filter")
    if bash "$root/scripts/fuzz.sh" "${PRISMATA_FUZZ_SECONDS:-10}" "$build/fuzz" "${fuzz_only[@]}" | tee "$build/fuzz.log"; then :; fi
    fuzz_line=$(grep -E '^fuzz: [0-9]+ passed, [0-9]+ failed' "$build/fuzz.log" | tail -n 1)
    if [ -n "$fuzz_line" ]; then
        fuzz_passed=$(echo "$fuzz_line" | sed -E 's/fuzz: ([0-9]+) passed, ([0-9]+) failed/\1/')
        fuzz_failed=$(echo "$fuzz_line" | sed -E 's/fuzz: ([0-9]+) passed, ([0-9]+) failed/\2/')
        passed_total=$((passed_total + fuzz_passed))
        failed_total=$((failed_total + fuzz_failed))
        summary+=("fuzz: $fuzz_passed passed, $fuzz_failed failed")
    else
        failed_total=$((failed_total + 1))
        summary+=("fuzz: did not run")
    fi
fi

# Builds the Windows programs and tests for one architecture into a folder (with a filter, only the test
# programs that are needed).
windows_build() {
    local dir=$1 arch=$2
    cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-$arch.cmake" \
        -DCMAKE_BUILD_TYPE=Release >/dev/null || return 1
    local targets=()
    if [ -n "$test_filter" ]; then
        [ "$want_win" -eq 1 ] && targets+=(--target prismata_win_tests)
        [ "$want_e2e" -eq 1 ] && targets+=(--target prismata_e2e_tests)
    fi
    cmake --build "$dir" -j "$jobs" "${targets[@]}"
}

if [ $((want_win + want_e2e)) -gt 0 ]; then
    echo "== Windows build (32-bit, as shipped)"
    windows_build "$build/win" i686 || exit 1

    echo "== Windows tests under Wine"
    session=$build/wine-session
    . "$root/scripts/wine-session.sh"
    begin_session || exit 1
    if runs_32bit_programs "$build/win/bin/probes/D3D8Probe.exe"; then
        # As 64-bit Windows runs us: 32-bit programs get Direct3D 8, 64-bit ones none.
        shape_like_windows "$build/win/bin/win64/d3d8.dll" || exit 1
        windows_dir=$build/win
        windows_name=windows
        windows_view=32
    else
        echo "test: Wine on this machine starts no 32-bit program (see dmesg: a kernel without 32-bit" \
             "support, or no wine32); the Windows tests run on the 64-bit twin of the build instead"
        windows_build "$build/win64" x86_64 || exit 1
        windows_dir=$build/win64
        windows_name=windows-64-bit-twin
        windows_view=64
    fi
    set_install_folder "$(winepath -w "$windows_dir/bin")" "$windows_view"
    wineserver -p
    [ "$want_one_monitor" -eq 1 ] && run_ctest "$windows_name" "$windows_dir" -j 2 -LE two-monitors
    if [ "$want_two_monitors" -eq 1 ]; then
        echo "== two-monitor tests under Wine"
        # Wine takes its monitors from the display its server's first program opened: a new server there.
        wineserver -k
        if start_two_monitor_display; then
            export DISPLAY=$two_monitor_display
            wineserver -p
            # Wine's helpers and desktop start with the server's first program, which must not be a test:
            # they would hold its output open and ctest would wait for them.
            set_install_folder "$(winepath -w "$windows_dir/bin")" "$windows_view"
            run_ctest "$windows_name-two-monitors" "$windows_dir" -L two-monitors
        else
            failed_total=$((failed_total + 1))
            summary+=("two-monitors: no two-monitor display")
        fi
    fi
    end_session
fi

for line in "${summary[@]}"; do echo "$line"; done
echo "tests: $passed_total passed, $failed_total failed"
[ "$failed_total" -eq 0 ]
