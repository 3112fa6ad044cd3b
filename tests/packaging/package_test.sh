#!/bin/sh
# Builds the Debian package from this build tree into a temporary folder and
# checks its files and control fields as dpkg sees them. The binaries are the
# ones this tree built: the package's contents and fields do not depend on
# the build type.
# Usage: package_test.sh <cpack> <build dir> <version> <app id>
set -eu
cpack=$1 build=$2 version=$3 app_id=$4

for tool in dpkg-deb dpkg-shlibdeps; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "SKIPPED: $tool is not installed, so the Debian package cannot be built and checked"
    exit 77
  fi
done
tmp=$(mktemp -d "${TMPDIR:-/tmp}/vantrel-package.XXXXXX")
trap 'rm -rf "$tmp"' EXIT

if ! "$cpack" -G DEB -B "$tmp/out" --config "$build/CPackConfig.cmake" >"$tmp/cpack.log" 2>&1; then
  cat "$tmp/cpack.log"
  exit 1
fi
arch=$(dpkg --print-architecture)
deb=$tmp/out/vantrel_${version}_${arch}.deb
if [ ! -f "$deb" ]; then
  echo "cpack made no $(basename "$deb"):"
  ls "$tmp/out"
  exit 1
fi

failed=0
fail() {
  echo "$*"
  failed=1
}
expect_field() {
  actual=$(dpkg-deb -f "$deb" "$1")
  [ "$actual" = "$2" ] || fail "control field $1 is '$actual', expected '$2'"
}
expect_field Package vantrel
expect_field Version "$version"
expect_field Architecture "$arch"
expect_field Maintainer "Vantrel team <team@vantrel.invalid>"
expect_field Section utils
expect_field Priority optional
expect_field Recommends fonts-liberation2

description=$(dpkg-deb -f "$deb" Description)
[ "$(printf '%s\n' "$description" | head -n 1)" = "decode text files with enciphered regions" ] \
  || fail "Description's first line is the summary; it reads: $(printf '%s\n' "$description" | head -n 1)"
[ "$(printf '%s\n' "$description" | wc -l)" -ge 5 ] || fail "Description has no long part: $description"

# dpkg-shlibdeps writes versioned dependencies on the libraries the binaries
# link, the C library and Qt's widgets among them.
depends=$(dpkg-deb -f "$deb" Depends)
for library in libc6 libqt6core6 libqt6widgets6; do
  printf '%s\n' "$depends" | grep -Eq "(^|, )$library \(>= [^)]+\)" \
    || fail "Depends lacks a versioned $library: $depends"
done

# Every file, with its mode and owner, and nothing else.
dpkg-deb -c "$deb" | awk '$1 ~ /^-/ { print $1, $2, $NF }' | sort >"$tmp/files"
sort >"$tmp/expected" <<FILES
-rwxr-xr-x root/root ./usr/bin/vantrel
-rwxr-xr-x root/root ./usr/bin/vantrel-decode
-rw-r--r-- root/root ./usr/share/applications/vantrel.desktop
-rw-r--r-- root/root ./usr/share/icons/hicolor/48x48/apps/vantrel.png
-rw-r--r-- root/root ./usr/share/icons/hicolor/scalable/apps/vantrel.svg
-rw-r--r-- root/root ./usr/share/man/man1/vantrel-decode.1.gz
-rw-r--r-- root/root ./usr/share/man/man1/vantrel.1.gz
-rw-r--r-- root/root ./usr/share/metainfo/$app_id.metainfo.xml
FILES
diff -u --label expected --label "$(basename "$deb")" "$tmp/expected" "$tmp/files" \
  || fail "the package's files differ from the list above"

# What was packed works: the command runs, the pages are whole, and the
# software centre finds the entry, its desktop file and its icon together.
dpkg-deb -x "$deb" "$tmp/root"
printed=$("$tmp/root/usr/bin/vantrel-decode" --version) || fail "the packed vantrel-decode --version failed"
[ "$printed" = "vantrel-decode $version" ] || fail "the packed vantrel-decode --version printed '$printed'"
for page in "$tmp"/root/usr/share/man/man1/*.gz; do
  gzip -t "$page" || fail "$page is not a whole gzip file"
done
if command -v appstreamcli >/dev/null 2>&1; then
  appstreamcli validate-tree --no-net "$tmp/root" || fail "appstreamcli rejects the installed tree"
else
  echo "appstreamcli is not installed: the installed tree is not validated"
fi

[ $failed -eq 0 ] && echo "$(basename "$deb") holds $(wc -l <"$tmp/files") files; depends on: $depends"
exit $failed
