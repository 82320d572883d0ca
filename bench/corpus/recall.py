#!/usr/bin/env python3
"""Recall and precision of taloma-id scan on the corpus of tests/corpus/corpus.py, per kind and per
shape of document, with and without --labelled; with a second taloma-id, both side by side.

    recall.py TALOMA_ID [BASELINE_TALOMA_ID] [--rows N] [--seed N]

A number found counts as right when the document holds it as written (numbers of the document
matched one for one); anything else found is wrong: an order number that passes a 統一編號 check by
chance, or what a number's edge was mistaken in."""

import argparse
import json
import subprocess
import sys
import tempfile
from collections import Counter, defaultdict
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[2] / "tests" / "corpus"))
import corpus  # noqa: E402

KINDS = "national,resident,resident-old,business,mobile"


def scan(program, path, options):
    done = subprocess.run([program, "scan", "-f", "jsonl", "-k", KINDS, *options, path],
                          capture_output=True, check=False)
    return [json.loads(line) for line in done.stdout.decode().splitlines() if line.strip()]


def measure(program, folder, manifest, labelled):
    counts = defaultdict(Counter)  # (kind, shape) -> inserted, right, wrong
    for doc in manifest:
        shape = doc["file"]
        rows = [row for row in scan(program, str(Path(folder) / shape), doc["options"] + labelled) if row["valid"]]
        left = Counter(n["text"] for n in doc["numbers"])
        for n in doc["numbers"]:
            counts[n["kind"], shape]["inserted"] += 1
        for row in rows:
            if left[row["input"]] > 0:
                left[row["input"]] -= 1
                counts[row["kind"], shape]["right"] += 1
            else:
                counts[row["kind"], shape]["wrong"] += 1
    return counts


def table(programs, folder, manifest):
    print("| kind | document | numbers | " + " | ".join(
        f"{name}{' --labelled' if labelled else ''} recall / precision"
        for name in programs for labelled in (False, True)) + " |")
    print("|---|---|---:|" + "---:|" * (2 * len(programs)))
    results = [measure(program, folder, manifest, ["--labelled"] if labelled else [])
               for program in programs.values() for labelled in (False, True)]
    keys = sorted({key for counts in results for key in counts}, key=lambda k: (corpus.KINDS.index(k[0]), k[1]))
    for kind, shape in keys:
        cells = []
        for counts in results:
            c = counts[kind, shape]
            recall = f"{100 * c['right'] / c['inserted']:.1f} %" if c["inserted"] else "-"
            found = c["right"] + c["wrong"]
            precision = f"{100 * c['right'] / found:.1f} %" if found else "-"
            cells.append(f"{recall} / {precision}")
        print(f"| {kind} | {shape} | {results[0][kind, shape]['inserted']} | " + " | ".join(cells) + " |")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("program")
    parser.add_argument("baseline", nargs="?")
    parser.add_argument("--rows", type=int, default=400)
    parser.add_argument("--seed", type=int, default=7)
    args = parser.parse_args()
    programs = {"now": args.program}
    if args.baseline:
        programs = {"before": args.baseline, **programs}
    with tempfile.TemporaryDirectory() as folder:
        manifest = corpus.make(folder, args.seed, args.rows)
        table(programs, folder, manifest)


if __name__ == "__main__":
    main()
