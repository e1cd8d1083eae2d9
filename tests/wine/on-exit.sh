# Sourced by the test scripts and their helpers. `on_exit COMMAND` runs COMMAND when the script
# ends: at its end, on exit, on failure, and on INT, TERM or HUP. Each helper registers the stop of
# what it starts and each script the removal of what it makes, so that no one's trap replaces
# another's; the last registered runs first. A command that fails (something could not be
# stopped) makes a script that would have passed fail.
if [ -z "${on_exit_commands+set}" ]; then
    on_exit_commands=()
fi

on_exit() {
    on_exit_commands+=("$1")
    trap on_exit_run EXIT
    # An exit from these traps runs the exit trap. (A trapped signal waits for the command in the
    # foreground to end, as bash does.)
    trap 'exit 129' HUP
    trap 'exit 130' INT
    trap 'exit 143' TERM
}

on_exit_run() {
    local status=$? i
    for ((i = ${#on_exit_commands[@]} - 1; i >= 0; i--)); do
        # In a list, so that errexit neither skips the later commands nor ends the trap.
        eval "${on_exit_commands[i]}" || [ "$status" -ne 0 ] || status=1
    done
    on_exit_commands=()
    exit "$status"
}
