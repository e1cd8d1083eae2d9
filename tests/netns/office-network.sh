# Sourced by the tests of the office network: two network namespaces joined by a veth pair with
# link-local addresses and a multicast route on each side, nothing else in them. The scanner host
# runs a private system bus, avahi-daemon (on its veth only) and saned with the SANE test backend
# on port 6566, announced as _sane-port._tcp; the client side is where the source runs. Every
# namespace and process made here is removed when the script ends, however it ends (on-exit.sh);
# the machine's own network, bus and avahi are never touched.
#
# With office_saned=no set before office_start the host runs no saned, so that a search finds only
# what a test starts there itself (office-escl.sh: an eSCL scanner).
#
#   office_start WORK   starts it all (files in WORK); returns 77 where namespaces cannot be made
#                       or avahi-daemon is missing
#   office_host CMD...  / office_client CMD...   runs a command on that side
#   office_run_on_host NAME CMD...   starts a daemon of a test's own on the host (a group of its
#                       own, stopped with the rest; its output in WORK/NAME.log)
#   office_move_host ADDRESS   gives the host another link-local address, as DHCP would
# Lines for the test backend's test.conf may come in office_test_conf. Set after office_start:
# office_host_ns, office_client_ns, office_host_name (its .local name),
# office_host_address, office_client_address, office_bus (the host's DBUS_SYSTEM_BUS_ADDRESS).
. "$(dirname "${BASH_SOURCE[0]}")/../wine/on-exit.sh"

office_groups=()
office_made_ns=()

office_host() { ip netns exec "$office_host_ns" "$@"; }
office_client() { ip netns exec "$office_client_ns" "$@"; }

# The avahi-daemon to run: the installed one, or one unpacked under TARNWICK_AVAHI_ROOT.
office_avahi() {
    if [ -n "${TARNWICK_AVAHI_ROOT:-}" ] && [ -x "$TARNWICK_AVAHI_ROOT/usr/sbin/avahi-daemon" ]; then
        echo env "LD_LIBRARY_PATH=$TARNWICK_AVAHI_ROOT/usr/lib/x86_64-linux-gnu" \
            "$TARNWICK_AVAHI_ROOT/usr/sbin/avahi-daemon"
    elif command -v avahi-daemon >/dev/null || [ -x /usr/sbin/avahi-daemon ]; then
        command -v avahi-daemon || echo /usr/sbin/avahi-daemon
    fi
}

# Starts "$@" in the background as the leader of a process group of its own.
office_spawn() {
    local log=$1 monitor
    shift
    case $- in *m*) monitor=1 ;; *) monitor= ;; esac
    set -m
    "$@" >"$log" 2>&1 &
    office_groups+=("$!")
    [ -n "$monitor" ] || set +m
}

office_run_on_host() {
    local name=$1
    shift
    office_spawn "$office_work/$name.log" ip netns exec "$office_host_ns" "$@"
}

# Waits up to $1 tenths of a second for "${@:2}" to succeed.
office_until() {
    local tries=$1 _
    shift
    for _ in $(seq "$tries"); do
        "$@" 2>/dev/null && return 0
        sleep 0.1
    done
    return 1
}

office_group_alive() {
    local stat fields line
    for stat in /proc/[0-9]*/stat; do
        line=
        { read -r line <"$stat"; } 2>/dev/null
        [ -n "$line" ] || continue
        read -ra fields <<<"${line##*)}"
        [ "${fields[2]}" = "$1" ] && [ "${fields[0]}" != Z ] && return 0
    done
    return 1
}

