# Shared by the benchmark tables: messages, the clock and medians. Sourced, not run.
rows=()
notes=()
say() { echo "$*" >&2; }
now_us() { echo "${EPOCHREALTIME/./}"; }
median()
{
    sort -g | awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
