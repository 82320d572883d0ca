#!/usr/bin/env python3
"""What scan --redact promises, on the corpus of corpus.py: every national, resident, resident-old,
business and mobile number in every document is found, with and without --labelled (there, the
統一編號 that a label names); the redacted copy holds none of them and is the document byte for
byte elsewhere (as long, in its own encoding); nothing is found inside an amount, a date or a
landline. The UTF-8 documents give the same rows and the same redacted text through the Python
module and through libtaloma's C interface (ctypes) as through taloma-id; every document gives the
same redacted bytes and the same findings' CSV through taloma.dask.scan_file, read in small pieces
from memory://, as through taloma-id, whatever its encoding.

    check_corpus.py TALOMA_ID CORPUS_DIR LIBTALOMA"""

import ctypes
import json
import subprocess
import sys
from collections import Counter
from pathlib import Path

import fsspec

import taloma
import taloma.dask

KINDS = "national,resident,resident-old,business,mobile"
FIELDS = ("line", "column", "input", "valid", "kind")


def talomaid(program, *args):
    done = subprocess.run([program, *args], capture_output=True, check=False)
    if done.returncode not in (0, 1):
        raise RuntimeError(done.stderr.decode())
    return done.stdout, done.stderr.decode()


class ScanOptions(ctypes.Structure):
    _fields_ = [("kinds", ctypes.c_uint), ("near_misses", ctypes.c_int), ("normalize", ctypes.c_int),
                ("labelled", ctypes.c_int)]


def main(program, corpus, library):
    taloma.dask.PIECE = 4099  # numbers and characters cut between pieces
    c = ctypes.CDLL(library)
    c.taloma_redact.restype = ctypes.c_size_t
    c.taloma_scan.restype = ctypes.c_size_t
    kinds = ctypes.c_uint()
    assert c.taloma_kinds(KINDS.encode(), ctypes.byref(kinds)) == 0
    failures = []

    def expect(holds, what):
        if not holds:
            failures.append(what)

    manifest = json.loads((Path(corpus) / "manifest.json").read_text(encoding="utf-8"))
    for doc in manifest:
        path = str(Path(corpus) / doc["file"])
        original = Path(path).read_bytes()
        options = ["-k", KINDS, *doc["options"]]
        for labelled in (["--labelled"], []):
            # --labelled leaves out the 統一編號 that no label names; the other kinds stay.
            wanted = Counter(n["text"] for n in doc["numbers"]
                             if not labelled or doc["labelled"] or n["kind"] != "business")
            out, err = talomaid(program, "scan", "-f", "jsonl", *options, *labelled, path)
            rows = [json.loads(line) for line in out.decode().splitlines()]
            found = Counter(row["input"] for row in rows if row["valid"])
            missed = wanted - found
            expect(not missed, f"{doc['file']} {labelled}: not found: {sorted(missed)[:5]}")
            invented = [row["input"] for row in rows for text in doc["non_numbers"] if row["input"] in text]
            expect(not invented, f"{doc['file']}: found inside a non-number: {invented[:5]}")
            expect(("Big5" in err) == (doc["encoding"] == "cp950"), f"{doc['file']}: stderr says {err!r}")
            redacted_bytes, _ = talomaid(program, "scan", "--redact", *options, *labelled, path)
            redacted = redacted_bytes.decode(doc["encoding"])
            leaked = [text for text in wanted if text in redacted]
            expect(not leaked, f"{doc['file']} {labelled}: left in the redacted copy: {leaked[:5]}")
            expect(len(redacted_bytes) == len(original), f"{doc['file']}: the redacted copy is not as long")
        # The rows and the copy without --labelled, for the other front ends: a fed scanner in any
        # encoding, the others in UTF-8.
        memory = fsspec.filesystem("memory")
        memory.pipe("/corpus/" + doc["file"], original)
        fed = taloma.dask.scan_file("memory://corpus/" + doc["file"], "memory://copy/" + doc["file"],
                                    "memory://found/" + doc["file"], kinds=KINDS,
                                    normalize="--normalize" in doc["options"])
        found_csv, _ = talomaid(program, "scan", "-f", "csv", *options, path)
        found_csv = found_csv.replace(path.encode(), f"memory://corpus/{doc['file']}".encode())
        expect(memory.cat("/copy/" + doc["file"]) == redacted_bytes and fed["numbers"] == len(rows) and
               memory.cat("/found/" + doc["file"]) == found_csv, f"{doc['file']}: scan_file's copy or findings differ")
        if doc["encoding"] != "utf-8":
            continue
        text = original.decode()
        normalize = "--normalize" in doc["options"]
        mine = [{f: row[f] for f in FIELDS} for row in taloma.scan(text, kinds=KINDS, normalize=normalize)]
        expect(mine == [{f: row.get(f) for f in FIELDS} for row in rows],
               f"{doc['file']}: Python's rows differ from taloma-id's")
        expect(taloma.redact(text, kinds=KINDS, normalize=normalize) == redacted,
               f"{doc['file']}: Python's redacted text differs")
        settings = ScanOptions(kinds.value, 0, int(normalize), 0)
        out, length = ctypes.c_char_p(), ctypes.c_size_t()
        masked = c.taloma_redact(original, len(original), ctypes.byref(settings), ctypes.byref(out),
                                 ctypes.byref(length))
        expect(ctypes.string_at(out, length.value) == redacted_bytes and masked == len(rows),
               f"{doc['file']}: libtaloma's redacted text differs")
        c.taloma_free(out)
        expect(c.taloma_scan(original, len(original), ctypes.byref(settings), None, None) == len(rows),
               f"{doc['file']}: libtaloma finds another count")
    total = sum(len(doc["numbers"]) for doc in manifest)
    print(f"{len(manifest)} documents, {total} numbers: {len(failures)} failures")
    for failure in failures:
        print("FAILED:", failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
