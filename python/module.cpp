// The Python module taloma._taloma: libtaloma's C interface with pybind11, each result a plain
// Python object with taloma-id's field names. A sequence is checked with the GIL released.
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <algorithm>
#include <cerrno>
#include <array>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <unordered_map>
#include <vector>

#include "taloma/taloma.h"

namespace py = pybind11;

namespace {

unsigned kindsOf(const std::optional<std::string>& kinds, bool before2023) {
  unsigned set = 0;
  if (kinds && taloma_kinds(kinds->c_str(), &set) != 0) {
    throw py::value_error("taloma: unknown kind in \"" + *kinds + "\"");
  }
  return set | (before2023 ? TALOMA_BEFORE_2023 : 0u);
}

// The Python strings of the library's constant texts (names, places), made once each: a million
// rows then share a few hundred objects.
PyObject* cached(const char* text) {
  static std::unordered_map<const char*, PyObject*> strings;
  auto [at, added] = strings.try_emplace(text, nullptr);
  if (added) at->second = PyUnicode_FromString(text);
  return at->second;
}

PyObject* key(const char* name) { return cached(name); }

// A verdict's fields as taloma-id's jsonl row has them, those that apply, in its order: put(name,
// value) for each.
template <typename Put>
void eachField(const taloma_verdict& v, Put put) {
  for (std::size_t field = 0; const char* name = taloma_field_name(field); ++field) {
    int number = 0;
    const char* text = nullptr;
    switch (taloma_verdict_field(&v, field, &number, &text)) {
      case TALOMA_FIELD_ABSENT: break;
      case TALOMA_FIELD_BOOLEAN: put(key(name), number != 0 ? Py_True : Py_False); break;
      case TALOMA_FIELD_NUMBER: {
        const py::int_ value(number);
        put(key(name), value.ptr());
        break;
      }
      case TALOMA_FIELD_TEXT: put(key(name), cached(text)); break;
    }
  }
}

// A row: `row` with the verdict's fields added.
py::dict rowOf(py::dict row, const taloma_verdict& v) {
  eachField(v, [&row](PyObject* name, PyObject* value) { PyDict_SetItem(row.ptr(), name, value); });
  return row;
}

// The row a bulk check copies for each input with this verdict, its input None. It is made as the
// attributes of an object of one class, whose dicts share one table of keys, so that each copy
// holds only its values: a third of the memory of a dict of its own, and quicker to make.
py::dict shapeOf(const taloma_verdict& v) {
  static PyObject* const rowClass = PyObject_CallFunction(
      reinterpret_cast<PyObject*>(&PyType_Type), "s(){}", "Row");
  if (rowClass == nullptr) throw py::error_already_set();
  const py::object shape = py::reinterpret_steal<py::object>(PyObject_CallNoArgs(rowClass));
  if (!shape) throw py::error_already_set();
  const auto put = [&shape](PyObject* name, PyObject* value) {
    if (PyObject_SetAttr(shape.ptr(), name, value) != 0) throw py::error_already_set();
  };
  put(key("input"), Py_None);
  eachField(v, put);
  return shape.attr("__dict__");
}

// What tells one verdict's row from another's: the library's texts are constants, so their
// addresses do.
struct VerdictKey {
  explicit VerdictKey(const taloma_verdict& v)
      : texts{v.kind, v.sex, v.category, v.letter, v.place, v.reason},
        numbers{v.valid, v.position, v.expected} {}
  bool operator==(const VerdictKey&) const = default;
  std::array<const char*, 6> texts;
  std::array<int, 3> numbers;
};
struct VerdictKeyHash {
  std::size_t operator()(const VerdictKey& k) const noexcept {
    std::size_t h = 0;
    for (const char* t : k.texts) h = h * 31 + std::hash<const char*>{}(t);
    for (const int n : k.numbers) h = h * 31 + static_cast<std::size_t>(n);
    return h;
  }
};

py::object check(const py::object& input, const std::optional<std::string>& kinds, bool before2023) {
  const unsigned set = kindsOf(kinds, before2023);
  if (py::isinstance<py::str>(input)) {
    const std::string text = input.cast<std::string>();
    taloma_verdict verdict;
    taloma_check(text.data(), text.size(), set, &verdict);
    py::dict row;
    row["input"] = input;
    return rowOf(row, verdict);
  }
  // A sequence (a list, a tuple, a pandas Series), a block at a time: the block's texts found,
  // checked without the GIL, and its rows made. Python keeps each string's UTF-8 form with it
  // (ASCII ones are their own), so nothing is copied.
  const py::object sequence = py::reinterpret_steal<py::object>(
      PySequence_Fast(input.ptr(), "taloma: check takes a string or a sequence of strings"));
  if (!sequence) throw py::error_already_set();
  const Py_ssize_t count = PySequence_Fast_GET_SIZE(sequence.ptr());
  PyObject** const items = PySequence_Fast_ITEMS(sequence.ptr());
  constexpr Py_ssize_t kBlock = 4096;
  std::vector<py::object> texts(kBlock);  // each item as a str
  std::vector<const char*> pointers(kBlock);
  std::vector<std::size_t> lengths(kBlock);
  std::vector<taloma_verdict> verdicts(kBlock);
  // Most rows share their verdict with many others: each different verdict's row is made once,
  // with the input as None, and copied for each row that has it, then the input set in its place.
  std::unordered_map<VerdictKey, py::dict, VerdictKeyHash> shapes;
  PyObject* const inputKey = key("input");
  py::list rows(count);
  for (Py_ssize_t start = 0; start < count; start += kBlock) {
    const auto size = static_cast<std::size_t>(std::min(kBlock, count - start));
    for (std::size_t i = 0; i < size; ++i) {
      const py::handle item = items[start + static_cast<Py_ssize_t>(i)];
      texts[i] = PyUnicode_Check(item.ptr()) ? py::reinterpret_borrow<py::object>(item)
                                             : py::object(py::str(item));
      Py_ssize_t length = 0;
      pointers[i] = PyUnicode_AsUTF8AndSize(texts[i].ptr(), &length);
      if (pointers[i] == nullptr) throw py::error_already_set();
      lengths[i] = static_cast<std::size_t>(length);
    }
    {
      py::gil_scoped_release released;
      taloma_check_many(pointers.data(), lengths.data(), size, set, verdicts.data());
    }
    for (std::size_t i = 0; i < size; ++i) {
      auto [shape, added] = shapes.try_emplace(VerdictKey(verdicts[i]));
      if (added) shape->second = shapeOf(verdicts[i]);
      PyObject* const row = PyDict_Copy(shape->second.ptr());
      if (row == nullptr) throw py::error_already_set();
      PyList_SET_ITEM(rows.ptr(), start + static_cast<Py_ssize_t>(i), row);
      if (PyDict_SetItem(row, inputKey, texts[i].ptr()) != 0) throw py::error_already_set();
    }
  }
  return rows;
}

std::string decode(const std::string& input, const std::optional<std::string>& kinds,
                   bool before2023, const std::string& lang) {
  const unsigned set = kindsOf(kinds, before2023);
  const int chinese = lang.rfind("zh", 0) == 0 ? 1 : 0;
  std::string sentence(taloma_decode(input.data(), input.size(), set, chinese, nullptr, 0), '\0');
  taloma_decode(input.data(), input.size(), set, chinese, sentence.data(), sentence.size() + 1);
  return sentence;
}

std::string listOf(const py::object& value) {
  if (value.is_none()) return {};
  if (py::isinstance<py::str>(value)) return value.cast<std::string>();
  std::string list;
  for (const py::handle item : value) list += (list.empty() ? "" : ",") + py::str(item).cast<std::string>();
  return list;
}

std::vector<std::string> generate(std::uint64_t count, std::uint64_t seed, const std::string& kind,
                                  const py::object& places, const std::optional<std::string>& sex,
                                  const py::object& categories, bool unique, bool current,
                                  bool since2023) {
  unsigned kindBit = 0;
  if (taloma_kinds(kind.c_str(), &kindBit) != 0 || kindBit == 0 || (kindBit & (kindBit - 1)) != 0) {
    throw py::value_error("taloma: unknown kind \"" + kind + "\"");
  }
  taloma_gen_options options = taloma_gen_defaults(seed);
  options.kind = static_cast<taloma_kind>(__builtin_ctz(kindBit));
  const std::string placeList = listOf(places), categoryList = listOf(categories);
  options.places = placeList.c_str();
  options.categories = categoryList.c_str();
  options.sex = !sex ? -1 : *sex == "male" ? 0 : *sex == "female" ? 1 : -2;
  options.unique = unique ? 1 : 0;
  options.current = current ? 1 : 0;
  options.since_2023 = since2023 ? 1 : 0;
  if (options.sex == -2) throw py::value_error("taloma: unknown sex \"" + *sex + "\": male or female");
  char* reason = nullptr;
  taloma_generator* generator = taloma_generator_open(&options, &reason);
  if (generator == nullptr) {
    const std::string why(reason != nullptr ? reason : "out of memory");
    taloma_free(reason);
    throw py::value_error("taloma: " + why);
  }
  if (unique && count > taloma_generator_size(generator)) {
    taloma_generator_free(generator);
    throw py::value_error("taloma: fewer different numbers than asked for");
  }
  std::vector<std::string> numbers;
  numbers.reserve(count);
  char number[32];
  for (std::uint64_t n = 0; n < count; ++n) {
    numbers.emplace_back(number, taloma_generator_next(generator, number, sizeof number));
  }
  taloma_generator_free(generator);
  return numbers;
}

taloma_scan_options scanOptions(const std::optional<std::string>& kinds, bool before2023,
                                bool nearMisses, bool normalize, bool labelled) {
  return {kindsOf(kinds, before2023), nearMisses ? 1 : 0, normalize ? 1 : 0, labelled ? 1 : 0};
}

// Every number in `text`, found with the GIL released.
std::vector<taloma_found> findAll(const std::string& text, const taloma_scan_options& options) {
  std::vector<taloma_found> found;
  py::gil_scoped_release released;
  taloma_scan(text.data(), text.size(), &options,
              [](const taloma_found* each, void* user) {
                static_cast<std::vector<taloma_found>*>(user)->push_back(*each);
                return 0;
              },
              &found);
  return found;
}

// A text as the library takes it: a str as UTF-8, whose positions count code points, or bytes as
// they are, whose positions count bytes.
struct Text {
  std::string bytes;
  bool unicode;
};
Text textOf(const py::object& text) {
  if (py::isinstance<py::str>(text)) return {text.cast<std::string>(), true};
  return {py::bytes(text).cast<std::string>(), false};
}

// Each found number's offset and length in the text's own unit, counted on from the last one.
class Positions {
 public:
  explicit Positions(const Text& text) : m_text(text) {}
  std::pair<std::size_t, std::size_t> of(const taloma_found& found) {
    if (!m_text.unicode) return {found.offset, found.length};
    m_at += codePoints(m_byte, found.offset);
    m_byte = found.offset;
    return {m_at, codePoints(found.offset, found.offset + found.length)};
  }

