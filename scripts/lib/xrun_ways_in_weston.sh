#!/usr/bin/env bash
# The same on Wayland: weston runs as a window on the X server in DISPLAY
# and faxcourier draws on it. With the Send Fax dialog open,
# `faxcourier --configure` must open a Configure that takes the keyboard:
# Escape closes it (a second --configure then opens a new one) and the Send
# Fax dialog keeps its letter. Wayland windows cannot be looked at from
# outside, so the log and the spool folder tell.
# Run by scripts/xrun; expects DISPLAY and build/ with faxcourier, faxprint
# and korva-sim.
set -uo pipefail

root=$(cd "$(dirname "$0")/../.." && pwd)
wait_seconds=20
step=""
begin() { step="$1"; echo "xrun (weston): $1"; }
fail() { echo "xrun (weston): FAILED at step \"$step\": $*" >&2; exit 1; }

KORVA_ROOT=$root
. "$root/scripts/lib/korva_env.sh"
. "$root/scripts/lib/xrun_common.sh"
xrun_need weston dbus-daemon xdotool

korva_make_home xrun-weston
unset QT_IM_MODULE XMODIFIERS
log="$XDG_STATE_HOME/KORVAFax/korvafax.log"

begin "start a private session bus and weston"
xrun_start_session_bus
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
xrun_keep weston --backend=x11-backend.so --socket=wayland-korva --idle-time=0 >"$work/weston.out" 2>&1
for _ in $(seq $((wait_seconds * 10))); do [ -S "$XDG_RUNTIME_DIR/wayland-korva" ] && break; sleep 0.1; done
[ -S "$XDG_RUNTIME_DIR/wayland-korva" ] || fail "weston did not start: $(tail -n 5 "$work/weston.out")"
output=""
for _ in $(seq $((wait_seconds * 10))); do
    output=$(xdotool search --class weston 2>/dev/null | head -n1)
    [ -n "$output" ] && break
    sleep 0.1
done
[ -n "$output" ] || fail "no weston window on the X server: $(tail -n 5 "$work/weston.out")"
export WAYLAND_DISPLAY=wayland-korva QT_QPA_PLATFORM=wayland

begin "start korva-sim and faxcourier on weston"
korva_start_sim
korva_write_settings
# Wayland keeps the keyboard focus from outside eyes; the client's own
# protocol trace shows which of its windows the keyboard entered.
export WAYLAND_DEBUG=client
korva_start_courier
unset WAYLAND_DEBUG

# Waits until the log holds $2 lines with $1.
log_count() {
    for _ in $(seq $((wait_seconds * 10))); do
        [ "$(grep -c -- "$1" "$log" 2>/dev/null)" -ge "$2" ] && return 0
        sleep 0.1
    done
    return 1
}
letter_held() { ls "$spool"/korvafax[0-9]*.tif >/dev/null 2>&1; }
keyboard_enters() { grep -c 'wl_keyboard@[0-9]*\.enter(' "$work/faxcourier.out"; }
# Waits until the keyboard has entered a window more often than $1 times and
# not left it since.
keyboard_entered_after() {
    for _ in $(seq $((wait_seconds * 10))); do
        if [ "$(keyboard_enters)" -gt "$1" ] &&
            grep -o 'wl_keyboard@[0-9]*\.\(enter\|leave\)(' "$work/faxcourier.out" | tail -n1 | grep -q enter; then
            return 0
        fi
        sleep 0.1
    done
    return 1
}

begin "print the letter; the Send Fax dialog takes it"
"$korva_bin/faxprint" --name letter "$root/samples/letter.pdf" || fail "faxprint exited with $?"
for _ in $(seq $((wait_seconds * 10))); do letter_held && break; sleep 0.1; done
letter_held || fail "the letter was not converted: $(tail -n 20 "$work/faxcourier.out")"

begin "faxcourier --configure, then Escape into weston"
keyboard_entered_after 0 || fail "the Send Fax dialog never had the keyboard"
entered=$(keyboard_enters)
"$korva_bin/faxcourier" --configure 2>"$work/second.err" || fail "the second start exited with $?"
log_count "Opening Configure" 1 || fail "Configure did not open: $(cat "$work/second.err")"
keyboard_entered_after "$entered" || fail "Configure never had the keyboard"
xdotool windowfocus --sync "$output" 2>/dev/null
xdotool key Escape
sleep 1
letter_held || fail "Escape reached the Send Fax dialog and threw the letter away"

begin "a second --configure opens Configure anew: Escape had closed it"
"$korva_bin/faxcourier" --configure 2>>"$work/second.err" || fail "the second start exited with $?"
log_count "Opening Configure" 2 || fail "Configure was still open: Escape did not reach it"
letter_held || fail "the Send Fax dialog lost the letter"
echo "xrun (weston): passed"
