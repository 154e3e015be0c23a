#include "rows/voucher.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "tallyward/error.h"

namespace tallyward {

namespace {

// Whether a text ended by NUL is the literal, compared in place (no call for a few bytes).
template <size_t N>
bool sameText(const char* text, const char (&literal)[N]) {
  for (size_t i = 0; i < N; ++i)  // the literal's NUL is compared too
    if (text[i] != literal[i]) return false;
  return true;
}

bool isRow(const pugi::xml_node& n) { return n.type() == pugi::node_element && sameText(n.name(), "z:row"); }

// The next node after n in document order, staying inside root.
pugi::xml_node nextNode(pugi::xml_node root, pugi::xml_node n) {
  if (pugi::xml_node c = n.first_child()) return c;
  while (n && n != root) {
    if (pugi::xml_node s = n.next_sibling()) return s;
    n = n.parent();
  }
  return {};
}

// The editprop value of a selected row; nullptr for a row that is not selected.
const char* selectedEditState(const pugi::xml_node& n) {
  if (!isRow(n)) return nullptr;
  // The screens write the edit state first; any other row is searched for it.
  pugi::xml_attribute edit = n.first_attribute();
  if (!edit || !sameText(edit.name(), "editprop")) edit = n.attribute("editprop");
  if (!edit) return nullptr;
  const char* state = edit.value();
  return sameText(state, "D") ? nullptr : state;
}

// The lower-cased key in a small buffer: keys are short, and lower-casing is on every read.
class LowerKey {
 public:
  explicit LowerKey(std::string_view key) {
    if (key.size() < sizeof buf_) {
      for (size_t i = 0; i < key.size(); ++i) buf_[i] = lower(key[i]);
      buf_[key.size()] = '\0';
      ptr_ = buf_;
    } else {
      big_ = lowerCase(key);
      ptr_ = big_.c_str();
    }
  }
  const char* c_str() const { return ptr_; }
  static char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

