# Sourced by the scripts that run 32-bit Windows programs: this kernel runs no i386 programs, so
# Debian's i386 Wine runs under qemu-user from the folder scripts/setup-i686-wine fills
# ($TARNWICK_I686_WINE, default build/i686-wine of this checkout). Only the wineserver is native.
i686_dir=${TARNWICK_I686_WINE:-$(dirname "${BASH_SOURCE[0]}")/../../build/i686-wine}
i686_dir=$(realpath -m "$i686_dir")
export QEMU_LD_PREFIX=$i686_dir/root WINEARCH=win32 WINESERVER=/usr/lib/wine/wineserver64
export WINEDEBUG=-all WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
i686_wine=$i686_dir/root/usr/lib/wine/wine
# Tasks (threads count) one emulated run may have: a prefix once kept starting explorer.exe until
# the machine's memory was full.
i686_task_cap=400

# The 32-bit Wine of prefix $WINEPREFIX runs "$@" for at most $1 seconds with at most
# i686_task_cap tasks; afterwards its wineserver is ended and so is anything the run left. Fails
# with the command's status, or when the run reached the cap or left processes.
i686_capped() {
    local seconds=$1 group status=0 left reached
    shift
    [ -d /sys/fs/cgroup/pids ] || {
        echo "no pids cgroup to cap the emulated processes" >&2
        return 1
    }
    group=/sys/fs/cgroup/pids/tarnwick-i686-$$-$RANDOM
    mkdir "$group" || return 1
    echo "$i686_task_cap" >"$group/pids.max"
    (echo "$BASHPID" >"$group/cgroup.procs" && exec timeout -k 10 "$seconds" "$@") || status=$?
    [ $status -ne 124 ] || echo "timed out after $seconds s: $*" >&2
    timeout 30 "$WINESERVER" -k 2>/dev/null
    for _ in $(seq 100); do
        left=$(cat "$group/cgroup.procs")
        [ -n "$left" ] || break
        # shellcheck disable=SC2086  # one pid a word
        kill -KILL $left 2>/dev/null
        sleep 0.1
    done
    reached=$(awk '$1 == "max" { print $2 }' "$group/pids.events")
    rmdir "$group"
    if [ -n "$left" ]; then
        echo "processes of the run could not be ended: $left" >&2
        status=1
    fi
    if [ "${reached:-0}" -gt 0 ]; then
        echo "the run reached the cap of $i686_task_cap tasks: $*" >&2
        [ $status -ne 0 ] || status=1
    fi
    return $status
}

# Ends what runs in the groups of runners that are gone (killed before they could clean up).
i686_end_orphans() {
    local group owner
    for group in /sys/fs/cgroup/pids/tarnwick-i686-*; do
        [ -d "$group" ] || continue
        owner=${group#*/tarnwick-i686-}
        ! kill -0 "${owner%-*}" 2>/dev/null || continue
        # shellcheck disable=SC2046  # one pid a word
        kill -KILL $(cat "$group/cgroup.procs") 2>/dev/null
        sleep 0.5
        rmdir "$group" || { echo "left processes in $group" >&2; return 1; }
    done
}
