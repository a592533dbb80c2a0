#!/usr/bin/env python3
"""Times what grows with a large catalogue, each figure beside its floor.

    python3 bench/scale.py [--albums N] [--build DIR] [--runs R]

For a generated catalogue of N albums (default 100,000; bench/scale_million.sh
runs 1,000,000) and a varied one of the same size (long memos, many empty
songs, odd but valid cp932 bytes: generate_catalogue.py --varied):

  load, save     velmora-cli info / save       floor: cat VLM.dat > /dev/null
                 (and beside the save: cat VLM.dat > copy, and the durable
                 floor cat VLM.dat > new && sync -d new, what writing the
                 file safely costs on this disk)
  search         search 6 WORD --fold          floor: search 6 WORD (plain),
                                               grep -ci WORD VLM.dat
  scan 40 files  scan LIB40 --dry-run, minus info (loading): what the scan
                 adds to a load               floor: TagLib alone on LIB40
  rescan         scan LIB50K --dry-run, its 50,000 files catalogued and
                 unchanged (warm cache)        floor: find LIB50K -type f
                                               (and TagLib alone, what
                                               reading them all costs)
  window         velmora-gui-bench: start-up to a usable list, show all,
                 sort by artist, peak memory, closing unchanged (the data
                 file must stay the same file)  floor: cat > /dev/null

Times are wall seconds, the best of R runs (default 3) unless said, the
window's figures each the best of R runs too; peaks are GNU time's maximum
resident set size. The libraries are written by
velmora-scan-bench-files and cached in bench/.cache/ beside the catalogues.
Exit status 0 when every command ran (targets missed are printed as FAIL).
"""

import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
CACHE = os.path.join(HERE, ".cache")
GENERATOR_VERSION = "v2"
WORD = "love"


def run(cmd, stdout=subprocess.PIPE):
    result = subprocess.run(cmd, stdout=stdout, stderr=subprocess.PIPE, check=False)
    if result.returncode != 0:
        sys.exit("failed (%d): %s\n%s" % (result.returncode, " ".join(cmd),
                                          result.stderr.decode(errors="replace")[-2000:]))
    return result.stdout.decode(errors="replace") if stdout == subprocess.PIPE else ""


def timed(cmd, runs, prepare=None):
    """Best wall time of `runs` runs; output read from a pipe."""
    best = None
    for _ in range(runs):
        if prepare:
            prepare()
        subprocess.run(["sync"], check=False)
        start = time.perf_counter()
        result = subprocess.run(cmd, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, check=False)
        elapsed = time.perf_counter() - start
        if result.returncode != 0:
            sys.exit("failed (%d): %s" % (result.returncode, " ".join(cmd)))
        best = elapsed if best is None else min(best, elapsed)
    return best


def peak_mib(cmd):
    out = subprocess.run(["/usr/bin/time", "-f", "%M"] + cmd, stdout=subprocess.DEVNULL,
                         stderr=subprocess.PIPE, check=True).stderr.decode().strip().splitlines()[-1]
    return int(out) / 1024.0


def catalogue(albums, varied):
    name = "scale-%d%s-%s" % (albums, "-varied" if varied else "", GENERATOR_VERSION)
    folder = os.path.join(CACHE, name)
    path = os.path.join(folder, "VLM.dat")
    if not os.path.exists(path):
        print("generating %s..." % name, file=sys.stderr)
        cmd = [sys.executable, os.path.join(HERE, "generate_catalogue.py"), "--albums", str(albums),
               "--out", folder, "--quiet"]
        run(cmd + (["--varied"] if varied else []))
    return path


def library(scan_files, folders, files):
    folder = os.path.join(CACHE, "scale-library-%dx%d" % (folders, files))
    if not os.path.exists(os.path.join(folder, ".complete")):
        shutil.rmtree(folder, ignore_errors=True)
        print("generating a library of %d files..." % (folders * files), file=sys.stderr)
        run([scan_files, os.path.join(folder, "music"), str(folders), str(files)])
        open(os.path.join(folder, ".complete"), "w").close()
    music = os.path.join(folder, "music")
    # Warm the file cache: the targets are for files read before.
    subprocess.run(["sh", "-c", 'find "%s" -type f -exec cat {} + > /dev/null' % music], check=False)
    return music


