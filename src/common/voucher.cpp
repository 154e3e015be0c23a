#include "common/voucher.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>

#include "tallyward/error.h"

namespace tallyward {

namespace {

constexpr const char* kRow = "z:row";

bool isRow(const pugi::xml_node& n) {
  return n.type() == pugi::node_element && std::strcmp(n.name(), kRow) == 0;
}

// The next node after n in document order, staying inside root.
pugi::xml_node nextNode(pugi::xml_node root, pugi::xml_node n) {
  if (pugi::xml_node c = n.first_child()) return c;
  while (n && n != root) {
    if (pugi::xml_node s = n.next_sibling()) return s;
    n = n.parent();
  }
  return {};
}

bool selected(const pugi::xml_node& n) {
  if (!isRow(n)) return false;
  pugi::xml_attribute edit = n.attribute("editprop");
  return edit && std::strcmp(edit.value(), "D") != 0;
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
  while (at_ && !selected(at_)) at_ = nextNode(root_, at_);
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
  for (size_t i = 0; i < count; ++i) {
    size_t h = hash(names[i].data(), names[i].size());
    while (slots_[h] >= 0) h = (h + 1) % kSlots;
    slots_[h] = static_cast<int8_t>(i);
  }
}

int FieldIndex::find(const char* name) const {
  const size_t len = std::strlen(name);
  for (size_t h = hash(name, len);; h = (h + 1) % kSlots) {
    int i = slots_[h];
    if (i < 0) return -1;
    if (names_[i].size() == len && std::memcmp(names_[i].data(), name, len) == 0) return i;
  }
}

void RowValues::read(const pugi::xml_node& row) {
  for (uint64_t bits = found_; bits; bits &= bits - 1) text_[std::countr_zero(bits)] = nullptr;
  converted_ = 0;
  uint64_t found = 0;
  size_t position = 0;
  for (pugi::xml_attribute a = row.first_attribute(); a; a = a.next_attribute(), ++position) {
    const char* name = a.name();
    int i;
    if (position < kMaxAttributes) {
      Seen& seen = seen_[position];
      if (seen.name && std::strcmp(seen.name, name) == 0) {
        i = seen.field;
      } else {
        i = index_->find(name);
      }
      seen = {name, i};
    } else {
      i = index_->find(name);
    }
    if (i < 0 || (found >> i & 1)) continue;  // the first of two equal attributes counts
    found |= uint64_t{1} << i;
    text_[i] = a.value();
  }
  found_ = found;
}

double RowValues::number(size_t field) const {
  if (!(converted_ >> field & 1)) {
    number_[field] = StrToDbl(text(field));
    converted_ |= uint64_t{1} << field;
  }
  return number_[field];
}

// ---- Converters -----------------------------------------------------------------------------------

namespace {

// A plain decimal of at most 15 digits, [-]digits[.digits], as the persisted recordsets write
// numbers. Its digits form an exact integer and the power of ten is exact, so the one division is
// correctly rounded: the same double as a full conversion gives, at a fraction of the cost.
bool readPlainDecimal(std::string_view s, double& out) {
  static constexpr double kPowers[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                       1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
  size_t i = 0;
  const bool negative = !s.empty() && s[0] == '-';
  if (negative) i = 1;
  uint64_t mantissa = 0;
  int digits = 0, decimals = 0;
  bool point = false;
  for (; i < s.size(); ++i) {
    const char c = s[i];
    if (c >= '0' && c <= '9') {
      if (++digits > 15) return false;
      mantissa = mantissa * 10 + static_cast<unsigned>(c - '0');
      decimals += point;
    } else if (c == '.' && !point) {
      point = true;
    } else {
      return false;
    }
  }
  if (digits == 0) return false;
  double v = static_cast<double>(mantissa);
  if (decimals) v /= kPowers[decimals];
  out = negative ? -v : v;
  return true;
}

}  // namespace

double StrToDbl(std::string_view text) {
  if (text.empty()) return 0;
  double v = 0;
  if (readPlainDecimal(text, v)) return v;
  const char* first = text.data();
  const char* last = first + text.size();
  auto [ptr, ec] = std::from_chars(first, last, v);
  if (ec == std::errc() && ptr == last && std::isfinite(v)) return v;
  return parseNumber(text, v) ? v : 0;
}

double VarToDbl(const Variant& value) {
  if (value.isNull()) return 0;
  try {
    return toDouble(value);
  } catch (const Error&) {
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

bool textToBoolean(std::string_view text) { return toBoolean(Variant(text)); }

bool datePartIsDate(std::string_view text) {
  const size_t t = text.find('T');
  double d;
  return parseDate(t == std::string_view::npos ? text : text.substr(0, t), d);
}

}  // namespace tallyward
