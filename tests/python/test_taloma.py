"""The Python module against taloma-id: the case table's verdicts, seeded numbers, scan and redact;
the pandas accessor's columns against the rows; and files scanned and redacted on a Dask cluster of
two worker processes, one of them killed mid-file, the findings and the redacted bytes equal to
taloma-id's. TALOMA_ID and CASES name the program and the table; PYTHONPATH the built module."""
import json
import os
import re
import signal
import subprocess
import tempfile
import threading
import unittest
from pathlib import Path

import numpy as np
import pandas as pd

import taloma
import taloma.dask
import taloma.pandas

TALOMA_ID = os.environ["TALOMA_ID"]


def talomaid(*args, text=""):
    done = subprocess.run([TALOMA_ID, *args], input=text.encode(), capture_output=True, check=False)
    if done.returncode not in (0, 1):
        raise RuntimeError(done.stderr.decode())
    return done.stdout.decode()


def jsonl(output):
    return [json.loads(line) for line in output.splitlines() if line]


def case_inputs():
    """The inputs the case table gives verdicts on, and one of each other kind."""
    with open(os.environ["CASES"], encoding="utf-8") as table:
        inputs = [json.loads(m)["input"] for m in re.findall(r'^> (\{"input":.*\})$', table.read(), re.M)]
    inputs = [i for i in inputs if i and "\n" not in i and "\0" not in i and not i.endswith("…")]
    return inputs + ["04595257", "0912-345-678", "+886 912 345 678", "/ABC+123", "AB12345678901234"]


KIND_SETS = (None, "national", "business,certificate,carrier,donation,mobile")
KEY = bytes(range(32))


class Rules(unittest.TestCase):
    def test_the_case_table_as_taloma_id_checks_it(self):
        inputs = case_inputs()
        for kinds in KIND_SETS:
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


class Pandas(unittest.TestCase):
    """s.taloma's columns hold what taloma.check's rows hold, in each dtype the accessor takes."""

    def test_the_accessor_against_the_rows(self):
        inputs = case_inputs()
        values = inputs[:5] + [None, np.nan, pd.NA] + inputs[5:]
        for dtype in (object, "string", "category"):
            series = pd.Series(values, index=[f"r{i}" for i in range(len(values))], dtype=dtype, name="id")
            for kinds in KIND_SETS:
                checked = series.taloma.check(kinds=kinds)
                got = [{k: v for k, v in row.items() if not pd.isna(v)} for row in checked.to_dict("records")]
                want = [{k: v for k, v in row.items() if k != "input"} if isinstance(value, str) else {}
                        for value, row in zip(values, taloma.check([str(v) for v in values], kinds=kinds))]
                self.assertEqual(got, want, (dtype, kinds))
                self.assertEqual(list(checked.index), list(series.index))
                pd.testing.assert_series_equal(series.taloma.valid(kinds=kinds), checked["valid"].rename("id"))
                redacted = series.taloma.redact(kinds=kinds)
                self.assertEqual([taloma.redact(v, kinds=kinds) if isinstance(v, str) else None
                                  for v in values], [None if pd.isna(v) else v for v in redacted])
                made = series.taloma.pseudonymize(key=KEY, context="crm", kinds=kinds)
                self.assertEqual([taloma.pseudonymize(v, key=KEY, context="crm", kinds=kinds)
                                  if isinstance(v, str) else None for v in values],
                                 [None if pd.isna(v) else v for v in made])
                pd.testing.assert_series_equal(made.taloma.reveal(key=KEY, context="crm", kinds=kinds),
                                               series.taloma.pseudonymize(key=KEY, kinds=kinds).taloma.reveal(
                                                   key=KEY, kinds=kinds))
            self.assertEqual(dict(checked.dtypes.map(str)),
                             dict(valid="boolean", position="Int8",
                                  **{f: "category" for f in taloma.FIELDS if f not in ("valid", "position")}))
        for refused in (pd.Series([10458570]), pd.Series([1.5]), pd.Series(["A123456789", 3])):
            with self.assertRaises(TypeError):
                refused.taloma.valid()


