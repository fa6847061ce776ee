#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need. Idempotent: quiet when all is there.
set -euo pipefail
# clang with libFuzzer (libclang-rt-14-dev holds libclang_rt.fuzzer) and llvm's symbolizer
# are for the fuzz build (scripts/fuzz.sh). LibreOffice Writer is the word processor reports
# are handed to (the full package, so that it opens a window; the tests run it headless and
# read its PDFs back with poppler-utils' pdftotext).
packages=(build-essential cmake ninja-build qt6-base-dev nlohmann-json3-dev
          libgtest-dev libgmock-dev libbenchmark-dev xvfb xauth fonts-dejavu-core
          libreoffice-writer poppler-utils clang libclang-rt-14-dev llvm)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
