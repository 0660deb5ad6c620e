#!/usr/bin/env bash
# Makes the sysroot of the arm64 cross build: Debian's arm64 packages of the libraries the
# engine, the headless shell and the tests link (libpng, zlib, GoogleTest) and of the C and
# C++ runtime the emulator loads them with, unpacked into one folder.
#
#   scripts/arm64-sysroot.sh SYSROOT [APT_DIR]
#
# The packages come from the suites and mirrors of the machine's own Debian sources
# (/etc/apt/sources.list, /etc/apt/sources.list.d), through apt with a configuration of its
# own in APT_DIR (default: SYSROOT-apt): its lists, its cache, no architecture added to
# dpkg and nothing installed. A sysroot that is already made for the same package list is
# left as it is.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
sysroot=$(realpath -m "$1")
aptdir=$(realpath -m "${2:-$sysroot-apt}")

# The packages, a|b where the name differs between Debian releases (the first one the
# archive has is taken).
packages=(
    libc6 libgcc-s1 libstdc++6
    libpng16-16t64\|libpng16-16 zlib1g libpng-dev zlib1g-dev
    libgtest-dev libgmock-dev
)

stamp=$sysroot/.fairholm-sysroot
wanted=$(printf '%s\n' "${packages[@]}" "$(cat "$here/arm64-sysroot.sh" | cksum)")
if [[ -f "$stamp" && "$(cat "$stamp")" == "$wanted" ]]; then
    exit 0
fi

# The machine's Debian archives, one line per suite, in the one-line format apt reads from
# a private sources.list. deb822 files (*.sources) and one-line files (*.list) are read;
# only the entries of the Debian archive (a path ending in /debian or /debian-security)
# are taken.
debian_sources() {
    local file
    for file in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
        [[ -f "$file" ]] || continue
        sed -e 's/#.*//' "$file" | awk '$1 == "deb" {
            options = ""
            i = 2
            if ($2 ~ /^\[/) { while ($i !~ /\]$/) { options = options " " $i; i++ } options = options " " $i; i++ }
            sub(/^ /, "", options)
            gsub(/arch=[^] ]*/, "", options)
            uri = $i; suite = $(i + 1); components = ""
            for (j = i + 2; j <= NF; j++) components = components " " $j
            print options "\t" uri "\t" suite "\t" components
        }'
    done
    for file in /etc/apt/sources.list.d/*.sources; do
        [[ -f "$file" ]] || continue
        awk 'function flush() {
                if (types ~ /(^| )deb( |$)/ && enabled != "no")
                    for (u = 1; u <= nu; u++) for (s = 1; s <= ns; s++)
                        print (signed == "" ? "" : "[signed-by=" signed "]") "\t" uris[u] "\t" suites[s] "\t " components
                types = ""; enabled = ""; signed = ""; components = ""; nu = 0; ns = 0
             }
             /^[[:space:]]*#/ { next }
             /^[[:space:]]*$/ { flush(); next }
             /^[[:space:]]/ { next }
             {
                key = tolower($1); sub(/:$/, "", key); $1 = ""; sub(/^ +/, "")
                if (key == "types") types = $0
                else if (key == "enabled") enabled = tolower($0)
                else if (key == "signed-by") signed = $0
                else if (key == "components") components = $0
                else if (key == "uris") nu = split($0, uris, " ")
                else if (key == "suites") ns = split($0, suites, " ")
             }
             END { flush() }' "$file"
    done
}

mkdir -p "$aptdir/lists/partial" "$aptdir/archives/partial" "$aptdir/sources.list.d" \
    "$aptdir/preferences.d" "$aptdir/debs"
: > "$aptdir/status"
debian_sources | awk -F'\t' '$2 ~ /\/debian(-security)?\/?$/ {
        options = $1
        print "deb [arch=arm64" (options == "" ? "" : " " substr(options, 2, length(options) - 2)) "] " $2 " " $3 $4
    }' | sort -u > "$aptdir/sources.list"
if [[ ! -s "$aptdir/sources.list" ]]; then
    echo "arm64 sysroot: no Debian archive in /etc/apt/sources.list or /etc/apt/sources.list.d" >&2
    exit 1
fi

apt_options=(
    -o APT::Architecture=arm64 -o APT::Architectures=arm64
    -o Dir::State="$aptdir" -o Dir::State::Lists="$aptdir/lists" -o Dir::State::status="$aptdir/status"
    -o Dir::Cache="$aptdir" -o Dir::Cache::archives="$aptdir/archives"
    -o Dir::Cache::pkgcache="$aptdir/pkgcache.bin" -o Dir::Cache::srcpkgcache="$aptdir/srcpkgcache.bin"
    -o Dir::Etc::SourceList="$aptdir/sources.list" -o Dir::Etc::SourceParts="$aptdir/sources.list.d"
    -o Dir::Etc::PreferencesParts="$aptdir/preferences.d" -o Dir::Etc::Preferences="$aptdir/preferences"
    -o Debug::NoLocking=1 -o APT::Sandbox::User="$(id -un)"
)
apt-get "${apt_options[@]}" -qq update

# The first name of each a|b the archive knows.
names=()
for choice in "${packages[@]}"; do
    found=
    IFS='|' read -ra alternatives <<<"$choice"
    for name in "${alternatives[@]}"; do
        if apt-cache "${apt_options[@]}" show "$name:arm64" >/dev/null 2>&1; then
            found=$name
            break
        fi
    done
    if [[ -z "$found" ]]; then
        echo "arm64 sysroot: the archive has none of $choice for arm64" >&2
        exit 1
    fi
    names+=("$found:arm64")
done
rm -f "$aptdir/debs/"*.deb
(cd "$aptdir/debs" && apt-get "${apt_options[@]}" -qq download "${names[@]}")

rm -rf "$sysroot"
mkdir -p "$sysroot"
for deb in "$aptdir/debs/"*.deb; do
    dpkg-deb -x "$deb" "$sysroot"
done
# Releases with merged /usr ship the loader and the libraries under usr/ only; the
# emulator looks for /lib/ld-linux-aarch64.so.1.
for dir in lib; do
    if [[ ! -e "$sysroot/$dir" && -d "$sysroot/usr/$dir" ]]; then
        ln -s "usr/$dir" "$sysroot/$dir"
    fi
done
# Absolute links point into the sysroot instead of the machine's own files.
while IFS= read -r -d '' link; do
    target=$(readlink "$link")
    [[ "$target" == /* ]] || continue
    ln -sfn "$(realpath -m --relative-to="$(dirname "$link")" "$sysroot$target")" "$link"
done < <(find "$sysroot" -type l -print0)

printf '%s\n' "$wanted" > "$stamp"
echo "arm64 sysroot: $(printf '%s ' "${names[@]%:arm64}")in $sysroot"
