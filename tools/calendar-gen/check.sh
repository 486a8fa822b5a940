#!/usr/bin/env bash
# Reinstalls the pinned dependencies, regenerates every table into a scratch
# folder and compares each file byte for byte with the committed copy. Then
# runs the day-by-day lunar date check, the comparison with a second
# ephemeris and the tests on the committed files.
# Exits 0 only when everything matches and passes.
set -euo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../.." && pwd)"
cd "$here"

npm ci --no-audit --no-fund

tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
node gen.js --out "$tmp"

status=0
count=0
while IFS= read -r f; do
  rel="${f#"$tmp"/}"
  count=$((count + 1))
  if [ -f "$root/$rel" ] && cmp "$f" "$root/$rel"; then
    echo "identical: $rel"
  else
    echo "DIFFERS:   $rel"
    status=1
  fi
done < <(find "$tmp" -type f | sort)
if [ "$count" -eq 0 ]; then
  echo "generator wrote no files"
  status=1
fi

node verify.js "$root/data/calendar.csv" || status=1
node astro.js "$root" || status=1
CALENDAR_GEN_ROOT="$root" node --test test.js || status=1

if [ "$status" -eq 0 ]; then echo "calendar-gen check: OK"; else echo "calendar-gen check: FAILED"; fi
exit "$status"
