# Sourced after office-network.sh by the tests of an eSCL scanner on the office network (started
# with office_saned=no): the scanner on the host, what the tests scan, and what the client side
# should see of it.
# shellcheck shell=bash disable=SC2034,SC2154  # the values are for, and from, the sourcing scripts
office_escl_port=8090
office_escl_test_conf='mode Color
test-picture "Color pattern"
resolution 50.0'
# A colour page at 75 dpi (the scanner's lowest), an inch square an inch from the corner (the test
# backend draws its picture into the area: what shows is the area's size).
office_escl_acquire="--pixel-type rgb --resolution 75 --frame 1,1,2,2 --format pnm --max-images 1"
# The device a first start saves: the scanner by its host's .local name.
office_escl_url() { printf 'http://%s.local:%s/eSCL' "$office_host_name" "$office_escl_port"; }

# The discover line of the scanner: kind, instance, host, address, port.
office_escl_listing() {
    printf '_uscan._tcp\t%s\t%s.local\t%s\t%s' "$office_escl_name" "$office_host_name" \
        "$office_host_address" "$office_escl_port"
}

# What scanimage reads on the host with those settings, as raw RGB into $1. The scanner gets the
# area in 1/300 inch, the backend in whole millimetres: an inch is 25 mm to it, 1 to 2 inches
# 25 to 51 mm.
office_escl_scanimage() {
    SANE_CONFIG_DIR="$office_work/sane.d" office_host scanimage -d test:0 --mode Color \
        --resolution 75 --test-picture "Color pattern" -l 25 -t 25 -x 26 -y 26 --format=pnm \
        >"$1.pnm" 2>"$1.log" || { cat "$1.log"; return 1; }
    convert "$1.pnm" rgb:"$1"
}

# Serves the test backend by eSCL on the host with AirSane ($1), announced as _uscan._tcp through
# its avahi; sets office_escl_name, the instance name.
office_airsane() {
    office_airsaned=$1
    # Bound to the veth, it announces there only.
    office_run_on_host airsaned env SANE_CONFIG_DIR="$office_work/sane.d" \
        DBUS_SYSTEM_BUS_ADDRESS="$office_bus" "$1" --listen-port="$office_escl_port" \
        --interface="$office_host_veth" --mdns-announce=true --hotplug=false \
        --network-hotplug=false --access-log=-
    office_airsane_group=${office_groups[-1]}
    office_until 200 office_announced _uscan._tcp || {
        echo "AirSane is not announced:" >&2
        cat "$office_work/airsaned.log" >&2
        return 1
    }
    # The instance name as avahi has it (a collision may have changed it), its \DDD escapes undone.
    local browse
    browse=$(office_avahi_tool avahi-browse)
    # shellcheck disable=SC2086
    office_escl_name=$(office_host env DBUS_SYSTEM_BUS_ADDRESS="$office_bus" timeout 5 $browse -p -t \
        -k _uscan._tcp | awk -F';' '$1 == "+" { print $4; exit }' | perl -pe 's/\\(\d{3})/chr($1)/ge')
    [ -n "$office_escl_name" ]
}

# An eSCL resource of the host's scanner, as its reply (headers and body) to a plain GET.
office_escl_get() {
    # shellcheck disable=SC2016  # expanded by the inner shell
    office_host bash -c 'exec 3<>"/dev/tcp/$0/$1" &&
        printf "GET %s HTTP/1.1\r\nHost: %s:%s\r\nConnection: close\r\n\r\n" "$2" "$0" "$1" >&3 &&
        timeout 10 cat <&3' "$office_host_address" "$office_escl_port" "$1"
}

# Gives the host another link-local address, as DHCP would: AirSane serves the address it found
# at its start, so it starts again there, as a device does when its address changes.
office_escl_move_host() {
    kill -TERM -- "-$office_airsane_group" 2>/dev/null
    office_until 50 eval "! office_group_alive $office_airsane_group" || return 1
    office_move_host "$1" && office_airsane "$office_airsaned"
}
