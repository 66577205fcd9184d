#!/bin/bash
# Whole-process timing of one conversion: `--once engine` against `--once
# tool`, alternated so that a change of machine load falls on both sides of a
# pair; medians of wall time, CPU time (user + system) and peak memory.
#
#   bench/transcode-once.sh BENCH_BINARY [runs=7] [job=720p] [kind=engine] [toolkind=tool]
# Runs on the cores in $CORES (default 2-7).
set -u
bin=$1; runs=${2:-7}; job=${3:-720p}; kind=${4:-engine}; toolkind=${5:-tool}
cores=${CORES:-2-7}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
one() { # kind -> "wall cpu maxrss_kB"
    taskset -c "$cores" /usr/bin/time -f '%e %U %S %M' -o "$tmp/t" "$bin" --job "$job" --once "$1" >/dev/null 2>"$tmp/err" ||
        { cat "$tmp/err" >&2; exit 1; }
    awk '{ printf "%s %.2f %s\n", $1, $2 + $3, $4 }' "$tmp/t"
}
one "$kind" >/dev/null; one "$toolkind" >/dev/null   # warm caches and make the clip
echo "job $job, $runs pairs, cores $cores, load before: $(cut -d' ' -f1-3 /proc/loadavg)"
for i in $(seq "$runs"); do
    e=$(one "$kind"); t=$(one "$toolkind")
    echo "$e $t" >>"$tmp/pairs"
    echo "pair $i: $kind wall/cpu/rss $e   $toolkind $t"
done
echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)"
med() { sort -g | awk '{ a[NR] = $1 } END { print (NR % 2) ? a[(NR + 1) / 2] : (a[NR / 2] + a[NR / 2 + 1]) / 2 }'; }
ew=$(awk '{print $1}' "$tmp/pairs" | med); tw=$(awk '{print $4}' "$tmp/pairs" | med)
ec=$(awk '{print $2}' "$tmp/pairs" | med); tc=$(awk '{print $5}' "$tmp/pairs" | med)
em=$(awk '{print $3}' "$tmp/pairs" | med); tm=$(awk '{print $6}' "$tmp/pairs" | med)
rw=$(awk '{print $1 / $4}' "$tmp/pairs" | med)
echo "medians: wall $ew s vs $tw s (pairwise ratio $rw); cpu $ec s vs $tc s ($(awk "BEGIN{printf \"%.3f\", $ec/$tc}")); peak memory $em kB vs $tm kB ($(awk "BEGIN{printf \"%.3f\", $em/$tm}"))"
