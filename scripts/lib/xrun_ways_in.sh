#!/usr/bin/env bash
# Windows opened from outside while others are open, under a window manager
# (openbox) on the X server in DISPLAY, with no status area: with the Send
# Fax dialog open, `faxcourier --configure` brings Configure to the front
# with the keyboard, and `faxcourier --address-book` then does the same for
# the address book. Escape closes only the window in front; the Send Fax
# dialog keeps its document throughout.
# Run by scripts/xrun; expects DISPLAY and build/ with faxcourier, faxprint
# and korva-sim.
set -uo pipefail

root=$(cd "$(dirname "$0")/../.." && pwd)
wait_seconds=20
step=""
begin() { step="$1"; echo "xrun (ways in): $1"; }
fail() { echo "xrun (ways in): FAILED at step \"$step\": $*" >&2; exit 1; }

KORVA_ROOT=$root
. "$root/scripts/lib/korva_env.sh"
for tool in openbox dbus-daemon xdotool xprop; do
    command -v $tool >/dev/null || { step="find the tools"; fail "$tool is missing; run scripts/setup"; }
done
[ -n "${DISPLAY:-}" ] || { step="find the display"; fail "DISPLAY is not set"; }

bus_pid=""
wm_pid=""
stop_everything() {
    korva_stop_all
    for pid in $wm_pid $bus_pid; do
        kill -TERM "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
    done
}
trap stop_everything EXIT
trap 'exit 130' INT TERM

korva_make_home xrun-ways-in
unset WAYLAND_DISPLAY QT_IM_MODULE XMODIFIERS
export QT_QPA_PLATFORM=xcb

begin "start a private session bus and openbox"
dbus-daemon --session --nofork --nopidfile --print-address=3 3>"$work/bus" 2>"$work/bus.err" &
bus_pid=$!
for _ in $(seq 50); do [ -s "$work/bus" ] && break; sleep 0.1; done
[ -s "$work/bus" ] || fail "no session bus: $(cat "$work/bus.err")"
export DBUS_SESSION_BUS_ADDRESS=$(head -n1 "$work/bus")
openbox --sm-disable >"$work/openbox.out" 2>&1 &
wm_pid=$!
# The window manager answers for the desktops once it runs.
for _ in $(seq 50); do xdotool get_desktop >/dev/null 2>&1 && break; sleep 0.1; done
xdotool get_desktop >/dev/null 2>&1 || fail "openbox did not start: $(cat "$work/openbox.out")"

begin "start korva-sim and faxcourier"
korva_start_sim
korva_write_settings
korva_start_courier

find_window() {
    local id=""
    for _ in $(seq $((wait_seconds * 5))); do
        id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n1)
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.2
    done
    return 1
}
window_gone() {
    for _ in $(seq $((wait_seconds * 10))); do
        xdotool search --onlyvisible --name "$1" >/dev/null 2>&1 || return 0
        sleep 0.1
    done
    return 1
}
shown() { xdotool search --onlyvisible --name "$1" >/dev/null 2>&1; }
# The window manager made $1 the active window by itself.
becomes_active() {
    for _ in $(seq $((wait_seconds * 10))); do
        [ "$(xdotool getactivewindow 2>/dev/null)" = "$1" ] && return 0
        sleep 0.1
    done
    return 1
}
keys() { xdotool key --delay 40 "$@" && sleep 0.3; }

begin "print the letter; the Send Fax dialog opens"
"$korva_bin/faxprint" --name letter "$root/samples/letter.pdf" || fail "faxprint exited with $?"
dialog=$(find_window '^Send KORVA Fax') || fail "no Send Fax window: $(tail -n 20 "$work/faxcourier.out")"
becomes_active "$dialog" || fail "the Send Fax window is not active"

begin "faxcourier --configure, launched with a startup id: Configure comes to the front with the keyboard"
startup_id="xrun-launch_TIME$(date +%s)"
DESKTOP_STARTUP_ID=$startup_id "$korva_bin/faxcourier" --configure 2>"$work/second.err" ||
    fail "the second start exited with $?"
configure=$(find_window '^Configure KORVA Fax') || fail "no Configure window: $(cat "$work/second.err")"
becomes_active "$configure" || fail "Configure is not the active window ($(xdotool getactivewindow))"
# What tells the window manager which launch the window answers.
xprop -id "$configure" _NET_STARTUP_ID | grep -qF "\"$startup_id\"" ||
    fail "Configure does not carry the launcher's startup id: $(xprop -id "$configure" _NET_STARTUP_ID)"

begin "faxcourier --address-book while Configure is open: the address book comes to the front"
"$korva_bin/faxcourier" --address-book 2>>"$work/second.err" || fail "the second start exited with $?"
book=$(find_window '^Fax Address Book$') || fail "no Fax Address Book window: $(cat "$work/second.err")"
becomes_active "$book" || fail "the address book is not the active window ($(xdotool getactivewindow))"

begin "Escape closes the address book only"
keys Escape
window_gone '^Fax Address Book$' || fail "the address book stayed open"
shown '^Configure KORVA Fax' || fail "Escape in the address book closed Configure too"

begin "faxcourier --configure again raises the open Configure; Escape closes it alone"
"$korva_bin/faxcourier" --configure 2>>"$work/second.err" || fail "the second start exited with $?"
becomes_active "$configure" || fail "Configure did not come back to the front ($(xdotool getactivewindow))"
keys Escape
window_gone '^Configure KORVA Fax' || fail "Configure stayed open"
shown '^Send KORVA Fax' || fail "Escape in Configure reached the Send Fax dialog and threw the letter away"
ls "$spool"/korvafax[0-9]*.tif >/dev/null 2>&1 || fail "the Send Fax dialog lost the letter"

begin "the Send Fax dialog's own Configure (Alt+S, two Tabs, Enter) is the one --configure raises"
xdotool windowactivate --sync "$dialog" 2>/dev/null
becomes_active "$dialog" || fail "the Send Fax window did not take the keyboard back"
keys alt+s
keys Tab Tab
keys Return
own=$(find_window '^Configure KORVA Fax') || fail "no Configure window from the Send Fax dialog"
"$korva_bin/faxcourier" --configure 2>>"$work/second.err" || fail "the second start exited with $?"
sleep 1
[ "$(xdotool search --onlyvisible --name '^Configure KORVA Fax' | wc -l)" = 1 ] || fail "a second Configure opened"
becomes_active "$own" || fail "the open Configure is not the active window"
keys Escape
window_gone '^Configure KORVA Fax' || fail "Configure stayed open"

begin "the Send Fax dialog still holds its letter; Escape there cancels it"
becomes_active "$dialog" || fail "the Send Fax window did not take the keyboard back"
keys Escape
window_gone '^Send KORVA Fax' || fail "the Send Fax dialog stayed open"
echo "xrun (ways in): passed"
