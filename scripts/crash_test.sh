#!/usr/bin/env bash
# Kills velmora-cli by SIGKILL at random moments while it saves a generated
# catalogue, N times, and checks after every kill that VLM.dat is whole:
# either the file before the save or the file the save writes, byte for
# byte. The saves alternate between upper- and lower-casing the artists, so
# the two files differ. The next run of the program must clear what a
# killed save left behind: at most the last killed save's temporary file is
# ever present, none after the final run, and the backup VLM.bak is always
# one of the two files as well.
#
#   scripts/crash_test.sh [N] [ALBUMS]       (default 20 kills, 5000 albums)
# The program is $VELMORA_CLI, or build/release/bin/velmora-cli.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
kills=${1:-20}
albums=${2:-5000}
cli=${VELMORA_CLI:-$root/build/release/bin/velmora-cli}
[ -x "$cli" ] || { echo "crash test: no program at $cli (set VELMORA_CLI)" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
data=$work/data
mkdir -p "$data"
python3 "$root/bench/generate_catalogue.py" --albums "$albums" --out "$data" --seed 7 >/dev/null 2>&1

# The two states: artists upper-cased (convert kind 0) and lower-cased (1).
"$cli" --data-dir "$data" convert 0 0 >/dev/null
upper=$(sha256sum <"$data/VLM.dat")
"$cli" --data-dir "$data" convert 0 1 >/dev/null
lower=$(sha256sum <"$data/VLM.dat")
[ "$upper" != "$lower" ] || { echo "crash test: the two states do not differ" >&2; exit 1; }

# How long one save takes: kills are spread over that time and a little more.
start=$(date +%s%N)
"$cli" --data-dir "$data" convert 0 1 >/dev/null
span_us=$(( ($(date +%s%N) - start) / 1000 * 12 / 10 + 1000 ))

state=$lower
torn=0 leftovers=0 killed=0 left=0
for ((i = 1; i <= kills; i++)); do
  if (( i % 2 )); then kind=0; target=$upper; else kind=1; target=$lower; fi
  delay_us=$(( (RANDOM * 32768 + RANDOM) % span_us ))
  "$cli" --data-dir "$data" convert 0 "$kind" >/dev/null 2>&1 &
  pid=$!
  sleep "$(printf '0.%06d' "$delay_us")"
  kill -KILL "$pid" 2>/dev/null || true
  status=0
  wait "$pid" 2>/dev/null || status=$?
  if (( status == 128 + 9 )); then killed=$((killed + 1)); fi

  now=$(sha256sum <"$data/VLM.dat")
  if [ "$now" != "$state" ] && [ "$now" != "$target" ]; then
    torn=$((torn + 1))
    echo "kill $i after ${delay_us}us: VLM.dat is neither the old nor the new file" >&2
    cp "$data/VLM.dat" "$work/torn-$i.dat"
  fi
  state=$now
  if [ -e "$data/VLM.bak" ]; then
    bak=$(sha256sum <"$data/VLM.bak")
    if [ "$bak" != "$upper" ] && [ "$bak" != "$lower" ]; then
      torn=$((torn + 1))
      echo "kill $i: VLM.bak is not a whole catalogue" >&2
    fi
  fi
  # The run that was killed cleared the leftovers of the runs before it.
  count=$(find "$data" -maxdepth 1 -name '*.velmora-tmp-*' | wc -l)
  if (( count > 0 )); then left=$((left + 1)); fi
  if (( count > 1 )); then
    leftovers=$((leftovers + 1))
    echo "kill $i: $count temporary files in the data folder" >&2
  fi
done

"$cli" --data-dir "$data" info >/dev/null
remaining=$(find "$data" -maxdepth 1 -name '*.velmora-tmp-*' | wc -l)
echo "crash test: $kills saves of $albums albums, $killed killed by SIGKILL ($left left a temporary" \
  "file behind); torn files: $torn; more than one temporary file at once: $leftovers times;" \
  "temporary files after the next run: $remaining"
(( torn == 0 && leftovers == 0 && remaining == 0 ))
