// The Python module taloma._taloma: libtaloma's C interface with pybind11, each result a plain
// Python object with taloma-id's field names, or for pandas and Dask columns of numpy arrays. A
// sequence is checked, and a fed scanner scans, with the GIL released.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstring>
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
  VerdictKey() = default;
  explicit VerdictKey(const taloma_verdict& v)
      : texts{v.kind, v.sex, v.category, v.letter, v.place, v.reason},
        numbers{v.valid, v.position, v.expected} {}
  bool operator==(const VerdictKey&) const = default;
  std::array<const char*, 6> texts{};
  std::array<int, 3> numbers{};
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

// The columns of taloma.pandas: each field of a verdict over many rows, a boolean or number field
// as its values with a mask of the rows that have none, a text field as codes into the texts it
// can hold (taloma_field_value), -1 where it has none. Filled without the GIL.
class FieldColumns {
 public:
  FieldColumns(std::size_t rows, bool validOnly) {
    // Each field's type, from a verdict that has every field.
    const taloma_verdict every{1, "-", "-", "-", "-", "-", "-", 1, 0};
    for (std::size_t field = 0; const char* name = taloma_field_name(field); ++field) {
      if (validOnly && field > 0) break;
      Column column{name, taloma_verdict_field(&every, field, nullptr, nullptr), {}, {}, {}};
      for (std::size_t i = 0; const char* text = taloma_field_value(field, i); ++i) column.texts.push_back(text);
      if (column.type == TALOMA_FIELD_BOOLEAN) {
        column.values = py::array_t<bool>(static_cast<py::ssize_t>(rows));
      } else {
        column.values = py::array_t<std::int8_t>(static_cast<py::ssize_t>(rows));
      }
      if (column.type != TALOMA_FIELD_TEXT) column.mask = py::array_t<bool>(static_cast<py::ssize_t>(rows));
      m_columns.push_back(std::move(column));
    }
    if (m_columns.size() > kMostFields) throw std::logic_error("taloma: more fields than FieldColumns holds");
    m_count = m_columns.size();
    for (std::size_t c = 0; c < m_count; ++c) {
      Column& column = m_columns[c];
      m_at[c] = static_cast<std::int8_t*>(column.values.mutable_data());
      m_none[c] = column.type != TALOMA_FIELD_TEXT ? static_cast<bool*>(column.mask.mutable_data()) : nullptr;
    }
  }

  // Row `row`: the verdict `v`, or a missing input's, which has no field.
  void put(std::size_t row, const taloma_verdict& v) {
    // Each different verdict's values are made once; a small cache by the key's hash finds them
    // quicker than the map.
    const VerdictKey key(v);
    const std::size_t hash = VerdictKeyHash{}(key);
    Cached& cached = m_cache[(hash ^ (hash >> 23)) & (m_cache.size() - 1)];
    if (cached.row == nullptr || !(cached.key == key)) {
      const auto [at, added] = m_rows.try_emplace(key);
      if (added) at->second = rowOf(v);
      cached = {key, &at->second};
    }
    const Row& values = *cached.row;
    for (std::size_t c = 0; c < m_count; ++c) {
      m_at[c][row] = values.values[c];
      if (m_none[c] != nullptr) m_none[c][row] = values.none[c];
    }
  }
  void putValid(std::size_t row, int valid) {
    m_at[0][row] = static_cast<std::int8_t>(valid != 0);
    m_none[0][row] = false;
  }
  void putMissing(std::size_t row) {
    for (std::size_t c = 0; c < m_count; ++c) {
      m_at[c][row] = m_none[c] == nullptr ? -1 : 0;
      if (m_none[c] != nullptr) m_none[c][row] = true;
    }
  }

  // Each field by name: a text field's codes, or a tuple of values and mask.
  void addTo(py::dict& table) const {
    for (const Column& column : m_columns) {
      table[column.name] = column.type == TALOMA_FIELD_TEXT ? py::object(column.values)
                                                            : py::make_tuple(column.values, column.mask);
    }
  }