 private:
  char buf_[64];
  std::string big_;
  const char* ptr_;
};

}  // namespace

std::string lowerCase(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = LowerKey::lower(c);
  return out;
}

pugi::xml_node firstRow(const pugi::xml_node& root) {
  for (pugi::xml_node n = root.first_child(); n; n = nextNode(root, n))
    if (isRow(n)) return n;
  return {};
}

std::string GetRowValue(const pugi::xml_node& row, std::string_view key) {
  LowerKey k(key);
  return row.attribute(k.c_str()).value();
}

std::string GetHeadValue(const pugi::xml_node& node, std::string_view key) {
  pugi::xml_node row = firstRow(node);
  if (!row) throwError(err::ObjectNotSet, "Object variable not set: the document has no z:row");
  return GetRowValue(row, key);
}

std::string GetHeadValue(const Document& dom, std::string_view key) {
  return GetHeadValue(dom.dom(), key);
}

pugi::xml_node SelectedRows::iterator::nextInOrder(pugi::xml_node n) const {
  // Rows do not nest in a voucher document, but a row's children are still in document order.
  return nextNode(root_, n);
}

void SelectedRows::iterator::settle() {
  for (; at_; at_ = nextNode(root_, at_))
    if (const char* state = selectedEditState(at_)) {
      edit_ = state;
      return;
    }
}

// ---- Field index --------------------------------------------------------------------------------

size_t FieldIndex::hash(const char* s, size_t len) {
  // Cheap and good enough for a few dozen short lower-case names.
  size_t h = len * 31u;
  if (len) h += static_cast<unsigned char>(s[0]) * 7u + static_cast<unsigned char>(s[len - 1]) * 131u +
                static_cast<unsigned char>(s[len / 2]) * 17u + static_cast<unsigned char>(s[len > 1 ? 1 : 0]);
  return h % kSlots;
}

FieldIndex::FieldIndex(const std::string_view* names, size_t count) : names_(names), count_(count) {
  if (count > RowValues::kMaxFields) throw std::logic_error("too many fields for one row scan");
  slots_.fill(-1);
  terminated_.assign(names, names + count);
  for (size_t i = 0; i < count; ++i) {
    size_t h = hash(names[i].data(), names[i].size());
    while (slots_[h] >= 0) h = (h + 1) % kSlots;
    slots_[h] = static_cast<int8_t>(i);
  }
}

int FieldIndex::find(const char* name, size_t len) const {
  for (size_t h = hash(name, len);; h = (h + 1) % kSlots) {
    int i = slots_[h];
    if (i < 0) return -1;
    if (names_[i].size() == len && std::memcmp(names_[i].data(), name, len) == 0) return i;
  }
}

// ---- Row scan --------------------------------------------------------------------------------------

namespace {

// Debian ships pugixml as a compiled library only, so every accessor of an attribute is a call into
// it, and a scan of a row's twenty-odd attributes through them costs about as much as parsing the
// row. The scan therefore reads the attribute records themselves where the library lays them out as
// pugixml 1.13 does by default (name, value, previous and next attribute after a header word). A
// probe at first use checks that reading against the accessors on a small document; where they
// disagree (another version or build of the library) the scan goes through the accessors.
struct AttributeRecord {
  uintptr_t header;
  const char* name;   // nullptr reads as ""
  const char* value;  // nullptr reads as ""
  const void* previous;
  const void* next;
};

AttributeRecord recordOf(const void* attribute) {
  AttributeRecord r;
  std::memcpy(&r, attribute, sizeof r);  // the record's bytes, without claiming its type
  return r;
}

// One pointer of a record, read as recordOf reads the record.
const char* pointerAt(const void* attribute, size_t offset) {
  const char* p;
  std::memcpy(&p, static_cast<const char*>(attribute) + offset, sizeof p);
  return p;
}

bool recordsMatchAccessors() {
#if PUGIXML_VERSION == 1130 && !defined(PUGIXML_COMPACT) && !defined(PUGIXML_WCHAR_MODE)
  pugi::xml_document doc;
  if (!doc.load_string("<z:row editprop='A' iquantity='12.5' cbmemo='' x='1'/>")) return false;
  doc.first_child().append_attribute("appended");  // a record without a value
  size_t count = 0;
  for (pugi::xml_attribute a = doc.first_child().first_attribute(); a; a = a.next_attribute(), ++count) {
    const AttributeRecord r = recordOf(a.internal_object());
    if (!r.name || r.name != a.name() || (r.value ? r.value : "") != std::string_view(a.value()) ||
        (r.value && r.value != a.value()) || r.next != a.next_attribute().internal_object())
      return false;
  }
  return count == 5;
#else
  return false;
#endif
}

bool directRecords() {
  static const bool direct = recordsMatchAccessors();
  return direct;
}

}  // namespace

RowValues::RowValues(const FieldIndex& index, Scan scan)
    : index_(&index), direct_(scan == Scan::Records && directRecords()) {}

int RowValues::learn(size_t position, const char* name) {
  if (position >= kMaxAttributes) return index_->find(name);
  Seen& seen = seen_[position];
  seen.field = index_->find(name);
  if (seen.field >= 0) {
    seen.name = index_->c_str(static_cast<size_t>(seen.field));
  } else {
    seen.other = name;
    seen.name = seen.other.c_str();
  }
  const size_t length = std::strlen(seen.name);
  seen.inWords = length < kWordBytes;
  if (seen.inWords) {
    unsigned char bytes[kWordBytes] = {}, mask[kWordBytes] = {};
    std::memcpy(bytes, seen.name, length);  // the closing NUL is already in place
    std::memset(mask, 0xff, length + 1);
    std::memcpy(seen.words.data(), bytes, kWordBytes);
    std::memcpy(seen.mask.data(), mask, kWordBytes);
  }
  return seen.field;
}

void RowValues::read(const pugi::xml_node& row, std::string_view parseBuffer) {
  // Two words may be read from a name that starts in the parse buffer at least 16 bytes before
  // its end (the buffer's closing NUL counts: it is readable too).
  const size_t readable = parseBuffer.empty() ? 0 : parseBuffer.size() + 1;
  const uintptr_t wordsFrom = reinterpret_cast<uintptr_t>(parseBuffer.data());
  const size_t wordsSpan = readable >= kWordBytes ? readable - kWordBytes + 1 : 0;
  uint64_t found = 0;
  size_t position = 0;
  const auto take = [&](const char* name, const char* value) {
    int field;
    if (position >= kMaxAttributes) {
      field = index_->find(name);
    } else if (const Seen& seen = seen_[position];
               seen.inWords && reinterpret_cast<uintptr_t>(name) - wordsFrom < wordsSpan) {
      uint64_t w0, w1;
      std::memcpy(&w0, name, 8);
      std::memcpy(&w1, name + 8, 8);
      const bool same = (((w0 ^ seen.words[0]) & seen.mask[0]) | ((w1 ^ seen.words[1]) & seen.mask[1])) == 0;
      field = same ? seen.field : learn(position, name);
    } else {
      field = seen.name && std::strcmp(seen.name, name) == 0 ? seen.field : learn(position, name);
    }
    ++position;
    if (field < 0 || (found >> field & 1)) return;  // the first of two equal attributes counts
    found |= uint64_t{1} << field;
    text_[static_cast<size_t>(field)] = value;
  };
  if (direct_) {
    for (const void* at = row.first_attribute().internal_object(); at;) {
      const char* name = pointerAt(at, offsetof(AttributeRecord, name));
      const char* value = pointerAt(at, offsetof(AttributeRecord, value));
      take(name ? name : "", value ? value : "");
      at = pointerAt(at, offsetof(AttributeRecord, next));
    }
  } else {
    for (pugi::xml_attribute a = row.first_attribute(); a; a = a.next_attribute()) take(a.name(), a.value());
  }
  found_ = found;
  converted_ = 0;
}

// ---- Converters -----------------------------------------------------------------------------------

namespace {

// A plain decimal of at most 15 digits, [-]digits[.digits], as the persisted recordsets write
// numbers. Its digits form an exact integer and the power of ten is exact, so the one division is
// correctly rounded: the same double as a full conversion gives, at a fraction of the cost.
// peek(p) is the character at p, or '\0' past the end of the text. Answers where the reading
// stopped (the caller checks that this is the end of the text), or nullptr when no such decimal
// was read.
template <class Peek>
const char* readPlainDecimal(const char* p, Peek peek, double& out) {
  static constexpr double kPowers[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                       1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
  const bool negative = peek(p) == '-';
  p += negative;
  uint64_t mantissa = 0;  // may wrap past 15 digits; such a text is refused below
  size_t digits = 0, decimals = 0;
  unsigned d;
  while ((d = static_cast<unsigned char>(peek(p)) - unsigned{'0'}) < 10) {
    mantissa = mantissa * 10 + d;
    ++digits;
    ++p;
  }
  if (peek(p) == '.') {
    ++p;
    while ((d = static_cast<unsigned char>(peek(p)) - unsigned{'0'}) < 10) {
      mantissa = mantissa * 10 + d;
      ++decimals;
      ++p;
    }
  }
  digits += decimals;
  if (digits == 0 || digits > 15) return nullptr;
  double v = static_cast<double>(mantissa);
  if (decimals) v /= kPowers[decimals];
  out = negative ? -v : v;
  return p;
}

bool readPlainDecimal(std::string_view s, double& out) {
  const char* end = s.data() + s.size();
  return readPlainDecimal(s.data(), [end](const char* p) { return p < end ? *p : '\0'; }, out) == end;
}

// Everything else the number conversion reads: blanks, a sign, thousands separators, exponents.
// A number beyond the range of a Double is error 6, never a number; a text that is no number
// (NaN and Infinity included) reads 0.
double readOtherNumber(std::string_view text) {
  double v = 0;
  const char* first = text.data();
  const char* last = first + text.size();
  auto [ptr, ec] = std::from_chars(first, last, v);
  if (ec == std::errc() && ptr == last && std::isfinite(v)) return v;
  switch (readNumber(text, v)) {
    case NumberText::Number: return v;
    case NumberText::Overflow: throwOverflow(text);
    case NumberText::NotANumber: break;
  }
  return 0;
}

// StrToDbl of a field's text as the document holds it, ended by NUL.
double numberOfText(const char* text) {
  double v = 0;
  const char* stop = readPlainDecimal(text, [](const char* p) { return *p; }, v);
  if (stop && *stop == '\0') return v;
  return *text ? readOtherNumber(text) : 0;
}

// The date yyyy-mm-dd (or with / or . throughout) as the persisted recordsets write it: 1 when it
// is a calendar date, 0 when it has that shape but is no date, -1 for any other shape.
int plainDateShape(std::string_view s) {
  auto digit = [&](size_t i) { return static_cast<unsigned>(s[i] - '0') < 10 ? s[i] - '0' : -1; };
  if (s.size() != 10) return -1;
  const char sep = s[4];
  if ((sep != '-' && sep != '/' && sep != '.') || s[7] != sep) return -1;
  int v[8];
  static constexpr size_t kAt[] = {0, 1, 2, 3, 5, 6, 8, 9};
  for (size_t k = 0; k < 8; ++k)
    if ((v[k] = digit(kAt[k])) < 0) return -1;
  const int y = v[0] * 1000 + v[1] * 100 + v[2] * 10 + v[3];
  const int m = v[4] * 10 + v[5], d = v[6] * 10 + v[7];
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (y < 100 || m < 1 || m > 12 || d < 1) return 0;
  const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
  return d <= kDays[m - 1] + (m == 2 && leap ? 1 : 0) ? 1 : 0;
}

}  // namespace

double RowValues::convert(size_t field) const {
  number_[field] = has(field) ? numberOfText(text_[field]) : 0;
  converted_ |= uint64_t{1} << field;
  return number_[field];
}

double StrToDbl(std::string_view text) {
  if (text.empty()) return 0;
  double v = 0;
  if (readPlainDecimal(text, v)) return v;
  return readOtherNumber(text);
}

double VarToDbl(const Variant& value) {
  if (value.isNull()) return 0;
  try {
    return toDouble(value);
  } catch (const Error& e) {
    // An overflow is not a value that fails to convert: it must not pass as 0.
    if (e.number() == err::Overflow) throw;
    return 0;
  }
}

Date XmlDateValue(std::string_view text) {
  std::string s(text);
  for (char& c : s)
    if (c == 'T') c = ' ';
  double d = 0;
  return Date{parseDate(s, d) ? d : 0};
}

double textToDouble(std::string_view text) {
  double v = 0;
  if (readPlainDecimal(text, v)) return v;
  return toDouble(Variant(text));
}

bool textToBoolean(std::string_view text) {
  // The two words as the recordsets persist Boolean fields; every other text takes the general way.
  if (text == "True") return true;
  if (text == "False") return false;
  return toBoolean(Variant(text));
}

bool datePartIsDate(std::string_view text) {
  if (text.size() >= 10 && (text.size() == 10 || text[10] == 'T')) {
    const int shape = plainDateShape(text.substr(0, 10));
    if (shape >= 0) return shape == 1;
  }
  const size_t t = text.find('T');
  double d;
  return parseDate(t == std::string_view::npos ? text : text.substr(0, t), d);
}

// ---- Readings of the field-entry rules ---------------------------------------------------------------------------------------

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

double leadingNumber(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  const size_t numberStart = i;
  size_t digits = 0;
  while (i < text.size() && isDigit(text[i])) ++i, ++digits;
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && isDigit(text[i])) ++i, ++digits;
  }
  if (digits == 0) return 0;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    size_t j = i + 1;
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
    if (j < text.size() && isDigit(text[j])) {
      while (j < text.size() && isDigit(text[j])) ++j;
      i = j;
    }
  }
  double value = 0;
  const std::string_view number = text.substr(numberStart, i - numberStart);
  const std::errc ec = std::from_chars(number.data(), number.data() + number.size(), value).ec;
  if (ec == std::errc::result_out_of_range) {
    // Beyond the range of a Double is error 6; below it, zero.
    if (readNumber(number, value) == NumberText::Overflow) throwOverflow(text.substr(0, i));
  } else if (ec != std::errc()) {
    return 0;
  }
  return negative ? -value : value;
}

