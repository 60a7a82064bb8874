#!/usr/bin/env bash
# faxcourier started under LANGUAGE=de on the X server in DISPLAY: the Send
# Fax dialog and the address book open with the German titles the
# catalogue gives them, and are photographed (send_fax_de.png,
# address_book_de.png in $1). What the window manager reads of a window
# (its title) is what a person sees in the task bar.
# Run by scripts/xrun; expects DISPLAY and build/ with faxcourier, faxprint
# and korva-sim.
set -uo pipefail

root=$(cd "$(dirname "$0")/../.." && pwd)
shots=${1:?where the screenshots go}
wait_seconds=20
step=""
begin() { step="$1"; echo "xrun (German): $1"; }
fail() { echo "xrun (German): FAILED at step \"$step\": $*" >&2; exit 1; }

KORVA_ROOT=$root
. "$root/scripts/lib/korva_env.sh"
. "$root/scripts/lib/xrun_common.sh"
xrun_need

korva_make_home xrun-german
unset WAYLAND_DISPLAY QT_IM_MODULE XMODIFIERS LC_ALL LC_MESSAGES
export QT_QPA_PLATFORM=xcb LANGUAGE=de LANG=de_DE.UTF-8

# The German text the catalogue gives the English text that matches the
# regular expression $1 (a window title).
german() {
    python3 - "$root/translations" "$1" <<'PY'
import glob, re, sys, xml.etree.ElementTree as tree
for path in sorted(glob.glob(sys.argv[1] + "/*_de.ts")):
    for message in tree.parse(path).iter("message"):
        if re.fullmatch(sys.argv[2], message.findtext("source")):
            print(message.findtext("translation")); sys.exit(0)
sys.exit(1)
PY
}
# Photographs window $1 into $2 once it has drawn itself.
photograph() {
    sleep 0.5
    import -window "$1" -strip "$shots/$2" 2>"$work/import.err" || fail "import failed: $(cat "$work/import.err")"
}

send_fax_title=$(german "Send KORVA Fax.*") || { begin "read the catalogue"; fail "no German title for the Send Fax dialog"; }
book_title=$(german "Fax Address Book") || { begin "read the catalogue"; fail "no German title for the address book"; }

begin "start a private session bus, korva-sim and faxcourier in German"
xrun_start_session_bus
korva_start_sim
korva_write_settings
korva_start_courier

begin "print the letter; the Send Fax dialog opens as \"${send_fax_title%%(*}\""
"$korva_bin/faxprint" --name letter "$root/samples/letter.pdf" || fail "faxprint exited with $?"
dialog=$(find_window "^${send_fax_title%%(*}") ||
    fail "no window titled \"$send_fax_title\": $(xdotool search --onlyvisible --class faxcourier getwindowname %@ 2>/dev/null)"
mkdir -p "$shots"
photograph "$dialog" send_fax_de.png

begin "faxcourier --address-book: \"$book_title\" opens"
"$korva_bin/faxcourier" --address-book 2>"$work/second.err" || fail "the second start exited with $?"
book=$(find_window "^$book_title\$") ||
    fail "no window titled \"$book_title\": $(xdotool search --onlyvisible --class faxcourier getwindowname %@ 2>/dev/null) $(cat "$work/second.err")"
photograph "$book" address_book_de.png
echo "xrun (German): passed"
