# Sourced by the scripts that scan an eSCL scanner: starts the native AirSane ($1) over the SANE
# test backend (configuration in $2/airsane.d) on a free loopback port, unannounced, in a process
# group of its own that is stopped when the script ends (see on-exit.sh). Sets airsane_port,
# airsane_pid and airsane_config. Call it from the script itself, which is AirSane's parent.
. "$(dirname "${BASH_SOURCE[0]}")/on-exit.sh"

# The page of the test backend the integration tests scan: the colour pattern on an 80 x 100 mm
# bed, resolutions 1 to 1200 dpi.
airsane_test_conf() {
    printf '%s\n' 'number_of_devices 2' 'mode Gray' 'depth 8' 'hand-scanner false' \
        'three-pass false' 'three-pass-order RGB' 'resolution_min 1.0' 'resolution_max 1200.0' \
        'resolution_quant 1.0' 'resolution 50.0' 'test-picture "Color pattern"' \
        'read-limit false' 'read-delay false' 'enable-test-options false' 'geometry_min 0.0' \
        'geometry_max 200.0' 'geometry_quant 1.0' 'tl_x 0.0' 'tl_y 0.0' 'br_x 80.0' 'br_y 100.0'
}

# Group $1 ended: TERM, then KILL after five seconds.
stop_group() {
    local pid=$1 _
    kill -TERM -- "-$pid" 2>/dev/null || return 0
    for _ in $(seq 50); do
        kill -0 -- "-$pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -KILL -- "-$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    return 0
}

# Runs "$2"... in a process group of its own, its output into $1; sets spawned_pid.
spawn_group() {
    local log=$1 monitor
    shift
    case $- in *m*) monitor=1 ;; *) monitor= ;; esac
    set -m
    "$@" >"$log" 2>&1 &
    spawned_pid=$!
    [ -n "$monitor" ] || set +m
}

stop_airsane() {
    [ -n "${airsane_pid:-}" ] || return 0
    stop_group "$airsane_pid"
    airsane_pid=
}

# Fails with AirSane's log when it serves no capabilities within 20 s on any of five ports.
start_airsane() {
    local airsaned=$1 work=$2 _
    airsane_config=$work/airsane.d
    mkdir -p "$airsane_config"
    echo test >"$airsane_config/dll.conf"
    airsane_test_conf >"$airsane_config/test.conf"
    on_exit stop_airsane
    for _ in 1 2 3 4 5; do
        airsane_port=$((20000 + RANDOM % 12000))
        (exec 3<>"/dev/tcp/127.0.0.1/$airsane_port") 2>/dev/null && continue
        spawn_group "$work/airsaned.log" env SANE_CONFIG_DIR="$airsane_config" "$airsaned" \
            --listen-port="$airsane_port" --interface=lo --mdns-announce=false --hotplug=false \
            --network-hotplug=false --access-log=-
        airsane_pid=$spawned_pid
        for _ in $(seq 200); do
            curl -sf -m 2 "http://127.0.0.1:$airsane_port/eSCL/ScannerCapabilities" 2>/dev/null |
                grep -q ScannerCapabilities && return 0
            kill -0 "$airsane_pid" 2>/dev/null || break
            sleep 0.1
        done
        stop_airsane
    done
    echo "AirSane did not serve:" >&2
    cat "$work/airsaned.log" >&2
    return 1
}

stop_forwarder() {
    [ -n "${forwarder_pid:-}" ] || return 0
    stop_group "$forwarder_pid"
    forwarder_pid=
}

# The PNG-hiding forwarder ($1) in front of AirSane; each POST body is appended to $2. Sets
# forwarder_port and forwarder_pid.
start_forwarder() {
    local forwarder=$1 posted=$2 _
    on_exit stop_forwarder
    spawn_group "$posted.port" "$forwarder" "$airsane_port" --posted "$posted" --seconds 1800
    forwarder_pid=$spawned_pid
    for _ in $(seq 50); do
        { read -r forwarder_port <"$posted.port"; } 2>/dev/null && [ -n "$forwarder_port" ] && return 0
        sleep 0.1
    done
    echo "the forwarder did not start:" >&2
    cat "$posted.port" >&2
    return 1
}