double roundCents(double value) {
  if (!std::isfinite(value) || value == 0) return value;
  // The 15 significant digits of the value and its decimal exponent: d.dddddddddddddde±x.
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.14e", std::fabs(value));
  char digits[15];
  digits[0] = buf[0];
  std::memcpy(digits + 1, buf + 2, 14);
  const int exponent = std::atoi(std::strchr(buf, 'e') + 1);
  const int kept = exponent + 1 + 2;  // digits before the point, and two after it
  if (kept >= 15) return value;       // no digit beyond the second decimal
  if (kept < 0) return 0;
  long long cents = 0;
  for (int k = 0; k < kept; ++k) cents = cents * 10 + (digits[k] - '0');
  if (digits[kept] >= '5') ++cents;
  const double rounded = static_cast<double>(cents) / 100.0;
  return value < 0 ? -rounded : rounded;
}

std::string_view datePart(std::string_view dateTime) {
  const size_t t = dateTime.find('T');
  return t == std::string_view::npos ? dateTime : dateTime.substr(0, t);
}

std::string rateDate(std::string_view date) {
  if (date.empty()) return {};
  double day = 0;
  if (!parseDate(date, day))
    throwError(err::TypeMismatch, "Type mismatch: '" + std::string(date) + "' is not a date");
  std::string text = formatDate(std::floor(day)).substr(0, 10);  // yyyy-mm-dd
  for (char& c : text)
    if (c == '-') c = '.';
  return text;
}

std::string_view trimBlanks(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

}  // namespace tallyward
