#!/usr/bin/env bash
# Installs what is needed, builds Fieldkit, runs every test, checks the package and fuzzes:
#   1. the plain build: core, widget and end-to-end (network namespace) tests;
#   2. the Debian package: built, checked by lintian, installed, used by an ordinary
#      user against simulated radios, purged (tests/package/test_package.sh);
#   3. AddressSanitizer + UndefinedBehaviorSanitizer: core and widget tests;
#   4. ThreadSanitizer: every test that starts threads (label "threads");
#   5. libFuzzer: every fuzz target briefly from its seed corpus (clang).
# End-to-end tests need root for `ip netns`; without it they report themselves skipped.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

echo "== format check"
scripts/check-format.sh

echo "== plain build"
scripts/build.sh build
ctest --test-dir build --output-on-failure -j 2 --timeout 600

echo "== Debian package"
start=$SECONDS
deb=$(scripts/build-package.sh)
# Exit 77: skipped (not root, or no network namespaces here).
bash tests/package/test_package.sh "$deb" build/bin || [ $? -eq 77 ]
echo "package stage took $((SECONDS - start)) s"

echo "== address + undefined-behaviour sanitizers"
scripts/build.sh build-asan -DFK_SANITIZE=ON -DFK_BUILD_BENCH=OFF
ctest --test-dir build-asan --output-on-failure -j 2 -LE e2e --timeout 600

echo "== thread sanitizer (every test that starts threads)"
scripts/build.sh build-tsan -DFK_TSAN=ON -DFK_BUILD_BENCH=OFF
TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 suppressions=$PWD/tests/tsan.supp" \
  ctest --test-dir build-tsan --output-on-failure -j 2 -L threads --timeout 600

echo "== fuzzing (every target for 20 s from its seed corpus)"
scripts/fuzz.sh 20
