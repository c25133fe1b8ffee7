#!/usr/bin/env bash
# Builds the Debian package as `make package` does and checks what it would
# put on a user's machine: its control fields and dependencies, its exact list
# of files, the icon sizes, and the installed tree as AppStream reads it.
#
# Usage: check_deb.sh BUILD_FOLDER OUTPUT_FOLDER VERSION APP_ID ICON_SIZE...
# (QVANTO_SOURCE_DIR names the source tree.)
set -euo pipefail
[ $# -ge 5 ] || { echo "usage: $0 BUILD_FOLDER OUTPUT_FOLDER VERSION APP_ID ICON_SIZE..." >&2; exit 2; }
build=$1 output=$2 version=$3 app_id=$4
shift 4
icon_sizes=("$@")
errors=0
failed() { echo "FAIL: $*" >&2; errors=$((errors + 1)); }

# A package left from an earlier version must not stand in for this one.
rm -rf "$output"
"$QVANTO_SOURCE_DIR/cmake/build-deb.sh" "$build" "$output" 2
arch=$(dpkg --print-architecture)
deb=$output/qvanto_${version}_${arch}.deb
[ -f "$deb" ] || { echo "FAIL: no $deb; the output folder holds: $(ls "$output")" >&2; exit 1; }
echo "-- $deb"

field() { dpkg-deb --field "$deb" "$1"; }
[ "$(field Package)" = qvanto ] || failed "package name is '$(field Package)'"
[ "$(field Version)" = "$version" ] || failed "version is '$(field Version)', not $version"
[ "$(field Architecture)" = "$arch" ] || failed "architecture is '$(field Architecture)'"

# Dependencies: the fonts by hand, Qt from the library scan; each name must be
# a package that this Debian knows, or apt could not install the package.
depends=$(field Depends)
echo "-- Depends: $depends"
mapfile -t dep_names < <(tr ',|' '\n\n' <<<"$depends" | sed -E 's/\(.*\)//; s/^ +//; s/ +$//' | grep -v '^$' | sort -u)
for wanted in fonts-ipafont-gothic fonts-ipafont-mincho libqt6widgets6 libqt6multimedia6 libpoppler-qt6-3 libc6; do
    printf '%s\n' "${dep_names[@]}" | grep -qx "$wanted" || failed "Depends lacks $wanted"
done
recommends=$(field Recommends)
[ "$recommends" = "qt6-translations-l10n, libqt6sql6-psql" ] ||
    failed "Recommends is '$recommends', not qt6-translations-l10n, libqt6sql6-psql"
mapfile -t recommended < <(tr ',' '\n' <<<"$recommends" | sed -E 's/^ +//; s/ +$//')
for name in "${dep_names[@]}" "${recommended[@]}"; do
    dpkg-query -W -f '${Version}' "$name" >/dev/null 2>&1 || apt-cache show "$name" >/dev/null 2>&1 ||
        failed "dependency $name is no Debian package known here"
done

# Exactly these files, all under /usr: nothing from the build or the tests
# slips in, and nothing goes to /usr/local or beside the program. The modules
# loaded on first use lie in the program's own folder under the multiarch
# library folder.
modules=./usr/lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH)/qvanto
expected=$(
    {
        echo ./usr/bin/qvanto
        echo "$modules/libqvanto_sound.so"
        echo "$modules/libqvanto_svg.so"
        echo "$modules/libqvanto_pdf.so"
        echo "$modules/libqvanto_registry.so"
        echo ./usr/share/qvanto/registry.sql
        echo "$modules/libqvanto_sign.so"
        echo ./usr/share/QVanto/petan.wav
        echo ./usr/share/man/man1/qvanto.1.gz
        echo "./usr/share/applications/$app_id.desktop"
        echo "./usr/share/metainfo/$app_id.metainfo.xml"
        for size in "${icon_sizes[@]}"; do
            echo "./usr/share/icons/hicolor/${size}x${size}/apps/$app_id.png"
        done
    } | sort
)
actual=$(dpkg-deb --contents "$deb" | awk '$1 !~ /^d/ { print $NF }' | sort)
if [ "$actual" != "$expected" ]; then
    failed "the package's files differ from the expected list (< expected, > packaged):"
    diff <(echo "$expected") <(echo "$actual") | grep '^[<>]' >&2 || true
fi

root=$(mktemp -d "${TMPDIR:-/tmp}/qvanto-deb.XXXXXX")
trap 'rm -rf "$root"' EXIT
dpkg-deb --extract "$deb" "$root"

# png_size FILE: WIDTHxHEIGHT from the PNG header (signature, then the IHDR
# chunk with width and height as big-endian 32-bit words); fails on no PNG.
png_size() {
    local b
    read -r -a b < <(od -An -v -tu1 -N24 "$1" | tr -s ' \n' '  ')
    [ "${#b[@]}" -eq 24 ] && [ "${b[*]:0:8}" = "137 80 78 71 13 10 26 10" ] &&
        [ "${b[*]:12:4}" = "73 72 68 82" ] || return 1
    echo "$(((b[16] << 24) | (b[17] << 16) | (b[18] << 8) | b[19]))x$(((b[20] << 24) | (b[21] << 16) | (b[22] << 8) | b[23]))"
}
for size in "${icon_sizes[@]}"; do
    icon=$root/usr/share/icons/hicolor/${size}x${size}/apps/$app_id.png
    [ -f "$icon" ] || continue # already reported by the file list
    got=$(png_size "$icon") || { failed "the ${size}x${size} icon is not a PNG"; continue; }
    [ "$got" = "${size}x${size}" ] || failed "the ${size}x${size} icon is $got"
done

# The manual page as man shows it: rendered without a warning.
man_page=$root/usr/share/man/man1/qvanto.1.gz
if [ -f "$man_page" ]; then
    warnings=$(MANWIDTH=80 man --warnings -l "$man_page" 2>&1 >/dev/null) || failed "man cannot show qvanto.1"
    [ -z "$warnings" ] || failed "man warns on qvanto.1: $warnings"
fi

# The installed tree as software centres see it: metainfo, the desktop entry
# it launches and the icons, found where they were installed.
appstreamcli validate-tree --no-net --strict --explain "$root" || failed "appstreamcli rejects the installed tree"

[ "$errors" -eq 0 ] || exit 1
echo "-- package checked"