class Cluster(unittest.TestCase):
    """Files on a LocalCluster of two worker processes, one killed while it writes a copy: one base
    name in two folders, UTF-16, bytes of no encoding, a missing file; and s.taloma on Dask."""

    def test_files_and_columns_on_two_workers_one_killed(self):
        from distributed import Client, LocalCluster
        import dask.dataframe as dd

        kinds = "national,resident,business,mobile"
        numbers = talomaid("gen", "-n", "300000", "--seed", "5").split()
        with tempfile.TemporaryDirectory() as work:
            contents = {
                "a/app.log": "".join(f"2026-12-07 user={n} 0912-345-{i % 1000:03d} ok\n"
                                     for i, n in enumerate(numbers)).encode(),
                "b/app.log": "客戶 A123456789，統編 04595257\n".encode() * 50,
                "b/utf16.csv": "客戶,A123456789,0912-345-678\n".encode("utf-16") * 50,
                "bytes.log": b"A123456789 \x80\xff\xfe B123456780 09123\xc3\n" * 50,
            }
            for name, content in contents.items():
                Path(work, "in", name).parent.mkdir(parents=True, exist_ok=True)
                Path(work, "in", name).write_bytes(content)
            paths = [os.path.join(work, "in", name) for name in contents]
            paths[1] = "file://" + paths[1]
            paths.append(os.path.join(work, "in", "missing.log"))
            out, found = os.path.join(work, "out"), os.path.join(work, "found")
            # The first copy's part is a pipe that takes a mebibyte and no more, which stops its
            # worker half-way through the file; that worker is killed, and the retried task finds a
            # half-written part in its place.
            part = Path(out, "a", "app.log.taloma-part")
            part.parent.mkdir(parents=True)
            os.mkfifo(part)
            with LocalCluster(n_workers=2, threads_per_worker=1, processes=True,
                              dashboard_address=None) as cluster, Client(cluster) as client:
                pids = list(client.run(os.getpid).values())
                killed = []

                def kill_the_writer():
                    with open(part, "rb") as pipe:
                        pipe.read(1 << 20)
                        writer = next(pid for pid in pids for fd in os.listdir(f"/proc/{pid}/fd")
                                      if os.readlink(f"/proc/{pid}/fd/{fd}") == str(part))
                        part.unlink()
                        part.write_bytes(b"half")
                        self.assertFalse(part.with_suffix("").exists())
                        os.kill(writer, signal.SIGKILL)
                        killed.append(writer)

                killer = threading.Thread(target=kill_the_writer, daemon=True)
                killer.start()
                report = taloma.dask.scan_files(client, paths, out, found, kinds=kinds)
                killer.join(300)  # only a broken run leaves it waiting for a writer
                self.assertFalse(killer.is_alive())
                found_rows = taloma.dask.read_found(report).compute()
                again = taloma.dask.scan_files(client, paths, out, found, kinds=kinds)
                key_file = os.path.join(work, "crm.key")
                subprocess.run([TALOMA_ID, "key", key_file], check=True)
                keyed = taloma.dask.scan_files(client, paths, os.path.join(work, "pseudonyms"), None, kinds=kinds,
                                               key_file=key_file, context="crm")
                series = pd.Series(numbers[:999] + ["A123456788", None], dtype="string")
                column = dd.from_pandas(series, npartitions=4)
                pd.testing.assert_frame_equal(taloma.dask.check_column(column).compute(), series.taloma.check())
                pd.testing.assert_series_equal(column.taloma.valid().compute(), series.taloma.valid())
                pd.testing.assert_series_equal(column.taloma.redact().compute(), series.taloma.redact())
                key = taloma.read_key(key_file)
                pd.testing.assert_series_equal(column.taloma.pseudonymize(key_file=key_file).compute(),
                                               series.taloma.pseudonymize(key=key))
            self.assertEqual(len(killed), 1)
            self.assertEqual(list(report.status), ["done"] * 4 + ["failed"])
            self.assertIn("FileNotFoundError", report.error[4])
            self.assertEqual(list(again.status), ["skipped"] * 4 + ["failed"])
            self.assertEqual(list(keyed.status), ["done"] * 4 + ["failed"])
            self.assertEqual(sorted(str(p.relative_to(out)) for p in Path(out).rglob("*")),
                             ["a", "a/app.log", "b", "b/app.log", "b/utf16.csv", "bytes.log"])
            fields = pd.Series([], dtype=object).taloma.check().dtypes
            self.assertEqual(len(found_rows), report.numbers.sum())
            pd.testing.assert_series_equal(found_rows.dtypes[fields.index], fields)
            for path, name in zip(paths, contents):
                local = path.removeprefix("file://")
                taloma_id = lambda *args: subprocess.run([TALOMA_ID, "scan", "-k", kinds, *args, local],
                                                         capture_output=True).stdout
                self.assertEqual(Path(out, name).read_bytes(), taloma_id("--redact"), name)
                self.assertEqual(Path(work, "pseudonyms", name).read_bytes(),
                                 taloma_id("--pseudonymize", "--key-file", key_file, "--context", "crm"), name)
                self.assertEqual(Path(found, name + ".csv").read_bytes(),
                                 taloma_id("-f", "csv").replace(local.encode(), path.encode()), name)


if __name__ == "__main__":
    unittest.main()
