#!/usr/bin/env bash
# The software-centre data is valid, and the newest release it names and the
# package changelog's newest entry are the version the project builds.
# Usage: release-metadata-test.sh VERSION METAINFO CHANGELOG
set -uo pipefail
version=$1
metainfo=$2
changelog=$3

appstreamcli validate --no-net "$metainfo" || { echo "FAIL: appstreamcli rejects $metainfo"; exit 1; }

metainfo_version=$(grep -m1 -oE '<release version="[^"]+"' "$metainfo" | cut -d'"' -f2)
changelog_version=$(head -n1 "$changelog" | sed -n 's/^qxr (\([^)]*\)).*/\1/p')
status=0
for named in "metainfo:$metainfo_version" "changelog:$changelog_version"; do
    if [[ ${named#*:} != "$version" ]]; then
        echo "FAIL: the ${named%%:*} names release '${named#*:}', the project builds $version"
        status=1
    fi
done
exit $status
