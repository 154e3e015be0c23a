// The fill-in reply of a field-entry check: field and value pairs that the voucher screen copies
// into the dependent fields.
#pragma once

#include <string>
#include <string_view>

#include "tallyward/document.h"

namespace tallyward {

enum class ReplyTag { Body, Head };

// Builds the reply text:
//   <?xml version='1.0' encoding='GB2312'?> CR <Body> CR (<R K='field' V='value'/> CR)* </Body>
// Pairs stay in the order they are added; a key added twice stays twice. Values are escaped so that
// any text loads and reads back as it was.
class FillInReply {
 public:
  explicit FillInReply(ReplyTag tag);

  FillInReply& add(std::string_view key, std::string_view value);
  FillInReply& clear(std::string_view key) { return add(key, ""); }
  // A pair written as it stands, such as "<R K='iNum' V=''/>".
  FillInReply& literal(std::string_view element);

  bool empty() const { return pairs_ == 0; }
  size_t size() const { return pairs_; }

  // The whole reply text, closing tag included (no CR after it).
  std::string text() const;

  // Loads the reply into the caller's document, replacing its content.
  void deliverTo(Document& dom) const;

 private:
  ReplyTag tag_;
  std::string body_;
  size_t pairs_ = 0;
};

// Escapes a value for a single-quoted XML attribute.
std::string xmlEscape(std::string_view value);

}  // namespace tallyward
