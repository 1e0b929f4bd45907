#!/usr/bin/env bash
# The Debian package as an installer meets it: lintian has no error to report, it
# installs, and an ordinary user - in namespaces this test makes, with radios from the
# build tree's simulator - finds the radios with the installed fieldkit-cli and
# upgrades one through the installed FileServer on port 69, which only its capability
# allows. The run leaves nothing under /usr or the user's home, its run folder is
# owner-only and empty afterwards, and a purge removes every trace of the package.
#   tests/package/test_package.sh PACKAGE.deb BUILD_BIN_DIR
set -uo pipefail
deb=$(realpath "${1:?usage: $0 PACKAGE.deb BUILD_BIN_DIR}")
bin=$(realpath "${2:?usage: $0 PACKAGE.deb BUILD_BIN_DIR}")
here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/../.." && pwd)
user=fieldkit-ci
server=/usr/libexec/fieldkit/FileServer

FK_SIM_DURATION=300
source "$repo/tests/e2e/lib.sh" "$bin"
FK_TEST_NAME=package
fk_require fieldkit-devsim
[ -f "$deb" ] || fk_fail "no package at $deb"

# The user's scratch folders live outside FK_WORK (root's, owner-only) so the user
# can reach them; they go with the namespaces, and the failing status stays.
fk_topology 1
scratch=$(mktemp -d /tmp/fk-package.XXXXXX)
chmod 0755 "$scratch"
trap 'rc=$?; rm -rf "$scratch" "/tmp/fieldkit-$(id -u "$user" 2>/dev/null)"; (exit $rc); fk_cleanup' EXIT

echo "== lintian"
lintian --fail-on error --display-info "$deb" | tee "$scratch/lintian.txt" ||
    fk_fail "lintian reports errors"
grep -q '^W:' "$scratch/lintian.txt" && fk_log "lintian has warnings (above)"

echo "== install"
dpkg -s fieldkit >/dev/null 2>&1 && apt-get purge -y -qq fieldkit >/dev/null
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$deb" >"$scratch/apt.txt" 2>&1 ||
    { cat "$scratch/apt.txt"; fk_fail "apt-get install failed"; }
dpkg -L fieldkit | sort >"$scratch/files.txt"

# Exactly one file with a capability, that one with exactly the bind right; nothing
# setuid or setgid.
caps=$(dpkg -L fieldkit | while read -r f; do [ -f "$f" ] && getcap "$f"; done)
[ "$caps" = "$server cap_net_bind_service=ep" ] || fk_fail "capabilities: '$caps'"
special=$(dpkg -L fieldkit | while read -r f; do [ -f "$f" ] && find "$f" -perm /6000; done)
[ -z "$special" ] || fk_fail "setuid or setgid files: $special"
for f in /usr/bin/fieldkit /usr/bin/fieldkit-cli /usr/share/fieldkit/Setting.ini \
    /usr/share/fieldkit/Languages/Language.ini /usr/share/fieldkit/help/index.html \
    /usr/share/fieldkit/help/zh/index.html /usr/share/applications/org.fieldkit.Fieldkit.desktop \
    /usr/share/icons/hicolor/48x48/apps/fieldkit.png /usr/share/man/man1/fieldkit-cli.1.gz \
    /etc/ufw/applications.d/fieldkit /usr/lib/firewalld/services/fieldkit.xml; do
    [ -e "$f" ] || fk_fail "not installed: $f"
done
# The test programs stay in the build tree.
grep -E '/(fieldkit-testdriver|fieldkit-devsim)$' "$scratch/files.txt" &&
    fk_fail "the package holds a test program"
desktop-file-validate /usr/share/applications/org.fieldkit.Fieldkit.desktop ||
    fk_fail "desktop-file-validate"
appstreamcli validate --no-net /usr/share/metainfo/org.fieldkit.Fieldkit.metainfo.xml ||
    fk_fail "appstreamcli validate"
zcat /usr/share/man/man1/fieldkit-cli.1.gz | grep -q '^\.SS upgrade' ||
    fk_fail "the CLI's manual lacks its subcommands"

echo "== an ordinary user, in namespaces"
id "$user" >/dev/null 2>&1 || useradd --create-home --shell /usr/sbin/nologin "$user" ||
    fk_fail "cannot create $user"
