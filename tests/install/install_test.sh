#!/usr/bin/env bash
# Installs the build into a scratch DESTDIR and runs the installed paipan-cli
# through its /usr/bin link from another folder: it must print exactly the
# chart of the build tree's own executable, and fail once a data file is gone
# from the program folder. The man page must list every option --help shows,
# and --version must name the version the installed man pages carry. A build
# with the window (WINDOW 1) draws PDFs with the installed plugin and print
# font; one without it refuses pdf and png and does not offer them.
#   install_test.sh BUILD_DIR BUILT_CLI MAN_PAGE WINDOW
set -euo pipefail
build=$1 built=$2 man=$3 window=$4
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
files=(SETCONFIG.dll SETSYSTEM.dll PLACES.dat)
pages=(paipan-cli.1.gz)
if [ "$window" = 1 ]; then
    # The installed PDF output draws with the installed plugin and print font.
    (cd / && "$cli" "${args[@]}" --format pdf --output "$root/chart.pdf")
    pdffonts "$root/chart.pdf" | grep -q PaipanMonoSC
    files+=(Readme.txt render/paipan-render.so PaipanMonoSC.otf)
    pages+=(paipan.1.gz)
else
    # No Qt, no plugin: pdf and png are refused with the reason, and not offered.
    for format in pdf png; do
        status=0
        (cd / && "$cli" "${args[@]}" --format "$format" --output "$root/chart.$format") 2>err.txt || status=$?
        [ "$status" -eq 2 ] && grep -q "没有Qt" err.txt && [ ! -e "$root/chart.$format" ] ||
            { echo "--format $format in a build without Qt: exit $status"; cat err.txt; exit 1; }
    done
    ! "$cli" --help | grep -qE 'pdf|png' || { echo "--help offers pdf or png"; exit 1; }
    [ ! -e "$root/usr/lib/paipan/render" ] || { echo "a render plugin without Qt"; exit 1; }
fi
for f in "${files[@]}"; do
    [ -f "$root/usr/lib/paipan/$f" ] || { echo "missing $f"; exit 1; }
done
for page in "${pages[@]}"; do
    [ -f "$root/usr/share/man/man1/$page" ] || { echo "missing man page $page"; exit 1; }
    # --version prints "NAME VERSION", the version the page's title line names.
    program=${page%.1.gz}
    version=$(zcat "$root/usr/share/man/man1/$page" | sed -n '1s/^\.TH [^"]*"[^"]*" "paipan \([^"]*\)".*/\1/p')
    [ -n "$version" ] || { echo "$page names no version"; exit 1; }
    answer=$(cd / && env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$root/usr/bin/$program" --version)
    [ "$answer" = "$program $version" ] || { echo "$program --version: '$answer', man page: $version"; exit 1; }
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
