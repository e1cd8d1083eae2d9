# Sourced by the Wine scripts that need a daemon: starts a private saned with the SANE test
# backend on a free loopback port (configuration in $1/sane.d) and stops it when the script
# exits. Sets saned_port and saned_pid. Extra lines for test.conf come as $2.
start_saned() {
    local work=$1 extra=${2:-} candidate saned
    mkdir -p "$work/sane.d"
    echo test >"$work/sane.d/dll.conf"
    echo 127.0.0.1 >"$work/sane.d/saned.conf"
    printf 'number_of_devices 1\n%s\n' "$extra" >"$work/sane.d/test.conf"
    saned_port=
    for _ in $(seq 50); do
        candidate=$((20000 + RANDOM % 40000))
        if ! (exec 3<>"/dev/tcp/127.0.0.1/$candidate") 2>/dev/null; then
            saned_port=$candidate
            break
        fi
    done
    [ -n "$saned_port" ] || { echo "no free loopback port for saned" >&2; return 1; }
    saned=$(command -v saned || echo /usr/sbin/saned)
    SANE_CONFIG_DIR="$work/sane.d" "$saned" -l -e -d 1 -b 127.0.0.1 -p "$saned_port" \
        >"$work/saned.log" 2>&1 &
    saned_pid=$!
    for _ in $(seq 100); do
        (exec 3<>"/dev/tcp/127.0.0.1/$saned_port") 2>/dev/null && return 0
        kill -0 "$saned_pid" 2>/dev/null || break
        sleep 0.1
    done
    echo "saned did not start:" >&2
    cat "$work/saned.log" >&2
    return 1
}

stop_saned() {
    if [ -n "${saned_pid:-}" ]; then
        kill "$saned_pid" 2>/dev/null
        wait "$saned_pid" 2>/dev/null
    fi
    saned_pid=
}

# The source's settings for the daemon, as the per-user file in folder $1.
write_settings() {
    mkdir -p "$1"
    printf '[Connection]\r\nHost=127.0.0.1\r\nPort=%s\r\nDevice=test:0\r\n' "$saned_port" \
        >"$1/tarnwick.ini"
}
