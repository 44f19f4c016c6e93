#!/bin/sh
# Installs the Debian 12 packages that building and testing Larkspur need.
set -eu

packages="
  build-essential cmake ninja-build pkg-config clang-format
  qt6-base-dev libmpg123-dev libsqlite3-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  mpg123 sqlite3 locales sox lame time
  xvfb trayer xdotool
"

missing=""
for package in $packages; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
        missing="$missing $package"
done
if [ "$(id -u)" -eq 0 ]; then sudo=""; else sudo="sudo"; fi
if [ -n "$missing" ]; then
    export DEBIAN_FRONTEND=noninteractive
    $sudo apt-get update -q
    # shellcheck disable=SC2086
    $sudo apt-get install -y -q --no-install-recommends $missing
fi

# A double-byte locale for the text tests; its source comes with the locales package.
if ! locale -a | grep -qix 'zh_CN.gbk'; then
    $sudo localedef -i zh_CN -f GBK zh_CN.GBK || echo "install-deps: could not make the zh_CN.GBK locale" >&2
fi