 private:
  static constexpr std::size_t kMostFields = 16;
  struct Column {
    const char* name;
    taloma_field_type type;
    std::vector<const char*> texts;
    py::array values, mask;  // a mask for all but a text field
  };
  struct Row {
    std::array<std::int8_t, kMostFields> values{};
    std::array<bool, kMostFields> none{};
  };

  Row rowOf(const taloma_verdict& v) const {
    Row row;
    for (std::size_t c = 0; c < m_columns.size(); ++c) {
      const Column& column = m_columns[c];
      int number = 0;
      const char* text = nullptr;
      const taloma_field_type type = taloma_verdict_field(&v, c, &number, &text);
      row.none[c] = type == TALOMA_FIELD_ABSENT;
      row.values[c] = static_cast<std::int8_t>(number);
      if (column.type != TALOMA_FIELD_TEXT) continue;
      row.values[c] = -1;
      for (std::size_t i = 0; text != nullptr && i < column.texts.size(); ++i) {
        if (std::strcmp(text, column.texts[i]) == 0) row.values[c] = static_cast<std::int8_t>(i);
      }
      if (!row.none[c] && row.values[c] < 0) throw std::logic_error("taloma: a text no field lists");
    }
    return row;
  }

  struct Cached {
    VerdictKey key;
    const Row* row = nullptr;
  };
  std::vector<Column> m_columns;
  std::size_t m_count = 0;
  std::array<std::int8_t*, kMostFields> m_at{};  // each column's values
  std::array<bool*, kMostFields> m_none{};       // and mask
  std::unordered_map<VerdictKey, Row, VerdictKeyHash> m_rows;
  std::array<Cached, 512> m_cache{};
};

// A one-dimensional numpy array of objects, item by item: each a str's UTF-8, or missing (None,
// NaN or `na`, pandas' NA), a block at a time. Any other item is a TypeError.
class Items {
 public:
  static constexpr std::size_t kBlock = 65536;

  Items(const py::array& values, const py::handle& na) : m_values(values), m_na(na) {
    if (values.ndim() != 1 || values.dtype().kind() != 'O') {
      throw py::type_error("taloma: a one-dimensional array of objects is needed");
    }
    m_count = static_cast<std::size_t>(values.shape(0));
  }
  std::size_t size() const { return m_count; }

  // Reads the items from `start` on, as many as a block takes; returns how many. Needs the GIL.
  std::size_t read(std::size_t start) {
    const std::size_t n = std::min(kBlock, m_count - start);
    texts.resize(n);
    lengths.resize(n);
    missing.resize(n);
    const auto* base = static_cast<const char*>(m_values.data());
    for (std::size_t i = 0; i < n; ++i) {
      PyObject* const item =
          *reinterpret_cast<PyObject* const*>(base + static_cast<py::ssize_t>(start + i) * m_values.strides(0));
      missing[i] = !PyUnicode_Check(item);
      if (!missing[i]) {
        Py_ssize_t length = 0;
        texts[i] = PyUnicode_AsUTF8AndSize(item, &length);
        if (texts[i] == nullptr) throw py::error_already_set();
        lengths[i] = static_cast<std::size_t>(length);
      } else if (item != Py_None && item != m_na.ptr() && !(PyFloat_Check(item) && std::isnan(PyFloat_AS_DOUBLE(item)))) {
        throw py::type_error("taloma: item " + std::to_string(start + i) + " is " +
                             Py_TYPE(item)->tp_name + ", not a string");
      }
    }
    return n;
  }

  std::vector<const char*> texts;
  std::vector<std::size_t> lengths;
  std::vector<std::uint8_t> missing;

 private:
  const py::array& m_values;
  py::handle m_na;
  std::size_t m_count = 0;
};

