#!/usr/bin/env bash
# Installs what the build needs (Debian 12, as root or through sudo) and builds into build/;
# with --sanitizers also what scripts/sanitize.sh needs.
# Idempotent: packages already present are not fetched again.
set -euo pipefail
cd "$(dirname "$0")/.."

# unixodbc-dev: the ODBC driver manager; libsqliteodbc: the SQLite ODBC driver that the ODBC
# tests (and `--db "Driver=SQLite3;Database=PATH"`) use.
packages=(g++ cmake make pkg-config libpugixml-dev libcli11-dev nlohmann-json3-dev libsqlite3-dev
          sqlite3 libgtest-dev libbenchmark-dev unixodbc-dev libsqliteodbc python3)
# --sanitizers: also clang and its sanitizer and libFuzzer runtimes (scripts/sanitize.sh, fuzz.sh).
if [ "${1:-}" = "--sanitizers" ]; then
  packages+=(clang libclang-rt-14-dev)
fi
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq "${missing[@]}" >/dev/null
fi
# The package registers its driver as "SQLite3" in /etc/odbcinst.ini; register it again on a
# machine whose entry was removed.
if ! odbcinst -q -d -n SQLite3 >/dev/null 2>&1; then
  echo "Registering the SQLite3 ODBC driver"
  "${sudo_cmd[@]}" odbcinst -i -d -f /usr/share/sqliteodbc/unixodbc.ini >/dev/null
fi

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)"
