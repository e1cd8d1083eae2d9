# Sourced by the scripts that need a daemon: starts a private saned with the SANE test backend on
# a free loopback port (configuration in $1/sane.d), in a process group of its own that is stopped
# whole when the script ends, however it ends (see on-exit.sh). Sets saned_port and saned_pid.
# Extra lines for test.conf come as $2. Call start_saned from the script itself, not from a
# subshell: the script is saned's parent and reaps it.
. "$(dirname "${BASH_SOURCE[0]}")/on-exit.sh"

start_saned() {
    local work=$1 extra=${2:-} candidate saned monitor
    mkdir -p "$work/sane.d"
    echo test >"$work/sane.d/dll.conf"
    echo 127.0.0.1 >"$work/sane.d/saned.conf"
    printf 'number_of_devices 1\n%s\n' "$extra" >"$work/sane.d/test.conf"
    saned=$(command -v saned || echo /usr/sbin/saned)
    on_exit stop_saned
    # A port nothing answers on may still be bound (a connection's local end, one closing):
    # another one is tried when saned cannot bind it. Ports below the ephemeral range are taken
    # far less often.
    for _ in 1 2 3 4 5; do
        saned_port=
        for _ in $(seq 50); do
            candidate=$((20000 + RANDOM % 12000))
            if ! (exec 3<>"/dev/tcp/127.0.0.1/$candidate") 2>/dev/null; then
                saned_port=$candidate
                break
            fi
        done
        [ -n "$saned_port" ] || { echo "no free loopback port for saned" >&2; return 1; }
        # A background job of a shell with job control leads a group of its own: so do saned
        # and the handlers it forks for its connections.
        case $- in *m*) monitor=1 ;; *) monitor= ;; esac
        set -m
        SANE_CONFIG_DIR="$work/sane.d" "$saned" -l -e -d 1 -b 127.0.0.1 -p "$saned_port" \
            >"$work/saned.log" 2>&1 &
        saned_pid=$!
        [ -n "$monitor" ] || set +m
        for _ in $(seq 100); do
            (exec 3<>"/dev/tcp/127.0.0.1/$saned_port") 2>/dev/null && return 0
            kill -0 "$saned_pid" 2>/dev/null || break
            sleep 0.1
        done
        grep -q "couldn't bind" "$work/saned.log" || break
        wait "$saned_pid" 2>/dev/null || true
        saned_pid=
    done
    echo "saned did not start:" >&2
    cat "$work/saned.log" >&2
    return 1
}

# "pid state" for each process of group $1, ended ones not yet reaped (state Z) among them.
group_processes() {
    local group=$1 stat line pid fields
    for stat in /proc/[0-9]*/stat; do
        line=
        { read -r line <"$stat"; } 2>/dev/null  # no newline at its end; the process may be gone
        [ -n "$line" ] || continue
        pid=${stat#/proc/} pid=${pid%/stat}
        # The command name in parentheses may hold anything: the fields follow its last ')'.
        read -ra fields <<<"${line##*)}"
        [ "${fields[2]}" != "$group" ] || echo "$pid ${fields[0]}"
    done
    return 0
}

# The pids of group $1 that still run.
group_running() {
    local pid state
    group_processes "$1" | while read -r pid state; do
        [ "$state" = Z ] || echo "$pid"
    done
    return 0
}

# Waits at most five seconds for command "$@" to print nothing.
until_empty() {
    local _
    for _ in $(seq 50); do
        [ -n "$("$@")" ] || return 0
        sleep 0.1
    done
    return 1
}

# The daemon's connection handlers: all of its group but itself, ended ones not yet reaped among
# them.
saned_handlers() {
    local pid state
    group_processes "$1" | while read -r pid state; do
        [ "$pid" = "$1" ] || echo "$pid"
    done
    return 0
}

# Stops the daemon and all of its group. Fails when any of it still runs afterwards.
stop_saned() {
    local pid=${saned_pid:-} left
    [ -n "$pid" ] || return 0
    saned_pid=
    # The handlers first, while the daemon is there to reap them: ended with it or after it, they
    # would be left to an init that may never reap them.
    left=$(saned_handlers "$pid")
    # shellcheck disable=SC2086  # one pid a word
    [ -z "$left" ] || kill -TERM $left 2>/dev/null
    until_empty saned_handlers "$pid" || true
    # Then the whole group, while it has members: they keep its number from being taken anew.
    if [ -n "$(group_running "$pid")" ]; then
        kill -TERM -- "-$pid" 2>/dev/null
        until_empty group_running "$pid" || true
    fi
    if [ -n "$(group_running "$pid")" ]; then
        kill -KILL -- "-$pid" 2>/dev/null
        until_empty group_running "$pid" || true
    fi
    wait "$pid" 2>/dev/null || true
    left=$(group_running "$pid")
    [ -n "$left" ] || return 0
    echo "saned's processes still run after its stop: $left" >&2
    return 1
}

# The source's settings for the daemon, as the per-user file in folder $1.
write_settings() {
    mkdir -p "$1"
    printf '[Connection]\r\nHost=127.0.0.1\r\nPort=%s\r\nDevice=test:0\r\n' "$saned_port" \
        >"$1/tarnwick.ini"
}
