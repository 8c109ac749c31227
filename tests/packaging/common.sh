# Shared by the packaging tests: failing, temporary folders, and starting an installed program offscreen.
set -euo pipefail

fail()
{
    echo "FAIL: $*" >&2
    exit 1
}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Starts the program through the link a user's PATH finds, in a fresh home, and ends it with SIGTERM
# after a few seconds, as a log-out would. Prints the exit status; the settings land in "$2/config".
run_installed()
{
    local program=$1 home=$2
    rm -rf "$home"
    mkdir -p "$home/config"
    local status=0
    env -i PATH=/usr/bin:/bin HOME="$home" XDG_CONFIG_HOME="$home/config" QT_QPA_PLATFORM=offscreen \
        LANG=C.UTF-8 "$program" >"$home/output.txt" 2>&1 &
    local pid=$!
    sleep 3
    kill -TERM "$pid" 2>/dev/null || true
    wait "$pid" || status=$?
    echo "$status"
}

# The window came up: closing it the ordinary way ends the program cleanly and saves its destination.
expect_window()
{
    local program=$1 home="$work/home"
    local status
    status=$(run_installed "$program" "$home")
    local settings="$home/config/Reelpocket/Reelpocket.ini"
    [ "$status" = 0 ] || { cat "$home/output.txt" >&2; fail "$program exited with $status, not 0"; }
    [ -f "$settings" ] || fail "$program wrote no settings file $settings"
    grep -qi '^destination=.' "$settings" || fail "$settings holds no destination"
}

# Start-up failed: the program ends with status 1 and saves nothing.
expect_start_failure()
{
    local program=$1 home="$work/home"
    local status
    status=$(run_installed "$program" "$home")
    [ "$status" = 1 ] || fail "$program exited with $status, not 1, though it cannot start"
    [ -z "$(find "$home/config" -type f)" ] || fail "$program saved settings though it could not start"
}
