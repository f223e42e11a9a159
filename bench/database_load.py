#!/usr/bin/env python3
"""Loading a large phrase database, side by side with libxml2: `vellix-db check` (Vellix's
own reading, from the release build of `make bench`) and `xmllint --noout` on the same
generated file, run alternately RUNS times each. Prints, for each, the median wall time, the
median CPU time (user + system) and the largest peak resident size, then the ratios. Without
xmllint (Debian package libxml2-utils) only vellix-db's figures are printed.

usage: bench/database_load.py [BUILD_DIR] [RUNS] [PHRASES ...]
       (defaults: build, 7 runs, 10000 and 100000 phrases)
"""
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

REPO = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def measure(command):
    """Wall seconds, CPU seconds and peak resident MB of one run of command."""
    with open(os.devnull, "wb") as null:
        start = time.perf_counter()
        process = subprocess.Popen(command, stdout=null, stderr=null)
        _, status, usage = os.wait4(process.pid, 0)
        wall = time.perf_counter() - start
    if os.waitstatus_to_exitcode(status) != 0:
        sys.exit(f"{command[0]} failed on {command[-1]}")
    return wall, usage.ru_utime + usage.ru_stime, usage.ru_maxrss / 1024.0


def main():
    build = sys.argv[1] if len(sys.argv) > 1 else os.path.join(REPO, "build")
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 7
    counts = [int(n) for n in sys.argv[3:]] or [10000, 100000]
    tool = os.path.join(build, "bench", "tools", "vellix-db", "vellix-db")
    if not os.access(tool, os.X_OK):
        sys.exit(f"{tool} is missing: run make bench first")
    xmllint = shutil.which("xmllint")
    with open("/proc/loadavg") as load:
        print(f"{os.cpu_count()} cores, load {' '.join(load.read().split()[:3])}; {runs} runs each")
    if not xmllint:
        print("xmllint not found (apt-get install libxml2-utils): vellix-db alone")
    with tempfile.TemporaryDirectory() as folder:
        for count in counts:
            path = os.path.join(folder, f"phrases-{count}.xml")
            subprocess.run([sys.executable, os.path.join(REPO, "tools", "make-database", "make_database.py"),
                            str(count), path], check=True)
            size = os.path.getsize(path) / (1024.0 * 1024.0)
            programs = {"vellix-db check": [tool, "check", path]}
            if xmllint:
                programs["xmllint --noout"] = [xmllint, "--noout", path]
            figures = {name: [] for name in programs}
            for _ in range(runs):
                for name, command in programs.items():
                    figures[name].append(measure(command))
            print(f"\n{count} phrases, {size:.1f} MB")
            medians = {}
            for name, runs_of in figures.items():
                wall = statistics.median(r[0] for r in runs_of) * 1000
                cpu = statistics.median(r[1] for r in runs_of) * 1000
                peak = max(r[2] for r in runs_of)
                medians[name] = (wall, cpu)
                print(f"  {name:16} wall {wall:8.1f} ms   cpu {cpu:8.1f} ms   peak resident {peak:7.1f} MB"
                      f" ({peak / size:.1f} x the file)")
            if xmllint:
                ours, theirs = medians["vellix-db check"], medians["xmllint --noout"]
                print(f"  vellix-db / xmllint: wall {ours[0] / theirs[0]:.2f}, cpu {ours[1] / theirs[1]:.2f}")


if __name__ == "__main__":
    main()
