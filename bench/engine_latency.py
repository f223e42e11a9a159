"""Latency figures of the running engine (see engine_latency.sh).

For each phrase and run: the target is emptied (engine-host "clear"), the keystroke's first key
is typed, then the clock starts and xdotool types its last key; the run ends when the
target's text file holds the complete phrase. "first" is the first change after the typed
key (the first Backspace landed). Then, with the engine stopped, engine-host injects the
same records; its "inject begin" time (QueryPerformanceCounter, which Wine takes from
CLOCK_MONOTONIC_RAW) starts that clock.
"""
import statistics
import subprocess
import sys
import time

text_file, log_file, cmd_file, runs = sys.argv[1], sys.argv[2], sys.argv[3], int(sys.argv[4])
PHRASES = [("qj", "abcdefghij", 1), ("qk", "abcdefghij" * 100, 2)]
DELAY_MS = 50  # the host's 100 ms, halved for a phrase without caret movement
BACKSPACE_MS = 10


def now_us():
    return time.clock_gettime_ns(time.CLOCK_MONOTONIC_RAW) / 1000.0


def read():
    with open(text_file, "rb") as f:
        return f.read().decode("utf-8", "replace")


def wait_for(predicate, timeout=20.0):
    end = time.time() + timeout
    while time.time() < end:
        text = read()
        if predicate(text):
            return now_us(), text
        time.sleep(0.0002)
    raise SystemExit("timeout; text ends %r" % read()[-40:])


def log_lines():
    with open(log_file, "r", encoding="utf-8", errors="replace") as f:
        return f.read().splitlines()


def command(cmd):
    before = sum(1 for l in log_lines() if (" cmd %s " % cmd) in l)
    with open(cmd_file + ".tmp", "w") as f:
        f.write(cmd + "\n")
    import os
    os.replace(cmd_file + ".tmp", cmd_file)
    end = time.time() + 20
    while time.time() < end:
        lines = [l for l in log_lines() if (" cmd %s " % cmd) in l]
        if len(lines) > before:
            return lines[-1].split()[-1]
        time.sleep(0.005)
    raise SystemExit("no answer to " + cmd)


def clear():
    assert command("clear") == "1"
    wait_for(lambda t: t == "")
    subprocess.run(["xdotool", "type", "--delay", "20", " "], check=True)
    wait_for(lambda t: t == " ")
    time.sleep(0.15)


def summary(name, values_ms):
    values_ms = sorted(values_ms)
    return "%-34s median %8.1f ms  min %8.1f  max %8.1f  stdev %6.1f  (n=%d)" % (
        name, statistics.median(values_ms), values_ms[0], values_ms[-1],
        statistics.pstdev(values_ms), len(values_ms))


def measure(keystroke, phrase):
    total, first = [], []
    for _ in range(runs):
        clear()
        subprocess.run(["xdotool", "type", "--delay", "20", keystroke[:-1]], check=True)
        wait_for(lambda t: t == " " + keystroke[:-1])
        time.sleep(0.15)
        start = now_us()
        subprocess.Popen(["xdotool", "type", keystroke[-1]])
        seen = False
        t_first = None
        while True:
            text = read()
            if text == " " + phrase:
                t_done = now_us()
                break
            if text == " " + keystroke:
                seen = True
            elif seen and t_first is None:
                t_first = now_us()
            time.sleep(0.0002)
        total.append((t_done - start) / 1000.0)
        if t_first is not None:
            first.append((t_first - start) / 1000.0)
        time.sleep(0.3)
    return total, first


results = []
for keystroke, phrase, number in PHRASES:
    total, first = measure(keystroke, phrase)
    results.append((keystroke, phrase, total, first))

# The long phrase again, pasted through the clipboard (as Vellix does from 200 characters).
assert command("paste 200") == "1"
pasted_total, pasted_first = measure("qk", PHRASES[1][1])
assert command("paste 0") == "1"

# The target window's own share: the same records, injected with no expander running.
assert command("stop") == "1"
shares = []
for keystroke, phrase, number in PHRASES:
    share = []
    for _ in range(runs):
        clear()
        subprocess.run(["xdotool", "type", "--delay", "20", keystroke], check=True)
        wait_for(lambda t: t == " " + keystroke)
        time.sleep(0.15)
        mark = len(log_lines())
        assert command("inject %d" % number) == "1"
        begin = [l for l in log_lines()[mark:] if l.endswith(" inject begin")]
        begin_us = float(begin[-1].split()[0])
        t_done, _ = wait_for(lambda t: t == " " + phrase)
        share.append((t_done - begin_us) / 1000.0)
    shares.append(share)
command("start")

for (keystroke, phrase, total, first), share in zip(results, shares):
    floor = DELAY_MS + BACKSPACE_MS * len(keystroke)
    print("phrase of %d characters (keystroke %r, %d Backspaces), floor %d ms" % (
        len(phrase), keystroke, len(keystroke), floor))
    print("  " + summary("last key -> complete phrase", total))
    if first:
        print("  " + summary("last key -> first Backspace landed", first))
    print("  " + summary("target share (injected, no engine)", share))
    print("  expander's own part (median total - median share - %d ms delay): %.1f ms" % (
        DELAY_MS, statistics.median(total) - statistics.median(share) - DELAY_MS))

print("phrase of %d characters pasted through the clipboard" % len(PHRASES[1][1]))
print("  " + summary("last key -> complete phrase", pasted_total))
if pasted_first:
    print("  " + summary("last key -> first Backspace landed", pasted_first))
print("  typed / pasted (medians): %.1f" % (
    statistics.median(results[1][2]) / statistics.median(pasted_total)))
