#include "rows/row_batches.h"

#include <string_view>

#include "tallyward/document.h"
#include "tallyward/error.h"

namespace tallyward {

namespace {

constexpr std::string_view kRowOpen = "<z:row";
constexpr size_t kNone = std::string_view::npos;

bool blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

bool nameChar(char c) {
  return !blank(c) && c != '=' && c != '/' && c != '>' && c != '<' && c != '\'' && c != '"';
}

size_t skipBlanks(std::string_view t, size_t at) {
  while (at < t.size() && blank(t[at])) ++at;
  return at;
}

// Whether a z:row element opens at `at`: "<z:row" followed by a blank or the end of the tag.
bool rowOpensAt(std::string_view t, size_t at) {
  return t.compare(at, kRowOpen.size(), kRowOpen) == 0 && at + kRowOpen.size() < t.size() &&
         (blank(t[at + kRowOpen.size()]) || t[at + kRowOpen.size()] == '/' || t[at + kRowOpen.size()] == '>');
}

// The end (just past its '>') of the tag whose name ends at `at`, and whether it is an empty
// element's; kNone for anything a plain scan cannot read as blank-separated name='value' pairs
// whose values hold no '<' (which the parser would let pass inside a value).
size_t endOfTag(std::string_view t, size_t at, bool& empty) {
  for (;;) {
    const size_t before = at;
    at = skipBlanks(t, at);
    if (at >= t.size()) return kNone;
    if (t[at] == '>' || t[at] == '/') {
      empty = t[at] == '/';
      if (empty && (at + 1 >= t.size() || t[at + 1] != '>')) return kNone;
      return at + 1 + empty;
    }
    if (at == before) return kNone;  // no blank before a name
    const size_t name = at;
    while (at < t.size() && nameChar(t[at])) ++at;
    if (at == name) return kNone;
    at = skipBlanks(t, at);
    if (at >= t.size() || t[at] != '=') return kNone;
    at = skipBlanks(t, at + 1);
    if (at >= t.size() || (t[at] != '\'' && t[at] != '"')) return kNone;
    const size_t close = t.find(t[at], at + 1);
    if (close == kNone || t.substr(at + 1, close - at - 1).find('<') != kNone) return kNone;
    at = close + 1;
  }
}

// Where the first row opens, when all before it is markup a plain scan reads as the parser does:
// an XML declaration at the very start, start and end tags (see endOfTag) and text; kNone when
// there is no such row, or something else comes first (a comment, CDATA section, DOCTYPE or other
// processing instruction, which could hide an element from the scan).
size_t firstRowAfterPlainMarkup(std::string_view t) {
  size_t at = 0;
  if (t.starts_with("<?xml") && t.size() > 5 && blank(t[5])) {
    const size_t end = t.find("?>");
    if (end == kNone || t.substr(1, end).find('<') != kNone) return kNone;
    at = end + 2;
  }
  for (;;) {
    at = t.find('<', at);
    if (at == kNone || rowOpensAt(t, at)) return at;
    if (at + 1 < t.size() && (t[at + 1] == '!' || t[at + 1] == '?')) return kNone;
    const bool closing = at + 1 < t.size() && t[at + 1] == '/';
    size_t end = at + 1 + closing;
    while (end < t.size() && nameChar(t[end])) ++end;
    if (end == at + 1 + closing) return kNone;  // no name
    bool empty = false;
    if (closing) {
      end = skipBlanks(t, end);
      if (end >= t.size() || t[end] != '>') return kNone;
      at = end + 1;
    } else if ((at = endOfTag(t, end, empty)) == kNone) {
      return kNone;
    }
  }
}

}  // namespace

RowBatches::RowBatches(std::string text, size_t rowsBegin, size_t rowsEnd, std::vector<size_t> cuts)
    : text_(std::move(text)), rowsBegin_(rowsBegin), rowsEnd_(rowsEnd), cuts_(std::move(cuts)) {}

std::shared_ptr<RowBatches> RowBatches::split(std::string& text, size_t rowsPerBatch) {
  const std::string_view t(text);
  if (rowsPerBatch == 0 || t.find('\0') != kNone) return nullptr;
  const size_t first = firstRowAfterPlainMarkup(t);
  if (first == kNone) return nullptr;

  std::vector<size_t> cuts;
  size_t rows = 0, at = first, end = first;
  while (at < t.size() && rowOpensAt(t, at)) {
    if (rows++ % rowsPerBatch == 0) cuts.push_back(at);
    bool empty = false;
    end = endOfTag(t, at + kRowOpen.size(), empty);
    if (end == kNone || !empty) return nullptr;
    at = skipBlanks(t, end);
  }
  // After the rows: no other row anywhere.
  if (cuts.size() < 2 || t.find(kRowOpen, end) != kNone) return nullptr;
  cuts.push_back(end);
  return std::shared_ptr<RowBatches>(new RowBatches(std::move(text), first, end, std::move(cuts)));
}

std::shared_ptr<Document> RowBatches::parse(size_t k) {
  std::string text;
  text.reserve(rowsBegin_ + (cuts_[k + 1] - cuts_[k]) + (text_.size() - rowsEnd_));
  text.append(text_, 0, rowsBegin_).append(text_, cuts_[k], cuts_[k + 1] - cuts_[k]).append(text_, rowsEnd_);
  if (k == parsed_) parsed_ = k + 1;
  try {
    return Document::parseInPlace(std::move(text));
  } catch (const Error& e) {
    failed_ = true;
    throwError(err::BadXml, "The document is not well-formed XML: a batch of its rows does not parse (" +
                                e.description() + ")");
  }
}

void RowBatches::walk(bool wholePass, long R, const std::function<bool(const BodyRow&)>& visit) {
  long counter = 0;
  for (size_t k = 0; k + 1 < cuts_.size(); ++k) {
    const std::shared_ptr<Document> batch = parse(k);
    if (!walkSelected(batch->dom(), batch->parseBuffer(), wholePass, R, counter, visit)) return;
  }
}

bool RowBatches::wellFormed() {
  while (!failed_ && parsed_ + 1 < cuts_.size()) {
    try {
      parse(parsed_);
    } catch (const Error&) {
    }
  }
  return !failed_;
}

DispId RowBatches::GetIDsOfNames(std::string_view name) const {
  throwError(err::NoSuchMember, "Object doesn't support this property or method: " + std::string(name));
}

Variant RowBatches::Invoke(DispId, InvokeKind, std::span<Variant>) {
  throwError(err::NoSuchMember, "Object doesn't support this property or method");
}

RowBatches* rowBatchesOf(const Variant& v) {
  return v.isObject() && v.asObject() ? dynamic_cast<RowBatches*>(v.asObject().get()) : nullptr;
}

}  // namespace tallyward
