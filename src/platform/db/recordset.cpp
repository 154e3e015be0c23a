#include "tallyward/database.h"

#include <numeric>

#include "platform/db/row_filter.h"

namespace tallyward {

namespace {
bool same(std::string_view a, std::string_view b) { return DispatchTable<Recordset>::equalsNoCase(a, b); }
}  // namespace

Recordset::Recordset(ResultSet result) : result_(std::move(result)) {
  visible_.resize(result_.rows.size());
  std::iota(visible_.begin(), visible_.end(), size_t{0});
}

void Recordset::moveNext() {
  if (!eof()) ++pos_;
}

void Recordset::movePrevious() {
  if (pos_ >= 0) --pos_;
}

const std::vector<Variant>& Recordset::current() const {
  if (!open_) throwError(err::ObjectClosed, "Operation is not allowed when the object is closed");
  if (bof() || eof())
    throwError(err::NoCurrentRecord, "Either BOF or EOF is True, or the current record has been deleted");
  return result_.rows[visible_[static_cast<size_t>(pos_)]];
}

const Variant& Recordset::field(size_t index) const {
  const auto& row = current();
  if (index >= row.size()) throwError(err::NoSuchField, "Item cannot be found in the collection");
  return row[index];
}

const Variant& Recordset::field(std::string_view name) const {
  for (size_t i = 0; i < result_.columns.size(); ++i)
    if (same(result_.columns[i], name)) return field(i);
  throwError(err::NoSuchField, "Item cannot be found in the collection: " + std::string(name));
}

bool Recordset::hasField(std::string_view name) const {
  for (const auto& c : result_.columns)
    if (same(c, name)) return true;
  return false;
}

void Recordset::close() {
  open_ = false;
  result_ = {};
  visible_.clear();
  filter_.clear();
}

void Recordset::setFilter(std::string_view criteria) {
  if (!open_) throwError(err::ObjectClosed, "Operation is not allowed when the object is closed");
  size_t a = 0, b = criteria.size();
  while (a < b && (criteria[a] == ' ' || criteria[a] == '\t')) ++a;
  while (b > a && (criteria[b - 1] == ' ' || criteria[b - 1] == '\t')) --b;
  criteria = criteria.substr(a, b - a);
  std::vector<size_t> visible;
  if (criteria.empty()) {
    visible.resize(result_.rows.size());
    std::iota(visible.begin(), visible.end(), size_t{0});
  } else {
    const RowFilter filter(criteria, result_.columns);
    for (size_t i = 0; i < result_.rows.size(); ++i)
      if (filter.matches(result_.rows[i])) visible.push_back(i);
  }
  visible_ = std::move(visible);
  filter_ = std::string(criteria);
  pos_ = 0;
}

namespace {
constexpr DispId kEOF = 1, kBOF = 2, kMoveNext = 3, kFields = 4, kFilter = 5, kClose = 6,
                 kRecordCount = 7, kMoveFirst = 8;
}  // namespace

DispId Recordset::GetIDsOfNames(std::string_view name) const {
  static const std::pair<std::string_view, DispId> kNames[] = {
      {"EOF", kEOF},       {"BOF", kBOF},     {"MoveNext", kMoveNext},       {"Fields", kFields},
      {"Filter", kFilter}, {"Close", kClose}, {"RecordCount", kRecordCount}, {"MoveFirst", kMoveFirst}};
  for (const auto& [n, id] : kNames)
    if (same(n, name)) return id;
  throwError(err::NoSuchMember, "Object doesn't support this property or method: " + std::string(name));
}

Variant Recordset::Invoke(DispId id, InvokeKind kind, std::span<Variant> args) {
  switch (id) {
    case kEOF: return eof();
    case kBOF: return bof();
    case kRecordCount: return Variant(recordCount());
    case kMoveNext: moveNext(); return {};
    case kMoveFirst: moveFirst(); return {};
    case kClose: close(); return {};
    case kFields:
      requireArgs(args, 1, "Fields");
      if (args[0].type() == VarType::String) return field(args[0].asString());
      return field(static_cast<size_t>(toLong(args[0])));
    case kFilter:
      if (kind == InvokeKind::PropertyPut) {
        requireArgs(args, 1, "Filter");
        // adFilterNone (0) removes the filter as "" does.
        const bool none = args[0].isNumeric() && args[0].type() != VarType::Date && toDouble(args[0]) == 0;
        setFilter(none ? std::string() : toText(args[0]));
        return {};
      }
      return Variant(filter_);
  }
  throwError(err::NoSuchMember, "Object doesn't support this property or method");
}

}  // namespace tallyward
