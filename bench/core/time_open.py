#!/usr/bin/python3
"""Times the whole open of a large FITS spectrum as two processes in the same run:
"orvalumetrix-cli info FILE" against peer_open_cfitsio (the same work done with cfitsio).

    bench/core/time_open.py BUILD_DIR [--points N] [--runs R]

The file (BITPIX -32, N = 2^24 points by default) is written once by the peer into the
system's temporary folder. The two programs run alternately, R times each after one warm-up
run each (so both find the file in the page cache); the medians and their ratio are printed.
Check `uptime` first: other work on the machine shows in the figures.
"""
import argparse
import os
import statistics
import subprocess
import sys
import tempfile
import time


def run_once(cmd):
    t0 = time.perf_counter()
    subprocess.run(cmd, stdout=subprocess.DEVNULL, check=True)
    return time.perf_counter() - t0


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("build_dir")
    ap.add_argument("--points", type=int, default=1 << 24)
    ap.add_argument("--runs", type=int, default=15)
    a = ap.parse_args()
    cli = os.path.join(a.build_dir, "orvalumetrix-cli")
    peer = os.path.join(a.build_dir, "bench", "peer_open_cfitsio")
    for p in (cli, peer):
        if not os.access(p, os.X_OK):
            sys.exit(f"missing {p} (build orvalumetrix-cli and peer_open_cfitsio)")
    fits = os.path.join(tempfile.gettempdir(), f"orva-open-{a.points}.fits")
    if not os.path.exists(fits):
        subprocess.run([peer, "--make", fits, str(a.points)], check=True)
    ours_cmd, peer_cmd = [cli, "info", fits], [peer, fits]
    # Both must agree on what they found.
    ours_out = subprocess.run(ours_cmd, capture_output=True, text=True, check=True).stdout
    peer_out = subprocess.run(peer_cmd, capture_output=True, text=True, check=True).stdout
    for line in peer_out.splitlines():
        if line not in ours_out.splitlines():
            sys.exit(f"results differ: peer says '{line}'")
    ours, theirs = [], []
    for _ in range(a.runs):
        ours.append(run_once(ours_cmd))
        theirs.append(run_once(peer_cmd))
    mo, mp = statistics.median(ours), statistics.median(theirs)
    print(f"file: {fits} ({a.points} points, {os.path.getsize(fits)} bytes), {a.runs} runs each")
    print(f"orvalumetrix-cli info : median {mo * 1000:8.1f} ms  (min {min(ours) * 1000:.1f})")
    print(f"peer_open_cfitsio     : median {mp * 1000:8.1f} ms  (min {min(theirs) * 1000:.1f})")
    print(f"ratio (ours / peer)   : {mo / mp:.3f}")


if __name__ == "__main__":
    main()
