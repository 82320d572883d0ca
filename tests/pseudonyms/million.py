"""A million distinct valid numbers of each kind, pseudonymized by taloma-id, by libtaloma's C
interface and by the Python module: the same text from all three, a million distinct pseudonyms,
each valid by its kind's rule (and by the older rule of 統一編號 exactly when its number was), and
--reveal gives the input back byte for byte. Prints the figures.

python3 million.py TALOMA-ID LIBTALOMA [COUNT]
"""
import ctypes
import os
import subprocess
import sys
import tempfile

import taloma

TALOMA_ID, LIBRARY = sys.argv[1], sys.argv[2]
COUNT = int(sys.argv[3]) if len(sys.argv) > 3 else 1_000_000
KEY = bytes(range(32))


def gen(kind, count, *extra):
    out = subprocess.run([TALOMA_ID, "gen", "-k", kind, "-n", str(count), "--unique", "--seed", "43", *extra],
                         check=True, capture_output=True, text=True).stdout
    return out.splitlines()


def numbers_of(kind):
    """COUNT distinct valid numbers of `kind`."""
    if kind == "business":  # both classes of the 2023 rule: valid by both rules, by the 2023 rule alone
        return gen(kind, COUNT // 2) + gen(kind, COUNT - COUNT // 2, "--since-2023")
    if kind == "donation":  # those long enough to be enciphered, six and seven digits
        return [f"{i:06d}" for i in range(0, 10**6, 10**6 // (COUNT // 2))][: COUNT // 2] + \
               [f"{i:07d}" for i in range(0, 10**7, 10**7 // (COUNT - COUNT // 2))][: COUNT - COUNT // 2]
    if kind == "mobile":  # never drawn by gen: a spread of the 10^8
        return [f"09{i * 97 % 10**8:08d}" for i in range(COUNT)]
    return gen(kind, COUNT)


class Scan(ctypes.Structure):
    _fields_ = [("kinds", ctypes.c_uint), ("near_misses", ctypes.c_int), ("normalize", ctypes.c_int),
                ("labelled", ctypes.c_int)]


library = ctypes.CDLL(LIBRARY)
library.taloma_pseudonymize.restype = ctypes.c_size_t
library.taloma_kinds.restype = ctypes.c_int


def through_c(text, kind):
    kinds = ctypes.c_uint()
    assert library.taloma_kinds(kind.encode(), ctypes.byref(kinds)) == 0
    options = Scan(kinds.value, 0, 0, 0)
    out, length, masked = ctypes.c_char_p(), ctypes.c_size_t(), ctypes.c_size_t()
    data = text.encode()
    replaced = library.taloma_pseudonymize(data, len(data), ctypes.byref(options), KEY, len(KEY), None,
                                           ctypes.byref(out), ctypes.byref(length), ctypes.byref(masked))
    written = ctypes.string_at(out, length.value).decode()
    library.taloma_free(out)
    return replaced, masked.value, written


def taloma_id(args, data, statuses=(0,)):
    run = subprocess.run([TALOMA_ID, *args], input=data, capture_output=True)
    assert run.returncode in statuses, (args, run.returncode, run.stderr)
    return run.stdout


failures = []
with tempfile.TemporaryDirectory() as folder:
    key_file = os.path.join(folder, "key")
    with open(key_file, "w", opener=lambda path, flags: os.open(path, flags, 0o600)) as file:
        file.write(KEY.hex() + "\n")
    print(f"{'kind':<14}{'numbers':>10}{'distinct':>10}{'valid':>10}{'revealed':>12}")
    for kind in taloma.KINDS:
        numbers = numbers_of(kind)
        text = "\n".join(numbers) + "\n"
        assert len(set(numbers)) == COUNT, kind
        written = taloma_id(["scan", "--pseudonymize", "--key-file", key_file, "-k", kind], text.encode()).decode()
        replaced, masked, by_c = through_c(text, kind)
        by_python = taloma.pseudonymize(text, key=KEY, kinds=kind)
        pseudonyms = written.splitlines()
        revealed = taloma_id(["scan", "--reveal", "--key-file", key_file, "-k", kind], written.encode()).decode()
        counts = taloma_id(["check", "-c", "-f", "csv", "--no-header", "-k", kind], written.encode(), (0, 1)).decode()
        valid = int(counts.split(",")[0])
        distinct = len(set(pseudonyms))
        print(f"{kind:<14}{COUNT:>10}{distinct:>10}{valid:>10}{'byte-exact' if revealed == text else 'DIFFERS':>12}")
        if by_c != written or by_python != written:
            failures.append(f"{kind}: taloma-id, C and Python differ")
        if (replaced, masked) != (COUNT, 0) or distinct != COUNT or valid != COUNT or revealed != text:
            failures.append(f"{kind}: {replaced} replaced, {masked} masked, {distinct} distinct, {valid} valid")
        if kind == "business":  # the older rule's verdict, number by number
            older = [row["valid"] for row in taloma.check(numbers, kinds="business", before_2023=True)]
            older_pseudonyms = [row["valid"] for row in taloma.check(pseudonyms, kinds="business", before_2023=True)]
            mismatched = sum(a != b for a, b in zip(older, older_pseudonyms))
            print(f"{'':<14}older rule: {sum(older)} numbers, {sum(older_pseudonyms)} pseudonyms, {mismatched} apart")
            if mismatched:
                failures.append(f"business: {mismatched} pseudonyms of another rule's class")
if failures:
    sys.exit("\n".join(failures))
