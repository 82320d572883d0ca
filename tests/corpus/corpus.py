#!/usr/bin/env python3
"""A seeded corpus of the documents these numbers leave a company in: CSV with and without quotes,
TSV, JSON lines, logs, Chinese prose, full-width forms, lists, Big5, UTF-16 and lower case, each
with valid numbers of the kinds that must never leak and with what must never be taken for one
(amounts, dates, landlines; order numbers, which pass a 統一編號 check by chance, are noise).
The numbers are made here, by the published rules, apart from the program.

    corpus.py OUT_DIR [--seed N] [--rows N]   writes the documents and manifest.json

manifest.json lists, per document: its file, its encoding, the scan options it needs, the numbers
in it ({"kind", "text"} as written), the non-numbers, and whether its 統一編號 carry labels that
--labelled looks for."""

import argparse
import json
import random
from pathlib import Path

LETTERS = "ABCDEFGHJKLMNPQRSTUVXYWZIO"  # by letter value, 10 to 35
KINDS = ("national", "resident", "resident-old", "business", "mobile")


def check_digit(letter, second, serial):
    value = 10 + LETTERS.index(letter)
    second_value = int(second) if second.isdigit() else (10 + LETTERS.index(second)) % 10
    total = value // 10 + 9 * (value % 10) + 8 * second_value
    total += sum((7 - i) * int(d) for i, d in enumerate(serial))
    return str((10 - total % 10) % 10)


def business_valid(digits, divisor=5):
    total = sum(sum(divmod(int(d) * w, 10)) for d, w in zip(digits, (1, 2, 1, 2, 1, 2, 4, 1)))
    return total % divisor == 0 or (digits[6] == "7" and (total + 1) % divisor == 0)


class Maker:
    def __init__(self, seed):
        self.r = random.Random(seed)

    def identity(self, kind):
        letter = self.r.choice(LETTERS)
        second = {"national": "12", "resident": "89", "resident-old": "ABCD"}[kind]
        second = self.r.choice(second)
        serial = "".join(self.r.choice("0123456789") for _ in range(7))
        return letter + second + serial + check_digit(letter, second, serial)

    def business(self):
        while True:
            digits = "".join(self.r.choice("0123456789") for _ in range(8))
            if business_valid(digits):
                return digits

    def mobile(self, styled=True):
        digits = "9" + "".join(self.r.choice("0123456789") for _ in range(8))
        style = self.r.randrange(5) if styled else 0
        if style == 1:
            return f"0{digits[:3]}-{digits[3:6]}-{digits[6:]}"
        if style == 2:
            return f"0{digits[:3]} {digits[3:6]} {digits[6:]}"
        if style == 3:
            return f"+886 {digits[:3]} {digits[3:6]} {digits[6:]}"
        return "0" + digits

    def number(self, kind, styled=True):
        if kind == "business":
            return self.business()
        if kind == "mobile":
            return self.mobile(styled)
        return self.identity(kind)

    def any_identity(self):
        return self.identity(self.r.choice(KINDS[:3]))

    def non_number(self):
        r = self.r
        return r.choice([
            f"NT${r.randrange(10, 99)},{r.randrange(100, 999)},{r.randrange(100, 999)}",
            f"{r.randrange(1, 9)},{r.randrange(100, 999)},{r.randrange(100, 999)},{r.randrange(100, 999)}",
            f"{r.randrange(2000, 2030)}/{r.randrange(1, 12):02}/{r.randrange(1, 28):02}",
            f"{r.randrange(2000, 2030)}-{r.randrange(1, 12):02}-{r.randrange(1, 28):02}",
            f"0{r.randrange(2, 8)}-{r.randrange(2000, 9999)}-{r.randrange(1000, 9999)}",
            f"(0{r.randrange(2, 8)}){r.randrange(2000, 9999)}-{r.randrange(1000, 9999)}",
            f"{r.randrange(10, 99999)}.{r.randrange(10, 99)}",
        ])

    def order(self):
        return str(self.r.randrange(10_000_000, 99_999_999))


WIDE = {chr(c): chr(c + 0xFEE0) for c in range(0x21, 0x7F)}
WIDE[" "] = "\u3000"


def wide(text):
    return "".join(WIDE.get(c, c) for c in text)


class Document:
    def __init__(self, name, encoding="utf-8", options=(), labelled=True):
        self.name, self.encoding, self.options, self.labelled = name, encoding, list(options), labelled
        self.lines, self.numbers, self.non_numbers = [], [], []

    def put(self, kind, text):
        self.numbers.append({"kind": kind, "text": text})
        return text

    def noise(self, text):
        self.non_numbers.append(text)
        return text


