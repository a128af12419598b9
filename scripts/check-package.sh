#!/usr/bin/env bash
# Builds the Debian package and checks it as a user would meet it: lintian,
# the AppStream data, the desktop file and the manual pages; then installs it,
# runs the installed programs, and purges it again, checking that none of its
# files stay behind. Prints a summary and exits non-zero if any check failed.
# Usage: scripts/check-package.sh   (as root or with sudo; CI runs it)
set -uo pipefail
cd "$(dirname "$0")/.."
started=$(date +%s)

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive

results=()
failed=0
# check <description> <command...>: runs one check and records its outcome.
check()
{
    local description=$1
    shift
    echo "== $description"
    if "$@"; then
        results+=("ok    $description")
    else
        results+=("FAIL  $description")
        failed=1
    fi
}

summary()
{
    echo
    echo "== Summary"
    printf '%s\n' "${results[@]}"
    echo "$(( $(date +%s) - started )) s"
    [ "$failed" -eq 0 ] && echo "all checks passed" || echo "some checks FAILED"
}

bash scripts/install-deps.sh package || { echo "installing the packaging tools failed"; exit 1; }
if ! bash scripts/build-deb.sh; then
    results+=("FAIL  build the package")
    failed=1
    summary
    exit 1
fi
results+=("ok    build the package")

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/release/CMakeCache.txt)
deb=build/package/nerio-config_${version}_$(dpkg --print-architecture).deb
contents=$(mktemp -d)
trap 'rm -rf "$contents"' EXIT
check "exactly $deb" test "$(ls build/package)" = "$(basename "$deb")"
dpkg-deb -x "$deb" "$contents"

check "lintian: no error, no warning" lintian --fail-on error,warning "$deb"
check "AppStream data valid" appstreamcli validate --no-net "$contents"/usr/share/metainfo/*.metainfo.xml
# The tree: the launchable desktop file and the icon next to the metainfo.
check "AppStream tree valid" appstreamcli validate-tree --no-net "$contents"
check "desktop file valid" desktop-file-validate "$contents"/usr/share/applications/*.desktop

man_pages_clean()
{
    local page warnings
    for page in "$contents"/usr/share/man/man1/*.1.gz; do
        warnings=$(MANWIDTH=80 man --warnings -E UTF-8 -l "$page" 2>&1 >/dev/null)
        [ -z "$warnings" ] || { echo "$page: $warnings"; return 1; }
    done
}
check "manual pages format without warnings" man_pages_clean

# A package from an earlier run would keep apt from installing this build.
if dpkg-query -W -f='${Status}' nerio-config 2>/dev/null | grep -q 'install ok installed'; then
    echo "== purging the nerio-config installed before"
    "${sudo[@]}" apt-get purge -y -q nerio-config >/dev/null
fi

install_package()
{
    "${sudo[@]}" apt-get install -y -q "./$deb" ||
        { "${sudo[@]}" apt-get update -q && "${sudo[@]}" apt-get install -y -q "./$deb"; }
}
check "apt-get install ./$deb" install_package
installed=0
dpkg-query -W -f='${Status}' nerio-config 2>/dev/null | grep -q 'install ok installed' && installed=1

if [ "$installed" -eq 1 ]; then
    files=$(dpkg -L nerio-config)
    trap 'rm -rf "$contents"; dpkg -s nerio-config >/dev/null 2>&1 && "${sudo[@]}" apt-get purge -y -q nerio-config >/dev/null' EXIT

    check "nerio-cli --version says $version" test "$(/usr/bin/nerio-cli --version)" = "nerio-cli $version"
    simulated_list()
    {
        local out
        out=$(/usr/bin/nerio-cli --simulate list) || return 1
        echo "$out"
        grep -q '^0 .*bodypack' <<<"$out" && grep -q '^1 .*aircraft pack' <<<"$out"
    }
    check "nerio-cli --simulate list shows both units" simulated_list

    demo_window()
    {
        # Under Xvfb: the window with the tool's title is shown, and the demo is still running.
        xvfb-run -a -n $((200 + RANDOM % 500)) -s "-screen 0 1024x768x24" bash -c '
            /usr/bin/nerio-config-demo & pid=$!
            for _ in $(seq 200); do
                if xdotool search --onlyvisible --name "^Nerio Configuration" >/dev/null 2>&1; then
                    kill -0 $pid && kill $pid && exit 0
                fi
                kill -0 $pid 2>/dev/null || { echo "nerio-config-demo ended"; exit 1; }
                sleep 0.1
            done
            echo "no window titled Nerio Configuration within 20 s"; kill $pid; exit 1'
    }
    check "nerio-config-demo opens its window (Xvfb)" demo_window

    check "udev rule at /usr/lib/udev/rules.d/60-nerio-config.rules" test -f /usr/lib/udev/rules.d/60-nerio-config.rules
    check "man finds nerio-cli, nerio-config and nerio-config-demo" man -w nerio-cli nerio-config nerio-config-demo
    completion_loads()
    {
        # As an interactive shell gets it: bash-completion loads it on first use.
        bash -c 'source /usr/share/bash-completion/bash_completion &&
                 __load_completion nerio-cli && complete -p nerio-cli'
    }
    check "bash-completion loads the completion of nerio-cli" completion_loads

    installed_size=$(dpkg-query -W -f='${Installed-Size}' nerio-config)
    file_size=$(while read -r path; do [ -f "$path" ] && [ ! -L "$path" ] && echo "$path"; done <<<"$files" |
        xargs du -ck | tail -n1 | cut -f1)
    results+=("      Installed-Size $installed_size KiB; the installed files take $file_size KiB on disk")

    check "apt-get purge -y nerio-config" "${sudo[@]}" apt-get purge -y -q nerio-config
    nothing_left()
    {
        local path left=0
        while read -r path; do
            [ "$path" = /. ] && continue
            if [ -d "$path" ] && [ ! -L "$path" ]; then
                # A folder stays only while it holds other files or another package has it.
                if [ -z "$(ls -A "$path")" ] && ! dpkg -S "$path" >/dev/null 2>&1; then
                    echo "left behind: $path/"
                    left=1
                fi
            elif [ -e "$path" ] || [ -L "$path" ]; then
                echo "left behind: $path"
                left=1
            fi
        done <<<"$files"
        return $left
    }
    check "no file of the package left under /usr" nothing_left
fi

summary
exit "$failed"
