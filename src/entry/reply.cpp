#include "entry/reply.h"

#include <array>

#include "whole/verdict.h"
#include "tallyward/error.h"

namespace tallyward {

FillInReply::FillInReply(ReplyTag tag) : tag_(tag) {}

namespace {

// Appends the value as an attribute value between apostrophes: the runs without a character that
// needs a reference are copied whole.
void appendEscaped(std::string& out, std::string_view value) {
  static constexpr auto kNeedsReference = [] {
    std::array<bool, 256> needs{};
    for (unsigned char c : std::string_view("&<'\"\r\n\t")) needs[c] = true;
    return needs;
  }();
  const size_t size = value.size();
  for (size_t at = 0;;) {
    size_t special = at;
    while (special < size && !kNeedsReference[static_cast<unsigned char>(value[special])]) ++special;
    out.append(value.data() + at, special - at);
    if (special == size) return;
    switch (value[special]) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '\'': out += "&apos;"; break;
      case '"': out += "&quot;"; break;
      // Line breaks and tabs would be folded to blanks by attribute normalisation.
      case '\r': out += "&#13;"; break;
      case '\n': out += "&#10;"; break;
      case '\t': out += "&#9;"; break;
    }
    at = special + 1;
  }
}

}  // namespace

std::string xmlEscape(std::string_view value) {
  std::string out;
  out.reserve(value.size());
  appendEscaped(out, value);
  return out;
}

FillInReply& FillInReply::add(std::string_view key, std::string_view value) {
  body_.append("<R K='");
  appendEscaped(body_, key);
  body_.append("' V='");
  appendEscaped(body_, value);
  body_.append("'/>");
  body_.push_back(kCR);
  ++pairs_;
  return *this;
}

FillInReply& FillInReply::literal(std::string_view element) {
  body_.append(element);
  body_.push_back(kCR);
  ++pairs_;
  return *this;
}

std::string FillInReply::text() const {
  const bool body = tag_ == ReplyTag::Body;
  std::string out = "<?xml version='1.0' encoding='GB2312'?>";
  out.push_back(kCR);
  out += body ? "<Body>" : "<head>";
  out.push_back(kCR);
  out += body_;
  out += body ? "</Body>" : "</head>";
  return out;
}

void FillInReply::deliverTo(Document& dom) const {
  if (!dom.loadXML(text()))
    throwError(err::BadXml, "The fill-in reply could not be loaded into the voucher document");
}

}  // namespace tallyward
