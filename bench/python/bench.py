"""The Python module beside what a Python user would otherwise have, in one run:
- on a pandas Series of a million mixed strings, s.taloma.valid() and s.taloma.check() against a
  straightforward pure-Python check of the same identity-number rules, written here for the
  comparison, and taloma.check(list) against its floor of a million dicts;
- taloma.dask.scan_files on a data set of about TALOMA_BENCH_PY_MB MiB (default 1024) of mixed
  text and CSV files, on a LocalCluster of two worker processes against one, the findings equal;
- one file of TALOMA_BENCH_BIG_MB MiB (default 2048) scanned, redacted and its findings written
  by one worker process, whose whole peak memory (VmHWM) is measured.
python3 bench.py TALOMA-ID    (PYTHONPATH holds the built module)"""
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

import pandas as pd

import taloma
import taloma.dask
import taloma.pandas

TALOMA_ID = sys.argv[1]
MIB = int(os.environ.get("TALOMA_BENCH_PY_MB", "1024"))
BIG_MIB = int(os.environ.get("TALOMA_BENCH_BIG_MB", "2048"))
ROUNDS = int(os.environ.get("TALOMA_BENCH_ROUNDS", "3"))

# The pure-Python check: what a user writes from the rules' description.
LETTERS = "ABCDEFGHJKLMNPQRSTUVXYWZIO"
SECONDS = {"1": 1, "2": 2, "8": 8, "9": 9, "A": 0, "B": 1, "C": 2, "D": 3}


def python_valid(text):
    if len(text) != 10 or text[0] not in LETTERS or text[1] not in SECONDS or not text[2:].isdigit():
        return False
    value = LETTERS.index(text[0]) + 10
    total = value // 10 + (value % 10) * 9 + SECONDS[text[1]] * 8
    total += sum(int(d) * w for d, w in zip(text[2:9], (7, 6, 5, 4, 3, 2, 1))) + int(text[9])
    return total % 10 == 0


def mixed(count):
    numbers = taloma.generate(count=count, seed=1)
    out = []
    for i, n in enumerate(numbers):
        r = i % 10
        out.append(n[:9] + str((int(n[9]) + 1) % 10) if r == 6 else n.lower() if r == 7
                   else n[:7] if r == 8 else n[:4] + "X" + n[5:] if r == 9 else n)
    return out


def timed(work):
    start = time.perf_counter()
    result = work()
    return time.perf_counter() - start, result


def main():
    rows = []
    inputs = mixed(1_000_000)
    series = pd.Series(inputs)
    series.taloma.check()  # warm
    # What the bulk check of a list cannot go below: a new dict for each row, made in C by
    # copying a row of a valid number, with nothing checked.
    template = taloma.check(inputs[0])
    templates = [template] * len(inputs)
    times = {name: [] for name in ("py", "valid", "check", "list", "dicts")}
    for _ in range(ROUNDS):
        t, valid_py = timed(lambda: sum(python_valid(s) for s in inputs))
        times["py"].append(t)
        t, valid = timed(series.taloma.valid)
        times["valid"].append(t)
        t, checked = timed(series.taloma.check)
        times["check"].append(t)
        t, rows_t = timed(lambda: taloma.check(inputs))
        times["list"].append(t)
        if not valid_py == valid.sum() == checked["valid"].sum() == sum(row["valid"] for row in rows_t):
            raise SystemExit("the checks disagree")
        del rows_t, checked
        times["dicts"].append(timed(lambda: list(map(dict.copy, templates)))[0])
    p, v, c, b, d = (statistics.median(times[name]) for name in ("py", "valid", "check", "list", "dicts"))
    met = lambda ratio, bar: "met" if ratio >= bar else "NOT met"
    rows.append(("pure-Python check of the identity rules, 10^6 mixed strings", f"{p:.2f} s", "", ""))
    rows.append(("s.taloma.valid() on a Series of the same", f"{v * 1000:.0f} ms, {p / v:.0f} x", ">= 30 x",
                 met(p / v, 30)))
    rows.append(("s.taloma.check(), a DataFrame of the fields", f"{c * 1000:.0f} ms, {p / c:.1f} x", ">= 10 x",
                 met(p / c, 10)))
    rows.append(("taloma.check(list), a dict a row", f"{b:.2f} s, {p / b:.1f} x", "", ""))
    rows.append(("floor of the dicts: 10^6 dicts copied from one row in C, nothing checked",
                 f"{d:.2f} s, {p / d:.1f} x", "", ""))

    from distributed import Client, LocalCluster
    work = tempfile.mkdtemp(prefix="taloma-bench-py.")
    try:
        paths = make_data(work, MIB)
        kinds = "national,resident,resident-old,business,mobile"
        times = {1: [], 2: []}
        found = {}
        for _ in range(ROUNDS):
            for workers in (1, 2):
                out = os.path.join(work, f"redacted-{workers}")
                shutil.rmtree(out, ignore_errors=True)
                with LocalCluster(n_workers=workers, threads_per_worker=1, processes=True,
                                  dashboard_address=None) as cluster, Client(cluster) as client:
                    client.run(lambda: __import__("taloma.dask"))  # the module loaded before timing
                    t, report = timed(lambda: taloma.dask.scan_files(client, paths, out, kinds=kinds))
                times[workers].append(t)
                found[workers] = report.numbers.sum()
        if found[1] != found[2]:
            raise SystemExit("one and two workers found different numbers")
        one, two = statistics.median(times[1]), statistics.median(times[2])
        rows.append((f"Dask scan and redact, {MIB} MiB in {len(paths)} files, one worker", f"{one:.2f} s", "", ""))
        rows.append(("the same, two workers", f"{two:.2f} s, {one / two:.2f} x", ">= 1.5 x", met(one / two, 1.5)))
        rows.append(("numbers found, each way", f"{found[1]}", "", ""))
        shutil.rmtree(os.path.join(work, "redacted-1"))
        shutil.rmtree(os.path.join(work, "redacted-2"))
        rows += big_file(work, paths[0], kinds)
    finally:
        shutil.rmtree(work)
    print("| Figure | Measured | Bar | Result |\n|---|---|---|---|")
    for row in rows:
        print("| " + " | ".join(row) + " |")


