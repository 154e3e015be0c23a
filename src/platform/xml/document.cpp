#include "tallyward/document.h"

#include <sstream>

namespace tallyward {

namespace {
constexpr DispId kXml = 1;
constexpr DispId kLoadXml = 2;
}  // namespace

namespace {

std::string reasonOf(const pugi::xml_parse_result& result) {
  std::ostringstream os;
  os << result.description() << " at offset " << result.offset;
  return os.str();
}

}  // namespace

// Parses the text where it lies, in a string of the document's own that never moves, so that the
// parsed names and values point into it; the text's closing NUL is parsed with it, as the parser's
// own copy of a text would end.
bool Document::load(std::string text, std::string* reason) {
  auto source = std::make_unique<std::string>(std::move(text));
  pugi::xml_document fresh;
  // Voucher texts are UTF-8 whatever their declaration says (a reply declares GB2312).
  auto result = fresh.load_buffer_inplace(source->data(), source->size() + 1, pugi::parse_default,
                                          pugi::encoding_utf8);
  if (!result) {
    if (reason) *reason = reasonOf(result);
    return false;
  }
  doc_ = std::move(fresh);
  source_ = std::move(source);
  return true;
}

std::shared_ptr<Document> Document::parse(std::string_view xml) { return parseInPlace(std::string(xml)); }

std::shared_ptr<Document> Document::parseInPlace(std::string xml) {
  auto doc = std::make_shared<Document>();
  std::string reason;
  if (!doc->load(std::move(xml), &reason)) throwError(err::BadXml, "The document is not well-formed XML: " + reason);
  return doc;
}

bool Document::loadXML(std::string_view xml) {
  if (!load(std::string(xml), nullptr)) return false;
  text_.assign(xml);
  ++replacements_;
  return true;
}

std::string Document::xml() const {
  if (replacements_ > 0) return text_;
  std::ostringstream out;
  doc_.save(out, "", pugi::format_raw | pugi::format_no_declaration);
  return out.str();
}

DispId Document::GetIDsOfNames(std::string_view name) const {
  if (DispatchTable<Document>::equalsNoCase(name, "xml")) return kXml;
  if (DispatchTable<Document>::equalsNoCase(name, "loadXML")) return kLoadXml;
  throwError(err::NoSuchMember, "Object doesn't support this property or method: " + std::string(name));
}

Variant Document::Invoke(DispId id, InvokeKind kind, std::span<Variant> args) {
  if (id == kXml && (kind == InvokeKind::PropertyGet || kind == InvokeKind::Method)) return xml();
  if (id == kLoadXml && kind == InvokeKind::Method) {
    requireArgs(args, 1, "loadXML");
    return loadXML(toText(args[0]));
  }
  throwError(err::NoSuchMember, "Object doesn't support this property or method");
}

Document& documentOf(const Variant& v) {
  if (v.isObject() && v.asObject())
    if (auto* d = dynamic_cast<Document*>(v.asObject().get())) return *d;
  if (v.isObject() || v.isEmpty() || v.isMissing())
    throwError(err::ObjectNotSet, "Object variable not set: a voucher document is required");
  throwError(err::NotAnObject, "Object required: a voucher document is required");
}

}  // namespace tallyward