uid=$(id -u "$user")
home=$(getent passwd "$user" | cut -d: -f6)
runtime="$scratch/run-$uid"
mkdir -m 0700 "$runtime" && chown "$user:" "$runtime"
touch "$scratch/before"
sleep 1

cat >"$FK_WORK/radios.conf" <<CONF
radio mac=02:46:4b:00:00:01 ip=198.18.0.20 iface=$FK_LAN_IF1 model=3 tftp=1
radio mac=02:46:4b:00:00:02 ip=198.18.0.21 iface=$FK_LAN_IF1 model=3
radio mac=02:46:4b:00:00:03 ip=198.18.0.22 iface=$FK_LAN_IF1 model=5
CONF
fk_start_sim --config "$FK_WORK/radios.conf" --restart-ms 3000
target=02:46:4b:00:00:01

# as_user RUNTIME_DIR COMMAND...: the installed program as the user in the controller
# namespace; an empty RUNTIME_DIR means a user without one.
as_user() {
    local rt=$1
    shift
    FK_USER_RUNTIME_DIR=${rt:-/nonexistent} FK_USER_WORK_DIR=/ \
        ip netns exec "$FK_NS_CTL" timeout 300 "$repo/scripts/run-as-user.sh" "$user" "$@"
}

as_user "$runtime" fieldkit-cli discover --seconds 6 --format json \
    >"$FK_WORK/list.out" 2>"$FK_WORK/list.err" || fk_fail "discover failed"
fk_check '
rows = cli_by_mac(cli_rows(args[0]))
expect(sorted(rows) == ["02:46:4b:00:00:01", "02:46:4b:00:00:02", "02:46:4b:00:00:03"],
       "found %r" % sorted(rows))' "$FK_WORK/list.out"

image="$scratch/firmware/fw-7.1.bin"
mkdir -p "$scratch/firmware"
python3 -c 'import sys; open(sys.argv[1], "wb").write(bytes(range(256)) * 300)' "$image"
chmod -R a+rX "$scratch/firmware"
as_user "" fieldkit-cli upgrade --file "$image" --mac "$target" --seconds 3 \
    --write-seconds 12 --format json >"$FK_WORK/upgrade.out" 2>"$FK_WORK/upgrade.err"
rc=$?
[ "$rc" -eq 0 ] || fk_fail "upgrade exited $rc: $(tail -5 "$FK_WORK/upgrade.err")"
fk_state "$FK_WORK/state.json"
fk_check '
row = {r["MAC"]: r for r in load_json(args[0])["radios"]}[args[2]]
radio = by_mac(sim_radios(args[1]))[args[2]]
expect(row["Result"] == "success" and row["Version after"] == "fw-7.1", "row %r" % row)
expect(radio["upgrade"]["fetched"] == int(args[3]), "fetched %r" % radio["upgrade"])
' "$FK_WORK/upgrade.out" "$FK_WORK/state.json" "$target" "$(stat -c %s "$image")"

echo "== what the runs left"
for folder in "$runtime/fieldkit" "/tmp/fieldkit-$uid"; do
    [ -d "$folder" ] || fk_fail "$folder was not used"
    [ "$(stat -c '%a %U' "$folder")" = "700 $user" ] ||
        fk_fail "$folder is $(stat -c '%a %U' "$folder")"
    left=$(find "$folder" -mindepth 1)
    [ -z "$left" ] || fk_fail "left in $folder: $left"
done
appeared=$(find /usr "$home" -newer "$scratch/before" 2>/dev/null)
[ -z "$appeared" ] || fk_fail "changed under /usr or the home folder: $appeared"
pgrep -f "$server" >/dev/null && fk_fail "FileServer still runs"

echo "== purge"
DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq fieldkit >/dev/null || fk_fail "purge failed"
left=$(grep -i fieldkit "$scratch/files.txt" | while read -r f; do [ -e "$f" ] && echo "$f"; done)
[ -z "$left" ] || fk_fail "left after purge: $left"
dpkg -s fieldkit >/dev/null 2>&1 && fk_fail "dpkg still knows the package"
fk_pass
