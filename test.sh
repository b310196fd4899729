#!/usr/bin/env bash
# Builds and runs every test: the plain build, the whole suite again under
# AddressSanitizer + UndefinedBehaviorSanitizer, and the concurrency tests
# under ThreadSanitizer.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# Compiler cache hits across checkouts in different folders.
export CCACHE_BASEDIR="$here"
# The folder a build ran in is left out of the hash, so a fresh clone reuses
# what an earlier checkout compiled (debug info then names that folder).
export CCACHE_NOHASHDIR=true
cd "$here"
jobs=${JOBS:-2}

scripts/install-deps.sh

run_suite() {  # build-dir targets cmake-args... -- ctest-args...
    local dir=$1 targets=$2; shift 2
    local cmake_args=() ctest_args=()
    while [ $# -gt 0 ] && [ "$1" != "--" ]; do cmake_args+=("$1"); shift; done
    [ $# -gt 0 ] && shift
    ctest_args=("$@")
    echo "=== $dir"
    cmake -S . -B "$dir" -G Ninja "${cmake_args[@]}" >/dev/null
    # shellcheck disable=SC2086
    cmake --build "$dir" -j "$jobs" ${targets:+--target $targets}
    ctest --test-dir "$dir" --output-on-failure -j "$jobs" "${ctest_args[@]}"
}

run_suite build "" -DCMAKE_BUILD_TYPE=RelWithDebInfo
# The sanitizer builds take their game data from the plain build's compiler.
content_tool="$here/build/tools/tidepool-content/tidepool-content"
run_suite build-asan "" -DCMAKE_BUILD_TYPE=Debug -DTIDEPOOL_SANITIZE=address -DTIDEPOOL_BENCH=OFF \
    -DTIDEPOOL_CONTENT_TOOL="$content_tool"
# The suites whose code runs on more than one thread: the event loop and
# shell, input delivery, the headless driver, the record store's saves,
# the media players with their play threads and sequencer, the game's
# input queue between the event and frame threads, and a gamepad driven
# from a thread of its own.
run_suite build-tsan "runtime-tests game-tests" -DCMAKE_BUILD_TYPE=Debug -DTIDEPOOL_SANITIZE=thread -DTIDEPOOL_BENCH=OFF \
    -DTIDEPOOL_CONTENT_TOOL="$content_tool" -- \
    -R '^(EventLoop|HeadlessShell|Input|Driver|RecordStoreTest\.TwoThreads|PlayerImpl|PlayerImplMP3Test|MidiSequencer|AudioOutput|GameInput|Gamepad)'
