#!/usr/bin/env bash
# Proves that scripts/test.sh builds the project and passes its tests on a freshly installed
# minimal Debian 12: bootstraps one (debootstrap --variant=minbase) in build-fresh/root,
# puts a clean clone of the committed HEAD and a copy of ../shared side by side in it, and
# runs scripts/test.sh there as CI does (root, CI=true, no standard input). A used machine
# hides a package that the scripts forget to install; this root has only what they install.
# With --newcomer it then also runs scripts/run.sh there, as someone who has just cloned the
# project would: it must build the programs and, with no display in the root, say so and
# point at orvane-batch. Then scripts/package.sh packs the .deb there, apt installs it, and
# the installed programs, menu entry and manual pages are checked.
#
#   sudo scripts/fresh-check.sh [--newcomer] [--keep] [--mirror URL]
#
#   --newcomer    also check scripts/run.sh (a Release build more) and the .deb
#   --keep        keep build-fresh/root afterwards for inspection (it is removed otherwise;
#                 a root left by an earlier run is always removed before a new one is made)
#   --mirror URL  the Debian mirror to bootstrap from; by default the one the machine's own
#                 apt sources use for bookworm
#
# The exit status is that of scripts/test.sh; its output is also kept in build-fresh/test.log.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
source "$root/scripts/lib/dependencies.sh"

suite=bookworm
fresh="$root/build-fresh"
target="$fresh/root"
keep=0
newcomer=0
mirror=""

usage() {
    sed -n '2,/^set -euo/{/^set -euo/d;s/^# \{0,1\}//;p}' "$0"
}

while [ "$#" -gt 0 ]; do
    case "$1" in
        --keep) keep=1 ;;
        --newcomer) newcomer=1 ;;
        --mirror)
            [ "$#" -ge 2 ] || { echo "--mirror needs a URL" >&2; exit 2; }
            mirror="$2"
            shift
            ;;
        --mirror=*) mirror="${1#--mirror=}" ;;
        -h | --help) usage; exit 0 ;;
        *) echo "Unknown option: $1 (see --help)" >&2; exit 2 ;;
    esac
    shift
done

if [ "$(id -u)" -ne 0 ]; then
    echo "Needs root (debootstrap, mount and chroot): run it as root or with sudo." >&2
    exit 1
fi

# The first URI of an enabled "deb" source for $suite in the machine's apt sources, in the
# one-line format (sources.list, *.list) or the deb822 one (*.sources).
host_mirror() {
    local file
    for file in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
        [ -f "$file" ] || continue
        awk -v suite="$suite" '
            $1 == "deb" {
                i = 2
                if ($i ~ /^\[/) { while (i <= NF && $i !~ /\]$/) i++; i++ }
                if ($(i + 1) == suite) { print $i; exit }
            }' "$file"
    done
    for file in /etc/apt/sources.list.d/*.sources; do
        [ -f "$file" ] || continue
        awk -v suite="$suite" '
            function flush() {
                if (!found && uris != "" && tolower(enabled) != "no" &&
                    (" " types " ") ~ / deb / && (" " suites " ") ~ (" " suite " ")) {
                    split(uris, u, " "); print u[1]; found = 1
                }
                types = uris = suites = enabled = last = ""
            }
            /^[[:space:]]*#/ { next }
            /^[[:space:]]*$/ { flush(); next }
            /^[[:space:]]/ {
                if (last == "types") types = types " " $0
                else if (last == "uris") uris = uris " " $0
                else if (last == "suites") suites = suites " " $0
                next
            }
            {
                key = tolower($0); sub(/:.*/, "", key)
                value = $0; sub(/^[^:]*:[[:space:]]*/, "", value)
                last = key
                if (key == "types") types = value
                else if (key == "uris") uris = value
                else if (key == "suites") suites = value
                else if (key == "enabled") enabled = value
            }
            END { flush() }' "$file"
    done
}

