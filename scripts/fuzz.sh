#!/usr/bin/env bash
# Builds the libFuzzer harnesses of tests/fuzz natively with clang (AddressSanitizer + UBSan) in
# build/fuzz and runs them from their seed corpora.
#   scripts/fuzz.sh smoke                  every harness for a few seconds, as CTest tests (the test command)
#   scripts/fuzz.sh run [SECONDS] [NAME..] every harness, or the named ones, for SECONDS each (default 300)
# Inputs a run finds are kept in build/fuzz/fuzz-work/NAME/corpus, crashes in .../artifacts.
set -uo pipefail
cd "$(dirname "$0")/.."
mode="${1:-smoke}"
build=build/fuzz
jobs=$(nproc 2>/dev/null || echo 2)

libfuzzer_available() {
  local dir; dir=$(mktemp -d)
  printf 'extern "C" int LLVMFuzzerTestOneInput(const unsigned char*, unsigned long) { return 0; }\n' >"$dir/t.cpp"
  clang++ -fsanitize=fuzzer,address,undefined "$dir/t.cpp" -o "$dir/t" >/dev/null 2>&1
  local ok=$?
  rm -rf "$dir"
  return $ok
}

if ! command -v clang++ >/dev/null 2>&1 || ! libfuzzer_available; then
  echo "fuzz: clang with libFuzzer is not available (Debian: clang libclang-rt-14-dev); fuzz runs skipped"
  exit 0
fi

mkdir -p "$build"
cmake -S . -B "$build" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DLUMETRA_FUZZ=ON -DLUMETRA_TESTS=OFF >"$build/configure.txt" 2>&1 || { cat "$build/configure.txt"; exit 1; }
cmake --build "$build" -j"$jobs" >"$build/build.txt" 2>&1 || { tail -50 "$build/build.txt"; exit 1; }

case "$mode" in
  smoke)
    cd "$build" && ctest -j"$jobs" --output-on-failure
    ;;
  run)
    seconds="${2:-300}"
    shift $(( $# >= 2 ? 2 : $# ))
    names=("$@")
    if ((${#names[@]} == 0)); then
      mapfile -t names < <(ls tests/fuzz/*_fuzz.cpp | xargs -n1 basename | sed 's/\.cpp$//')
    fi
    status=0
    for name in "${names[@]}"; do
      work="$build/fuzz-work/$name"
      mkdir -p "$work/corpus" "$work/artifacts"
      echo "== $name: $seconds s"
      "$build/bin/$name" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 -print_final_stats=1 \
        -artifact_prefix="$work/artifacts/" "$work/corpus" "tests/fuzz/corpus/$name" >"$work/log.txt" 2>&1 \
        || { status=1; echo "   FOUND A FAULT: see $work/log.txt and $work/artifacts/"; }
      grep -E '^(stat::number_of_executed_runs|stat::new_units_added)|^#[0-9]+.*DONE' "$work/log.txt" | sed 's/^/   /'
    done
    exit $status
    ;;
  *)
    echo "usage: scripts/fuzz.sh smoke | run [SECONDS] [NAME...]" >&2
    exit 2
    ;;
esac
