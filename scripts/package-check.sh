#!/bin/bash
# Builds the Debian package in a Release build without tests, checks it with lintian, installs
# it, checks that the programs run from /usr/bin and that every file is where the system looks
# for it, then removes the package and checks that its files are gone. As root, or through sudo.
set -euo pipefail
cd "$(dirname "$0")/.."

BUILD=build-pkg
APP_ID=org.example.audexa
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; fi

fail() {
    echo "package-check: $*" >&2
    exit 1
}

installed() {
    [ "$(dpkg-query -W -f='${db:Status-Status}' audexa 2>/dev/null)" = installed ]
}

if installed; then
    fail "audexa is installed already; remove it first (apt-get remove audexa)"
fi

echo "-- packages"
./scripts/install-packages.sh debian-packages.txt package-tools.txt

echo "-- build the package"
cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release -DAUDEXA_BUILD_TESTS=OFF >/dev/null
rm -f "$BUILD"/audexa_*.deb
cmake --build "$BUILD" --target package
debs=("$BUILD"/audexa_*.deb)
[ "${#debs[@]}" -eq 1 ] && [ -f "${debs[0]}" ] || fail "the build made no audexa_*.deb in $BUILD"
deb=$(realpath "${debs[0]}")
dpkg-deb --info "$deb"
dpkg-deb --contents "$deb"

version=$(dpkg-deb --field "$deb" Version)
changelog_version=$(dpkg-parsechangelog -l packaging/linux/changelog -S Version)
[ "$version" = "$changelog_version" ] \
    || fail "the package is version $version, packaging/linux/changelog's last entry $changelog_version"
# dpkg-shlibdeps found the libraries the binaries link.
depends=$(dpkg-deb --field "$deb" Depends)
for library in libqt6widgets6 libhidapi-hidraw0 libqcustomplot2.1-qt6; do
    [[ "$depends" == *"$library "* ]] || fail "Depends lacks $library: $depends"
done

echo "-- lintian"
lintian --fail-on error --display-info "$deb" || fail "lintian found errors in $deb"

echo "-- install"
trap 'if installed; then $SUDO apt-get remove -y -qq audexa >/dev/null; fi' EXIT
$SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "$deb" \
    >/dev/null
installed || fail "apt-get did not install $deb"

echo "-- check the installed package"
for file in /usr/bin/audexa /usr/bin/audexa-cli; do
    [ "$(command -v "$(basename "$file")")" = "$file" ] || fail "$(basename "$file") is not $file"
    [ "$(stat -c '%a %U:%G' "$file")" = "755 root:root" ] || fail "$file: $(stat -c '%a %U:%G' "$file")"
    file -b "$file" | grep -q ', stripped' || fail "$file is not stripped"
done
for file in /usr/share/audexa/Q7316Help.htm \
            /lib/udev/rules.d/70-audexa-q7316.rules \
            /usr/share/applications/$APP_ID.desktop \
            /usr/share/icons/hicolor/scalable/apps/audexa.svg \
            /usr/share/metainfo/$APP_ID.metainfo.xml \
            /usr/share/doc/audexa/copyright \
            /usr/share/doc/audexa/changelog.gz \
            /usr/share/man/man1/audexa.1.gz \
            /usr/share/man/man1/audexa-cli.1.gz; do
    [ -f "$file" ] || fail "$file is missing"
    [ "$(stat -c '%a %U:%G' "$file")" = "644 root:root" ] || fail "$file: $(stat -c '%a %U:%G' "$file")"
done
desktop-file-validate "/usr/share/applications/$APP_ID.desktop"
appstreamcli validate --no-net "/usr/share/metainfo/$APP_ID.metainfo.xml"

# Without a display, as from a terminal on a server.
nodisplay=(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM)
printed=$("${nodisplay[@]}" /usr/bin/audexa-cli --help) || fail "audexa-cli --help failed"
grep -q '^Usage: audexa-cli' <<<"$printed" || fail "audexa-cli --help printed: $printed"
printed=$("${nodisplay[@]}" /usr/bin/audexa --version) || fail "audexa --version failed"
[ "$printed" = "Audexa $version" ] || fail "audexa --version printed \"$printed\""
printed=$("${nodisplay[@]}" /usr/bin/audexa --help) || fail "audexa --help failed"
grep -qxF "User's guide: /usr/share/audexa/Q7316Help.htm" <<<"$printed" \
    || fail "the installed audexa does not find its user's guide in /usr/share/audexa: $printed"

# The installed program starts on the simulated meter and quits by itself, in a home of its own.
home=$(mktemp -d)
HOME=$home XDG_RUNTIME_DIR=$home QT_QPA_PLATFORM=offscreen \
    timeout 60 /usr/bin/audexa --simulate-meter --quit-after 2000 \
    || fail "the installed audexa did not start and quit (status $?)"
rm -rf "$home"

echo "-- remove"
files=$(dpkg-deb --fsys-tarfile "$deb" | tar -t | grep -v '/$' | sed 's|^\./|/|')
$SUDO apt-get remove -y -qq audexa >/dev/null
! installed || fail "apt-get did not remove audexa"
for file in $files; do
    [ ! -e "$file" ] || fail "$file is still there after the package was removed"
done
echo "package-check: $(basename "$deb") built, without lintian errors, installed, checked and removed"
