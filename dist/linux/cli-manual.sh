#!/usr/bin/env bash
# Writes fieldkit-cli(1) from its template and the program's own help, so the manual
# lists every subcommand the program has, with the options it really takes.
#   dist/linux/cli-manual.sh FIELDKIT_CLI TEMPLATE VERSION OUTPUT
set -euo pipefail
cli=$1 template=$2 version=$3 output=$4

# Help text as a literal roff block: backslashes doubled, a leading '.' or "'" kept
# from being read as a request.
roff_block() {
    echo ".PP"
    echo ".nf"
    sed -e 's/\\/\\e/g' -e "s/^\([.']\)/\\\\\&\1/"
    echo ".fi"
}

# The subcommand names: the indented first words of the Subcommands section.
subcommands() {
    "$cli" --help | awk 'tolower($0) ~ /^subcommands:/ {on = 1; next} on && /^[^ ]/ {on = 0} on && NF {print $1}'
}

sections=$(mktemp)
trap 'rm -f "$sections"' EXIT
names=$(subcommands)
[ -n "$names" ] || { echo "cli-manual: $cli --help lists no subcommands" >&2; exit 1; }
for name in $names; do
    printf '.SS %s\n' "$name" >>"$sections"
    "$cli" "$name" --help | roff_block >>"$sections"
done
awk -v sections="$sections" -v version="$version" '
    /^@SUBCOMMANDS@$/ { while ((getline line < sections) > 0) print line; next }
    { gsub(/@VERSION@/, version); print }' "$template" >"$output.tmp"
mv "$output.tmp" "$output"