# Mount points at or under a folder, innermost last (the order they were mounted in).
mounts_under() {
    local dir="$1" point
    while read -r _ _ _ _ point _; do
        point="$(printf '%b' "$point")"
        case "$point" in
            "$dir" | "$dir"/*) printf '%s\n' "$point" ;;
        esac
    done </proc/self/mountinfo
}

# Unmounts everything under a folder, innermost first; lazily when something still holds it
# (a daemon that a package left running in the root, say).
unmount_under() {
    local points point i
    mapfile -t points < <(mounts_under "$1")
    for ((i = ${#points[@]} - 1; i >= 0; i--)); do
        point="${points[i]}"
        umount "$point" 2>/dev/null || umount -l "$point" || true
    done
}

# Removes the root, but never while anything is mounted in it: rm would descend into the
# machine's own /dev, /proc or /sys.
remove_root() {
    [ -e "$target" ] || return 0
    unmount_under "$target"
    if [ -n "$(mounts_under "$target")" ]; then
        echo "Still mounted under $target, not removing it:" >&2
        mounts_under "$target" >&2
        return 1
    fi
    rm -rf --one-file-system "$target"
}

cleanup() {
    local status=$?
    if [ -n "$runner" ]; then
        echo "Stopping the run in the root"
        kill -TERM -- "-$runner" 2>/dev/null || true
        wait "$runner" 2>/dev/null || true
    fi
    [ -z "$viewer" ] || kill "$viewer" 2>/dev/null || true
    unmount_under "$target"
    if [ "$keep" -eq 0 ]; then
        remove_root || status=1
        [ "$status" -eq 0 ] || echo "(Run it again with --keep to inspect the root after a failure.)"
    elif [ -d "$target" ]; then
        echo "Kept the root in $target (enter it with: chroot $target /bin/bash)."
    fi
    exit "$status"
}
runner=""
viewer=""
trap cleanup EXIT
trap 'exit 129' HUP
trap 'exit 130' INT
trap 'exit 143' TERM

stage() {
    printf '\n== %s (%d s so far)\n' "$*" "$SECONDS"
}

# Runs a noisy step with its output in a log of its own, shown only when the step fails.
quietly() {
    local log="$1"
    shift
    if ! "$@" >"$log" 2>&1; then
        tail -n 40 "$log" >&2
        echo "Failed: $* (the whole output is in $log)" >&2
        return 1
    fi
}

if [ -z "$mirror" ]; then
    mirror="$(host_mirror | head -n 1)"
    if [ -z "$mirror" ]; then
        echo "No enabled 'deb' source for $suite in /etc/apt/sources.list{,.d/}: give one with --mirror URL." >&2
        exit 1
    fi
fi

head="$(git -C "$root" rev-parse HEAD)"
if [ -n "$(git -C "$root" status --porcelain --untracked-files=no)" ]; then
    echo "Note: the working tree has uncommitted changes; only the committed HEAD is checked."
fi
shared="$(cd "$root/.." && pwd)/shared"

stage "Installing what the check itself needs"
orvane_install_packages debootstrap debian-archive-keyring

stage "Removing what an earlier run left"
mkdir -p "$fresh"
remove_root
log="$fresh/test.log"
rm -f "$log"

stage "Bootstrapping a minimal Debian 12 ($suite, minbase) from $mirror"
# A mirror reached over https needs the certificates before anything else can be fetched.
include=()
case "$mirror" in https:*) include=(--include=ca-certificates) ;; esac
quietly "$fresh/debootstrap.log" debootstrap --variant=minbase "${include[@]}" "$suite" "$target" "$mirror"

stage "Giving the root the machine's apt sources and network settings"
# The same sources (hence the same mirror or snapshot) as the machine, in place of the one
# debootstrap wrote, with the keyrings they name when the root lacks them.
rm -f "$target/etc/apt/sources.list"
for file in /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources; do
    [ -f "$file" ] || continue
    mkdir -p "$target$(dirname "$file")"
    cp "$file" "$target$file"
    grep -ohiE '(signed-by[=:][[:space:]]*)/[^][:space:],]+' "$file" | sed -E 's/^[^/]*//' |
        while read -r keyring; do
            if [ -f "$keyring" ] && [ ! -e "$target$keyring" ]; then
                mkdir -p "$target$(dirname "$keyring")"
                cp "$keyring" "$target$keyring"
            fi
        done
done
# How the machine reaches its mirror: a proxy, retries, and whether an old snapshot's expired
# Release files are accepted. Nothing that chooses packages is copied.
apt-config dump | grep -E '^Acquire::(Check-Valid-Until|Check-Date|Retries|https?::Proxy)( |::)' \
    >"$target/etc/apt/apt.conf.d/01machine-access" || true
# Removed first: a symbolic link there would be followed out of the root.
rm -f "$target/etc/resolv.conf"
cp -L /etc/resolv.conf "$target/etc/resolv.conf"

stage "Copying a clean clone of $head and ../shared into the root"
mkdir -p "$target/work"
git clone --quiet --no-hardlinks --no-checkout "$root" "$target/work/orvane"
git -C "$target/work/orvane" -c advice.detachedHead=false checkout --quiet --detach "$head"
if [ -d "$shared" ]; then
    cp -a "$shared" "$target/work/shared"
else
    echo "Note: there is no $shared; the tests that read it will be skipped."
fi

stage "Mounting /proc, /sys, /dev, /dev/pts and /dev/shm in the root"
mount -t proc proc "$target/proc"
mount -t sysfs -o ro sysfs "$target/sys"
mount --bind /dev "$target/dev"
mount --bind /dev/pts "$target/dev/pts"
mount -t tmpfs -o mode=1777,nosuid,nodev tmpfs "$target/dev/shm"

# Runs a script of the clone in the root as CI does, its output in a log followed from there.
# In a session of its own, so that an interrupted check can stop the whole build in the root
# before unmounting. The script's exit status is left in $status.
run_in_root() {
    local script="$1" output="$2"
    : >"$output"
    setsid chroot "$target" /usr/bin/env -i \
        PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
        HOME=/root LANG=C.UTF-8 CI=true \
        /bin/bash -c "cd /work/orvane && exec bash $script" </dev/null >"$output" 2>&1 &
    runner=$!
    tail -n +1 -f --pid="$runner" "$output" &
    viewer=$!
    status=0
    wait "$runner" || status=$?
    runner=""
    wait "$viewer" || true
    viewer=""
}

stage "Running scripts/test.sh in the root"
run_in_root scripts/test.sh "$log"

stage "Done: scripts/test.sh exited with $status"
# ctest's closing lines: the pass rate, the time and the failed tests, if it got that far.
summary="$(awk '/^[0-9]+% tests passed/ { text = "" } { text = text $0 "\n" } END { printf "%s", text }' "$log" |
    grep -v '^[[:space:]]*$' || true)"
