#!/usr/bin/env bash
# Load/save benchmark of velmora-cli against generated catalogues.
#
#   bench/run.sh [BUILD_DIR]
#
# See bench/README.md for what is measured and the targets.
set -euo pipefail

usage() {
    cat <<'EOF'
usage: bench/run.sh [BUILD_DIR]

Times velmora-cli "save" and "info" on generated catalogues and compares them
with a plain copy of the data file.

  BUILD_DIR     build tree holding bin/velmora-cli
                (default: build/release under the repository root)

Environment:
  VELMORA_CLI   path of the velmora-cli binary (overrides BUILD_DIR)
  BENCH_SIZES   album counts to test        (default: "10000 100000")
  BENCH_SEED    generator seed              (default: 20240601)
  BENCH_RUNS    runs per measurement        (default: 3; the median is shown)

Exit status: 0 when every command ran (target misses are reported, not fatal),
1 when a save changed the file or info reported a wrong album count,
2 on usage errors or a missing binary, other values on unexpected failures.
EOF
}

die() {
    printf 'run.sh: error: %s\n' "$1" >&2
    exit "${2:-1}"
}

case "${1:-}" in
    -h|--help) usage; exit 0 ;;
    -*) usage >&2; die "unknown option: $1" 2 ;;
esac
[[ $# -le 1 ]] || { usage >&2; die "too many arguments" 2; }

HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
ROOT=$(cd "$HERE/.." && pwd)
BUILD_DIR=${1:-$ROOT/build/release}
CLI=${VELMORA_CLI:-$BUILD_DIR/bin/velmora-cli}
SIZES=${BENCH_SIZES:-10000 100000}
SEED=${BENCH_SEED:-20240601}
RUNS=${BENCH_RUNS:-3}

for n in $SIZES; do
    [[ $n =~ ^[1-9][0-9]*$ ]] || die "BENCH_SIZES must list positive integers, got '$n'" 2
done
[[ -n ${SIZES// /} ]] || die "BENCH_SIZES is empty" 2
[[ $SEED =~ ^[0-9]+$ ]] || die "BENCH_SEED must be a non-negative integer, got '$SEED'" 2
[[ $RUNS =~ ^[1-9][0-9]*$ ]] || die "BENCH_RUNS must be a positive integer, got '$RUNS'" 2

if [[ ! -e $CLI ]]; then
    cat >&2 <<EOF
run.sh: error: velmora-cli not found at
    $CLI
Build it first, for example with scripts/test.sh, or:
    cmake -S "$ROOT" -B "$ROOT/build/release" -DCMAKE_BUILD_TYPE=Release
    cmake --build "$ROOT/build/release" --target velmora-cli
or pass the build folder as argument, or set VELMORA_CLI=/path/to/velmora-cli.
EOF
    exit 2
fi
[[ -f $CLI && -x $CLI ]] || die "$CLI is not an executable file" 2
CLI=$(cd "$(dirname "$CLI")" && pwd)/$(basename "$CLI")

command -v python3 >/dev/null || die "python3 is required" 2
command -v cmp >/dev/null || die "cmp (diffutils) is required" 2

GEN=$HERE/generate_catalogue.py
MEASURE=$HERE/measure.py
CACHE=$HERE/.cache
mkdir -p "$CACHE"
GEN_HASH=$(sha256sum "$GEN" | cut -c1-12)

WORK=$(mktemp -d "$CACHE/run.XXXXXX")
trap 'rm -rf "$WORK"' EXIT

# catalogue_for N -> prints the path of the cached VLM.dat, generating it if needed.
# Runs in a command substitution, so its EXIT trap only cleans up its own folder.
# The cache key holds a hash of the generator, so editing it regenerates.
catalogue_for() {
    local n=$1 dir
    dir=$CACHE/albums-$n-seed-$SEED-$GEN_HASH
    if [[ ! -f $dir/VLM.dat ]]; then
        printf 'generating %d albums (seed %s) ...\n' "$n" "$SEED" >&2
        GEN_TMP=$(mktemp -d "$CACHE/gen.XXXXXX")
        trap 'rm -rf "$GEN_TMP"' EXIT
        python3 "$GEN" --albums "$n" --seed "$SEED" --out "$GEN_TMP" >&2 ||
            die "catalogue generation failed"
        rm -rf "$dir"
        mv "$GEN_TMP" "$dir"
    fi
    printf '%s\n' "$dir/VLM.dat"
}

# measure LABEL [--peak] [--stdout FILE] -- CMD...
# Sets M_WALL (seconds) and M_KB (peak RSS in KiB, "-" without --peak);
# stops the benchmark when the command fails.
measure() {
    local label=$1 result rc
    shift
    sync  # flush earlier writes so their writeback does not land in this run
    result=$(python3 "$MEASURE" --stderr "$WORK/stderr.log" "$@") || die "measuring $label failed"
    read -r M_WALL M_KB rc <<<"$result"
    if [[ $rc != 0 ]]; then
        printf 'run.sh: error: %s exited with status %s; its stderr:\n' "$label" "$rc" >&2
        sed 's/^/    /' "$WORK/stderr.log" >&2
        exit 1
    fi
}

median() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
maximum() { printf '%s\n' "$@" | sort -g | tail -n 1; }

printf 'velmora benchmark  %s\n' "$(date '+%Y-%m-%d %H:%M:%S')"
printf 'cli:   %s\n' "$CLI"
printf 'host:  %s cores, %s\n' "$(nproc)" "$(uname -sr)"
printf 'runs:  %s per measurement (median wall time, max peak RSS), seed %s\n\n' "$RUNS" "$SEED"

ROWS=()
BROKEN=0
for n in $SIZES; do
    dat=$(catalogue_for "$n")
    bytes=$(stat -c %s "$dat")
    cat "$dat" >/dev/null  # warm the page cache

    floors=() saves=() infos=() info_kbs=()
    # The floor overwrites an existing copy, as a save replaces an existing
    # VLM.dat: dropping the old file's pages costs about as much as writing.
    cp "$dat" "$WORK/copy"
    identical=0 counted=0 reported=""
    for ((r = 1; r <= RUNS; r++)); do
        measure "cat" --stdout "$WORK/copy" -- cat "$dat"
        floors+=("$M_WALL")

        rm -rf "$WORK/data"
        mkdir "$WORK/data"
        cp "$dat" "$WORK/data/VLM.dat"
        measure "velmora-cli save" -- "$CLI" --data-dir "$WORK/data" save
        saves+=("$M_WALL")
        if cmp -s "$dat" "$WORK/data/VLM.dat"; then
            identical=$((identical + 1))
        else
            printf 'N=%s run %d: saved VLM.dat differs from the loaded one: %s\n' \
                "$n" "$r" "$(cmp "$dat" "$WORK/data/VLM.dat" 2>&1 | head -n 1 || true)"
        fi

        rm -rf "$WORK/data"
        mkdir "$WORK/data"
        cp "$dat" "$WORK/data/VLM.dat"
        measure "velmora-cli info" --peak --stdout "$WORK/info.out" -- "$CLI" --data-dir "$WORK/data" info
        [[ $M_KB =~ ^[0-9]+$ ]] || die "no peak RSS measured for velmora-cli info"
        infos+=("$M_WALL") info_kbs+=("$M_KB")
        reported=$(sed -n 's/^albums: *\([0-9][0-9]*\)[[:space:]]*$/\1/p' "$WORK/info.out" | head -n 1)
        if [[ $reported == "$n" ]]; then
            counted=$((counted + 1))
        else
            printf 'N=%s run %d: info printed %s, expected "albums: %s"\n' \
                "$n" "$r" "$(head -c 200 "$WORK/info.out" | tr '\n' ' ')" "$n"
        fi
    done
    rm -rf "$WORK/data" "$WORK/copy"

    printf 'N=%-7s floor %s s | save %s s | info %s s\n' "$n" \
        "$(printf '%s ' "${floors[@]}")" "$(printf '%s ' "${saves[@]}")" "$(printf '%s ' "${infos[@]}")"

    [[ $identical == "$RUNS" ]] || BROKEN=1
    [[ $counted == "$RUNS" ]] || BROKEN=1
    ROWS+=("$n $bytes $(median "${floors[@]}") $(median "${saves[@]}") \
$(median "${infos[@]}") $(maximum "${info_kbs[@]}") $identical $counted")
done

echo
printf '%s\n' "${ROWS[@]}" | awk -v runs="$RUNS" '
BEGIN {
    MiB = 1048576
    printf "%8s %9s %8s %8s %7s %8s %10s %10s  %-5s %-5s %-9s %s\n",
        "N", "file MiB", "floor s", "save s", "ratio", "info s",
        "info MiB", "limit MiB", "save", "peak", "identical", "count"
    fails = 0
}
{
    n = $1; bytes = $2; floor = $3; save = $4; info = $5; info_kb = $6
    file_mib = bytes / MiB
    ratio = floor > 0 ? save / floor : 0
    info_mib = info_kb / 1024
    limit = 2 * file_mib + 50
    save_ok = (save <= 5 * floor) ? "PASS" : "FAIL"
    peak_ok = (info_mib < limit) ? "PASS" : "FAIL"
    if (save_ok == "FAIL" || peak_ok == "FAIL") fails++
    printf "%8d %9.1f %8.3f %8.3f %7.2f %8.3f %10.1f %10.1f  %-5s %-5s %-9s %s\n",
        n, file_mib, floor, save, ratio, info, info_mib, limit,
        save_ok, peak_ok, ($7 == runs ? "yes" : "NO " $7 "/" runs), ($8 == runs ? "ok" : "BAD")
}
END {
    print ""
    print "targets: save <= 5 x floor (cat VLM.dat > copy); info peak RSS < 2 x file size + 50 MiB"
    if (fails) printf "%d size(s) MISS a target (see FAIL above)\n", fails
    else print "all speed and memory targets met"
}'

# The bulk commands against plain tools.
sorted_sizes=$(printf '%s\n' $SIZES | sort -n)
if [[ $(wc -l <<<"$sorted_sizes") -ge 2 ]]; then
    echo
    echo "bulk commands:"
    python3 "$HERE/commands.py" "$CLI" "$(catalogue_for "$(head -n 1 <<<"$sorted_sizes")")" \
        "$(catalogue_for "$(tail -n 1 <<<"$sorted_sizes")")"
fi

# The main window, offscreen, on the largest catalogue.
GUI=${VELMORA_GUI_BENCH:-$(dirname "$CLI")/velmora-gui-bench}
if [[ -x $GUI ]]; then
    largest=$(printf '%s\n' $SIZES | sort -n | tail -n 1)
    dat=$(catalogue_for "$largest")
    rm -rf "$WORK/gui" && mkdir -p "$WORK/gui" && cp "$dat" "$WORK/gui/VLM.dat"
    bytes=$(stat -c %s "$dat")
    echo
    echo "main window, offscreen, N=$largest:"
    "$GUI" --data-dir "$WORK/gui" 2>/dev/null | awk -v bytes="$bytes" '
        { v[$1] = $2 }
        END {
            file_mib = bytes / 1048576
            check("start-up (window shown)", v["startup_s"], "s", 2)
            check("show all", v["show_all_s"], "s", 0.3)
            check("sort by artist", v["sort_artist_s"], "s", 1)
            check("one album selection", v["select_ms"], "ms", 20)
            check("peak memory", v["peak_mib"], "MiB", 3 * file_mib + 150)
        }
        function check(what, value, unit, limit) {
            printf "  %-26s %9.3f %-3s (target <= %.1f)  %s\n", what, value, unit, limit, (value <= limit ? "PASS" : "FAIL")
        }'
else
    echo
    echo "(velmora-gui-bench not built: main window figures skipped)"
fi

if [[ $BROKEN != 0 ]]; then
    echo "ERROR: a save did not reproduce the file byte for byte, or info printed a wrong count" >&2
    exit 1
fi
