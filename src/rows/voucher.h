// Reading voucher documents: the first row of a head, the selected rows of a body, field values
// by lower-cased key, and the converters the checks use on field texts.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <pugixml.hpp>

#include "tallyward/document.h"
#include "tallyward/variant.h"

namespace tallyward {

// ---- Rows -------------------------------------------------------------------------------------

// The first z:row element of the document in document order ("//z:row"); an empty node if none.
pugi::xml_node firstRow(const pugi::xml_node& root);

// The value of a head field: the attribute named by the lower-cased key on the first z:row, ""
// when that row lacks it. Error 91 when the document has no z:row at all.
std::string GetHeadValue(const Document& dom, std::string_view key);
std::string GetHeadValue(const pugi::xml_node& node, std::string_view key);

// The value of a row field: the attribute named by the lower-cased key, "" when absent.
std::string GetRowValue(const pugi::xml_node& row, std::string_view key);

// Lower-cases ASCII letters; keys and field names are ASCII.
std::string lowerCase(std::string_view s);

// The rows a body check walks: the z:row elements selected by "//z:row [@editprop != 'D']", that
// is, rows that carry an editprop attribute whose value is not "D", in document order.
class SelectedRows {
 public:
  explicit SelectedRows(const pugi::xml_node& root) : root_(root) {}

  class iterator {
   public:
    iterator() = default;
    iterator(pugi::xml_node root, pugi::xml_node at) : root_(root), at_(at) { settle(); }
    pugi::xml_node operator*() const { return at_; }
    iterator& operator++() { at_ = nextInOrder(at_); settle(); return *this; }
    bool operator==(const iterator& o) const { return at_ == o.at_; }

    // The editprop value of the current row, read while selecting it.
    const char* editState() const { return edit_; }

   private:
    pugi::xml_node nextInOrder(pugi::xml_node n) const;
    void settle();
    pugi::xml_node root_, at_;
    const char* edit_ = "";
  };

  iterator begin() const { return iterator(root_, root_.first_child()); }
  iterator end() const { return iterator(); }

 private:
  pugi::xml_node root_;
};

// A body row as the checks see it: its number in the verdict and whether it is unchanged.
struct BodyRow {
  pugi::xml_node node;
  long number;      // the running count in a whole pass, R in a single-field check
  bool unchanged;   // editprop is "" (the edit state is only looked at in a whole pass)
  std::string_view parseBuffer;  // the buffer the row's document was parsed in
};

// The selected rows under root, numbered for a whole pass on from `counter` (1, 2, ...) or given
// the caller's R in a single-field check. False when the visitor ended the walk by answering false.
template <class Visit>
bool walkSelected(const pugi::xml_node& root, std::string_view parseBuffer, bool wholePass, long R,
                  long& counter, Visit&& visit) {
  const SelectedRows rows(root);
  for (auto it = rows.begin(); it != rows.end(); ++it) {
    const BodyRow br{*it, wholePass ? ++counter : R, wholePass && it.editState()[0] == '\0', parseBuffer};
    if (!visit(br)) return false;
  }
  return true;
}

// The row walk over a body document.
template <class Visit>
void walkRows(const Document& body, bool wholePass, long R, Visit&& visit) {
  long counter = 0;
  walkSelected(body.dom(), body.parseBuffer(), wholePass, R, counter, visit);
}

// ---- Field values read in one pass over a row ---------------------------------------------------

// The lower-case names of the fields a check reads. Rules name a field through the list
// (fields("cinvcode")), which is resolved while compiling: a name not in the list does not build.
template <size_t N>
struct FieldList {
  std::array<std::string_view, N> names;

  consteval size_t operator()(std::string_view name) const {
    for (size_t i = 0; i < N; ++i)
      if (names[i] == name) return i;
    throw "field not in the list";  // not a constant expression: the build fails
  }
  static constexpr size_t size() { return N; }
};
template <class... S>
consteval auto fieldList(S... names) {
  return FieldList<sizeof...(S)>{{std::string_view(names)...}};
}

// Index of field names for one scan of a row's attributes (names are matched exactly: the
// attributes of a voucher document are lower case, and one spelled otherwise is not the field).
class FieldIndex {
 public:
  template <size_t N>
  explicit FieldIndex(const FieldList<N>& list) : FieldIndex(list.names.data(), N) {}
  FieldIndex(const std::string_view* names, size_t count);

  // The field's position in the list, or -1.
  int find(const char* name) const { return find(name, std::char_traits<char>::length(name)); }
  int find(const char* name, size_t length) const;
  size_t size() const { return count_; }
  // The field's name, ended by NUL.
  const char* c_str(size_t field) const { return terminated_[field].c_str(); }

