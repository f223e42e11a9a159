#!/usr/bin/env bash
# Fetches Debian's source package of TinyXML 2.6.2 (with Debian's patches applied) into
# DEST/tinyxml. Nothing outside DEST is touched; a DEST that already holds the sources is kept.
set -euo pipefail
dest=${1:?usage: fetch-tinyxml.sh DEST}
exec "$(dirname "$0")/fetch-debian-source.sh" "$dest" tinyxml tinyxml tinyxmlparser.cpp
