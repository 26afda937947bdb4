#!/usr/bin/env bash
# Installs the Debian packages Parcora needs to build, test and run. Checks
# with dpkg-query first, so a machine that has them all skips apt-get.
set -euo pipefail

PACKAGES=(
  g++ cmake ninja-build pkg-config
  libcurl4-openssl-dev libssl-dev openssl ca-certificates
  libpcre2-dev
  nlohmann-json3-dev
  libgtest-dev libgmock-dev
  qt6-base-dev qt6-qpa-plugins
  fonts-wqy-microhei
  "$@"
)

missing=()
for package in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done

if ((${#missing[@]})); then
  echo "parcora: installing ${missing[*]}"
  if [[ $(id -u) -ne 0 ]]; then
    echo "parcora: these packages are missing; run as root, or install them first." >&2
    exit 1
  fi
  export DEBIAN_FRONTEND=noninteractive
  apt-get update
  apt-get install -y --no-install-recommends "${missing[@]}"
fi