// The verdicts on an array of strings as columns; only the valid column with `validOnly`.
py::dict checkColumns(const py::array& values, const std::optional<std::string>& kinds, bool before2023,
                      bool validOnly, const py::handle& na) {
  const unsigned set = kindsOf(kinds, before2023);
  Items items(values, na);
  FieldColumns columns(items.size(), validOnly);
  for (std::size_t start = 0; start < items.size();) {
    const std::size_t n = items.read(start);
    py::gil_scoped_release released;
    for (std::size_t i = 0; i < n; ++i, ++start) {
      if (items.missing[i]) {
        columns.putMissing(start);
      } else if (validOnly) {
        columns.putValid(start, taloma_check(items.texts[i], items.lengths[i], set, nullptr));
      } else {
        taloma_verdict verdict;
        taloma_check(items.texts[i], items.lengths[i], set, &verdict);
        columns.put(start, verdict);
      }
    }
  }
  py::dict table;
  columns.addTo(table);
  return table;
}

taloma_scan_options scanOptions(const std::optional<std::string>& kinds, bool before2023,
                                bool nearMisses, bool normalize, bool labelled) {
  return {kindsOf(kinds, before2023), nearMisses ? 1 : 0, normalize ? 1 : 0, labelled ? 1 : 0};
}

// A key from Python, copied for the library: refused unless it is 32 bytes, and wiped when the
// copy goes.
class KeyCopy {
 public:
  explicit KeyCopy(const py::bytes& key) : m_bytes(key) {
    if (m_bytes.size() == 32) return;
    const std::size_t size = m_bytes.size();
    wipe();
    throw py::value_error("taloma: a key is 32 bytes (taloma.read_key reads a key file), not " +
                          std::to_string(size));
  }
  ~KeyCopy() { wipe(); }
  KeyCopy(const KeyCopy&) = delete;
  KeyCopy& operator=(const KeyCopy&) = delete;

  const unsigned char* data() const { return reinterpret_cast<const unsigned char*>(m_bytes.data()); }
  std::size_t size() const { return m_bytes.size(); }

 private:
  void wipe() { std::fill(m_bytes.begin(), m_bytes.end(), '\0'); }
  std::string m_bytes;
};

// What redact, pseudonymize and reveal write through the library: a text with its numbers
// masked, or given a key replaced by their pseudonyms (turned back with `reveal`).
class Rewrite {
 public:
  Rewrite(const taloma_scan_options& options, const std::optional<py::bytes>& key,
          const std::optional<std::string>& context, bool reveal)
      : m_options(options), m_family(context.value_or("")), m_reveal(reveal) {
    if (key) m_key.emplace(*key);
  }

  // The library's answer for one text: how many numbers it replaced, or (size_t)-1 when memory ran
  // out; the text written in *out, which taloma_free frees.
  std::size_t operator()(const char* text, std::size_t size, char** out, std::size_t* length) const {
    if (!m_key) return taloma_redact(text, size, &m_options, out, length);
    return (m_reveal ? taloma_reveal : taloma_pseudonymize)(text, size, &m_options, m_key->data(), m_key->size(),
                                                            m_family.c_str(), out, length, nullptr);
  }

  // One text written, as a str; the GIL released meanwhile.
  py::str of(const std::string& text) const {
    char* out = nullptr;
    std::size_t length = 0;
    std::size_t answer;
    {
      py::gil_scoped_release released;
      answer = (*this)(text.data(), text.size(), &out, &length);
    }
    if (answer == static_cast<std::size_t>(-1)) throw std::bad_alloc();
    py::str result(out, length);
    taloma_free(out);
    return result;
  }

 private:
  taloma_scan_options m_options;
  std::optional<KeyCopy> m_key;
  std::string m_family;
  bool m_reveal;
};

