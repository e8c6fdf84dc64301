#!/usr/bin/env bash
# Makes the packages people install, into dist/:
#   jkrescale-VERSION-windows-x64.zip  jkrescale.exe and jkrescale-cli.exe
#                                      (cross-built, each a single program
#                                      without DLLs beside it), a README.txt
#                                      for players and the licence;
#   jkrescale_VERSION_amd64.deb        the desktop program and the command
#                                      line for Debian, with the Qt runtime
#                                      as a dependency, a menu entry and an
#                                      icon (made with CPack).
# VERSION is the CMake project's. Release builds go to build-package/ and
# build-package-windows/.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/common.sh
scripts/install-packages.sh cmake ninja-build g++ qt6-base-dev dpkg-dev file zip
scripts/install-packages.sh --no-recommends g++-mingw-w64-x86-64-posix
mkdir -p dist

# --- Debian ------------------------------------------------------------------
quietly build-package/configure.log cmake -S . -B build-package -G Ninja \
  -DCMAKE_BUILD_TYPE=Release -DJKRESCALE_BUILD_TESTS=OFF -DCMAKE_INSTALL_PREFIX=/usr
cmake --build build-package -j"$jobs" --target jkrescale jkrescale-cli
version=$(cat build-package/version.txt)
(cd build-package && quietly cpack.log cpack -G DEB)
deb="jkrescale_${version}_amd64.deb"
cp "build-package/$deb" dist/
echo "package: dist/$deb"
dpkg-deb --info "dist/$deb" | grep -E "Package|Version|Depends" | sed 's/^/  /'

# --- Windows -----------------------------------------------------------------
quietly build-package-windows/configure.log cmake -S . -B build-package-windows -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=Release \
  -DJKRESCALE_BUILD_TESTS=OFF
cmake --build build-package-windows -j"$jobs" --target jkrescale jkrescale-cli
name="jkrescale-${version}-windows-x64"
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
mkdir "$stage/$name"
cp build-package-windows/jkrescale.exe build-package-windows/jkrescale-cli.exe "$stage/$name/"
# Without their symbols, which players have no use for.
x86_64-w64-mingw32-strip "$stage/$name/"*.exe
# Text files for Windows: CR LF line ends.
sed "s/@VERSION@/$version/; s/\$/\r/" packaging/README-windows.txt >"$stage/$name/README.txt"
sed 's/$/\r/' LICENSE >"$stage/$name/LICENSE.txt"
rm -f "dist/$name.zip"
(cd "$stage" && zip -q -r -X "$OLDPWD/dist/$name.zip" "$name")
echo "package: dist/$name.zip"
unzip -l "dist/$name.zip" | sed 's/^/  /'
