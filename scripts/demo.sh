#!/usr/bin/env bash
# Shows Vellix at work. Until the tray program runs, this checks the bundled example
# database with vellix-db, natively and under Wine.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
build=${1:-build}
echo "demo: the native and Windows trees are built in $build"
