#!/usr/bin/env bash
# Installs the build into a temporary prefix and builds the example consumer against it twice, with
# find_package and with pkg-config; both programs must run and give the same answers.
# Usage: install_test.sh BUILD_DIR SOURCE_DIR [EXTRA_COMPILER_FLAGS]
set -euo pipefail
build=$1 source=$2 flags=${3:-}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
prefix=$tmp/prefix
consumer=$source/tests/capi/consumer

cmake --install "$build" --prefix "$prefix" >/dev/null
for f in bin/tallyward include/tallyward/tallyward.h; do
  [ -e "$prefix/$f" ] || { echo "not installed: $f"; exit 1; }
done
lib=$(find "$prefix" -name 'libtallyward.so.*.*.*' | head -1)
[ -n "$lib" ] || { echo "no versioned shared library installed"; exit 1; }
soname=$(objdump -p "$lib" | awk '$1 == "SONAME" {print $2}')
[ "$soname" = libtallyward.so.1 ] || { echo "$lib has the soname '$soname', not libtallyward.so.1"; exit 1; }
"$prefix/bin/tallyward" init-db "$tmp/demo.db" --sample >/dev/null

# find_package(tallyward)
cmake -S "$consumer" -B "$tmp/cmake" -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_C_FLAGS="$flags" >/dev/null
cmake --build "$tmp/cmake" >/dev/null
"$tmp/cmake/check" "$tmp/demo.db" >"$tmp/cmake.out"

# pkg-config
pc=$(dirname "$(find "$prefix" -name tallyward.pc | head -1)")
libdir=$(PKG_CONFIG_PATH=$pc pkg-config --variable=libdir tallyward)
# shellcheck disable=SC2046,SC2086
"${CC:-cc}" $flags -o "$tmp/check-pc" "$consumer/check.c" $(PKG_CONFIG_PATH=$pc pkg-config --cflags --libs tallyward) \
  -Wl,-rpath,"$libdir"
"$tmp/check-pc" "$tmp/demo.db" >"$tmp/pc.out"

cmp "$tmp/cmake.out" "$tmp/pc.out" || { echo "the two builds answer differently"; diff "$tmp/cmake.out" "$tmp/pc.out"; exit 1; }
expect() {
  grep -qF -- "$1" "$tmp/cmake.out" || { echo "missing from the answer: $1"; cat "$tmp/cmake.out"; exit 1; }
}
expect 'VerifyBody(all): refused'
expect '第[2]行存货不能为空，请检查！'
expect 'VerifyHead(cVenAbbName): accepted'
expect "<R K='cVenCode' V='V001'/>"
cat "$tmp/cmake.out"
echo "1 passed, 0 failed"