 private:
  std::size_t codePoints(std::size_t from, std::size_t to) const {
    std::size_t count = 0;
    for (std::size_t i = from; i < to; ++i) count += (static_cast<unsigned char>(m_text.bytes[i]) & 0xC0) != 0x80;
    return count;
  }
  const Text& m_text;
  std::size_t m_byte = 0, m_at = 0;
};

py::list scan(const py::object& input, const std::optional<std::string>& kinds, bool before2023,
              bool nearMisses, bool normalize, bool labelled) {
  const Text text = textOf(input);
  const std::vector<taloma_found> found =
      findAll(text.bytes, scanOptions(kinds, before2023, nearMisses, normalize, labelled));
  Positions positions(text);
  py::list rows(found.size());
  std::size_t i = 0;
  for (const taloma_found& each : found) {
    py::dict row;
    PyObject* const dict = row.ptr();
    const auto put = [dict](const char* name, PyObject* value) {
      PyDict_SetItem(dict, key(name), value);
      Py_DECREF(value);
    };
    const auto [offset, length] = positions.of(each);
    put("line", PyLong_FromUnsignedLongLong(each.line));
    put("column", PyLong_FromUnsignedLongLong(each.column));
    put("offset", PyLong_FromSize_t(offset));
    put("length", PyLong_FromSize_t(length));
    put("input", PyUnicode_DecodeUTF8(text.bytes.data() + each.offset, static_cast<Py_ssize_t>(each.length), "replace"));
    rows[i++] = rowOf(row, each.verdict);
  }
  return rows;
}

// scan's findings as columns (line, column, input and the verdict's fields, None where a field
// does not apply), which a DataFrame takes whole: for taloma.dask, where findings travel.
py::dict scanTable(const py::object& input, const std::optional<std::string>& kinds, bool before2023,
                   bool nearMisses, bool normalize, bool labelled) {
  const Text text = textOf(input);
  const std::vector<taloma_found> found =
      findAll(text.bytes, scanOptions(kinds, before2023, nearMisses, normalize, labelled));
  const std::size_t n = found.size();
  Positions positions(text);
  py::list line(n), column(n), offset(n), length(n), input_(n);
  std::vector<py::list> fields;
  for (std::size_t field = 0; taloma_field_name(field) != nullptr; ++field) fields.emplace_back(n);
  for (std::size_t i = 0; i < n; ++i) {
    const taloma_found& f = found[i];
    const auto [at, size] = positions.of(f);
    line[i] = f.line;
    column[i] = f.column;
    offset[i] = at;
    length[i] = size;
    input_[i] = py::str(text.bytes.data() + f.offset, f.length);
    for (std::size_t field = 0; field < fields.size(); ++field) fields[field][i] = py::none();
    std::size_t field = 0;
    eachField(f.verdict, [&](PyObject* name, PyObject* value) {
      while (key(taloma_field_name(field)) != name) ++field;
      fields[field][i] = py::reinterpret_borrow<py::object>(value);
    });
  }
  py::dict table;
  table["line"] = line, table["column"] = column, table["offset"] = offset, table["length"] = length;
  table["input"] = input_;
  for (std::size_t field = 0; field < fields.size(); ++field) table[taloma_field_name(field)] = fields[field];
  return table;
}

py::str redact(const py::object& input, const std::optional<std::string>& kinds, bool before2023,
               bool nearMisses, bool normalize, bool labelled) {
  const std::string text = textOf(input).bytes;
  const taloma_scan_options options = scanOptions(kinds, before2023, nearMisses, normalize, labelled);
  char* out = nullptr;
  std::size_t length = 0;
  std::size_t masked;
  {
    py::gil_scoped_release released;
    masked = taloma_redact(text.data(), text.size(), &options, &out, &length);
  }
  if (masked == static_cast<std::size_t>(-1)) throw std::bad_alloc();
  py::str result(out, length);
  taloma_free(out);
  return result;
}

// The text with each number pseudonymized, or with `reveal` each pseudonym turned back, under the
// 32 bytes of `key`, as taloma-id scan --pseudonymize and --reveal write it.
py::str rewritten(const py::object& input, const py::bytes& key, const std::optional<std::string>& context,
                  bool reveal, const std::optional<std::string>& kinds, bool before2023, bool nearMisses,
                  bool normalize, bool labelled) {
  const std::string text = textOf(input).bytes;
  const std::string keyBytes = key;
  if (keyBytes.size() != 32) {
    throw py::value_error("taloma: a key is 32 bytes (taloma.read_key reads a key file), not " +
                          std::to_string(keyBytes.size()));
  }
  const taloma_scan_options options = scanOptions(kinds, before2023, nearMisses, normalize, labelled);
  const std::string family = context.value_or("");
  char* out = nullptr;
  std::size_t length = 0;
  std::size_t replaced;
  {
    py::gil_scoped_release released;
    const auto* bytes = reinterpret_cast<const unsigned char*>(keyBytes.data());
    replaced = (reveal ? taloma_reveal : taloma_pseudonymize)(text.data(), text.size(), &options, bytes,
                                                              keyBytes.size(), family.c_str(), &out,
                                                              &length, nullptr);
  }
  if (replaced == static_cast<std::size_t>(-1)) throw std::bad_alloc();
  py::str result(out, length);
  taloma_free(out);
  return result;
}

// The key in a key file, and whether other users may read the file; OSError for a file that
// cannot be read, ValueError for one that holds no key.
py::tuple readKey(const std::string& path) {
  unsigned char key[32];
  int exposed = 0;
  const int result = taloma_read_key(path.c_str(), key, &exposed);
  if (result > 0) {
    errno = result;
    PyErr_SetFromErrnoWithFilename(PyExc_OSError, path.c_str());
    throw py::error_already_set();
  }
  if (result < 0) {
    throw py::value_error(path + " is not a key file: it must hold 64 hexadecimal characters and a newline, "
                          "nothing else");
  }
  py::bytes bytes(reinterpret_cast<const char*>(key), sizeof key);
  std::fill(std::begin(key), std::end(key), 0);
  return py::make_tuple(bytes, exposed != 0);
}

py::list places(bool postal) {
  py::list rows;
  if (postal) {
    taloma_district d;
    for (std::size_t i = 0; taloma_district_at(i, &d) == 0; ++i) {
      py::dict row;
      if (*d.letter != '\0') row["letter"] = d.letter;
      if (*d.place != '\0') row["place"] = d.place;
      row["district"] = d.district;
      row["postal_code"] = d.postal_code;
      rows.append(row);
    }
    return rows;
  }
  taloma_place p;
  for (std::size_t i = 0; taloma_place_at(i, &p) == 0; ++i) {
    py::dict row;
    row["letter"] = p.letter;
    row["value"] = p.value;
    row["place"] = p.name;
    if (*p.area_code != '\0') row["area_code"] = p.area_code;
    row["postal_count"] = p.postal_count;
    if (p.last_issued != 0) row["last_issued"] = p.last_issued;
    rows.append(row);
  }
  return rows;
}

}  // namespace