// Each string of an array redacted, or given a key pseudonymized (or revealed), a missing item as
// it was, in a list.
py::list redactEach(const py::array& values, const std::optional<std::string>& kinds, bool before2023,
                    bool nearMisses, bool normalize, bool labelled, const py::handle& na,
                    const std::optional<py::bytes>& key, const std::optional<std::string>& context, bool reveal) {
  const Rewrite rewrite(scanOptions(kinds, before2023, nearMisses, normalize, labelled), key, context, reveal);
  Items items(values, na);
  py::list out(items.size());
  std::vector<std::string> redacted;
  for (std::size_t start = 0; start < items.size();) {
    const std::size_t n = items.read(start);
    redacted.assign(n, {});
    bool failed = false;
    {
      py::gil_scoped_release released;
      for (std::size_t i = 0; i < n && !failed; ++i) {
        char* text = nullptr;
        std::size_t length = 0;
        if (items.missing[i]) continue;
        failed = rewrite(items.texts[i], items.lengths[i], &text, &length) == static_cast<std::size_t>(-1);
        if (!failed) redacted[i].assign(text, length);
        taloma_free(text);
      }
    }
    if (failed) throw std::bad_alloc();
    const auto* base = static_cast<const char*>(values.data());
    for (std::size_t i = 0; i < n; ++i, ++start) {
      out[start] = items.missing[i] ? py::reinterpret_borrow<py::object>(*reinterpret_cast<PyObject* const*>(
                                          base + static_cast<py::ssize_t>(start) * values.strides(0)))
                                    : py::object(py::str(redacted[i]));
    }
  }
  return out;
}

// `text` as a CSV field: quoted when it holds a comma, a quote or a line end.
std::string csvField(std::string_view text) {
  if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
  std::string quoted = "\"";
  for (const char c : text) quoted += c == '"' ? "\"\"" : std::string(1, c);
  return quoted + "\"";
}

// A scanner fed in pieces for taloma.dask: for each piece, its redacted bytes, how many numbers it
// settles, and with a file name those numbers as CSV rows of taloma-id scan -f csv's fields (the
// file, line, column, offset, length, input and the verdict's fields, "true" or "false", empty
// where absent). taloma_scanner does the work without the GIL, and the rows are made beside it.
class Scanner {
 public:
  Scanner(const std::optional<std::string>& kinds, bool before2023, bool nearMisses, bool normalize,
          bool labelled, bool redact, const std::optional<std::string>& file,
          const std::optional<py::bytes>& key, const std::optional<std::string>& context, bool reveal)
      : m_file(file ? std::optional(csvField(*file)) : std::nullopt) {
    taloma_scanner_options options{};
    options.size = sizeof options;
    options.scan = scanOptions(kinds, before2023, nearMisses, normalize, labelled);
    options.number = [](const taloma_found* found, const char* text, void* user) {
      static_cast<Scanner*>(user)->row(*found, std::string_view(text, found->length));
      return 0;
    };
    if (redact) {
      options.redacted = [](const char* bytes, std::size_t length, void* user) {
        static_cast<Scanner*>(user)->m_out.append(bytes, length);
        return 0;
      };
    }
    options.user = this;
    std::optional<KeyCopy> keyCopy;  // the scanner keeps no pointer to it
    if (key) {
      keyCopy.emplace(*key);
      options.key = keyCopy->data();
      options.context = context ? context->c_str() : nullptr;
      options.reveal = reveal ? 1 : 0;
    }
    m_scanner = taloma_scanner_new(&options);
    if (m_scanner == nullptr && key) throw std::runtime_error("no AES from the system, or no memory");
    if (m_scanner == nullptr) throw std::bad_alloc();
  }
  ~Scanner() { taloma_scanner_free(m_scanner); }
  Scanner(const Scanner&) = delete;
  Scanner& operator=(const Scanner&) = delete;

  py::tuple feed(const py::buffer& piece) {
    const py::buffer_info bytes = piece.request();
    return handOn([&] {
      return taloma_scanner_feed(m_scanner, static_cast<const char*>(bytes.ptr),
                                 static_cast<std::size_t>(bytes.size * bytes.itemsize));
    });
  }
  py::tuple finish() {
    return handOn([this] { return taloma_scanner_finish(m_scanner); });
  }

 private:
  void row(const taloma_found& found, std::string_view text) {
    ++m_numbers;
    if (!m_file) return;
    m_rows += *m_file;
    for (const std::uint64_t n : {found.line, found.column, std::uint64_t{found.offset}, std::uint64_t{found.length}}) {
      m_rows += ',';
      m_rows += std::to_string(n);
    }
    m_rows += ',';
    m_rows += csvField(text);
    for (std::size_t field = 0; taloma_field_name(field) != nullptr; ++field) {
      int number = 0;
      const char* value = nullptr;
      m_rows += ',';
      switch (taloma_verdict_field(&found.verdict, field, &number, &value)) {
        case TALOMA_FIELD_ABSENT: break;
        case TALOMA_FIELD_BOOLEAN: m_rows += number != 0 ? "true" : "false"; break;
        case TALOMA_FIELD_NUMBER: m_rows += std::to_string(number); break;
        case TALOMA_FIELD_TEXT: m_rows += value; break;
      }
    }
    m_rows += '\n';
  }

