# Installs the Debian packages the project builds with, when any is missing.
# Sourced by scripts/run.sh and scripts/test.sh.

ORVANE_PACKAGES=(
    cmake g++ pkg-config
    qt6-base-dev
    libalglib-dev
    libinih-dev
    googletest libgtest-dev libgmock-dev
    libbenchmark-dev
)

orvane_missing_packages() {
    local pkg
    for pkg in "$@"; do
        if [ "$(dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null)" != "install ok installed" ]; then
            printf '%s\n' "$pkg"
        fi
    done
}

orvane_install_packages() {
    local missing
    mapfile -t missing < <(orvane_missing_packages "$@")
    [ "${#missing[@]}" -eq 0 ] && return 0

    local -a asRoot=()
    if [ "$(id -u)" -ne 0 ]; then
        if ! command -v sudo >/dev/null 2>&1; then
            echo "Missing packages (${missing[*]}) and no sudo to install them; please install them as root." >&2
            return 1
        fi
        asRoot=(sudo)
    fi
    echo "Installing: ${missing[*]}"
    "${asRoot[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q </dev/null
    "${asRoot[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}" </dev/null
}
