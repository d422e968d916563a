#!/usr/bin/env bash
# Installs a build into a throw-away prefix and checks what a desktop and a
# package manager expect: the programs, menu entry, icons, metadata, man pages.
#   check-install.sh BUILD_DIR
set -euo pipefail
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" > /dev/null

fail() { echo "check-install: $*" >&2; exit 1; }
for file in bin/sonivera bin/sonivera-cli libexec/sonivera/tx730-sim libexec/sonivera/bridger-standin \
            share/applications/org.sonivera.Sonivera.desktop \
            share/metainfo/org.sonivera.Sonivera.metainfo.xml \
            share/icons/hicolor/scalable/apps/sonivera.svg \
            share/icons/hicolor/16x16/apps/sonivera.png \
            share/icons/hicolor/48x48/apps/sonivera.png \
            share/icons/hicolor/256x256/apps/sonivera.png \
            share/man/man1/sonivera.1 share/man/man1/sonivera-cli.1 \
            share/sonivera/defaults/messages.txt; do
  [ -s "$prefix/$file" ] || fail "missing or empty after install: $file"
done

desktop-file-validate "$prefix/share/applications/org.sonivera.Sonivera.desktop" \
  || fail "the menu entry is not valid"
appstreamcli validate --no-net --explain \
  "$prefix/share/metainfo/org.sonivera.Sonivera.metainfo.xml" \
  || fail "the AppStream metadata is not valid"

version=$(grep -m1 -o 'project(Sonivera VERSION [0-9.]*' "$(dirname "$0")/../CMakeLists.txt" | cut -d' ' -f3)
[ "$("$prefix/bin/sonivera-cli" --version)" = "sonivera-cli $version" ] \
  || fail "installed sonivera-cli --version does not print $version"
env -u DISPLAY -u WAYLAND_DISPLAY "$prefix/bin/sonivera" --version | grep -qx "Sonivera $version" \
  || fail "installed sonivera --version does not print $version"

# Every command of the command-line program has its section in the man page,
# and the page reads without a warning.
commands=$("$prefix/bin/sonivera-cli" --help | sed -n '/^Commands:/,/^$/p' \
           | sed -n 's/^  \([a-z0-9][a-z0-9-]*\) .*/\1/p')
for command in $commands; do
  grep -qx "\.SS $command" "$prefix/share/man/man1/sonivera-cli.1" \
    || fail "the man page has no section for: $command"
done
if command -v man > /dev/null; then
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$prefix/share/man/man1/sonivera-cli.1" 2>&1 >/dev/null || true)
  [ -z "$warnings" ] || fail "the man page has warnings: $warnings"
fi
echo "install into a temporary prefix: ok"
