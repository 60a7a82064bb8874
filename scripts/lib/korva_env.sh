# Shared by scripts/demo and scripts/stress: a temporary home with korva-sim,
# the settings pointing at it, and faxcourier running. Source it, set
# KORVA_ROOT, and define fail() first.

korva_build="$KORVA_ROOT/build"
korva_bin="$korva_build/bin"
sim_user="demo"
sim_password="fax-demo-secret"
fax_address="fax@korva.test"
sim_pid=""
courier_pid=""
work=""

# Builds into build/ quietly; the log stays in build/ when it fails.
korva_build_all() {
    mkdir -p "$korva_build"
    if ! { cmake -S "$KORVA_ROOT" --preset plain &&
           cmake --build "$korva_build" -j2; } >"$korva_build/$1-build.log" 2>&1; then
        tail -n 30 "$korva_build/$1-build.log" >&2
        fail "the build failed; the whole log is $korva_build/$1-build.log"
    fi
    for program in faxcourier faxpreset faxprint korva-sim; do
        [ -x "$korva_bin/$program" ] || fail "$korva_bin/$program was not built"
    done
}

# Every path of the programs lies inside the temporary home.
korva_make_home() {
    work=$(mktemp -d "${TMPDIR:-/tmp}/korvafax-$1.XXXXXX") || fail "no temporary folder"
    export HOME="$work/home"
    export XDG_DATA_HOME="$HOME/.local/share"
    export XDG_CONFIG_HOME="$HOME/.config"
    export XDG_STATE_HOME="$HOME/.local/state"
    export KORVAFAX_SYSCONFDIR="$work/etc"
    mkdir -p "$XDG_DATA_HOME" "$XDG_CONFIG_HOME/KORVAFax" "$XDG_STATE_HOME" "$KORVAFAX_SYSCONFDIR"
    spool="$XDG_DATA_HOME/KORVAFax"
    server_spool="$work/server"
}

# Stops what was started and removes the temporary home.
korva_stop_all() {
    for pid in $courier_pid $sim_pid; do
        kill -TERM "$pid" 2>/dev/null
    done
    for pid in $courier_pid $sim_pid; do
        for _ in $(seq 60); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
        kill -KILL "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
    done
    courier_pid=""
    sim_pid=""
    [ -n "$work" ] && rm -rf "$work"
    work=""
}

# KORVA_SIM_ARGS may add options, such as a fixed --smtp-port for a restart.
# With korva_tls=1 the server takes nothing before STARTTLS, and the settings
# ask for STARTTLS and trust the server's test CA.
korva_tls=${korva_tls:-0}
korva_start_sim() {
    local tls_args=()
    [ "$korva_tls" = 1 ] && tls_args=(--tls-only --tls-ca-out "$work/korva-ca.pem"
                                      --conversation-log "$work/conversations.jsonl")
    "$korva_bin/korva-sim" --spool "$server_spool" --user "$sim_user" --password "$sim_password" \
        --fax-address "$fax_address" --directory "$KORVA_ROOT/samples/directory.json" "${tls_args[@]}" \
        ${KORVA_SIM_ARGS:-} \
        >"$work/korva-sim.out" 2>"$work/korva-sim.err" &
    sim_pid=$!
    ready=""
    for _ in $(seq 100); do
        ready=$(grep -m1 '^ready ' "$work/korva-sim.out" 2>/dev/null) && break
        kill -0 $sim_pid 2>/dev/null || break
        sleep 0.1
    done
    [ -n "$ready" ] || fail "korva-sim did not get ready: $(cat "$work/korva-sim.err")"
}

korva_sim_port() { sed -n "s/.*\b$1=\([0-9]*\).*/\1/p" <<<"$ready"; }

# The settings faxcourier reads, in the registry store's .reg form.
korva_write_settings() {
    local stored
    stored=$(/usr/bin/python3 -IBc '
import sys
text = sys.argv[1].encode("latin-1")
print("".join("%02X" % (byte ^ ((2 * k + 0x4B) & 0xFF)) for k, byte in enumerate(text)))
' "$sim_password") || fail "could not encode the password"
    local hive="$XDG_CONFIG_HOME/KORVAFax/HKEY_CURRENT_USER.reg"
    {
        echo "REGEDIT4"
        echo
        echo '[HKEY_CURRENT_USER\SOFTWARE\ZETH\KORVAFaxDriver]'
        echo '"Server"="127.0.0.1"'
        printf '"SMTPServerPort"=dword:%08x\n' "$(korva_sim_port smtp)"
        [ -n "$(korva_sim_port pop3)" ] && printf '"POP3ServerPort"=dword:%08x\n' "$(korva_sim_port pop3)"
        [ -n "$(korva_sim_port ldap)" ] && printf '"LDAPServerPort"=dword:%08x\n' "$(korva_sim_port ldap)"
        echo "\"Username\"=\"$sim_user\""
        echo "\"Password\"=\"$stored\""
        echo '"EmailAddress"="demo@korva.test"'
        echo "\"FaxAddress\"=\"$fax_address\""
        echo '"RealName"="Dana Demo"'
        echo '"Company"="KORVA Demo Ltd"'
        echo '"PhoneNumber"="+44 20 7946 0001"'
        echo '"FaxNumber"="+44 20 7946 0002"'
        echo '"CoverPages"="Standard\r\nUrgent\r\nConfidential"'
        if [ "$korva_tls" = 1 ]; then
            echo '"Encryption"=dword:00000001'
            echo "\"TLSCAFile\"=\"$work/korva-ca.pem\""
        fi
    } >"$hive"
    chmod 600 "$hive"
}

# Starts faxcourier with the debug log (and any options given) and waits until
# it watches the spool folder (its "Watching" line comes once the watch is armed).
korva_start_courier() {
    "$korva_bin/faxcourier" -debug "$@" >"$work/faxcourier.out" 2>&1 &
    courier_pid=$!
    local log="$XDG_STATE_HOME/KORVAFax/korvafax.log" started=""
    for _ in $(seq 100); do
        grep -q 'Watching ' "$log" 2>/dev/null && started=yes && break
        kill -0 $courier_pid 2>/dev/null || break
        sleep 0.1
    done
    [ -n "$started" ] || fail "faxcourier did not start: $(cat "$work/faxcourier.out")"
}
