# scripts/stress --disk-full [COUNT]: the spool folder on a small tmpfs.
# COUNT two-page documents (default 6) wait while faxcourier is stopped; the
# tmpfs is then filled to 100 kB, so that a document's second fax page (or,
# once records have taken their share, its first) does not fit, and
# faxcourier is started.
# Nothing may reach the server in part or be set aside as unfaxable; once
# the space is freed, every document must arrive whole, once, on faxcourier's
# own back-off. Sourced by scripts/stress (as root) after the build.

full_count=${stress_args[0]:-6}
[[ "$full_count" =~ ^[1-9][0-9]*$ ]] || { echo "usage: scripts/stress --disk-full [COUNT]" >&2; exit 2; }

mkdir -p "$spool"
mount -t tmpfs -o size=4m,mode=0700 korva-stress-spool "$spool" || fail "cannot mount a tmpfs on $spool"
trap 'kill $(jobs -p) 2>/dev/null; kill -KILL $courier_pid $sim_pid 2>/dev/null; wait; umount "$spool"; korva_stop_all' EXIT

faxes() { ls "$server_spool"/[0-9]*.json 2>/dev/null | wc -l; }
log="$XDG_STATE_HOME/KORVAFax/korvafax.log"

begin "make and print $full_count documents of two pages while faxcourier is stopped"
mkdir -p "$work/documents"
korva_start_sim
korva_write_settings
"$korva_bin/faxpreset" -s "Disk full" -r "+49 30 1234567~Anna Berg~Yarrow Ltd" >/dev/null || fail "faxpreset failed"
for i in $(seq "$full_count"); do
    # A band of noise makes each fax page about 70 kB: with 100 kB left, a
    # first page fits and a second does not.
    convert -size "1728x$((1800 + 8 * i))" xc:white \
        \( -size 1728x150 xc:gray50 +noise Random -colorspace gray -threshold 50% \) -geometry +0+300 \
        -composite -fill black -draw "rectangle 100,100 900,$((200 + i))" "$work/documents/$i.png" ||
        fail "ImageMagick could not make document $i"
    "$korva_bin/faxprint" --name "full $i" "$work/documents/$i.png" "$work/documents/$i.png" >/dev/null ||
        fail "faxprint failed on document $i"
done

begin "fill the spool folder to 100 kB and start faxcourier"
dd if=/dev/zero of="$spool/filler" bs=4k status=none 2>/dev/null
truncate -s -100k "$spool/filler" || fail "cannot leave room in the filler"
echo "    free: $(df -k --output=avail "$spool" | tail -n 1 | tr -d ' ') kB"
korva_start_courier
for _ in $(seq 300); do grep -q 'tried again in' "$log" 2>/dev/null && break; sleep 0.1; done
grep -q "tried again in" "$log" || fail "nothing waited for room: $(grep -i "written\|tried\|Cannot\|space\|pages to" "$log" | head -n 20)"
sleep 2
echo "    while full: $(faxes) fax(es) at the server, $(grep -c 'cannot be written' "$log") write failure(s)," \
    "$(ls "$spool"/taken/*.tif 2>/dev/null | wc -l) document(s) waiting in taken/"
[ -z "$(ls "$spool"/unsent 2>/dev/null)" ] || fail "a document was set aside as unfaxable: $(ls "$spool"/unsent)"

begin "free the space and wait for the faxes"
rm -f "$spool/filler"
for _ in $(seq 1500); do
    [ "$(faxes)" -ge "$full_count" ] && [ -z "$(ls "$spool"/taken/*.tif "$spool"/korvafax*.tif "$spool"/waiting/*.tif 2>/dev/null)" ] && break
    kill -0 "$courier_pid" 2>/dev/null || fail "faxcourier ended: $(tail -n 20 "$work/faxcourier.out")"
    sleep 0.1
done
sleep 1
left=$(ls "$spool"/korvafax*.tif "$spool"/waiting/*.tif "$spool"/taken/*.tif "$spool"/unsent/* \
    "$spool"/outbox/*/job.txt 2>/dev/null)
stranded=$(grep -c . <<<"$left")

begin "count what arrived"
[ -n "$left" ] && echo "left behind:" && sed 's/^/    /' <<<"$left"
summary=$(/usr/bin/python3 -IB "$root/scripts/lib/stress_count.py" "$server_spool" "$full_count" 2 "$stranded")
result=$?
echo "$summary"
[ $result = 0 ] || fail "documents were lost, stranded or sent in part"
grep -q 'twice: 0;' <<<"$summary" || fail "a document was faxed twice"
