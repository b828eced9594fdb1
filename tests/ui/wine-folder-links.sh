#!/usr/bin/env bash
# Under Wine, which makes no folder link of its own (Wine 8) but shows a Unix symbolic link as a
# reparse point: Find in logs with subfolders passes over a link back up the tree and a second
# way to a folder, and searches a link to a file. $1 is the console twin.
set -euo pipefail
run=$(dirname "$0")/../../scripts/wine-run.sh
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
mkdir -p "$folder/sub" "$folder/other"
for name in a.log sub/b.log other/c.log; do
  printf '%s\r\n' "------ NextPart = Script" "script S" "------ NextPart = LogMessage" \
    '==>loading script "A".' "-" "Started: t1" "valve" "==>script execution finished." \
    >"$folder/$name"
done
ln -s . "$folder/sub/loop"
ln -s ../other "$folder/sub/other"
ln -s other/c.log "$folder/latest.log"

files=$("$run" "$1" --find-in-logs "Z:${folder//\//\\}" valve --recursive | cut -f1)
expected=$'File\na.log\nlatest.log\nother\\c.log\nsub\\b.log'
if [ "$files" != "$expected" ]; then
  printf 'searched:\n%s\nexpected:\n%s\n' "$files" "$expected" >&2
  exit 1
fi
