# Installs the Debian packages the project builds with, when any is missing.
# Sourced by scripts/run.sh, scripts/test.sh and scripts/package.sh.

ORVANE_PACKAGES=(
    cmake make g++ pkg-config
    qt6-base-dev
    libalglib-dev
    libinih-dev
    # the .xlsx reader: the ZIP container and its XML parts
    libzip-dev libexpat1-dev
    nlohmann-json3-dev
    googletest libgtest-dev libgmock-dev
    libbenchmark-dev
    # the reference reader the written workbooks are checked with
    python3-xlrd
    locales
    # the fonts the windows, the graph and its reference image are drawn with
    fonts-dejavu-core fonts-liberation
    # pdfinfo and pdftotext read the printouts the tests write as PDF
    poppler-utils
    # the install-tree test validates the menu entry, the metainfo and the manual pages
    desktop-file-utils appstream groff-base
    # scripts/package.sh: dpkg-shlibdeps finds the .deb's library dependencies
    dpkg-dev file
)

orvane_missing_packages() {
    local pkg
    for pkg in "$@"; do
        if [ "$(dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null)" != "install ok installed" ]; then
            printf '%s\n' "$pkg"
        fi
    done
}

orvane_as_root() {
    if [ "$(id -u)" -eq 0 ]; then
        "$@"
    elif command -v sudo >/dev/null 2>&1; then
        sudo "$@"
    else
        echo "Needs root to run: $* (no sudo available)." >&2
        return 1
    fi
}

# The tests read numbers under a German locale (decimal comma) to prove the "C" rules hold.
orvane_ensure_test_locale() {
    if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
        echo "Generating the de_DE.UTF-8 locale for the tests"
        orvane_as_root localedef -i de_DE -f UTF-8 de_DE.UTF-8
    fi
}

orvane_install_packages() {
    local missing
    mapfile -t missing < <(orvane_missing_packages "$@")
    [ "${#missing[@]}" -eq 0 ] && return 0

    echo "Installing: ${missing[*]}"
    orvane_as_root env DEBIAN_FRONTEND=noninteractive apt-get update -q </dev/null
    orvane_as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}" </dev/null
}
