#!/usr/bin/env bash
# Builds the Debian package from a copy of this tree in OUT_DIR (build-deb/ by
# default), so the tree itself stays as it is, and prints the .deb's path.
#   scripts/build-package.sh [OUT_DIR]
# Tests and benchmarks are not built (DEB_BUILD_OPTIONS=nocheck; the rules turn
# them off); ccache is used when installed, so a rebuild takes a few minutes at most.
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-build-deb}
src="$out/fieldkit"
rm -rf "$src" "$out"/fieldkit_* "$out"/fieldkit-dbgsym_*
mkdir -p "$src"
tar -c --exclude='./build*' --exclude='./.git' --exclude='./obj-*' --exclude='./docs' \
    --exclude='./debian/fieldkit' --exclude='./debian/.debhelper' . | tar -x -C "$src"
log="$out/package-build.log"
if ! (cd "$src" && DEB_BUILD_OPTIONS="nocheck ${DEB_BUILD_OPTIONS:-}" \
    dpkg-buildpackage -us -uc -b -j"$(nproc)") >"$log" 2>&1; then
    tail -n 60 "$log" >&2
    echo "build-package: the package build failed (whole log: $log)" >&2
    exit 1
fi
ls "$out"/fieldkit_*.deb
