# scripts/stress --crash [COUNT [KILLS]]: COUNT documents (default 100) from
# two printers with recipients preset, while faxcourier is killed with
# SIGKILL KILLS times (default 30) at random moments and started again each
# time: while it converts, while it talks to the server, right after the
# server took a fax, while it is idle, and while it retries from the outbox
# after a server outage. Every document must arrive at least once, and
# nothing may be left behind. Sourced by scripts/stress after the build, with
# the temporary home made.

crash_count=${stress_args[0]:-100}
crash_kills=${stress_args[1]:-30}
[[ "$crash_count" =~ ^[1-9][0-9]*$ && "$crash_kills" =~ ^[0-9]+$ ]] ||
    { echo "usage: scripts/stress --crash [COUNT [KILLS]]" >&2; exit 2; }

# faxcourier's log grows over all its runs: wait for this run's "Watching".
start_courier_again() {
    local log="$XDG_STATE_HOME/KORVAFax/korvafax.log" before=0
    [ -f "$log" ] && before=$(wc -l <"$log")
    "$korva_bin/faxcourier" -debug >>"$work/faxcourier.out" 2>&1 &
    courier_pid=$!
    for _ in $(seq 200); do
        tail -n +"$((before + 1))" "$log" 2>/dev/null | grep -q 'Watching ' && return 0
        kill -0 "$courier_pid" 2>/dev/null || break
        sleep 0.05
    done
    fail "faxcourier did not start again: $(tail -n 5 "$work/faxcourier.out")"
}

kill_courier() {
    kill -KILL "$courier_pid" 2>/dev/null
    wait "$courier_pid" 2>/dev/null
}

arrived_files() { ls "$server_spool"/[0-9]*.json 2>/dev/null | wc -l; }

# What a print or a fax can be left as in the spool folder and the outbox.
left_files() {
    ls "$spool"/korvafax*.tif "$spool"/waiting/*.tif "$spool"/taken/*.tif "$spool"/unsent/* \
        "$spool"/outbox/*/job.txt 2>/dev/null
}

begin "make $crash_count documents"
mkdir -p "$work/documents"
for i in $(seq "$crash_count"); do
    convert -size "1728x$((1800 + 8 * i))" xc:white -fill black -draw "rectangle 100,100 900,$((200 + i))" \
        "$work/documents/$i.png" || fail "ImageMagick could not make document $i"
done

begin "start korva-sim and faxcourier"
korva_start_sim
smtp_port=$(korva_sim_port smtp)
korva_write_settings
"$korva_bin/faxpreset" -s "Crash" -r "+49 30 1234567~Anna Berg~Yarrow Ltd" >/dev/null || fail "faxpreset failed"
start_courier_again

begin "print $crash_count documents from 2 printers while faxcourier is killed $crash_kills times"
printer_pids=()
for p in 1 2; do
    (
        for i in $(seq "$p" 2 "$crash_count"); do
            "$korva_bin/faxprint" --name "crash $i" "$work/documents/$i.png" >/dev/null 2>>"$work/faxprint.err" ||
                { echo "faxprint failed on document $i" >>"$work/faxprint.err"; exit 1; }
        done
    ) &
    printer_pids+=($!)
done

moments=""
for k in $(seq "$crash_kills"); do
    case $((k % 6)) in
        0)  # right after the server took a fax, before faxcourier tidies up
            before=$(arrived_files)
            for _ in $(seq 200); do [ "$(arrived_files)" -gt "$before" ] && break; sleep 0.01; done
            moment="after the final dot" ;;
        1)  # the server goes away; faxcourier is killed while the outbox fills or retries
            kill -KILL "$sim_pid"; wait "$sim_pid" 2>/dev/null
            sleep 0.$((RANDOM % 5 + 3))
            KORVA_SIM_ARGS="--smtp-port $smtp_port" korva_start_sim
            sleep 0.$((RANDOM % 4))
            moment="during an outbox retry" ;;
        *)  # converting, in DATA, or idle: wherever it happens to be
            sleep 0.$((RANDOM % 6))$((RANDOM % 10))
            moment="at random" ;;
    esac
    kill_courier
    moments+="$moment"$'\n'
    start_courier_again
done
for pid in "${printer_pids[@]}"; do
    wait "$pid" || fail "a printer failed: $(tail -n 5 "$work/faxprint.err")"
done
sort <<<"${moments%$'\n'}" | uniq -c | awk '{ n = $1; $1 = ""; printf "    killed %d times%s\n", n, $0 }'

begin "wait until every document arrived and nothing is left"
for tick in $(seq 1200); do
    [ -z "$(left_files)" ] && break
    kill -0 "$courier_pid" 2>/dev/null || fail "faxcourier ended: $(tail -n 20 "$work/faxcourier.out")"
    # The outbox retries on its own after 30 s; by hand it is quicker.
    [ $((tick % 50)) = 0 ] && "$korva_bin/faxcourier" --outbox-retry >/dev/null 2>&1
    sleep 0.1
done
sleep 1
kill -TERM "$courier_pid"; wait "$courier_pid" 2>/dev/null; courier_pid=""

begin "count what arrived"
left=$(left_files)
stranded=$(grep -c . <<<"$left")
[ -n "$left" ] && echo "left behind:" && sed 's/^/    /' <<<"$left"
/usr/bin/python3 -IB "$root/scripts/lib/stress_count.py" "$server_spool" "$crash_count" 1 "$stranded" ||
    fail "documents were lost, stranded or sent in part"
