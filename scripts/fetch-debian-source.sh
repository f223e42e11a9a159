#!/usr/bin/env bash
# Fetches the source package PACKAGE of Debian bookworm (with Debian's patches applied) into
# DEST/NAME, through a private apt configuration that adds a deb-src entry for bookworm
# main. Nothing outside DEST is touched; a DEST/NAME that already holds MARKER is kept.
#   fetch-debian-source.sh DEST PACKAGE NAME MARKER
set -euo pipefail

dest=${1:?usage: fetch-debian-source.sh DEST PACKAGE NAME MARKER}
package=${2:?package}
name=${3:?name}
marker=${4:?marker file}
mkdir -p "$dest"
dest=$(cd "$dest" && pwd)

if [ -f "$dest/$name/$marker" ]; then
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
work="$dest/download-$name"
rm -rf "$work"
mkdir -p "$work"
apt-get update -q >/dev/null
(cd "$work" && apt-get source -q "$package" >/dev/null 2>&1)
src=$(find "$work" -maxdepth 1 -mindepth 1 -type d | head -n 1)
if [ -z "$src" ] || [ ! -f "$src/$marker" ]; then
  echo "fetch-debian-source: the source package $package could not be fetched" >&2
  exit 1
fi
rm -rf "$dest/$name"
mv "$src" "$dest/$name"
rm -rf "$work"
echo "fetch-debian-source: $package in $dest/$name"
