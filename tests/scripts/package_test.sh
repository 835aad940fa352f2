#!/usr/bin/env bash
# The release zip as a user gets it: scripts/package packs the moxia.exe in $1,
# unzip unpacks it, and the program started from the unpacked folder must show
# its main window, make Start.ini and Default beside itself, and end with exit
# code 0 when asked to close.
set -uo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
source "$root/scripts/lib.sh"
version=2.2020.10.24
work="$(mktemp -d)"
pid=
finish() {
    [[ -z "$pid" ]] || kill -KILL "$pid" 2>/dev/null
    moxia_stop_xvfb
    rm -rf "$work"
}
trap finish EXIT
fail() {
    echo "FAIL: $*"
    exit 1
}

MOXIA_RELEASE_DIR="$work" "$root/scripts/package" "$1" || fail "scripts/package failed"
zip="$work/moxia-$version.zip"
got="$(unzip -Z1 "$zip" | sort | tr '\n' ' ')"
[[ "$got" == "moxia-$version/ moxia-$version/moxia.exe moxia-$version/readme.txt " ]] ||
    fail "the zip holds: $got"
unzip -q "$zip" -d "$work/unpacked" || fail "unzip failed"
app="$work/unpacked/moxia-$version"

moxia_wine_env
[[ -n "${DISPLAY:-}" ]] || moxia_start_xvfb
# Others may run moxia.exe in the same prefix: ours is the new Windows process.
moxia_pids() {
    wine wmic process get Name,ProcessId 2>/dev/null | iconv -f UTF-16LE -t UTF-8 |
        tr -d '\r' | awk '$1 == "moxia.exe" { print $2 }' | sort
}
before="$(moxia_pids)"
start() {
    (cd "$app" && exec wine ./moxia.exe >/dev/null 2>&1) &
    pid=$!
}
start
starts=1
shown=0
for _ in $(seq 120); do
    if ! kill -0 "$pid" 2>/dev/null; then
        # Wine rarely fails to start a program while the previous one's
        # server shuts down; such a start leaves nothing behind.
        [[ $starts -eq 1 && ! -e "$app/Start.ini" ]] || fail "moxia.exe ended by itself"
        start
        starts=2
    fi
    for id in $(LC_ALL=C.UTF-8 xwininfo -root -tree | awk '/"墨匣": \("moxia.exe"/ { print $1 }'); do
        # Wine makes the X window when the window is created, and maps it
        # when it is shown.
        xprop -id "$id" _NET_WM_PID | grep -q "= $pid\$" &&
            xwininfo -id "$id" | grep -q 'Map State: IsViewable' && shown=1
    done
    ((shown)) && break
    sleep 0.5
done
((shown)) || fail "no main window after 60 s"
[[ -f "$app/Start.ini" && -d "$app/Default" ]] || fail "no Start.ini and Default beside moxia.exe"

ours="$(comm -13 <(echo "$before") <(moxia_pids))"
[[ -n "$ours" && "$ours" != *$'\n'* ]] || fail "cannot tell which moxia.exe is ours: ${ours:-none}"
wine taskkill /PID "$ours" >/dev/null 2>&1 || fail "taskkill could not ask moxia.exe to close"
for _ in $(seq 60); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.5
done
kill -0 "$pid" 2>/dev/null && fail "moxia.exe still runs 30 s after being asked to close"
wait "$pid" || fail "moxia.exe ended with exit code $?"
pid=
echo "PASS: the release zip unpacks, and moxia.exe starts from it, shows its window and closes"
