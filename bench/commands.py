#!/usr/bin/env python3
"""Times velmora-cli's bulk commands against plain tools on the same file.

    python3 bench/commands.py CLI SMALL_VLM_DAT LARGE_VLM_DAT

Search of every cell is compared with `grep -ci`, loading (`info`) and
export with `cat`, the import of the small catalogue into the large one with
`cp` of the large one; conversion and replace of the artist group are timed
on both sizes to show that they grow linearly.

Output goes to a pipe that is read, not to /dev/null: GNU grep stops at the
first match when it sees its output is /dev/null, which would make the floor
of the search a few milliseconds.
"""
import os
import shutil
import subprocess
import sys
import tempfile
import time


def best(cmd, runs=3, prepare=None):
    times = []
    for _ in range(runs):
        if prepare:
            prepare()
        start = time.perf_counter()
        subprocess.run(cmd, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, check=False)
        times.append(time.perf_counter() - start)
    return min(times)


def main():
    cli, small, large = sys.argv[1:4]
    work = tempfile.mkdtemp(prefix="velmora-cmd-")
    try:
        data = os.path.join(work, "data")
        os.makedirs(data)

        def fresh(source):
            return lambda: shutil.copyfile(source, os.path.join(data, "VLM.dat"))

        fresh(large)()
        rows = []
        grep = best(["grep", "-ci", "love", large])
        search = best([cli, "--data-dir", data, "search", "6", "love"])
        rows.append(("search all cells 'love'", search, "grep -ci", grep, 5))
        copy = os.path.join(work, "copy")
        floor = best(["sh", "-c", f'cat "{large}" > "{copy}"'])
        # Loading alone, against reading the file (into /dev/null, which cat
        # still reads the whole file for).
        read = best(["sh", "-c", f'cat "{large}" > /dev/null'])
        info = best([cli, "--data-dir", data, "info"])
        rows.append(("load (info)", info, "cat", read, 3))
        out = os.path.join(work, "out.dat")
        export = best([cli, "--data-dir", data, "export", "dat", out])
        rows.append(("export dat", export, "cat", floor, 5))
        # A small data file appended to the large catalogue, which is
        # written back: against copying the large one.
        cp_floor = best(["cp", large, copy])
        imported = best([cli, "--data-dir", data, "import", small, "--dat"], prepare=fresh(large))
        rows.append(("import small into large", imported, "cp", cp_floor, 5))
        print(f"{'command':28} {'s':>8}   {'floor':10} {'s':>8} {'ratio':>7}  target")
        for name, value, floor_name, floor_value, limit in rows:
            ratio = value / floor_value if floor_value > 0 else float("inf")
            verdict = "PASS" if ratio <= limit else "FAIL"
            print(f"{name:28} {value:8.3f}   {floor_name:10} {floor_value:8.3f} {ratio:7.1f}  <= {limit} x  {verdict}")
        for command in (["convert", "0", "0"], ["replace", "0", "a", "b"]):
            small_time = best([cli, "--data-dir", data] + command, prepare=fresh(small))
            large_time = best([cli, "--data-dir", data] + command, prepare=fresh(large))
            ratio = large_time / small_time if small_time > 0 else float("inf")
            verdict = "PASS" if ratio <= 12 else "FAIL"
            print(f"{' '.join(command):28} {small_time:8.3f} (small) {large_time:8.3f} (large) "
                  f"x{ratio:5.1f}  <= 12  {verdict}")
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
