#!/usr/bin/env bash
# Builds one libFuzzer target per palette reader plus the recogniser natively with clang
# (AddressSanitizer + UndefinedBehaviorSanitizer), seeds each with small valid files that
# tests/fuzz/make_seeds.cpp writes, and runs each for RUNS inputs (default 1,000,000).
# Fails on the first crash, sanitizer report or broken property. Not part of `make test`.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/.." && pwd)"
out="${FUZZ_OUT:-$root/build/fuzz}"
runs="${RUNS:-1000000}"
cxx="${FUZZ_CXX:-clang++-14}"

bash "$here/install-deps.sh" fuzz

src="$root/common/formats"
common=(-std=c++20 -g -O1 -I"$src" -fno-sanitize-recover=all)
mkdir -p "$out/obj" "$out/seeds" "$out/corpus" "$out/logs"

# The library once, instrumented for the fuzzer but without its main.
objs=()
for f in "$src"/*.cpp; do
  o="$out/obj/$(basename "${f%.cpp}").o"
  "$cxx" "${common[@]}" -fsanitize=fuzzer-no-link,address,undefined -c "$f" -o "$o"
  objs+=("$o")
done

# Seeds: written by the library's own writers (a plain native build).
"$cxx" "${common[@]}" "$root/tests/fuzz/make_seeds.cpp" "$src"/*.cpp -o "$out/make_seeds"
rm -rf "$out/seeds"
"$out/make_seeds" "$out/seeds"

declare -A formats=(
  [pli]=Pli [gpl]=Gpl [jasc]=JascPal [riff]=RiffPal [paintnet]=PaintNet
  [hex]=Hex [aco]=Aco [ase]=Ase [act]=Act
)
targets=()
for name in "${!formats[@]}"; do
  "$cxx" "${common[@]}" -fsanitize=fuzzer,address,undefined -DPELMIRA_FUZZ_FORMAT="${formats[$name]}" \
    "$root/tests/fuzz/fuzz_reader.cpp" "${objs[@]}" -o "$out/fuzz_$name"
  targets+=("$name")
done
"$cxx" "${common[@]}" -fsanitize=fuzzer,address,undefined "$root/tests/fuzz/fuzz_recognise.cpp" "${objs[@]}" \
  -o "$out/fuzz_recognise"
targets+=(recognise)

status=0
for name in $(printf '%s\n' "${targets[@]}" | sort); do
  mkdir -p "$out/corpus/$name"
  log="$out/logs/$name.log"
  if "$out/fuzz_$name" -runs="$runs" -max_len=4096 -rss_limit_mb=2048 -print_final_stats=1 \
       -artifact_prefix="$out/logs/$name-" "$out/corpus/$name" "$out/seeds/$name" >"$log" 2>&1; then
    done_line=$(grep -E '^Done [0-9]+ runs' "$log" | tail -1)
    echo "fuzz_$name: ${done_line:-no summary}"
  else
    echo "fuzz_$name: FAILED (see $log)"
    grep -E 'ERROR|SUMMARY|runtime error|deadly signal' "$log" | head -5 || true
    status=1
  fi
done
exit $status
