#!/usr/bin/env bash
# Installs the build into a scratch DESTDIR and runs the installed paipan-cli
# through its /usr/bin link from another folder: it must print exactly the
# chart of the build tree's own executable, and fail once a data file is gone
# from the program folder. The man page must list every option --help shows.
#   install_test.sh BUILD_DIR BUILT_CLI MAN_PAGE
set -euo pipefail
build=$1 built=$2 man=$3
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
DESTDIR="$root" cmake --install "$build" --prefix /usr >/dev/null
cli="$root/usr/bin/paipan-cli"
[ -L "$cli" ] || { echo "no link $cli"; exit 1; }
args=(--name 李四 --place 北京 --longitude 116 --longitude-minutes 28 --year 1980 --month 1
      --day 1 --hour 0 --minute 5 --sex female --palace --minor-luck --quiet)
cd "$root"
"$built" "${args[@]}" > expected.txt
(cd / && "$cli" "${args[@]}") > installed.txt
cmp expected.txt installed.txt
# The installed PDF output draws with the installed plugin and print font.
(cd / && "$cli" "${args[@]}" --format pdf --output "$root/chart.pdf")
pdffonts "$root/chart.pdf" | grep -q PaipanMonoSC
for f in SETCONFIG.dll SETSYSTEM.dll PLACES.dat Readme.txt render/paipan-render.so PaipanMonoSC.otf; do
    [ -f "$root/usr/lib/paipan/$f" ] || { echo "missing $f"; exit 1; }
done
for page in paipan-cli.1.gz; do
    [ -f "$root/usr/share/man/man1/$page" ] || { echo "missing man page $page"; exit 1; }
done
mv "$root/usr/lib/paipan/SETSYSTEM.dll" "$root/away.dll"
status=0
(cd / && "$cli" "${args[@]}") >/dev/null 2>err.txt || status=$?
[ "$status" -eq 3 ] || { echo "without SETSYSTEM.dll: exit $status"; exit 1; }
grep -q SETSYSTEM.dll err.txt
# Every option of --help in the man page (man escapes each "-" as "\-").
"$built" --help | grep -o -- '--[a-z-]*' | sort -u | while read -r option; do
    grep -q -- "${option//-/\\\\-}" "$man" || { echo "man page lacks $option"; exit 1; }
done
echo "installed paipan-cli prints the build's chart; a missing data file fails"
