#!/usr/bin/env bash
# Installs the Debian packages listed in scripts/debian-packages.txt that are missing,
# then the npm packages of the browser test (with the web group).
#
#   scripts/deps.sh [GROUP ...]   (play, test, windows, arm64, web; none: every group)
# As root it runs apt-get (one update first); otherwise it prints the command and fails.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# The groups asked for (play, test, windows, arm64, web); none: all of them.
groups=" $* "
mapfile -t wanted < <(sed -e 's/#.*//' -e 's/[[:space:]]//g' "$here/debian-packages.txt" | awk -v groups="$groups" '
    /^\[.*\]$/ { group = substr($0, 2, length($0) - 2); next }
    $0 != "" && (groups ~ /^ *$/ || index(groups, " " group " ")) { print }')

missing=()
for pkg in "${wanted[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null || true)
    [[ "$status" == "install ok installed" ]] || missing+=("$pkg")
done
# The npm packages of the browser test (tests/web/package-lock.json), once node is there.
npm_modules() {
    [[ "$groups" =~ ^\ *$ || "$groups" == *" web "* ]] || return 0
    local web="$here/../tests/web"
    [[ -d "$web/node_modules/playwright-core" ]] && return 0
    if ! command -v npm >/dev/null 2>&1; then
        echo "No npm: the browser test needs it (Debian package npm, or node's own)." >&2
        return 1
    fi
    (cd "$web" && npm ci --no-audit --no-fund --loglevel=error)
}

if [[ ${#missing[@]} -eq 0 ]]; then
    npm_modules
    exit 0
fi

# Some packages (wine32) live in the i386 architecture.
needs_i386=0
for pkg in "${missing[@]}"; do [[ "$pkg" == *:i386 ]] && needs_i386=1; done

if [[ $(id -u) -ne 0 ]]; then
    echo "Missing Debian packages. Install them with:" >&2
    [[ $needs_i386 -eq 1 ]] && echo "  sudo dpkg --add-architecture i386" >&2
    echo "  sudo apt-get update && sudo apt-get install -y --no-install-recommends ${missing[*]}" >&2
    exit 1
fi

echo "Installing: ${missing[*]}"
if [[ $needs_i386 -eq 1 ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
apt-get -o DPkg::Lock::Timeout=600 update -qq
apt-get -o DPkg::Lock::Timeout=600 install -y -qq --no-install-recommends "${missing[@]}"
npm_modules
