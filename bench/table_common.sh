# Shared by the benchmark tables: messages, the clock, timed runs and medians. Sourced, not run; a table that
# times with time_ms sets $work, the folder for the failed command's messages.
rows=()
notes=()
say() { echo "$*" >&2; }
now_us() { echo "${EPOCHREALTIME/./}"; }
median()
{
    sort -g | awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
# Runs a command quietly and prints its wall time in milliseconds; a failure ends the table with its messages.
time_ms()
{
    local start end
    start=$(now_us)
    "$@" </dev/null >/dev/null 2>"$work/last.err" || { say "failed: $*"; tail -20 "$work/last.err" >&2; return 1; }
    end=$(now_us)
    awk -v d=$((end - start)) 'BEGIN { printf "%.0f\n", d / 1000 }'
}
