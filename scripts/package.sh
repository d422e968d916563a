#!/usr/bin/env bash
# Builds the Debian package: build-package/sonivera_<version>_<arch>.deb.
# Then unpacks it into a throw-away root and checks that the programs in it run
# and that it depends on runtime packages only (the libraries' packages and
# their minimum versions come from dpkg-shlibdeps).
set -euo pipefail
cd "$(dirname "$0")/.."
export BUILD_DIR=${BUILD_DIR:-build-package} BUILD_TYPE=${BUILD_TYPE:-Release}
bash scripts/build.sh -DBUILD_TESTING=OFF -DCMAKE_INSTALL_PREFIX=/usr
(cd "$BUILD_DIR" && cpack -G DEB > /dev/null)
deb=$(ls -t "$BUILD_DIR"/sonivera_*.deb | head -1)

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"
"$root/usr/bin/sonivera-cli" --version > /dev/null
depends=$(dpkg-deb -f "$deb" Depends)
if grep -Eq -- '-dev\b|cmake|g\+\+|gtest|benchmark' <<< "$depends"; then
  echo "package.sh: the package depends on build-side packages: $depends" >&2
  exit 1
fi
echo "$deb"
echo "Depends: $depends"
