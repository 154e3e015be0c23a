#!/usr/bin/env bash
# Installs the build into a temporary prefix and builds the C tests against it twice, with
# find_package and with pkg-config; both must pass, with the version the package states.
# Usage: install_test.sh BUILD_DIR SOURCE_DIR [EXTRA_COMPILER_FLAGS]
set -euo pipefail
build=$1 source=$2 flags=${3:-}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
prefix=$tmp/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null
[ -x "$prefix/bin/tallyward" ] || { echo "the command is not installed"; exit 1; }
lib=$(find "$prefix" -name 'libtallyward.so.*.*.*' | head -1)
soname=$(objdump -p "$lib" | awk '$1 == "SONAME" {print $2}')
[ "$soname" = libtallyward.so.1 ] || { echo "'$lib' has the soname '$soname', not libtallyward.so.1"; exit 1; }

cmake -S "$source/tests/capi/consumer" -B "$tmp/cmake" -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_C_FLAGS="$flags" \
  -DTW_SOURCE_DIR="$source" >/dev/null
cmake --build "$tmp/cmake" >/dev/null
"$tmp/cmake/check"

export PKG_CONFIG_PATH; PKG_CONFIG_PATH=$(dirname "$(find "$prefix" -name tallyward.pc | head -1)")
# shellcheck disable=SC2046,SC2086
"${CC:-cc}" $flags -pthread -o "$tmp/check-pc" "$source/tests/capi/capi_test.c" -DTW_SOURCE_DIR="\"$source\"" \
  -DTW_EXPECTED_VERSION="\"$(pkg-config --modversion tallyward)\"" $(pkg-config --cflags --libs tallyward) \
  -Wl,-rpath,"$(pkg-config --variable=libdir tallyward)"
"$tmp/check-pc"
