#!/bin/sh
# Installs the Debian 12 packages that building and testing Larkspur need.
set -eu

packages="
  build-essential cmake ninja-build pkg-config clang-format
  qt6-base-dev libmpg123-dev libsqlite3-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  mpg123 sqlite3 locales
"

missing=""
for package in $packages; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
        missing="$missing $package"
done
[ -z "$missing" ] && exit 0

if [ "$(id -u)" -eq 0 ]; then sudo=""; else sudo="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q
# shellcheck disable=SC2086
$sudo apt-get install -y -q --no-install-recommends $missing