 private:
  static constexpr size_t kSlots = 128;
  static size_t hash(const char* s, size_t len);
  const std::string_view* names_;
  size_t count_;
  std::array<int8_t, kSlots> slots_;
  std::vector<std::string> terminated_;
};

// The index of a field list, built once on first use: indexOf<kLineFields>().
template <const auto& List>
const FieldIndex& indexOf() {
  static const FieldIndex index(List);
  return index;
}

// The values of one row, read in a single scan of its attributes. Numbers read with StrToDbl are
// kept, so a field read by several rules is converted once.
class RowValues {
 public:
  static constexpr size_t kMaxFields = 48;
  // How a scan reaches the attributes: by reading the library's attribute records where their
  // layout is known (the default), or through the library's accessors.
  enum class Scan { Records, Accessors };
  explicit RowValues(const FieldIndex& index, Scan scan = Scan::Records);

  // Reads a row. Given the buffer the row's document was parsed in (Document::parseBuffer), names
  // that lie in it are compared a word at a time.
  void read(const pugi::xml_node& row, std::string_view parseBuffer = {});

  std::string_view text(size_t field) const { return has(field) ? text_[field] : ""; }
  bool empty(size_t field) const { return !has(field) || !*text_[field]; }
  // Whether the field's text is the literal, compared in place without measuring the text first.
  bool is(size_t field, std::string_view literal) const {
    const char* t = has(field) ? text_[field] : "";
    for (const char c : literal)
      if (*t++ != c) return false;
    return *t == '\0';
  }
  // StrToDbl of the field (error 6 on overflow), converted on first use.
  double number(size_t field) const { return converted_ >> field & 1 ? number_[field] : convert(field); }

 private:
  // The rows of one voucher carry their attributes in the same order, so the name found at each
  // position of the previous row is tried first: a comparison instead of a look-up, for fields and
  // for attributes that are no field alike. The name is a copy (the index's own for a field), so
  // nothing points into a document that may be gone by the next read. A name of up to 15 bytes is
  // also kept as two words with its closing NUL, with a mask of the bytes that count.
  struct Seen {
    const char* name = nullptr;  // the index's copy, or `other` for an attribute that is no field
    int field = -1;
    bool inWords = false;
    std::array<uint64_t, 2> words{}, mask{};
    std::string other;
  };
  static constexpr size_t kMaxAttributes = 96;
  static constexpr size_t kWordBytes = 16;

  bool has(size_t field) const { return found_ >> field & 1; }
  double convert(size_t field) const;
  // The field of a name not met at that position in the row before; remembers it there.
  [[gnu::noinline]] int learn(size_t position, const char* name);

  const FieldIndex* index_;
  bool direct_;  // the attribute records are read without the library's accessors
  std::array<Seen, kMaxAttributes> seen_{};
  std::array<const char*, kMaxFields> text_{};  // valid where found_ has the field's bit
  uint64_t found_ = 0;
  mutable std::array<double, kMaxFields> number_{};
  mutable uint64_t converted_ = 0;
};

// ---- Converters -----------------------------------------------------------------------------------

// The readings of numbers below never give an infinity or a NaN: a number beyond the range of a
// Double is run-time error 6 (overflow), as the platform raises it; texts such as NaN or Infinity
// are no numbers.

// The number the text reads as, 0 when it is empty or does not read as a number. Fails only on
// overflow.
double StrToDbl(std::string_view text);
// The number conversion of the value; 0 for Null or a value that does not convert. Fails only on
// overflow (a text beyond the range of a Double, a Double that is not finite).
double VarToDbl(const Variant& value);
// The date of an XML date-time: every capital T becomes a blank; the zero date when the text does
// not read as a date. Never fails.
Date XmlDateValue(std::string_view text);

// The plain number conversion of a field text: error 13 when it does not read as a number.
double textToDouble(std::string_view text);
// The plain Boolean conversion of a field text: error 13 when it is neither True/False nor a number.
bool textToBoolean(std::string_view text);

// The longest leading part of the text that reads as a number (blanks before it skipped); 0 when
// there is none ("" and "abc" read 0). Error 6 when that part is beyond the range of a Double.
double leadingNumber(std::string_view text);

// A number rounded as formatting it with ".00" and reading it back does: two decimals, half away
// from zero, on the number's 15-digit decimal form (so 2.675 gives 2.68).
double roundCents(double value);

// The date part of an XML date-time: the text before its first capital T, or all of it.
std::string_view datePart(std::string_view dateTime);

// A date text as the daily exchange rates are dated: yyyy.mm.dd. The empty text stays empty;
// error 13 for a text that is not a date.
std::string rateDate(std::string_view date);

// The text with the blanks at both ends removed.
std::string_view trimBlanks(std::string_view text);

// Whether the date part of a date field (the text before its first capital T, the whole text when
// it has none) reads as a date.
bool datePartIsDate(std::string_view text);

}  // namespace tallyward
