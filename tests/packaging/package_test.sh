#!/bin/sh
# Builds the Debian packages from this build tree into <out> and checks their
# files and control fields as dpkg sees them, and what lintian finds. The
# binaries are the ones this tree built: the packages' contents and fields
# do not depend on the build type, but the hardening flags do, so lintian's
# hardening tags are left to `make package`, which checks the Release build.
# Other tests take the packages from <out>.
# Usage: package_test.sh <cpack> <build dir> <out> <version> <app id>
set -eu
cpack=$1 build=$2 out=$3 version=$4 app_id=$5

for tool in dpkg-deb dpkg-shlibdeps dpkg-parsechangelog file; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "SKIPPED: $tool is not installed, so the Debian packages cannot be built and checked"
    exit 77
  fi
done
tmp=$(mktemp -d "${TMPDIR:-/tmp}/vantrel-package.XXXXXX")
trap 'rm -rf "$tmp"' EXIT

rm -rf "$out"
if ! "$cpack" -G DEB -B "$out" --config "$build/CPackConfig.cmake" >"$tmp/cpack.log" 2>&1; then
  cat "$tmp/cpack.log"
  exit 1
fi
arch=$(dpkg --print-architecture)
for package in vantrel vantrel-decode; do
  if [ ! -f "$out/${package}_${version}_${arch}.deb" ]; then
    echo "cpack made no ${package}_${version}_${arch}.deb:"
    ls "$out"
    exit 1
  fi
done

failed=0
fail() {
  echo "$*"
  failed=1
}
expect_field() {
  actual=$(dpkg-deb -f "$deb" "$1")
  [ "$actual" = "$2" ] || fail "$package: control field $1 is '$actual', expected '$2'"
}
# Every file, with its mode and owner, and nothing else; then the fields.
check_package() {
  package=$1 summary=$2 recommends=$3
  deb=$out/${package}_${version}_${arch}.deb
  dpkg-deb -c "$deb" | awk '$1 ~ /^-/ { print $1, $2, $NF }' | sort >"$tmp/files"
  sort >"$tmp/expected"
  diff -u --label expected --label "$(basename "$deb")" "$tmp/expected" "$tmp/files" \
    || fail "$package: its files differ from the list above"
  expect_field Package "$package"
  expect_field Version "$version"
  expect_field Architecture "$arch"
  expect_field Maintainer "Vantrel team <team@vantrel.invalid>"
  expect_field Section utils
  expect_field Priority optional
  expect_field Homepage "https://vantrel.invalid/"
  expect_field Recommends "$recommends"
  description=$(dpkg-deb -f "$deb" Description)
  [ "$(printf '%s\n' "$description" | head -n 1)" = "$summary" ] \
    || fail "$package: Description's first line is the summary; it reads: $(printf '%s\n' "$description" | head -n 1)"
  [ "$(printf '%s\n' "$description" | wc -l)" -ge 5 ] || fail "$package: Description has no long part: $description"
  depends=$(dpkg-deb -f "$deb" Depends)
  echo "$package: $(wc -l <"$tmp/files") files; depends on: $depends"

  # The copyright file in the machine-readable format with the licence, and
  # a Debian changelog whose newest entry is this version.
  rm -rf "$tmp/root"
  dpkg-deb -x "$deb" "$tmp/root"
  doc=$tmp/root/usr/share/doc/$package
  head -n 1 "$doc/copyright" | grep -qx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' \
    || fail "$package: the copyright file is not machine-readable: $(head -n 1 "$doc/copyright")"
  grep -qx 'Copyright: 2026 The Vantrel developers' "$doc/copyright" || fail "$package: the copyright file names no holder"
  grep -qx 'License: Expat' "$doc/copyright" && grep -q '^ THE SOFTWARE IS PROVIDED "AS IS"' "$doc/copyright" \
    || fail "$package: the copyright file lacks the MIT licence's text"
  for page in "$doc/changelog.gz" "$tmp"/root/usr/share/man/man1/*.gz; do
    gzip -t "$page" || fail "$page is not a whole gzip file"
  done
  gzip -dc "$doc/changelog.gz" >"$tmp/changelog"
  newest=$(dpkg-parsechangelog -l "$tmp/changelog" -S Version 2>&1) || true
  [ "$newest" = "$version" ] || fail "$package: the changelog's newest entry is '$newest', not $version"
}

# The window and all that goes with it: Qt, and the command recommended.
check_package vantrel "decode text files with enciphered regions" \
  "fonts-liberation2, vantrel-decode (= $version)" <<FILES
-rwxr-xr-x root/root ./usr/bin/vantrel
-rw-r--r-- root/root ./usr/share/applications/vantrel.desktop
-rw-r--r-- root/root ./usr/share/doc/vantrel/changelog.gz
-rw-r--r-- root/root ./usr/share/doc/vantrel/copyright
-rw-r--r-- root/root ./usr/share/icons/hicolor/48x48/apps/vantrel.png
-rw-r--r-- root/root ./usr/share/icons/hicolor/scalable/apps/vantrel.svg
-rw-r--r-- root/root ./usr/share/man/man1/vantrel.1.gz
-rw-r--r-- root/root ./usr/share/metainfo/$app_id.metainfo.xml
FILES
# dpkg-shlibdeps writes versioned dependencies on the libraries the binaries
# link; Debian 13 adds "t64" to the names of some.
for library in libc6 'libqt6core6(t64)?' 'libqt6widgets6(t64)?'; do
  printf '%s\n' "$depends" | grep -Eq "(^|, )$library \(>= [^)]+\)" \
    || fail "vantrel: Depends lacks a versioned $library: $depends"
done
# The software centre finds the entry, its desktop file and its icon together.
if command -v appstreamcli >/dev/null 2>&1; then
  appstreamcli validate-tree --no-net "$tmp/root" || fail "appstreamcli rejects the installed tree"
else
  echo "appstreamcli is not installed: the installed tree is not validated"
fi

# The command alone, for machines without a desktop.
check_package vantrel-decode "decode text files with enciphered regions from the command line" "" <<FILES
-rwxr-xr-x root/root ./usr/bin/vantrel-decode
-rw-r--r-- root/root ./usr/share/bash-completion/completions/vantrel-decode
-rw-r--r-- root/root ./usr/share/doc/vantrel-decode/changelog.gz
-rw-r--r-- root/root ./usr/share/doc/vantrel-decode/copyright
-rw-r--r-- root/root ./usr/share/man/man1/vantrel-decode.1.gz
FILES
printf '%s\n' "$depends" | grep -Eq '(^|, )libc6 \(>= [^)]+\)' || fail "vantrel-decode: Depends lacks a versioned libc6: $depends"
case $depends in
*qt* | *Qt*) fail "vantrel-decode depends on Qt: $depends" ;;
esac
printed=$("$tmp/root/usr/bin/vantrel-decode" --version | head -n 1) || fail "the packed vantrel-decode --version failed"
[ "$printed" = "vantrel-decode $version" ] || fail "the packed vantrel-decode --version printed '$printed'"

if command -v lintian >/dev/null 2>&1; then
  hardening=$(lintian-explain-tags --list-tags | grep '^hardening-' | tr '\n' ',')
  lintian --fail-on error,warning --suppress-tags "${hardening%,}" "$out"/*.deb >"$tmp/lintian" 2>&1 \
    || lintian_failed=1
  grep -v 'running with root privileges' "$tmp/lintian" || true
  [ -z "${lintian_failed:-}" ] || fail "lintian finds faults above"
else
  echo "lintian is not installed: the packages are not checked with it"
fi

exit $failed
