#!/usr/bin/env bash
# Installs the build into a scratch prefix and checks what a desktop and man(1) read from it.
# Usage: check_install_tree.sh BUILD_DIR SCRATCH_PREFIX SOURCE_DIR VERSION
set -uo pipefail
build="$1" prefix="$2" source="$3" version="$4"

for tool in desktop-file-validate appstreamcli groff; do
    if ! command -v "$tool" >/dev/null; then
        echo "SKIP: $tool is not installed"
        exit 77
    fi
done

failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

rm -rf "$prefix"
if ! cmake --install "$build" --prefix "$prefix" >/dev/null; then
    echo "FAIL: cmake --install"
    exit 1
fi

app=org.orvane.Orvane
share="$prefix/share"
for file in bin/orvane bin/orvane-batch; do
    [ -x "$prefix/$file" ] || fail "$file is not installed as a program"
done
for file in applications/$app.desktop metainfo/$app.metainfo.xml man/man1/orvane.1.gz man/man1/orvane-batch.1.gz \
    icons/hicolor/scalable/apps/orvane.svg; do
    [ -f "$share/$file" ] || fail "share/$file is missing"
done

# A theme directory promises its size: an icon of another size is scaled or skipped.
png_size() {
    local header
    header=$(od -An -tx1 -j16 -N8 "$1" | tr -d ' \n')
    echo "$((16#${header:0:8}))x$((16#${header:8:8}))"
}
for size in 16 24 32 48 64 128 256; do
    icon="$share/icons/hicolor/${size}x${size}/apps/orvane.png"
    if [ ! -f "$icon" ]; then
        fail "no ${size}x${size} icon"
    elif [ "$(png_size "$icon")" != "${size}x${size}" ]; then
        fail "$icon is $(png_size "$icon")"
    fi
done

desktop-file-validate "$share/applications/$app.desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net "$share/metainfo/$app.metainfo.xml" >/dev/null \
    || { appstreamcli validate --no-net "$share/metainfo/$app.metainfo.xml"; fail "appstreamcli validate"; }
grep -q "<release version=\"$version\"" "$share/metainfo/$app.metainfo.xml" \
    || fail "the metainfo has no release $version"

# The pages as man(1) reads them, out of their gzip files.
pages="$prefix/pages"
mkdir -p "$pages"
for page in orvane orvane-batch; do
    gzip -dc "$share/man/man1/$page.1.gz" >"$pages/$page.1" || fail "$page.1.gz is no gzip file"
done

for page in orvane orvane-batch; do
    manual="$pages/$page.1"
    warnings=$(groff -man -ww -z "$manual" 2>&1)
    [ -z "$warnings" ] || fail "groff warns about $page.1: $warnings"
    grep -q "^\.TH .*\"Orvane $version\"" "$manual" || fail "$page.1 is not marked Orvane $version"
done

# Every key the settings file takes is explained in orvane-batch(1), and no other.
source_keys=$(grep -oE '^ *(CHOICE|TEXT)_KEY\([A-Za-z]+, [A-Za-z]+|^ *RECORD_TEXT_KEY\([A-Za-z]+' \
    "$source/cli/settings_file.cpp" | grep -oE '[A-Za-z]+$' | sort -u)
manual_keys=$(sed -n '/^\.SH SETTINGS FILE/,/^\.SH MESSAGES/p' "$pages/orvane-batch.1" \
    | grep -oE '^\.BR? [A-Z][A-Za-z]+[a-z][A-Za-z]*' | grep -oE '[A-Za-z]+$' | sort -u)
[ -n "$source_keys" ] || fail "found no keys in cli/settings_file.cpp"
missing=$(comm -23 <(echo "$source_keys") <(echo "$manual_keys"))
unknown=$(comm -13 <(echo "$source_keys") <(echo "$manual_keys"))
[ -z "$missing" ] || fail "orvane-batch.1 does not explain:" $missing
[ -z "$unknown" ] || fail "orvane-batch.1 explains keys the settings file refuses:" $unknown

# Every option --help names is in the manual too (roff writes a dash as \-).
for option in $("$prefix/bin/orvane-batch" --help | grep -oE -- '--[a-z]+' | sort -u); do
    grep -qF -- "${option//-/\\-}" "$pages/orvane-batch.1" || fail "orvane-batch.1 does not mention $option"
done

"$prefix/bin/orvane-batch" --version | grep -qx "orvane-batch $version" || fail "installed orvane-batch --version"

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed"
    exit 1
fi
echo "install tree in $prefix: every check passed"