if grep -qE '^[0-9]+% tests passed' "$log"; then
    printf '%s\n' "$summary"
else
    echo "ctest gave no summary: the run stopped before the tests (see $log)."
fi
[ "$status" -eq 0 ] && [ "$newcomer" -eq 1 ] || exit "$status"

stage "Running scripts/run.sh in the root, which has no display"
run_log="$fresh/run.log"
run_in_root scripts/run.sh "$run_log"
if [ "$status" -ne 1 ] || ! grep -q "^No display here.*orvane-batch" "$run_log"; then
    echo "scripts/run.sh exited with $status instead of building and saying there is no display (see $run_log)." >&2
    exit 1
fi
stage "Done: scripts/run.sh built the programs and said there is no display"

stage "Packing the .deb with scripts/package.sh in the root and installing it there"
cat >"$target/work/install-package.sh" <<'SCRIPT'
set -euo pipefail
export DEBIAN_FRONTEND=noninteractive
bash scripts/package.sh
apt-get install -y ./build/orvane_*.deb
for file in /usr/bin/orvane /usr/bin/orvane-batch /usr/share/applications/org.orvane.Orvane.desktop \
    /usr/share/man/man1/orvane.1.gz /usr/share/icons/hicolor/48x48/apps/orvane.png; do
    test -e "$file" || { echo "The package did not install $file"; exit 1; }
done
if ldd /usr/bin/orvane /usr/bin/orvane-batch | grep 'not found'; then
    echo "The package's dependencies leave libraries out"
    exit 1
fi
/usr/bin/orvane-batch analyze examples/closed_loop_continuous.xls --settings examples/closed_loop_continuous.ini \
    >/dev/null
echo "The installed orvane-batch analysed an example."
SCRIPT
package_log="$fresh/package.log"
run_in_root /work/install-package.sh "$package_log"
if [ "$status" -ne 0 ]; then
    echo "Packing or installing the .deb failed with $status (see $package_log)." >&2
    exit 1
fi
stage "Done: the .deb was built, installed and its programs run"
