#!/usr/bin/env bash
# Validates the desktop files in SOURCE_DIR with the freedesktop tools:
# the desktop entry, the AppStream metainfo, the icon's XML, and the MIME
# package, which update-mime-database compiles into SCRATCH_DIR and which must
# then give the container type by its magic and, weakly, by its glob.
# Exits 77 (skipped) when a tool is missing.
#
#   check_desktop_files.sh SOURCE_DIR SCRATCH_DIR
set -euo pipefail
source_dir="$1"
scratch="$2"
type="application/x-zeq-sound-stream"

for tool in desktop-file-validate appstreamcli update-mime-database xmllint; do
  if ! command -v "$tool" >/dev/null; then
    echo "skipped: $tool is not installed" >&2
    exit 77
  fi
done

fail() {
  echo "FAILED: $*" >&2
  exit 1
}

desktop="$source_dir/brimwald-ripper.desktop"
desktop-file-validate "$desktop"
grep -qx "Exec=brimwald-ripper %f" "$desktop" || fail "Exec takes no %f"
grep -qx "MimeType=$type;" "$desktop" || fail "MimeType is not $type"

appstreamcli validate --no-net "$source_dir"/*.metainfo.xml

xmllint --noout "$source_dir/brimwald-ripper.svg"
mime="$source_dir/brimwald-ripper-mime.xml"
xmllint --noout "$mime"

# update-mime-database reports a package it can't read on standard error
# but still exits 0, so its messages fail the check too.
rm -rf "$scratch"
mkdir -p "$scratch/mime/packages"
cp "$mime" "$scratch/mime/packages/brimwald-ripper.xml"
messages="$(XDG_DATA_HOME="$scratch" XDG_DATA_DIRS="$scratch" \
  update-mime-database "$scratch/mime" 2>&1)"
[ -z "$messages" ] || fail "update-mime-database: $messages"
database="$scratch/mime"
grep -q "^[0-9]*:$type:\*\.str$" "$database/globs2" || fail "no *.str glob"
weight="$(sed -n "s|^\([0-9]*\):$type:\*\.str$|\1|p" "$database/globs2")"
[ "$weight" -lt 50 ] || fail "the *.str glob weighs $weight, not below 50"
grep -aq "\[[0-9]*:$type\]" "$database/magic" || fail "no magic for $type"
grep -aq "ZEQSNDSTREAM" "$database/magic" || fail "the magic is not ZEQSNDSTREAM"
[ -f "$database/${type}.xml" ] || fail "$type was not compiled"
rm -rf "$scratch"
echo "desktop entry, metainfo, icon and MIME type are valid"
