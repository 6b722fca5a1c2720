#!/usr/bin/env bash
# Installs what is missing, builds the programs (Release, in build/ as scripts/run.sh does)
# and packs them into a Debian package in build/, then checks what the package holds.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
source "$root/scripts/lib/dependencies.sh"
orvane_install_packages "${ORVANE_PACKAGES[@]}"

build="$root/build"
source "$root/scripts/lib/release_build.sh"
orvane_release_build "$root" "$build"
rm -f "$build"/orvane_*.deb
(cd "$build" && cpack -G DEB)

debs=("$build"/orvane_*.deb)
deb="${debs[0]}"
[ -f "$deb" ] || { echo "cpack made no .deb in $build" >&2; exit 1; }

# dpkg-shlibdeps fills Depends from the programs; an empty list would install a program
# that cannot start.
info="$(dpkg-deb -I "$deb")"
echo "$info"
depends="$(dpkg-deb -f "$deb" Depends)"
for needed in fonts-liberation libqt6widgets6 libqt6printsupport6; do
    if ! grep -q "\b$needed\b" <<<"$depends"; then
        echo "$deb does not depend on $needed (Depends: $depends)" >&2
        exit 1
    fi
done

contents="$(dpkg-deb -c "$deb")"
for file in usr/bin/orvane usr/bin/orvane-batch \
    usr/share/applications/org.orvane.Orvane.desktop usr/share/metainfo/org.orvane.Orvane.metainfo.xml \
    usr/share/man/man1/orvane.1.gz usr/share/man/man1/orvane-batch.1.gz \
    usr/share/icons/hicolor/48x48/apps/orvane.png usr/share/icons/hicolor/scalable/apps/orvane.svg; do
    if ! grep -q " \./$file\$" <<<"$contents"; then
        echo "$deb lacks /$file" >&2
        exit 1
    fi
done

echo
echo "Built $deb"
echo "Install it with: apt-get install $deb"
