#include "entry/reply.h"

#include "whole/verdict.h"
#include "tallyward/error.h"

namespace tallyward {

FillInReply::FillInReply(ReplyTag tag) : tag_(tag) {}

std::string xmlEscape(std::string_view value) {
  std::string out;
  out.reserve(value.size());
  for (char c : value) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '\'': out += "&apos;"; break;
      case '"': out += "&quot;"; break;
      // Line breaks and tabs would be folded to blanks by attribute normalisation.
      case '\r': out += "&#13;"; break;
      case '\n': out += "&#10;"; break;
      case '\t': out += "&#9;"; break;
      default: out += c;
    }
  }
  return out;
}

FillInReply& FillInReply::add(std::string_view key, std::string_view value) {
  body_.append("<R K='").append(xmlEscape(key)).append("' V='").append(xmlEscape(value)).append("'/>");
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
