"""Reads a spreadsheet's CSV of readings as Python's own tools do: the csv module, each time
with datetime.fromisoformat and converted to local time, each level as a float (None when
empty). Prints the median seconds of RUNS readings: read_csv.py FILE [RUNS]"""
import csv
import datetime
import statistics
import sys
import time


def read(path):
    rows = []
    with open(path, newline="", encoding="utf-8-sig") as f:
        reader = csv.reader(f)
        next(reader)  # the header
        for when, level, note in reader:
            rows.append((datetime.datetime.fromisoformat(when).astimezone(),
                         float(level) if level else None, note))
    return rows


runs = int(sys.argv[2]) if len(sys.argv) > 2 else 5
times = []
for _ in range(runs):
    start = time.perf_counter()
    read(sys.argv[1])
    times.append(time.perf_counter() - start)
print(statistics.median(times))
