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
. "$root/scripts/lib/xrun_common.sh"
xrun_need openbox dbus-daemon xdotool xprop

korva_make_home xrun-ways-in
unset WAYLAND_DISPLAY QT_IM_MODULE XMODIFIERS
export QT_QPA_PLATFORM=xcb

begin "start a private session bus and openbox"
xrun_start_session_bus
xrun_keep openbox --sm-disable >"$work/openbox.out" 2>&1
# The window manager answers for the desktops once it runs.
for _ in $(seq 50); do xdotool get_desktop >/dev/null 2>&1 && break; sleep 0.1; done
xdotool get_desktop >/dev/null 2>&1 || fail "openbox did not start: $(cat "$work/openbox.out")"

begin "start korva-sim and faxcourier"
korva_start_sim
korva_write_settings
korva_start_courier

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
