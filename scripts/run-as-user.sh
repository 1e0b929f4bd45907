#!/usr/bin/env bash
# Runs a command as USER with a clean environment that still reaches the user's
# desktop: display, X authority, runtime folder and session bus, where known. Root
# uses it to start the window for the person who ran sudo.
#   scripts/run-as-user.sh USER COMMAND [ARGS...]
set -euo pipefail
user=$1
shift
uid=$(id -u "$user")
gid=$(id -g "$user")
home=$(getent passwd "$user" | cut -d: -f6)

environment=(HOME="$home" USER="$user" LOGNAME="$user" PATH=/usr/local/bin:/usr/bin:/bin)
runtime=${FK_USER_RUNTIME_DIR:-/run/user/$uid}
if [ -d "$runtime" ] && [ "$(stat -c %u "$runtime")" = "$uid" ]; then
    environment+=(XDG_RUNTIME_DIR="$runtime")
    [ -S "$runtime/bus" ] && environment+=(DBUS_SESSION_BUS_ADDRESS="unix:path=$runtime/bus")
fi
for var in DISPLAY XAUTHORITY WAYLAND_DISPLAY QT_QPA_PLATFORM LANG LC_ALL LANGUAGE; do
    [ -n "${!var:-}" ] && environment+=("$var=${!var}")
done
# The program starts in a folder the user may enter, never in root's.
work=${FK_USER_WORK_DIR:-$home}
[ -d "$work" ] || work=/
exec setpriv --reuid="$uid" --regid="$gid" --init-groups \
    env -i -C "$work" "${environment[@]}" "$@"