class Table:
    def __init__(self):
        print("%-34s %9s   %-26s %9s %7s  %s" % ("figure", "s", "floor", "s", "ratio", "target"))

    def row(self, name, value, floor_name="", floor=None, limit=None, unit="s"):
        ratio = value / floor if floor else None
        verdict = ""
        if limit is not None and ratio is not None:
            verdict = "<= %g x  %s" % (limit, "PASS" if ratio <= limit else "FAIL")
        print("%-34s %9.3f   %-26s %9s %7s  %s" % (
            name, value, floor_name, "%.3f" % floor if floor is not None else "",
            "%.2f" % ratio if ratio is not None else "", verdict))

    def absolute(self, name, value, limit, unit="s", note=""):
        verdict = "<= %g %s  %s" % (limit, unit, "PASS" if value <= limit else "FAIL") if limit else ""
        print("%-34s %9.3f   %-26s %9s %7s  %s" % (name, value, note, "", "", verdict))


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--albums", type=int, default=100000)
    ap.add_argument("--build", default=os.path.join(os.path.dirname(HERE), "build", "release"))
    ap.add_argument("--runs", type=int, default=3)
    ap.add_argument("--rescan-folders", type=int, default=5000, help="albums of 10 files for the rescan")
    args = ap.parse_args()
    binaries = os.path.join(args.build, "bin")
    cli = os.path.join(binaries, "velmora-cli")
    gui = os.path.join(binaries, "velmora-gui-bench")
    scan_files = os.path.join(binaries, "velmora-scan-bench-files")
    for binary in (cli, gui, scan_files):
        if not os.access(binary, os.X_OK):
            sys.exit("missing %s (build velmora-cli velmora-gui-bench velmora-scan-bench-files)" % binary)
    os.makedirs(CACHE, exist_ok=True)
    work = tempfile.mkdtemp(prefix="scale-run.", dir=CACHE)
    data = os.path.join(work, "data")
    os.makedirs(data)
    dat = os.path.join(data, "VLM.dat")

    def fresh(source):
        def prepare():
            for name in os.listdir(data):
                path = os.path.join(data, name)
                shutil.rmtree(path) if os.path.isdir(path) else os.remove(path)
            shutil.copyfile(source, dat)
        return prepare

    try:
        standard = catalogue(args.albums, False)
        varied = catalogue(args.albums, True)
        print("albums: %d   catalogue %.1f MiB, varied %.1f MiB   runs: %d (best)" % (
            args.albums, os.path.getsize(standard) / 2**20, os.path.getsize(varied) / 2**20, args.runs))
        table = Table()

        # Load and save, against reading the file.
        for label, source in (("", standard), ("varied ", varied)):
            subprocess.run(["sh", "-c", 'cat "%s" > /dev/null' % source], check=False)
            read = timed(["sh", "-c", 'cat "%s" > /dev/null' % source], args.runs)
            copy = os.path.join(work, "copy")
            shutil.copyfile(source, copy)
            write = timed(["sh", "-c", 'cat "%s" > "%s"' % (source, copy)], args.runs)
            os.remove(copy)
            # A save writes a new file and flushes it to the disk.
            durable = timed(["sh", "-c", 'cat "%s" > "%s" && sync -d "%s"' % (source, copy, copy)], args.runs,
                            prepare=lambda: os.path.exists(copy) and os.remove(copy))
            os.remove(copy)
            fresh(source)()
            info = timed([cli, "--data-dir", data, "info"], args.runs)
            save = timed([cli, "--data-dir", data, "save"], args.runs, prepare=fresh(source))
            table.row(label + "load (info)", info, "cat > /dev/null", read, 3)
            table.row(label + "save", save, "cat > /dev/null", read, 5)
            table.row(label + "save", save, "cat > copy", write)
            table.row(label + "save", save, "cat > new && sync -d", durable)
            if not label:
                fresh(source)()
                table.absolute("load peak MiB", peak_mib([cli, "--data-dir", data, "info"]), None,
                               note="file %.1f MiB" % (os.path.getsize(source) / 2**20))

        # Folded search against plain search and grep.
        fresh(standard)()
        grep = timed(["grep", "-ci", WORD, standard], args.runs)
        plain = timed([cli, "--data-dir", data, "search", "6", WORD], args.runs)
        folded = timed([cli, "--data-dir", data, "search", "6", WORD, "--fold"], args.runs)
        table.row("search (plain)", plain, "grep -ci", grep)
        table.row("search --fold", folded, "search (plain)", plain, 2)

        # Forty new files into the catalogue.
        few = library(scan_files, 4, 10)
        taglib_few = timed([scan_files, "--read", few], args.runs)
        fresh(standard)()
        info = timed([cli, "--data-dir", data, "info"], args.runs)
        dry = timed([cli, "--data-dir", data, "scan", few, "--dry-run"], args.runs)
        scan = timed([cli, "--data-dir", data, "scan", few], args.runs, prepare=fresh(standard))
        table.row("scan 40 files --dry-run", dry, "info (load)", info)
        table.row("  beyond loading", dry - info, "TagLib alone, 40 files", taglib_few)
        table.absolute("  beyond loading and tags", max(dry - info - taglib_few, 0.0), 1.0)
        table.row("scan 40 files (with save)", scan, "info (load)", info)

        # Rescan of files catalogued and unchanged.
        many = library(scan_files, args.rescan_folders, 10)
        count = args.rescan_folders * 10
        fresh(standard)()
        run([cli, "--data-dir", data, "scan", many])  # registers them, remembers them
        listing = timed(["sh", "-c", 'find "%s" -type f > /dev/null' % many], args.runs)
        taglib_many = timed([scan_files, "--read", many], 1)
        rescan = timed([cli, "--data-dir", data, "scan", many, "--dry-run"], args.runs)
        info = timed([cli, "--data-dir", data, "info"], args.runs)
        again = run([cli, "--data-dir", data, "scan", many, "--dry-run"])
        if "albums: 0 songs: 0" not in again:
            print("rescan found something new: %s" % again.strip().splitlines()[-1])
        table.row("rescan %d unchanged" % count, rescan, "find -type f", listing)
        table.row("  beyond loading", rescan - info, "TagLib alone (1 run)", taglib_many)
        table.absolute("  beyond loading", rescan - info, 0.5)

        # The window.
        fresh(standard)()
        read = timed(["sh", "-c", 'cat "%s" > /dev/null' % standard], args.runs)
        # The best of the runs for each figure; rewritten if any run rewrote.
        figures = {}
        for _ in range(args.runs):
            fresh(standard)()
            for line in run([gui, "--data-dir", data]).splitlines():
                key, _, value = line.partition(" ")
                if key not in figures:
                    figures[key] = value
                elif key == "close_rewrote_data_file":
                    figures[key] = "yes" if "yes" in (value, figures[key]) else value
                else:
                    try:
                        figures[key] = str(min(float(value), float(figures[key])))
                    except ValueError:
                        figures[key] = value
        size_mib = os.path.getsize(standard) / 2**20
        table.row("window start-up", float(figures["startup_s"]), "cat > /dev/null", read)
        table.absolute("  start-up", float(figures["startup_s"]), 3.0)
        table.absolute("  show all", float(figures["show_all_s"]), 0.5)
        table.absolute("  sort by artist", float(figures["sort_artist_s"]), 1.0)
        table.absolute("  select one album (ms)", float(figures["select_ms"]), None)
        table.absolute("  peak MiB over file size", float(figures["peak_mib"]) - size_mib, 200 * 1e6 / 2**20,
                       unit="MiB", note="peak %.0f MiB" % float(figures["peak_mib"]))
        table.absolute("  close, nothing changed", float(figures["close_s"]), None,
                       note="data file rewritten: " + figures["close_rewrote_data_file"])
    finally:
        shutil.rmtree(work, ignore_errors=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
