// Voucher documents: the XML text a voucher screen hands over (a recordset in the ADO
// persistence format), read through its z:row elements.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include <pugixml.hpp>

#include "tallyward/object.h"

namespace tallyward {

class Document final : public Object {
 public:
  Document() = default;

  // Parses a voucher text; error 3002 with the parser's reason when it is not well-formed XML.
  static std::shared_ptr<Document> parse(std::string_view xml);
  // The same, taking the text over: the document is read in place in the text's own buffer, so a
  // large voucher is not held twice (the text and the parser's copy of it) while it is checked.
  static std::shared_ptr<Document> parseInPlace(std::string xml);

  // The document's values may point into its own text: it stays where it is.
  Document(const Document&) = delete;
  Document& operator=(const Document&) = delete;

  // Replaces the whole content by the given text. When the text does not load, the document keeps
  // what it held and the call answers false.
  bool loadXML(std::string_view xml);

  // The document's text: after a replacement the very text that was loaded (a fill-in reply keeps
  // its exact bytes), before it a serialisation of the parsed voucher.
  std::string xml() const;

  // How many times loadXML replaced the content since the document was parsed.
  unsigned replacements() const { return replacements_; }

  const pugi::xml_document& dom() const { return doc_; }
  pugi::xml_document& dom() { return doc_; }

  // The buffer the parsed names and values lie in: the text as the parser left it, its closing NUL
  // readable just past the end; "" before anything was parsed.
  std::string_view parseBuffer() const {
    return source_ ? std::string_view(*source_) : std::string_view();
  }

  // Object
  std::string_view typeName() const override { return "DOMDocument"; }
  DispId GetIDsOfNames(std::string_view name) const override;
  Variant Invoke(DispId id, InvokeKind kind, std::span<Variant> args) override;

 private:
  bool load(std::string text, std::string* reason);

  pugi::xml_document doc_;
  std::unique_ptr<std::string> source_;  // the text doc_ was parsed from, in place
  std::string text_;
  unsigned replacements_ = 0;
};

// Takes the document out of a Variant as the whole-voucher classes receive it; error 424 when the
// Variant holds no document.
Document& documentOf(const Variant& v);

}  // namespace tallyward
