#!/usr/bin/env bash
# The include check passes on the real tree and reports each kind of include
# that runs against the layering in a small tree made to break it.
set -uo pipefail
repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failures=0

"$repo/scripts/check-layers" "$repo/src" >"$work/real.out" || { cat "$work/real.out"; echo "FAIL: the tree breaks its layering"; failures=1; }

# file|include line|expected complaint ("" = allowed)
cases=(
  'commands/a.cpp|#include "app/app.h"|'
  'app/a.cpp|#include "commands/b.h"|includes a higher layer'
  'commands/a.cpp|#include "tools/b.h"|includes a folder at its own layer'
  'ui/a.cpp|#include "platform/win32/x.h"|a backend is reached only from the program entry'
  'platform/headless/a.cpp|#include "ui/b.h"|a backend includes upwards'
  'platform/headless/a.cpp|#include "platform/window/peer.h"|'
  'platform/win32/winmain.cpp|#include "program/program.h"|'
  'store/a.cpp|#include <windows.h>|operating-system header outside its backend'
  'platform/posix/a.cpp|#include <sys/stat.h>|'
  'widgets/a.cpp|#include "text/text.h"|folder not in the layer table'
)
for entry in "${cases[@]}"; do
    IFS='|' read -r file line expected <<<"$entry"
    tree="$work/tree"
    rm -rf "$tree"
    mkdir -p "$tree/$(dirname "$file")"
    printf '%s\n' "$line" >"$tree/$file"
    output="$("$repo/scripts/check-layers" "$tree")"
    status=$?
    if [[ -z $expected ]]; then
        [[ $status -eq 0 ]] || { echo "FAIL: $file with $line was refused: $output"; failures=1; }
    elif [[ $status -eq 0 || $output != *"$file:1: "*"$expected"* ]]; then
        echo "FAIL: $file with $line: expected \"$expected\", got: $output"
        failures=1
    fi
done
exit $failures
