"""The Python module against taloma-id: the case table's verdicts, seeded numbers, scan and redact;
a pandas column; and files scanned and redacted on a Dask cluster of two worker processes, the
findings and the redacted bytes equal to taloma-id's. TALOMA_ID and CASES name the program and
the table; PYTHONPATH the built module."""
import json
import os
import re
import subprocess
import tempfile
import unittest
from pathlib import Path

import pandas as pd

import taloma
import taloma.dask

TALOMA_ID = os.environ["TALOMA_ID"]


def talomaid(*args, text=""):
    done = subprocess.run([TALOMA_ID, *args], input=text.encode(), capture_output=True, check=False)
    if done.returncode not in (0, 1):
        raise RuntimeError(done.stderr.decode())
    return done.stdout.decode()


def jsonl(output):
    return [json.loads(line) for line in output.splitlines() if line]


class Rules(unittest.TestCase):
    def test_the_case_table_as_taloma_id_checks_it(self):
        with open(os.environ["CASES"], encoding="utf-8") as table:
            inputs = [json.loads(m)["input"] for m in re.findall(r'^> (\{"input":.*\})$', table.read(), re.M)]
        inputs = [i for i in inputs if i and "\n" not in i and "\0" not in i and not i.endswith("…")]
        inputs += ["04595257", "0912-345-678", "+886 912 345 678", "/ABC+123", "AB12345678901234"]
        for kinds in (None, "national", "business,certificate,carrier,donation,mobile"):
            want = jsonl(talomaid("check", "-f", "jsonl", *(["-k", kinds] if kinds else []), "--", *inputs))
            self.assertEqual(taloma.check(inputs, kinds=kinds), want)
            self.assertEqual(taloma.check(inputs * 50, kinds=kinds), want * 50)  # several blocks
            self.assertEqual([taloma.check(i, kinds=kinds) for i in inputs], want)
        self.assertEqual(taloma.check(pd.Series(["A123456789"]))[0]["place"], "台北市")
        self.assertEqual(taloma.check([10458570], kinds="business")[0]["input"], "10458570")

    def test_generate_as_taloma_id_gen(self):
        for options, args in (
            (dict(count=200, seed=42), []),
            (dict(count=50, seed=7, kind="resident", places=["A", "臺中市"], sex="female"),
             ["-k", "resident", "-p", "A,臺中市", "--sex", "female"]),
            (dict(count=30, seed=2**64 - 1, kind="business", since_2023=True), ["-k", "business", "--since-2023"]),
        ):
            want = talomaid("gen", "--seed", str(options["seed"]), "-n", str(options["count"]), *args).split()
            self.assertEqual(taloma.generate(**options), want)
        with self.assertRaises(ValueError):
            taloma.generate(seed=1, kind="mobile")

    def test_places_and_decode(self):
        self.assertEqual(taloma.places(), jsonl(talomaid("places", "-f", "jsonl")))
        self.assertEqual(len(taloma.places(postal=True)), 369)
        self.assertEqual(taloma.decode("A123456789", lang="zh-TW"), "這是正確的男性身分證字號戶籍地在台北市")
        self.assertEqual(taloma.__version__, talomaid("--version").split()[-1])


    def test_pseudonyms_as_taloma_id_writes_them(self):
        text = "王小明 A123456789，Ａ１２３４５６７８９ 統編 04595257 手機 +886 912-345-678 捐贈碼 8585\n"
        kinds = "national,business,mobile,donation"
        with tempfile.TemporaryDirectory() as folder:
            key_file = os.path.join(folder, "key")
            subprocess.run([TALOMA_ID, "key", key_file], check=True, capture_output=True)
            key = taloma.read_key(key_file)
            for context in (None, "crm"):
                extra = ["--context", context] if context else []
                want = talomaid("scan", "--pseudonymize", "--key-file", key_file, "-k", kinds, *extra, text=text)
                made = taloma.pseudonymize(text, key=key, context=context, kinds=kinds)
                self.assertEqual(made, want)
                self.assertEqual(taloma.pseudonymize(text.encode(), key=key, context=context, kinds=kinds), want)
                self.assertEqual(taloma.reveal(made, key=key, context=context, kinds=kinds),
                                 text.replace("8585", "***5"))
            with open(key_file, "w") as file:
                file.write("not a key\n")
            with self.assertRaises(ValueError):
                taloma.read_key(key_file)
        with self.assertRaises(ValueError):
            taloma.pseudonymize(text, key=key[:31])


