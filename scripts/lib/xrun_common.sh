# Shared by the xrun scripts in this folder: the display and tools they
# need, a private session bus, windows looked for by title, and stopping
# it all on exit. Source it after korva_env.sh, with begin() and fail()
# and wait_seconds defined; it sets the traps itself.

# Started here, stopped last started first after faxcourier and korva-sim.
xrun_pids=""
xrun_stop_everything() {
    korva_stop_all
    for pid in $xrun_pids; do
        kill -TERM "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
    done
}
trap xrun_stop_everything EXIT
trap 'exit 130' INT TERM

# Fails unless each tool named is installed and DISPLAY is set.
xrun_need() {
    for tool in "$@"; do
        command -v "$tool" >/dev/null || { step="find the tools"; fail "$tool is missing; run scripts/setup"; }
    done
    [ -n "${DISPLAY:-}" ] || { step="find the display"; fail "DISPLAY is not set"; }
}

# Runs its arguments in the background, stopped on exit.
xrun_keep() {
    "$@" &
    xrun_pids="$! $xrun_pids"
}

# A second start reaches the running one over this bus.
xrun_start_session_bus() {
    dbus-daemon --session --nofork --nopidfile --print-address=3 3>"$work/bus" 2>"$work/bus.err" &
    xrun_pids="$! $xrun_pids"
    for _ in $(seq 50); do [ -s "$work/bus" ] && break; sleep 0.1; done
    [ -s "$work/bus" ] || fail "no session bus: $(cat "$work/bus.err")"
    export DBUS_SESSION_BUS_ADDRESS=$(head -n1 "$work/bus")
}

# Waits (bounded) for a visible window whose title matches $1; prints its id.
find_window() {
    local id=""
    for _ in $(seq $((wait_seconds * 5))); do
        id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n1)
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.2
    done
    return 1
}

# Waits (bounded) until no visible window's title matches $1.
window_gone() {
    for _ in $(seq $((wait_seconds * 10))); do
        xdotool search --onlyvisible --name "$1" >/dev/null 2>&1 || return 0
        sleep 0.1
    done
    return 1
}
