#!/usr/bin/env bash
# Builds the HTTP response reader's libFuzzer target with clang, AddressSanitizer
# and UndefinedBehaviorSanitizer into build-fuzz/, and runs it on the kept
# corpus (tests/http/corpus) for SECONDS (default 300). New inputs go to
# build-fuzz/corpus-new; `scripts/fuzz-http.sh merge` folds the interesting
# ones back into the kept corpus, keeping it small (one input per coverage edge set).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${QUORVEX_FUZZ_BUILD_DIR:-$root/build-fuzz}
corpus=$root/tests/http/corpus
flags="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DQUORVEX_FUZZ=ON -DQUORVEX_BENCH=OFF -DQUORVEX_WERROR=ON \
  -DCMAKE_C_FLAGS="$flags" -DCMAKE_CXX_FLAGS="$flags" \
  -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" >/dev/null
cmake --build "$build" --target http_response_fuzz
fuzzer=$build/tests/http/http_response_fuzz
mkdir -p "$build/corpus-new"

if [ "${1:-}" = merge ]; then
  kept=$(mktemp -d)
  "$fuzzer" -set_cover_merge=1 -use_counters=0 "$kept" "$corpus" "$build/corpus-new"
  rm -f "$corpus"/*
  cp "$kept"/* "$corpus"/
  rm -rf "$kept"
  echo "fuzz-http: corpus now holds $(ls "$corpus" | wc -l) inputs"
  exit 0
fi

"$fuzzer" -max_total_time="${1:-300}" -max_len=4096 -timeout=10 "$build/corpus-new" "$corpus"
