#!/usr/bin/env bash
# Fetches Debian's source package of TinyXML 2.6.2 (with Debian's patches applied) into
# DEST, through a private apt configuration that adds a deb-src entry for bookworm main.
# Nothing outside DEST is touched; a DEST that already holds the sources is kept.
set -euo pipefail

dest=${1:?usage: fetch-tinyxml.sh DEST}
mkdir -p "$dest"
dest=$(cd "$dest" && pwd)

if [ -f "$dest/tinyxml/tinyxmlparser.cpp" ]; then
  exit 0
fi

apt_dir="$dest/apt"
mkdir -p "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial"
cat > "$apt_dir/sources.list" <<SRC
deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] http://deb.debian.org/debian bookworm main
SRC
cat > "$apt_dir/apt.conf" <<CONF
Dir::Etc::SourceList "$apt_dir/sources.list";
Dir::Etc::SourceParts "/nonexistent";
Dir::State::Lists "$apt_dir/lists";
Dir::Cache "$apt_dir/cache";
CONF

export APT_CONFIG="$apt_dir/apt.conf"
work="$dest/download"
rm -rf "$work"
mkdir -p "$work"
apt-get update -q >/dev/null
(cd "$work" && apt-get source -q tinyxml >/dev/null 2>&1)
src=$(find "$work" -maxdepth 1 -type d -name 'tinyxml-*' | head -n 1)
if [ -z "$src" ] || [ ! -f "$src/tinyxmlparser.cpp" ]; then
  echo "fetch-tinyxml: the source package could not be fetched" >&2
  exit 1
fi
rm -rf "$dest/tinyxml"
mv "$src" "$dest/tinyxml"
rm -rf "$work"
echo "fetch-tinyxml: sources in $dest/tinyxml"