PYBIND11_MODULE(_taloma, m) {
  using namespace pybind11::literals;
  m.doc() = "Taloma's rules: Taiwanese identity-card numbers and the other numbers of a form.";
  m.attr("__version__") = taloma_version();
  py::list kindNames, fieldNames;
  for (unsigned kind = 0; const char* name = taloma_kind_name(kind); ++kind) kindNames.append(name);
  for (std::size_t field = 0; const char* name = taloma_field_name(field); ++field) fieldNames.append(name);
  m.attr("KINDS") = py::tuple(kindNames);
  m.attr("FIELDS") = py::tuple(fieldNames);
  m.def("check", &check, "input"_a, py::kw_only(), "kinds"_a = py::none(), "before_2023"_a = false,
        "The verdict on one string as a dict with taloma-id's field names, or a list of them for a "
        "sequence of strings (checked with the GIL released).");
  m.def("decode", &decode, "input"_a, py::kw_only(), "kinds"_a = py::none(),
        "before_2023"_a = false, "lang"_a = "en", "The verdict in a sentence; lang='zh-TW' for Chinese.");
  m.def("generate", &generate, py::kw_only(), "count"_a = 1, "seed"_a, "kind"_a = "national",
        "places"_a = py::none(), "sex"_a = py::none(), "categories"_a = py::none(),
        "unique"_a = false, "current"_a = false, "since_2023"_a = false,
        "The numbers taloma-id gen prints for the same options.");
  m.def("scan", &scan, "text"_a, py::kw_only(), "kinds"_a = py::none(), "before_2023"_a = false,
        "near_misses"_a = false, "normalize"_a = false, "labelled"_a = false,
        "The numbers in a text: dicts with line, column, offset and length (in code points of a str, "
        "bytes of bytes), the input and the verdict.");
  m.def("_scan_table", &scanTable, "text"_a, py::kw_only(), "kinds"_a = py::none(),
        "before_2023"_a = false, "near_misses"_a = false, "normalize"_a = false,
        "labelled"_a = false, "scan's findings as columns, for taloma.dask.");
  m.def("redact", &redact, "text"_a, py::kw_only(), "kinds"_a = py::none(),
        "before_2023"_a = false, "near_misses"_a = false, "normalize"_a = false,
        "labelled"_a = false, "The text with each number found masked, as taloma-id scan --redact.");
  for (const bool reveal : {false, true}) {
    m.def(reveal ? "reveal" : "pseudonymize",
          [reveal](const py::object& text, const py::bytes& key, const std::optional<std::string>& context,
                   const std::optional<std::string>& kinds, bool before2023, bool nearMisses, bool normalize,
                   bool labelled) {
            return rewritten(text, key, context, reveal, kinds, before2023, nearMisses, normalize, labelled);
          },
          "text"_a, py::kw_only(), "key"_a, "context"_a = py::none(), "kinds"_a = py::none(),
          "before_2023"_a = false, "near_misses"_a = false, "normalize"_a = false, "labelled"_a = false,
          reveal ? "The text with each pseudonym turned back into its number, as taloma-id scan --reveal."
                 : "The text with each valid number replaced by its pseudonym under the key (32 bytes) "
                   "and context, as taloma-id scan --pseudonymize.");
  }
  m.def("_read_key", &readKey, "path"_a, "The key in a key file, and whether others may read the file.");
  m.def("places", &places, py::kw_only(), "postal"_a = false,
        "The 26 letters with their places, or with postal=True the 369 postal districts.");
}