office_stop() {
    local i group status=0 ns
    for ((i = ${#office_groups[@]} - 1; i >= 0; i--)); do
        group=${office_groups[i]}
        kill -TERM -- "-$group" 2>/dev/null
        office_until 50 eval "! office_group_alive $group" || kill -KILL -- "-$group" 2>/dev/null
        wait "$group" 2>/dev/null
        if office_group_alive "$group"; then
            echo "office network: processes of group $group still run" >&2
            status=1
        fi
    done
    office_groups=()
    # Deleting a namespace deletes the veth end in it, and with it the pair.
    for ns in "${office_made_ns[@]}"; do
        ip netns del "$ns" 2>/dev/null
        if ip netns list | grep -qw "$ns"; then
            echo "office network: namespace $ns is left" >&2
            status=1
        fi
    done
    office_made_ns=()
    return $status
}

office_write_configs() {
    local work=$1
    mkdir -p "$work/sane.d" "$work/avahi"
    echo test >"$work/sane.d/dll.conf"
    echo 169.254.0.0/16 >"$work/sane.d/saned.conf"
    printf 'number_of_devices 1\n%s\n' "${office_test_conf:-}" >"$work/sane.d/test.conf"
    cat >"$work/bus.conf" <<CONF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>system</type>
  <listen>unix:path=$work/bus</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow user="*"/>
    <allow own="*"/>
    <allow send_destination="*"/>
    <allow receive_sender="*"/>
  </policy>
</busconfig>
CONF
    cat >"$work/avahi/avahi-daemon.conf" <<CONF
[server]
host-name=$office_host_name
domain-name=local
use-ipv4=yes
use-ipv6=no
allow-interfaces=$office_host_veth
enable-dbus=yes
ratelimit-interval-usec=1000000
ratelimit-burst=1000
[wide-area]
enable-wide-area=no
[publish]
publish-hinfo=no
publish-workstation=no
publish-addresses=yes
CONF
}

office_start() {
    office_work=$1
    mkdir -p "$office_work"
    local avahi tag=$$
    avahi=$(office_avahi)
    if [ -z "$avahi" ]; then
        echo "SKIP: no avahi-daemon (install it, or unpack one under TARNWICK_AVAHI_ROOT)"
        return 77
    fi
    office_host_ns=tw-host-$tag office_client_ns=tw-client-$tag
    office_host_veth=twh$tag office_client_veth=twc$tag
    office_host_name=scanhost
    # An id no account of the machine has.
    office_avahi_id=64999
    office_host_address=169.254.66.1 office_client_address=169.254.66.2
    office_bus=unix:path=$office_work/bus
    on_exit office_stop
    for ns in "$office_host_ns" "$office_client_ns"; do
        if ! ip netns add "$ns" 2>"$office_work/netns.log"; then
            echo "SKIP: network namespaces cannot be made here: $(cat "$office_work/netns.log")"
            return 77
        fi
        office_made_ns+=("$ns")
        ip -n "$ns" link set lo up
    done
    # The pair is made inside the host namespace, so that no end of it ever shows in the
    # machine's own.
    ip -n "$office_host_ns" link add "$office_host_veth" type veth peer name "$office_client_veth" \
        netns "$office_client_ns" || return 1
    local side veth address
    for side in host client; do
        eval "ns=\$office_${side}_ns veth=\$office_${side}_veth address=\$office_${side}_address"
        ip -n "$ns" addr add "$address/16" dev "$veth" || return 1
        ip -n "$ns" link set "$veth" multicast on up || return 1
        ip -n "$ns" route add 224.0.0.0/4 dev "$veth" || return 1
    done
    office_write_configs "$office_work"

    office_run_on_host dbus dbus-daemon --config-file="$office_work/bus.conf" --nofork
    office_until 50 test -S "$office_work/bus" || { echo "the private bus did not start" >&2; return 1; }
    # avahi keeps its pid file and socket in /run/avahi-daemon, owned by its user: in a mount
    # namespace of its own it has a private /run, and user and group files that name that user,
    # so that it meets neither the machine's avahi nor another fixture's, and /etc stays as it is.
    { cat /etc/passwd; echo "avahi:x:$office_avahi_id:$office_avahi_id::/nonexistent:/bin/false"; } \
        >"$office_work/passwd"
    { cat /etc/group; echo "avahi:x:$office_avahi_id:"; } >"$office_work/group"
    # shellcheck disable=SC2086  # avahi may be "env LD_LIBRARY_PATH=... path"
    office_run_on_host avahi env DBUS_SYSTEM_BUS_ADDRESS="$office_bus" OFFICE_WORK="$office_work" \
        unshare -m --propagation private sh -c \
        'mount -t tmpfs office-run /run && mkdir -p /run/avahi-daemon &&
         if ! getent passwd avahi >/dev/null; then
             mount --bind "$OFFICE_WORK/passwd" /etc/passwd &&
             mount --bind "$OFFICE_WORK/group" /etc/group
         fi && exec "$@"' avahi \
        $avahi -f "$office_work/avahi/avahi-daemon.conf" --no-drop-root --no-chroot \
        --no-rlimits --no-proc-title
    office_until 100 grep -q "Server startup complete" "$office_work/avahi.log" || {
        echo "avahi-daemon did not start:" >&2
        cat "$office_work/avahi.log" >&2
        return 1
    }
    [ "${office_saned:-yes}" = no ] || office_start_saned || return 1
    return 0
}

office_start_saned() {
    office_run_on_host saned env SANE_CONFIG_DIR="$office_work/sane.d" \
        DBUS_SYSTEM_BUS_ADDRESS="$office_bus" saned -l -e -d 3 -p 6566
    office_until 100 office_host bash -c "exec 3<>/dev/tcp/$office_host_address/6566" || {
        echo "saned did not start:" >&2
        cat "$office_work/saned.log" >&2
        return 1
    }
    # saned announces itself when it was built with Avahi; else the host announces it as
    # Debian's does.
    if ! office_until 50 office_announced; then
        local publish
        publish=$(office_avahi_tool avahi-publish-service)
        # shellcheck disable=SC2086
        office_run_on_host publish env DBUS_SYSTEM_BUS_ADDRESS="$office_bus" $publish saned \
            _sane-port._tcp 6566 protovers=1010003
        office_until 50 office_announced || {
            echo "saned is not announced:" >&2
            cat "$office_work/saned.log" "$office_work/publish.log" >&2
            return 1
        }
    fi
}

# An avahi client program, installed or unpacked beside the daemon.
office_avahi_tool() {
    if [ -n "${TARNWICK_AVAHI_ROOT:-}" ] && [ -x "$TARNWICK_AVAHI_ROOT/usr/bin/$1" ]; then
        echo env "LD_LIBRARY_PATH=$TARNWICK_AVAHI_ROOT/usr/lib/x86_64-linux-gnu" \
            "$TARNWICK_AVAHI_ROOT/usr/bin/$1"
    else
        command -v "$1"
    fi
}

# Whether the host's avahi knows a service of type $1 (_sane-port._tcp when not given), asked over
# its bus, not the network.
office_announced() {
    local browse
    browse=$(office_avahi_tool avahi-browse) || return 1
    # shellcheck disable=SC2086
    office_host env DBUS_SYSTEM_BUS_ADDRESS="$office_bus" timeout 5 $browse -p -t -k \
        "${1:-_sane-port._tcp}" 2>/dev/null | grep -q '^+'
}

office_move_host() {
    ip -n "$office_host_ns" addr flush dev "$office_host_veth" &&
        ip -n "$office_host_ns" addr add "$1/16" dev "$office_host_veth" &&
        ip -n "$office_host_ns" route replace 224.0.0.0/4 dev "$office_host_veth" &&
        office_host_address=$1
}
