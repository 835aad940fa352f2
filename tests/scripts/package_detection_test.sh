#!/usr/bin/env bash
# scripts/setup must report every declared package that is not installed,
# whatever dpkg-query knows about it: run it against stand-in dpkg-query
# programs that know none, or only some, of the packages.
set -uo pipefail
setup="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)/scripts/setup"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failures=0

mapfile -t declared < <("$setup" --list-packages)
[[ ${#declared[@]} -gt 10 ]] || { echo "FAIL: setup declares only ${#declared[@]} packages"; exit 1; }

# A stand-in that behaves as the real one does: known packages print their
# status, unknown ones print nothing here and make the exit status 1.
#   fake_dpkg NAME "pkg status" ...
fake_dpkg() {
    local dir="$work/$1"
    shift
    mkdir -p "$dir"
    printf '%s\n' "$@" >"$dir/known"
    cat >"$dir/dpkg-query" <<FAKE
#!/usr/bin/env bash
status=0
for pkg in "\$@"; do
    [[ \$pkg == -* ]] && continue
    line=\$(grep -m1 "^\$pkg " "$dir/known") || { echo "dpkg-query: no packages found matching \$pkg" >&2; status=1; continue; }
    printf '%s' "\${line#* }"
done
exit \$status
FAKE
    chmod +x "$dir/dpkg-query"
    echo "$dir"
}

# expect CASE_DIR EXPECTED_PACKAGE...
expect() {
    local dir=$1 got want
    shift
    got="$(PATH="$dir:$PATH" "$setup" --list-missing | sort)"
    want="$(printf '%s\n' "$@" | sort -u)"
    if [[ "$got" != "$want" ]]; then
        echo "FAIL ($(basename "$dir")): reported missing:"
        diff <(echo "$want") <(echo "$got") | sed 's/^/    /'
        failures=$((failures + 1))
    fi
}

# A brand-new machine: dpkg has heard of none of them.
expect "$(fake_dpkg none)" "${declared[@]}"

# Some installed, some removed with their configuration kept, some unpacked
# but never configured, the rest unknown.
known=() missing=()
for i in "${!declared[@]}"; do
    p=${declared[$i]}
    case $((i % 4)) in
        0) known+=("$p ii ") ;;
        1) known+=("$p rc ") missing+=("$p") ;;
        2) known+=("$p iU ") missing+=("$p") ;;
        3) missing+=("$p") ;;
    esac
done
expect "$(fake_dpkg some "${known[@]}")" "${missing[@]}"

# Everything installed: nothing to report.
all=()
for p in "${declared[@]}"; do all+=("$p ii "); done
expect "$(fake_dpkg all "${all[@]}")"

[[ $failures -eq 0 ]] && echo "package detection: all cases pass"
exit $((failures > 0))