def big_file(work, part, kinds):
    """One file of BIG_MIB MiB, made of copies of a part of the data set, on one worker process:
    its copy and its findings written, and the worker's peak memory."""
    from distributed import Client, LocalCluster
    big = os.path.join(work, "big", "big.log")
    os.makedirs(os.path.dirname(big))
    with open(part, "rb") as source:
        block = source.read()
    with open(big, "wb") as out:
        for _ in range(max(1, (BIG_MIB << 20) // len(block))):
            out.write(block)
    size = os.path.getsize(big)
    with LocalCluster(n_workers=1, threads_per_worker=1, processes=True, dashboard_address=None) as cluster, \
            Client(cluster) as client:
        t, report = timed(lambda: taloma.dask.scan_files(client, [big], os.path.join(work, "big-out"),
                                                         os.path.join(work, "big-found"), kinds=kinds))
        peak = next(iter(client.run(peak_memory).values()))
    if list(report.status) != ["done"]:
        raise SystemExit(f"the big file failed: {report.error[0]}")
    written = os.path.getsize(os.path.join(work, "big-found", "big.log.csv"))
    return [(f"one file of {size >> 20} MiB on one worker: copy and {report.numbers[0]} findings "
             f"({written >> 20} MiB of CSV) written", f"{t:.1f} s, {size / t / (1 << 20):.0f} MiB/s", "", ""),
            ("the worker's whole peak memory (VmHWM)", f"{peak >> 20} MiB", "< 256 MiB",
             "met" if peak < 256 << 20 else "NOT met")]


def peak_memory():
    with open("/proc/self/status", encoding="ascii") as status:
        return next(int(line.split()[1]) << 10 for line in status if line.startswith("VmHWM:"))


def make_data(work, mib):
    """Files of 64 MiB, text and CSV by turns, their numbers drawn by taloma-id gen."""
    paths = []
    files = max(2, mib // 64)
    for part in range(files):
        path = os.path.join(work, f"part-{part:03d}.{'csv' if part % 2 else 'log'}")
        numbers = subprocess.run([TALOMA_ID, "gen", "-n", "200000", "--seed", str(part)],
                                 capture_output=True, check=True, text=True).stdout.split()
        with open(path, "w", encoding="utf-8") as out:
            size, n = 0, 0
            while size < (mib * 1024 * 1024) // files:
                number = numbers[n % len(numbers)]
                line = (f'{n},"Wang, Hsiao-Ming",{number},0912-345-{n % 1000:03d},No. {n % 300}\n' if part % 2
                        else f"2026-12-07T13:05:{n % 60:02d} INFO session={n * 7919} user={number} ok\n")
                out.write(line)
                size += len(line)
                n += 1
        paths.append(path)
    return paths


if __name__ == "__main__":
    main()