  // Runs `work` without the GIL; what it settled, as (redacted bytes, numbers, CSV rows).
  template <typename Work>
  py::tuple handOn(const Work& work) {
    m_out.clear();
    m_rows.clear();
    m_numbers = 0;
    int answer = 0;
    {
      py::gil_scoped_release released;
      answer = work();
    }
    if (answer != 0) throw std::bad_alloc();
    return py::make_tuple(py::bytes(m_out), m_numbers, py::bytes(m_rows));
  }

  std::optional<std::string> m_file;  // as a CSV field
  taloma_scanner* m_scanner = nullptr;
  std::string m_out, m_rows;
  std::size_t m_numbers = 0;
};

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

py::str redact(const py::object& input, const std::optional<std::string>& kinds, bool before2023,
               bool nearMisses, bool normalize, bool labelled) {
  const Rewrite rewrite(scanOptions(kinds, before2023, nearMisses, normalize, labelled), std::nullopt, std::nullopt,
                        false);
  return rewrite.of(textOf(input).bytes);
}

// The text with each number pseudonymized, or with `reveal` each pseudonym turned back, under the
// 32 bytes of `key`, as taloma-id scan --pseudonymize and --reveal write it.
py::str rewritten(const py::object& input, const py::bytes& key, const std::optional<std::string>& context,
                  bool reveal, const std::optional<std::string>& kinds, bool before2023, bool nearMisses,
                  bool normalize, bool labelled) {
  const Rewrite rewrite(scanOptions(kinds, before2023, nearMisses, normalize, labelled), key, context, reveal);
  return rewrite.of(textOf(input).bytes);
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
  // The texts each field can hold, for the categories of taloma.pandas' columns.
  py::list fieldValues;
  for (std::size_t field = 0; taloma_field_name(field) != nullptr; ++field) {
    py::list values;
    for (std::size_t i = 0; const char* text = taloma_field_value(field, i); ++i) values.append(text);
    fieldValues.append(py::tuple(values));
  }
  m.attr("_FIELD_VALUES") = py::tuple(fieldValues);
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
  m.def("_check_columns", &checkColumns, "values"_a, py::kw_only(), "kinds"_a = py::none(),
        "before_2023"_a = false, "valid_only"_a = false, "na"_a = py::none(),
        "The verdicts on an array of objects as columns, for taloma.pandas.");
  m.def("_redact_each", &redactEach, "values"_a, py::kw_only(), "kinds"_a = py::none(),
        "before_2023"_a = false, "near_misses"_a = false, "normalize"_a = false,
        "labelled"_a = false, "na"_a = py::none(), "key"_a = py::none(), "context"_a = py::none(),
        "reveal"_a = false, "Each string of an array redacted or pseudonymized, for taloma.pandas.");
  py::class_<Scanner>(m, "_Scanner", "A scanner fed in pieces, for taloma.dask.")
      .def(py::init<const std::optional<std::string>&, bool, bool, bool, bool, bool,
                    const std::optional<std::string>&, const std::optional<py::bytes>&,
                    const std::optional<std::string>&, bool>(),
           py::kw_only(), "kinds"_a = py::none(), "before_2023"_a = false, "near_misses"_a = false,
           "normalize"_a = false, "labelled"_a = false, "redact"_a = false, "file"_a = py::none(),
           "key"_a = py::none(), "context"_a = py::none(), "reveal"_a = false)
      .def("feed", &Scanner::feed, "piece"_a)
      .def("finish", &Scanner::finish);
  m.def("places", &places, py::kw_only(), "postal"_a = false,
        "The 26 letters with their places, or with postal=True the 369 postal districts.");
}