class Declarations(unittest.TestCase):
    """The lists written out beside the program, the bindings' types, the completion and the manual,
    name the kinds, reasons and fields that the library names."""

    def test_they_name_what_the_library_names(self):
        source = Path(__file__).resolve().parents[2]
        read = lambda path: (source / path).read_text(encoding="utf-8")
        quoted = lambda text: re.findall(r'"([a-z-]+)"', text)
        reasons = talomaid("check", "-c", "-f", "csv", "-k", ",".join(taloma.KINDS)).splitlines()[0].split(",")[2:]
        dts = read("web/npm/taloma.d.ts")
        self.assertEqual(quoted(re.search(r"type Kind =([^;]*);", dts)[1]), list(taloma.KINDS))
        self.assertEqual(quoted(re.search(r"type Reason =([^;]*);", dts)[1]), reasons)
        verdict = re.search(r"interface Verdict \{(.*?)\n\}", dts, re.S)[1]
        self.assertEqual(re.findall(r"^  (\w+)\??:", verdict, re.M), list(taloma.FIELDS))
        pyi = read("python/taloma/__init__.pyi")
        self.assertEqual(quoted(re.search(r"reason: Literal\[([^]]*)\]", pyi)[1]), reasons)
        typed = re.search(r"class Verdict\(TypedDict, total=False\):(.*?)\n\n", pyi, re.S)[1]
        self.assertEqual(re.findall(r"^    (\w+):", typed, re.M), list(taloma.FIELDS))
        self.assertEqual(re.search(r"--kinds\) values='([^']*)'", read("cli/taloma-id.bash"))[1].split(),
                         list(taloma.KINDS))
        kinds = read("cli/taloma-id.1.in").split(".SH LABELS")[0]
        manual = re.findall(r"^\.TP\n\.B ([a-z-]+)$", kinds, re.M)
        self.assertEqual(manual, list(taloma.KINDS))


class Cluster(unittest.TestCase):
    def test_a_pandas_column_and_files_on_two_workers(self):
        from distributed import Client, LocalCluster

        kinds = "national,resident,resident-old,business,mobile"
        numbers = talomaid("gen", "-n", "600", "--seed", "5").split()
        with tempfile.TemporaryDirectory() as work:
            paths = []
            for part in range(6):
                path = os.path.join(work, f"part-{part}.{'csv' if part % 2 else 'log'}")
                with open(path, "w", encoding="utf-8") as out:
                    for n, number in enumerate(numbers[part * 100:(part + 1) * 100]):
                        if part % 2:
                            out.write(f'{n},"Wang, Hsiao-Ming",{number},0912-345-{n:03d},04595257\n')
                        else:
                            out.write(f"2026-12-07T13:05:{n % 60:02d} user={number} {number.lower()} ok\n")
                paths.append(path)
            with LocalCluster(n_workers=2, threads_per_worker=1, processes=True,
                              dashboard_address=None) as cluster, Client(cluster) as client:
                found = taloma.dask.scan_files(client, paths, os.path.join(work, "redacted"), kinds=kinds,
                                               near_misses=True)
                import dask.dataframe as dd
                column = dd.from_pandas(pd.Series(numbers + ["A123456788"]), npartitions=4)
                checked = taloma.dask.check_column(column).compute()
            want = jsonl(talomaid("scan", "-a", "-f", "jsonl", "-k", kinds, *paths))
            got = [{k: v for k, v in row.items() if not pd.isna(v)} for row in found.to_dict("records")]
            self.assertEqual(got, want)
            for path in paths:
                with open(path, encoding="utf-8") as original:
                    want_redacted = talomaid("scan", "--redact", "-k", kinds, text=original.read())
                with open(os.path.join(work, "redacted", os.path.basename(path)), encoding="utf-8") as copy:
                    self.assertEqual(copy.read(), want_redacted)
            self.assertEqual(checked["valid"].tolist(), [True] * 600 + [False])


if __name__ == "__main__":
    unittest.main()
