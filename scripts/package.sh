#!/usr/bin/env bash
# Builds the Debian package with one command: installs what is missing, makes a Release build
# in build/package without the tests and packs kxlt_<version>_<arch>.deb there.
set -euo pipefail
cd "$(dirname "$0")/.."

# dpkg-shlibdeps (dpkg-dev) and file work out the package's library dependencies.
bash scripts/install-deps.sh dpkg-dev file

cmake --preset package
cmake --build --preset package

cd build/package
rm -f kxlt_*.deb
cpack -G DEB
deb=$(ls kxlt_*.deb)
echo "Package: $(pwd)/$deb"
