#!/usr/bin/env bash
# The release zip as a user gets it: scripts/package packs the moxia.exe given
# as $1, the zip is unpacked with unzip, and the program is started from the
# unpacked folder under Wine. It must show its main window, make its settings
# file and data folder beside itself (and nowhere else), and end with exit
# code 0 when the window is asked to close.
set -uo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
source "$root/scripts/lib.sh"
exe="$1"
version=2.2020.10.24
work="$(mktemp -d)"
pid=
finish() {
    if [[ -n "$pid" ]] && kill -0 "$pid" 2>/dev/null; then
        kill -KILL "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
    fi
    moxia_stop_xvfb
    rm -rf "$work"
}
trap finish EXIT
fail() {
    echo "FAIL: $*"
    exit 1
}

MOXIA_RELEASE_DIR="$work/release" "$root/scripts/package" "$exe" || fail "scripts/package failed"
zip="$work/release/moxia-$version.zip"
unzip -tq "$zip" >/dev/null || fail "$zip is not a sound zip"
want="moxia-$version/ moxia-$version/moxia.exe moxia-$version/readme.txt"
got="$(unzip -Z1 "$zip" | sort | tr '\n' ' ')"
[[ "$got" == "$want " ]] || fail "zip holds: $got"
unzip -q "$zip" -d "$work/unpacked" || fail "unzip failed"
app="$work/unpacked/moxia-$version"
grep -q "RC4" "$app/readme.txt" && grep -q "$version" "$app/readme.txt" ||
    fail "readme.txt names neither RC4 nor the version"

moxia_wine_env
[[ -n "${DISPLAY:-}" ]] || moxia_start_xvfb
# Windows process ids of every moxia.exe in the prefix, one a line: others may
# run the program in the same prefix, so ours is the one that is new.
moxia_pids() {
    wine wmic process get Name,ProcessId 2>/dev/null | iconv -f UTF-16LE -t UTF-8 |
        tr -d '\r' | awk '$1 == "moxia.exe" { print $2 }' | sort
}
before="$(moxia_pids)"
(cd "$app" && exec wine ./moxia.exe >/dev/null 2>&1) &
pid=$!

# The main window: a top-level X window of our process named 墨匣.
window=
for _ in $(seq 1 120); do
    kill -0 "$pid" 2>/dev/null || fail "moxia.exe ended by itself"
    for id in $(LC_ALL=C.UTF-8 xwininfo -root -tree | awk '/"墨匣": \("moxia.exe"/ { print $1 }'); do
        if xprop -id "$id" _NET_WM_PID | grep -q "= $pid\$"; then
            window="$id"
            break 2
        fi
    done
    sleep 0.5
done
[[ -n "$window" ]] || fail "no main window after 60 s"
[[ -f "$app/Start.ini" && -d "$app/Default" ]] || fail "no Start.ini and Default beside moxia.exe"
extra="$(cd "$app" && ls -A | grep -v -x -e moxia.exe -e readme.txt -e Start.ini -e Default)"
[[ -z "$extra" ]] || fail "unexpected files beside moxia.exe: $extra"

ours="$(comm -13 <(echo "$before") <(moxia_pids))"
[[ -n "$ours" && "$ours" != *$'\n'* ]] || fail "cannot tell which moxia.exe is ours: ${ours:-none}"
wine taskkill /PID "$ours" >/dev/null 2>&1 || fail "taskkill could not ask moxia.exe to close"
for _ in $(seq 1 60); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.5
done
kill -0 "$pid" 2>/dev/null && fail "moxia.exe did not end within 30 s of closing its window"
wait "$pid"
status=$?
pid=
[[ $status -eq 0 ]] || fail "moxia.exe ended with exit code $status"
echo "PASS: the release zip unpacks and moxia.exe starts, shows its window and closes"
