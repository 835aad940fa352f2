# Shared helpers for the scripts in this folder. Source it; it defines
# functions and variables only and starts nothing by itself.

MOXIA_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
MOXIA_MINGW_PREFIX="${MOXIA_MINGW_PREFIX:-/opt/moxia/mingw}"
MOXIA_WINEPREFIX="${MOXIA_WINEPREFIX:-/opt/moxia/wineprefix}"
# The program is Chinese and its texts are GBK; a Chinese user locale gives
# Wine the code page 936 such a user's Windows has. Every Wine start uses the
# same locale, otherwise Wine rewrites the font links on a code page change.
MOXIA_WINE_LOCALE="zh_CN.UTF-8"
MOXIA_SCREEN="1600x1000x24"

moxia_log() { printf '[%s] %s\n' "$(basename "$0")" "$*" >&2; }
moxia_die() {
    moxia_log "error: $*"
    exit 1
}

# Runs a command as root: directly when we are root, through sudo otherwise.
moxia_as_root() {
    if [[ $EUID -eq 0 ]]; then
        "$@"
    else
        sudo "$@"
    fi
}

# The environment every Wine start shares: our prefix, no debug chatter, no
# prompts to install Mono or Gecko, the fixed locale.
moxia_wine_env() {
    export WINEPREFIX="$MOXIA_WINEPREFIX"
    export WINEARCH=win64
    export WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml="
    export LC_ALL="$MOXIA_WINE_LOCALE"
    unset LANGUAGE
}

# Starts a private Xvfb on a free display and exports DISPLAY. Xvfb picks the
# display number itself (-displayfd), so parallel runs never collide.
# Sets MOXIA_XVFB_PID; stop it with moxia_stop_xvfb.
moxia_start_xvfb() {
    local fifo_dir display
    fifo_dir="$(mktemp -d)"
    mkfifo "$fifo_dir/fd"
    Xvfb -displayfd 3 -screen 0 "$MOXIA_SCREEN" -nolisten tcp -noreset \
        3>"$fifo_dir/fd" >/dev/null 2>&1 &
    MOXIA_XVFB_PID=$!
    if ! read -r -t 20 display <"$fifo_dir/fd"; then
        rm -rf "$fifo_dir"
        kill "$MOXIA_XVFB_PID" 2>/dev/null || true
        moxia_die "Xvfb did not start"
    fi
    rm -rf "$fifo_dir"
    export DISPLAY=":$display"
}

moxia_stop_xvfb() {
    if [[ -n "${MOXIA_XVFB_PID:-}" ]]; then
        kill "$MOXIA_XVFB_PID" 2>/dev/null || true
        wait "$MOXIA_XVFB_PID" 2>/dev/null || true
        MOXIA_XVFB_PID=
    fi
}
