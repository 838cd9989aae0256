#!/usr/bin/env bash
# Installs a build into a temporary folder as the package does (under /usr),
# checks that every file is where the desktop entry and the manual pages say,
# then builds the Debian package and checks what it holds and declares.
#   check_install.sh BUILD_DIR VERSION
set -euo pipefail
build=$1
version=$2
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

DESTDIR=$tmp/root cmake --install "$build" --prefix /usr >/dev/null
usr=$tmp/root/usr

# The desktop entry: valid, its program and its icon installed.
desktop=$usr/share/applications/kyr7set.desktop
if [ -f "$desktop" ]; then
  desktop-file-validate "$desktop" || fail "desktop-file-validate refuses $desktop"
  exec=$(sed -n 's/^Exec=//p' "$desktop" | cut -d' ' -f1)
  [ -x "$usr/bin/$exec" ] || fail "Exec=$exec is not an installed program"
  icon=$(sed -n 's/^Icon=//p' "$desktop")
  compgen -G "$usr/share/icons/hicolor/*/apps/$icon.*" >/dev/null || fail "Icon=$icon is not in the hicolor theme"
else
  fail "no desktop entry at share/applications"
fi

# The type of the configuration files: installed, valid, known by the name
# ".kyr7" and by the first line of files kyr7ctl wrote before as ".cfg", and
# opened with KYR7Set through its desktop entry.
type=application/x-kyr7-configuration
mime=$usr/share/mime/packages/kyr7set.xml
if [ -f "$mime" ]; then
  if command -v xmllint >/dev/null; then
    xmllint --noout "$mime" || fail "$mime is not well-formed XML"
  fi
  if command -v update-mime-database >/dev/null; then
    mkdir -p "$tmp/mime/packages"
    cp "$mime" "$tmp/mime/packages/"
    refused=$(update-mime-database "$tmp/mime" 2>&1 | grep -i "kyr7" || true)
    [ -z "$refused" ] || fail "update-mime-database: $refused"
    grep -q ":$type:\*\.kyr7" "$tmp/mime/globs2" || fail "no glob *.kyr7 for $type"
    grep -aq "; KYR7 " "$tmp/mime/magic" && grep -aq "\[KYR\]" "$tmp/mime/magic" ||
      fail "no first-line rule for $type"
  fi
  grep -q "^MimeType=.*$type;" "$desktop" || fail "the desktop entry does not open $type"
  grep -q "^Exec=.* %[fFuU]" "$desktop" || fail "the desktop entry's Exec takes no file"
else
  fail "no MIME type at share/mime/packages"
fi

# The manual pages: one per console program, named as it, rendering without
# warnings, seeing only pages that are installed too.
for program in kyr7ctl kyr7sim; do
  page=$usr/share/man/man1/$program.1.gz
  [ -x "$usr/bin/$program" ] || fail "$program is not in bin"
  "$usr/bin/$program" --version | grep -q "$version" || fail "$program --version does not say $version"
  if [ ! -f "$page" ]; then
    fail "no manual page $page"
    continue
  fi
  zcat "$page" | grep -q "^$program \\\\- " || fail "the NAME of $page is not $program"
  warnings=$(zcat "$page" | groff -man -ww -z 2>&1)
  [ -z "$warnings" ] || fail "$page: $warnings"
  for seen in $(zcat "$page" | sed -n 's/^\.BR \([a-z0-9]*\) (1).*/\1/p'); do
    [ -f "$usr/share/man/man1/$seen.1.gz" ] || fail "$page refers to $seen(1), which is not installed"
  done
done

# The package: the same files, and the Qt libraries declared.
if ! made=$(cpack -G DEB --config "$build/CPackConfig.cmake" -B "$tmp/package" 2>&1); then
  echo "$made"
  fail "cpack -G DEB did not make the package"
  exit "$failures"
fi
deb=$(compgen -G "$tmp/package/*.deb" | head -1)
depends=$(dpkg-deb -f "$deb" Depends)
for qt in libqt6core6 libqt6gui6 libqt6widgets6 libqt6network6 libqt6serialport6 qt6-qpa-plugins; do
  [[ "$depends" == *"$qt"* ]] || fail "the package does not declare $qt (Depends: $depends)"
done
packaged=$(dpkg-deb -c "$deb" | awk '{print $NF}' | sed 's|^\./|/|')
for file in $(cd "$tmp/root" && find . -type f | sed 's|^\./|/|'); do
  grep -qx "$file" <<<"$packaged" || fail "the package lacks $file"
done

[ "$failures" -eq 0 ] && echo "installation and package as expected"
exit "$failures"
