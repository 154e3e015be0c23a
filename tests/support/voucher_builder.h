// Builds voucher documents for tests: rows of attributes in the ADO persistence format.
#pragma once

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <initializer_list>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "command.h"
#include "entry/reply.h"
#include "tallyward/document.h"
#include "tallyward/error.h"
#include "tallyward/registry.h"
#include "tallyward/usemode.h"

namespace tallyward::test {

using Attributes = std::vector<std::pair<std::string, std::string>>;

inline const std::string CR = "\r";
constexpr UseMode CS = UseMode::CS, BS = UseMode::BS;

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

inline std::shared_ptr<Document> head(const Attributes& row) { return voucher({row}); }

// A body line with an edit state ("A" added) and the given fields.
inline Attributes line(Attributes fields, std::string editprop = "A") {
  fields.insert(fields.begin(), {"editprop", std::move(editprop)});
  return fields;
}

inline Attributes with(Attributes row, const Attributes& changes) {
  for (const auto& [name, value] : changes) {
    bool found = false;
    for (auto& [n, v] : row)
      if (n == name) { v = value; found = true; }
    if (!found) row.emplace_back(name, value);
  }
  return row;
}

inline Attributes without(Attributes row, std::initializer_list<std::string> names) {
  for (const std::string& name : names)
    std::erase_if(row, [&](const auto& a) { return a.first == name; });
  return row;
}

// One call of a whole-voucher check: VerifyHead on one row or VerifyBody on lines (with R), under a
// key and a mode, and what it must give: the verdict's bytes, or "error N" for a run-time error.
struct Doc {
  bool head;
  std::vector<Attributes> rows;
  Variant R = Variant::missing();
};
inline Doc H(const Attributes& row) { return {true, {row}}; }
inline Doc B(std::vector<Attributes> rows, Variant R = Variant::missing()) { return {false, std::move(rows), std::move(R)}; }

using Props = std::vector<std::pair<std::string, Variant>>;

struct Case {
  std::string name;  // the test's name: letters, digits and underscores
  std::string key;
  UseMode mode;
  Doc doc;
  std::string verdict;
  Props props = {};  // further properties: m_bPositive, sBillType, m_bAlterPO
};

inline std::string errorText(int number) { return "error " + std::to_string(number); }

// Runs a case on a new object of the class, reached by name as a screen reaches it.
inline std::string run(std::string_view cls, const Case& c) {
  auto check = createObject(cls);
  check->put("m_UseMode", Variant(c.mode == UseMode::BS ? 1 : 0));
  for (const auto& [name, value] : c.props) check->put(name, value);
  auto doc = voucher(c.doc.rows);
  const std::string before = doc->xml();
  std::string verdict;
  try {
    verdict = c.doc.head ? toText(check->call("VerifyHead", {Variant(c.key), Variant(doc)}))
                         : toText(check->call("VerifyBody", {Variant(c.key), Variant(doc), c.doc.R}));
  } catch (const Error& e) {
    verdict = errorText(e.number());
  }
  // A whole-voucher check only reads the document.
  return doc->xml() == before ? verdict : "the document changed: " + doc->xml();
}

// "第[n" and the rule's text, as the row messages read.
inline std::string row(long n, const std::string& text) { return "第[" + std::to_string(n) + text; }

// The verdict of a browser-mode whole pass of the command on a sample voucher of examples/, with --set options.
inline std::string sampleVerdict(const std::string& cls, const std::string& method, const std::string& file,
                                 const std::vector<std::string>& sets) {
  std::vector<std::string> args{"verify", "--class", cls, "--method", method, "--key", "all", "--mode", "BS",
                                method == "VerifyHead" ? "--head" : "--body", std::string(TW_SOURCE_DIR) + "/examples/" + file};
  for (const std::string& s : sets) args.insert(args.end(), {"--set", s});
  std::ostringstream out, err;
  EXPECT_EQ(cli::run(args, out, err), cli::kOk) << err.str();
  return nlohmann::json::parse(out.str()).value("verdict", "");
}

inline std::string caseName(const ::testing::TestParamInfo<Case>& info) { return info.param.name; }

}  // namespace tallyward::test

// A parameterised suite over a case list of one class: each case is a test named after it.
#define TW_WHOLE_VOUCHER_CASES(Suite, cls, list)                                            \
  class Suite : public ::testing::TestWithParam<::tallyward::test::Case> {};                \
  TEST_P(Suite, GivesItsVerdict) { EXPECT_EQ(::tallyward::test::run(cls, GetParam()), GetParam().verdict); } \
  INSTANTIATE_TEST_SUITE_P(Cases, Suite, ::testing::ValuesIn(list), ::tallyward::test::caseName)
