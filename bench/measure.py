#!/usr/bin/env python3
"""Run one command and report its wall time and peak resident set size.

  measure.py [--peak] [--stdout FILE] [--stderr FILE] -- COMMAND [ARG...]

Prints one line on stdout: "<wall seconds> <peak RSS KiB or -> <exit status>".
Wall time is taken with a monotonic clock around spawn and wait.

Without --peak the command is started directly and the peak is reported as
"-": the kernel carries the resident high-water mark of a process across
exec, so a child spawned straight from this Python process reports at least
the interpreter's own ~14 MiB.  With --peak the command runs under GNU time
(/usr/bin/time -f %M), whose small fork adds about 1 MiB to the peak but
3 to 5 ms to the wall time; use it where the peak matters, not where a few
milliseconds do.  Without GNU time, --peak falls back to ru_maxrss from
wait4(2) and says so on stderr.

The command's stdin is /dev/null; its stdout and stderr go to the given
files (default: discarded); truncating an existing --stdout file counts
towards the wall time.  An exit status of 128+N means the command died
from signal N.
"""

import argparse
import os
import subprocess
import sys
import tempfile
import time

GNU_TIME = "/usr/bin/time"


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--peak", action="store_true", help="measure the peak RSS (via GNU time)")
    ap.add_argument("--stdout", help="file receiving the command's standard output")
    ap.add_argument("--stderr", help="file receiving the command's standard error")
    ap.add_argument("command", nargs=argparse.REMAINDER)
    args = ap.parse_args()
    cmd = args.command
    if cmd and cmd[0] == "--":
        cmd = cmd[1:]
    if not cmd:
        ap.error("no command given")

    rss_file = None
    if args.peak:
        if os.access(GNU_TIME, os.X_OK):
            fd, rss_file = tempfile.mkstemp(prefix="measure-rss-")
            os.close(fd)
            cmd = [GNU_TIME, "-f", "%M", "-o", rss_file, "--"] + cmd
        else:
            print("measure.py: %s not found, peak RSS includes the interpreter" % GNU_TIME,
                  file=sys.stderr)
    try:
        return run(cmd, args, rss_file)
    finally:
        if rss_file:
            os.unlink(rss_file)


def run(cmd, args, rss_file):

    out = err = subprocess.DEVNULL
    try:
        err = open(args.stderr, "wb") if args.stderr else subprocess.DEVNULL
        # Opening (and so truncating) the output file is part of the measured
        # time, as it is for a shell redirection "COMMAND > FILE".
        start = time.perf_counter()
        out = open(args.stdout, "wb") if args.stdout else subprocess.DEVNULL
        try:
            proc = subprocess.Popen(cmd, stdin=subprocess.DEVNULL, stdout=out, stderr=err)
        except OSError as exc:
            print("measure.py: cannot run %s: %s" % (cmd[0], exc), file=sys.stderr)
            return 127
        _, status, usage = os.wait4(proc.pid, 0)
        wall = time.perf_counter() - start
        proc.returncode = 0  # already reaped; keep Popen from waiting again
    finally:
        if out is not subprocess.DEVNULL:
            out.close()
        if err is not subprocess.DEVNULL:
            err.close()

    if os.WIFSIGNALED(status):
        code = 128 + os.WTERMSIG(status)
    else:
        code = os.WEXITSTATUS(status)
    peak = str(usage.ru_maxrss) if args.peak else "-"
    if rss_file:
        try:
            with open(rss_file) as f:
                lines = [line.strip() for line in f if line.strip()]
            # GNU time puts notes such as "Command exited with non-zero status 3" first.
            peak = str(int(lines[-1]))
        except (OSError, ValueError, IndexError):
            print("measure.py: no peak RSS from %s" % GNU_TIME, file=sys.stderr)
            peak = "-"
    print("%.4f %s %d" % (wall, peak, code))
    return 0


if __name__ == "__main__":
    sys.exit(main())
