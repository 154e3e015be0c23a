// Builds voucher documents for tests: rows of attributes in the ADO persistence format.
#pragma once

#include <initializer_list>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "entry/reply.h"
#include "tallyward/document.h"

namespace tallyward::test {

using Attributes = std::vector<std::pair<std::string, std::string>>;

inline const std::string CR = "\r";

// The XML text of a voucher whose z:row elements carry the given attributes, in order.
inline std::string voucherXml(const std::vector<Attributes>& rows) {
  std::string xml =
      "<xml xmlns:s='uuid:BDC6E3F0-6DA3-11d1-A2A3-00AA00C14882' "
      "xmlns:rs='urn:schemas-microsoft-com:rowset' xmlns:z='#RowsetSchema'>"
      "<s:Schema id='RowsetSchema'><s:ElementType name='row' content='eltOnly'/></s:Schema>"
      "<rs:data>";
  for (const Attributes& row : rows) {
    xml += "<z:row";
    for (const auto& [name, value] : row) xml += " " + name + "='" + xmlEscape(value) + "'";
    xml += "/>";
  }
  return xml + "</rs:data></xml>";
}

inline std::shared_ptr<Document> voucher(const std::vector<Attributes>& rows) {
  return Document::parse(voucherXml(rows));
}

// A head document: one row.
inline std::shared_ptr<Document> head(const Attributes& row) { return voucher({row}); }

// A body line with an edit state ("A" added) and the given fields.
inline Attributes line(Attributes fields, std::string editprop = "A") {
  fields.insert(fields.begin(), {"editprop", std::move(editprop)});
  return fields;
}

// Copies a row with some fields changed or added.
inline Attributes with(Attributes row, const Attributes& changes) {
  for (const auto& [name, value] : changes) {
    bool found = false;
    for (auto& [n, v] : row)
      if (n == name) { v = value; found = true; }
    if (!found) row.emplace_back(name, value);
  }
  return row;
}

// Copies a row without some fields.
inline Attributes without(Attributes row, std::initializer_list<std::string> names) {
  for (const std::string& name : names)
    std::erase_if(row, [&](const auto& a) { return a.first == name; });
  return row;
}

}  // namespace tallyward::test
