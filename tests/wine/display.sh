# Sourced by the scripts that need an X display: starts a private Xvfb on a free display number
# and stops it when the script ends, however it ends (see on-exit.sh). Sets DISPLAY and
# xvfb_display.
. "$(dirname "${BASH_SOURCE[0]}")/on-exit.sh"

start_display() {
    local n
    on_exit stop_display
    for n in $(seq 90 190); do
        [ -e "/tmp/.X$n-lock" ] && continue
        Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
        xvfb_pid=$!
        for _ in $(seq 50); do
            [ -e "/tmp/.X11-unix/X$n" ] && break
            kill -0 "$xvfb_pid" 2>/dev/null || break
            sleep 0.1
        done
        if kill -0 "$xvfb_pid" 2>/dev/null && [ -e "/tmp/.X11-unix/X$n" ]; then
            export DISPLAY=":$n"
            xvfb_display=$n
            return 0
        fi
        wait "$xvfb_pid" 2>/dev/null
    done
    echo "no free X display for Xvfb" >&2
    return 1
}

stop_display() {
    if [ -n "${xvfb_pid:-}" ]; then
        kill "$xvfb_pid" 2>/dev/null
        wait "$xvfb_pid" 2>/dev/null
    fi
    xvfb_pid=
    return 0
}
