#!/usr/bin/env bash
# Folder-scan benchmark: velmora-cli scan over a generated music library.
#
#   bench/scan.sh [BUILD_DIR]
#
# See bench/README.md ("Folder scan") for what is measured and the targets.
set -euo pipefail

die() {
    printf 'scan.sh: error: %s\n' "$1" >&2
    exit "${2:-1}"
}

case "${1:-}" in
    -h|--help) sed -n '2,7p' "$0"; exit 0 ;;
    -*) die "unknown option: $1" 2 ;;
esac

HERE=$(cd "$(dirname "$0")" && pwd)
ROOT=$(dirname "$HERE")
BUILD_DIR=${1:-$ROOT/build/release}
CLI=${VELMORA_CLI:-$BUILD_DIR/bin/velmora-cli}
GEN=${VELMORA_SCAN_FILES:-$BUILD_DIR/bin/velmora-scan-bench-files}
COPIES=${SCAN_COLLECTION_COPIES:-9}
FOLDERS=${SCAN_FOLDERS:-1000}
FILES=${SCAN_FILES:-10}
RUNS=${BENCH_RUNS:-3}
MEASURE=$HERE/measure.py
TOTAL=$((FOLDERS * FILES))

[[ -x $CLI ]] || die "no velmora-cli at $CLI (build it, or set VELMORA_CLI)" 2
[[ -x $GEN ]] || die "no velmora-scan-bench-files at $GEN (build the target)" 2
command -v python3 >/dev/null || die "python3 is required" 2

# The generated library is kept between runs.
LIBRARY=$HERE/.cache/scan-${FOLDERS}x${FILES}-v2
if [[ ! -f $LIBRARY/.complete ]]; then
    rm -rf "$LIBRARY"
    echo "generating $TOTAL files in $FOLDERS folders..." >&2
    "$GEN" "$LIBRARY/music" "$FOLDERS" "$FILES" || die "generating the library failed"
    touch "$LIBRARY/.complete"
fi

# The collection shaped like real ones (see scan_files.cpp --collection).
COLLECTION=$HERE/.cache/scan-collection-${COPIES}-v1
if [[ ! -f $COLLECTION/.complete ]]; then
    rm -rf "$COLLECTION"
    echo "generating the collection ($COPIES sets)..." >&2
    "$GEN" --collection "$COLLECTION/music" "$COPIES" || die "generating the collection failed"
    touch "$COLLECTION/.complete"
fi
COLLECTION_FILES=$((COPIES * 80))
COLLECTION_ALBUMS=$((COPIES * 8))

WORK=$(mktemp -d "$HERE/.cache/scan-run.XXXXXX")
trap 'rm -rf "$WORK"' EXIT

# Warm the file cache: the target is for a library read before.
find "$LIBRARY/music" "$COLLECTION/music" -type f -exec cat {} + >/dev/null

median() { sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

measure() {  # measure LABEL DATA_DIR ARGS... -> "seconds peakKiB"
    local label=$1 data=$2
    shift 2
    local line
    line=$(python3 "$MEASURE" --peak --stdout "$WORK/out.txt" --stderr "$WORK/err.txt" -- \
        "$CLI" --data-dir "$data" "$@") || die "measuring $label failed"
    read -r seconds peak status <<<"$line"
    [[ $status == 0 ]] || { cat "$WORK/err.txt" >&2; die "$label exited with $status"; }
    echo "$seconds $peak"
}

mkdir -p "$WORK/empty"
base_peak=$(measure info "$WORK/empty" info | cut -d' ' -f2)

times=()
peaks=()
for ((run = 1; run <= RUNS; run++)); do
    read -r seconds peak < <(measure "scan --dry-run" "$WORK/empty" scan "$LIBRARY/music" --dry-run)
    tail -n 1 "$WORK/out.txt" | grep -qx "albums: $FOLDERS songs: $TOTAL" ||
        die "dry run printed $(tail -n 1 "$WORK/out.txt")"
    times+=("$seconds")
    peaks+=("$peak")
done
dry=$(printf '%s\n' "${times[@]}" | median)
dry_peak=$(printf '%s\n' "${peaks[@]}" | sort -g | tail -n 1)

# A real scan (covers written, catalogue saved), then a second one that
# must add nothing.
mkdir -p "$WORK/data"
read -r full full_peak < <(measure "scan" "$WORK/data" scan "$LIBRARY/music")
read -r again again_peak < <(measure "second scan" "$WORK/data" scan "$LIBRARY/music")
[[ $(cat "$WORK/out.txt") == "albums: 0 songs: 0" ]] || die "the second scan added albums"
catalogue_kib=$(( $(stat -c %s "$WORK/data/VLM.dat") / 1024 ))

# The collection: every album found whole, the skipped file named, and no
# second registration through other spellings of the path.
times=()
for ((run = 1; run <= RUNS; run++)); do
    read -r seconds peak < <(measure "collection --dry-run" "$WORK/empty" scan "$COLLECTION/music" --dry-run)
    tail -n 1 "$WORK/out.txt" | grep -qx "albums: $COLLECTION_ALBUMS songs: $COLLECTION_FILES" ||
        die "collection dry run printed $(tail -n 1 "$WORK/out.txt")"
    [[ $(grep -c '^登録しないファイル: ' "$WORK/err.txt") == "$COPIES" ]] ||
        die "collection: expected $COPIES named skipped files, got: $(cat "$WORK/err.txt")"
    times+=("$seconds")
done
collection=$(printf '%s\n' "${times[@]}" | median)
mkdir -p "$WORK/collection"
ln -s "$COLLECTION/music" "$WORK/link"
measure "collection scan" "$WORK/collection" scan "$COLLECTION/music" >/dev/null
for spelling in "$WORK/link" "$COLLECTION/music/./Set 1/.." "$COLLECTION//music/"; do
    measure "collection again" "$WORK/collection" scan "$spelling" >/dev/null
    [[ $(cat "$WORK/out.txt") == "albums: 0 songs: 0" ]] || die "scanning $spelling again added albums"
done

rate=$(awk -v n="$TOTAL" -v s="$dry" 'BEGIN { printf "%d", n / s }')
collection_rate=$(awk -v n="$COLLECTION_FILES" -v s="$collection" 'BEGIN { printf "%d", n / s }')
extra_mib=$(awk -v p="$dry_peak" -v b="$base_peak" 'BEGIN { printf "%.1f", (p - b) / 1024 }')
again_extra=$(awk -v p="$again_peak" -v b="$base_peak" -v c="$catalogue_kib" \
    'BEGIN { printf "%.1f", (p - b - c) / 1024 }')
verdict() { if awk "BEGIN { exit !($1) }"; then echo ok; else echo FAIL; fi; }

printf 'library: %d files in %d folders (%s cores)\n' "$TOTAL" "$FOLDERS" "$(nproc)"
printf '%-22s %8s s  %8d files/s  target >= 2000: %s\n' "scan --dry-run (median)" "$dry" "$rate" \
    "$(verdict "$rate >= 2000")"
printf '%-22s %8s MiB beyond an idle run (peak %d KiB)  target < 100: %s\n' "memory" "$extra_mib" "$dry_peak" \
    "$(verdict "$extra_mib < 100")"
printf '%-22s %8s s  (peak %d KiB, covers written, VLM.dat %d KiB)\n' "scan + save" "$full" "$full_peak" \
    "$catalogue_kib"
printf '%-22s %8s s  %8s MiB beyond idle run and catalogue  (adds nothing)\n' "second scan" "$again" \
    "$again_extra"
printf '%-22s %8s s  %8d files/s  target >= 2000: %s  (%d files, %d albums; again via 3 spellings adds nothing)\n' \
    "collection --dry-run" "$collection" "$collection_rate" "$(verdict "$collection_rate >= 2000")" \
    "$COLLECTION_FILES" "$COLLECTION_ALBUMS"
