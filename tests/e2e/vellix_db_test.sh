#!/usr/bin/env bash
# End-to-end test of vellix-db on the fixture files: exit codes, messages, listings and the
# exact bytes of normalize. Usage: vellix_db_test.sh FIXTURES WORK_DIR TOOL [RUNNER]
# (RUNNER, e.g. scripts/wine-run.sh, runs the Windows build).
set -uo pipefail

fixtures=$1
work=$2
tool=$3
runner=${4:-}
failures=0

rm -rf "$work"
mkdir -p "$work/folder.xml"
cp "$fixtures"/*.xml "$fixtures"/*.txt "$fixtures"/*.ahk "$fixtures"/*.yml "$work"/
cd "$work" || exit 1

run() {
  if [ -n "$runner" ]; then "$runner" "$tool" "$@"; else "$tool" "$@"; fi
}

fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# expect STATUS PATTERN ARGS...: exit status and a fixed string in stdout or stderr.
expect() {
  local status=$1 pattern=$2
  shift 2
  run "$@" >out.txt 2>err.txt
  local got=$?
  [ "$got" = "$status" ] || fail "vellix-db $*: exit $got, expected $status"
  grep -qF -- "$pattern" out.txt err.txt || fail "vellix-db $*: no '$pattern' in $(cat out.txt err.txt)"
}

expect 0 "usage: vellix-db VERB" --help
expect 0 "usage: vellix-db check FILE" check --help
expect 0 "usage: vellix-db list FILE" list --help
expect 0 "usage: vellix-db normalize IN OUT" normalize --help
expect 2 "no verb given"
expect 2 "unknown verb 'merge'" merge a.xml
expect 2 "check takes one file" check
expect 2 "normalize takes two files" normalize messy.xml

expect 1 "missing.xml: no such file" check missing.xml
expect 1 "folder.xml: this is a folder" check folder.xml
expect 1 "empty.xml: the file is empty" list empty.xml
expect 1 "noroot.xml: not a phrase database" check noroot.xml
for input in missing.xml folder.xml empty.xml noroot.xml; do
  expect 1 "$input" normalize "$input" never.xml
  [ -e never.xml ] && fail "normalize $input wrote never.xml"
done

expect 0 "phrases loaded: 1 of 1" check truncated.xml

run check messy.xml >out.txt 2>err.txt || fail "check messy.xml failed"
cmp -s out.txt messy.check.txt || fail "check messy.xml: $(diff out.txt messy.check.txt)"
# A damaged file: where reading stopped, the phrase a save would lose, the bare "&", the
# keystrokes that can never fire and the caret-left counts out of range.
run check damaged.xml >out.txt 2>err.txt || fail "check damaged.xml failed"
cmp -s out.txt damaged.check.txt || fail "check damaged.xml: $(diff out.txt damaged.check.txt)"
run list messy.xml >out.txt 2>err.txt || fail "list messy.xml failed"
cmp -s out.txt messy.list.txt || fail "list messy.xml: $(diff out.txt messy.list.txt)"
# Program rules and keystrokes that begin longer ones.
run check rules.xml >out.txt 2>err.txt || fail "check rules.xml failed"
cmp -s out.txt rules.check.txt || fail "check rules.xml: $(diff out.txt rules.check.txt)"
run list rules.xml >out.txt 2>err.txt || fail "list rules.xml failed"
cmp -s out.txt rules.list.txt || fail "list rules.xml: $(diff out.txt rules.list.txt)"

expect 0 "1 phrases written" normalize best_regards.xml out1.xml
cmp -s out1.xml best_regards.xml || fail "normalize changed best_regards.xml"
expect 0 "4 phrases written" normalize messy.xml out2.xml
cmp -s out2.xml messy.normalized.xml || fail "normalize messy.xml differs from messy.normalized.xml"
# Normalizing a normalized file onto itself changes nothing.
expect 0 "4 phrases written" normalize out2.xml out2.xml
cmp -s out2.xml messy.normalized.xml || fail "normalize onto itself changed the file"

# Import: a new database from two sources, what was left out with its line, no overwrite
# without --force, and nothing written for a source that cannot be read.
expect 0 "hotstrings.ahk: 2 phrases imported, 3 entries left out" import ahk hotstrings.ahk new.xml
grep -qF "line 4: left out: runs code (option X)" out.txt || fail "import: the X hotstring's line"
grep -qF "line 6: left out: holds ! ^ or #" out.txt || fail "import: the Ctrl shortcut's line"
expect 1 "new.xml exists; --force adds the phrases to it" import espanso matches.yml new.xml
expect 0 "new.xml: 3 phrases written (1 new)" import espanso matches.yml new.xml --force
grep -qF "line 4: left out: uses form" out.txt || fail "import: the form's line"
expect 0 "keystrokes that now collide: 2" import ahk hotstrings.ahk new.xml --force
expect 1 "broken.yml: line 4: not valid YAML" import espanso broken.yml other.xml
[ -e other.xml ] && fail "import of broken YAML wrote a file"
expect 1 "nothing is written" import csv missing.csv other.xml
expect 2 "unknown format 'xml'" import xml messy.xml other.xml
run list new.xml >out.txt 2>err.txt
grep -qF 'keystrokes=["Sig"] text="Best regards,
Me"' out.txt || fail "import: the escaped line break"
# Export and import back: the same phrases.
expect 0 "export.csv: 5 phrases written" export csv new.xml export.csv
expect 1 "export.csv exists" export csv new.xml export.csv
expect 0 "5 phrases imported, 0 entries left out" import csv export.csv again.xml
run list new.xml >a.txt 2>err.txt
run list again.xml >b.txt 2>err.txt
cmp -s a.txt b.txt || fail "export and import changed the phrases: $(diff a.txt b.txt)"

if [ "$failures" -gt 0 ]; then
  echo "$failures failure(s)"
  exit 1
fi
echo "vellix-db end-to-end: all passed"