def make(out_dir, seed=1, rows=50):
    m = Maker(seed)
    r = m.r
    docs = []

    def new(*args, **kwargs):
        docs.append(Document(*args, **kwargs))
        return docs[-1]

    csv = new("customers.csv")
    quoted = new("customers_quoted.csv")
    tsv = new("customers.tsv")
    big5 = new("customers_big5.csv", encoding="cp950")
    csv.lines.append("序號,姓名,身分證字號,手機,統一編號,金額,訂單編號")
    quoted.lines.append('"序號","姓名","身分證字號","電話","統編","地址"')
    tsv.lines.append("序號\t姓名\t身分證字號\t行動電話\t統一編號\t日期")
    big5.lines.append("序號,姓名,身分證字號,手機,統一編號,備註")
    for i in range(1, rows + 1):
        kind = r.choice(KINDS[:3])
        csv.lines.append(",".join([str(i), "王小明", csv.put(kind, m.number(kind)),
                                   csv.put("mobile", m.mobile(False)), csv.put("business", m.business()),
                                   '"' + csv.noise(m.non_number()) + '"', m.order()]))
        quoted.lines.append(",".join(f'"{f}"' for f in [
            str(i), "Wang, Hsiao-Ming", quoted.put(kind, m.number(kind)), quoted.put("mobile", m.mobile()),
            quoted.put("business", m.business()), f"No. {r.randrange(1, 300)}, Sec. 2, Zhongshan Rd."]))
        tsv.lines.append("\t".join([str(i), "陳大文", tsv.put(kind, m.number(kind)),
                                    tsv.put("mobile", m.mobile()), tsv.put("business", m.business()),
                                    tsv.noise(m.non_number())]))
        number = m.number(kind)
        big5.lines.append(",".join([str(i), "林美麗", big5.put(kind, wide(number) if i % 3 == 0 else number),
                                    big5.put("mobile", m.mobile(False)), big5.put("business", m.business()),
                                    "乙" + big5.noise(m.non_number())]))
    jsonl = new("events.jsonl", labelled=False)
    log = new("app.log")
    prose = new("letters.txt")
    utf16 = new("letters_utf16.txt", encoding="utf-16")
    full = new("form_fullwidth.txt")
    lists = new("lists.txt", labelled=False)
    bare = new("unlabelled.txt", labelled=False)
    lower = new("lower_case.txt", options=["--normalize"])
    for i in range(rows):
        kind = r.choice(KINDS[:3])
        jsonl.lines.append(json.dumps({"id": jsonl.put(kind, m.number(kind)), "phone": jsonl.put("mobile", m.mobile()),
                                       "vat": jsonl.put("business", m.business()), "amount": jsonl.noise(m.non_number())},
                                      ensure_ascii=False))
        log.lines.append(f"2026-12-07T13:05:{i % 60:02} INFO session={r.randrange(10**6)} user={log.put(kind, m.number(kind))} "
                         f"phone={log.put('mobile', m.mobile())} 統編={log.put('business', m.business())} "
                         f"order={m.order()} amount={log.noise(m.non_number())}")
        for doc in (prose, utf16):
            doc.lines.append(f"客戶（身分證字號 {doc.put(kind, m.number(kind))}）於 {doc.noise(m.non_number())} 來電，"
                             f"手機{doc.put('mobile', m.mobile())}，公司統編{doc.put('business', m.business())}，"
                             f"電話 {doc.noise(m.non_number())}。")
            doc.lines.append("承辦人員已回覆，並請客戶留意簡訊通知與後續的補件說明。")
        full.lines.append(f"身分證：{full.put(kind, wide(m.number(kind)))}　手機：{full.put('mobile', wide(m.mobile()))}"
                          f"　統編：{full.put('business', wide(m.business()))}　金額：{wide(full.noise(m.non_number()))}")
        joiners = [",", "/", ";", "|", "、", "，", "／", "；", " , "]
        items = [lists.put(k, m.number(k, styled=False)) for k in r.sample(KINDS, 4)]
        lists.lines.append("電話:" + "".join(item + r.choice(joiners) for item in items[:-1]) + items[-1])
        lists.lines.append("[" + ",".join(f"{lists.put('mobile', m.mobile(False))},{lists.put('business', m.business())}"
                                          for _ in range(2)) + "]")
        bare.lines.append(f"ref {bare.put('business', m.business())} / {bare.put(kind, m.number(kind))} "
                          f"to {bare.put('mobile', m.mobile())}, {bare.noise(m.non_number())}")
        lower.lines.append(f"id: {lower.put(kind, m.number(kind).lower())} ok")

    out = Path(out_dir)
    out.mkdir(parents=True, exist_ok=True)
    manifest = []
    for doc in docs:
        text = "\r\n".join(doc.lines) + "\r\n" if doc.name.endswith("csv") else "\n".join(doc.lines) + "\n"
        (out / doc.name).write_bytes(text.encode(doc.encoding))
        manifest.append({"file": doc.name, "encoding": doc.encoding, "options": doc.options,
                         "labelled": doc.labelled, "numbers": doc.numbers, "non_numbers": doc.non_numbers})
    (out / "manifest.json").write_text(json.dumps(manifest, ensure_ascii=False, indent=1), encoding="utf-8")
    return manifest


if __name__ == "__main__":
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("out_dir")
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--rows", type=int, default=50)
    args = parser.parse_args()
    make(args.out_dir, args.seed, args.rows)
