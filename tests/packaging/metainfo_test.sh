#!/bin/sh
# The software centre entry passes the AppStream validator (without network:
# the screenshot's address is not fetched), and its newest release is the
# version being built.
# Usage: metainfo_test.sh <id.metainfo.xml> <project version>
set -eu
metainfo=$1 version=$2

if ! command -v appstreamcli >/dev/null 2>&1; then
  echo "SKIPPED: appstreamcli is not installed, so the AppStream entry is not validated"
  exit 77
fi
appstreamcli validate --no-net "$metainfo"

newest=$(sed -n 's/.*<release version="\([^"]*\)".*/\1/p' "$metainfo" | head -n 1)
if [ "$newest" != "$version" ]; then
  echo "$metainfo: newest release is '$newest', the project's version is $version"
  exit 1
fi
