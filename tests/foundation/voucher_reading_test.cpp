// Voucher documents and their rows: parsing, the head's values, the rows a check selects, the fill-in
// reply's bytes, and the one-scan reading of rows, which must give exactly what the general reader
// gives (the attribute looked up by name).
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>
#include "entry/reply.h"
#include "rows/row_batches.h"
#include "rows/voucher.h"
#include "support/temp_database.h"
#include "support/voucher_builder.h"
#include "tallyward/error.h"
#include "tallyward/variant.h"

namespace tallyward {
namespace {

using test::Attributes;

constexpr auto F = fieldList("editprop", "cinvcode", "iquantity", "imoney", "cbmemo", "cinvdefine_longer");

// Rows read one after the other by the same scan, so that each row meets the attribute order of
// the row before it: the same order, another order, fewer and more attributes, repeated names,
// names that differ from a field only at the end (past the first eight bytes too), a name longer
// than two words, and an empty value.
const std::vector<Attributes> kRows = {
    {{"editprop", "A"}, {"cinvcode", "P1"}, {"iquantity", "10"}, {"imoney", "20"}, {"cbmemo", "x"}},
    {{"editprop", "A"}, {"cinvcode", "P2"}, {"iquantity", "11"}, {"imoney", "21"}, {"cbmemo", ""}},
    {{"editprop", "A"}, {"iquantity", "12"}, {"cinvcode", "P3"}, {"cbmemo", "y"}, {"imoney", "22"}},
    {{"editprop", "A"}, {"cinvcode", "P4"}},
    {{"editprop", "A"}, {"cinvcod", "no"}, {"cinvcodex", "no"}, {"iquantity", "13"}, {"cinvcode", "P5"}},
    {{"editprop", "A"}, {"cinvcod", "no"}, {"cinvcode", "P9"}, {"iquantity", "15"}, {"cinvcodex", "no"}, {"cinvdefine_longer", "L"}},
    {{"cinvcode", "P6"}, {"cinvcode", "second"}, {"editprop", "A"}, {"iquantity", "-1.5"}},
    {{"editprop", "A"}, {"cInvCode", "capitals"}, {"iquantity", "1,000"}, {"imoney", "abc"}},
    {{"editprop", "A"}, {"cinvcode", "P8"}, {"iquantity", "14"}, {"imoney", "23"}, {"cbmemo", "z"}, {"cinvdefine_longer", "M"}},
};

// What a rule would read by name: the first attribute of that name, "" when there is none.
void expectSameAsLookUp(const RowValues& values, const pugi::xml_node& row, size_t rowIndex) {
  for (size_t f = 0; f < F.size(); ++f) {
    const std::string expected = GetRowValue(row, F.names[f]);
    EXPECT_EQ(values.text(f), expected) << "row " << rowIndex << ", field " << F.names[f];
    EXPECT_EQ(values.empty(f), expected.empty()) << "row " << rowIndex << ", field " << F.names[f];
    EXPECT_EQ(values.number(f), StrToDbl(expected)) << "row " << rowIndex << ", field " << F.names[f];
    EXPECT_TRUE(values.is(f, expected) && !values.is(f, expected + "0") &&
                (expected.empty() || !values.is(f, expected.substr(0, expected.size() - 1))))
        << "row " << rowIndex << ", field " << F.names[f];
  }
}

class RowScan : public ::testing::TestWithParam<RowValues::Scan> {};

TEST_P(RowScan, EveryRowReadsAsItsAttributesLookedUpByName) {
  static const FieldIndex index(F);
  auto doc = test::voucher(kRows);
  RowValues values(index, GetParam());
  size_t i = 0;
  for (pugi::xml_node row : SelectedRows(doc->dom())) {
    values.read(row, doc->parseBuffer());
    expectSameAsLookUp(values, row, i++);
  }
  EXPECT_EQ(i, kRows.size());
}

TEST_P(RowScan, AttributesAddedAfterParsingAndRowsBeyondTheRememberedPositions) {
  static const FieldIndex index(F);
  auto doc = test::voucher({{{"editprop", "A"}, {"cinvcode", "P1"}}});
  pugi::xml_node row = firstRow(doc->dom());
  // Attributes added through the library have no text behind them until a value is set.
  row.append_attribute("cbmemo");
  row.append_attribute("iquantity").set_value("7");
  RowValues values(index, GetParam());
  values.read(row, doc->parseBuffer());
  expectSameAsLookUp(values, row, 0);
  EXPECT_EQ(values.number(F("iquantity")), 7);

  // More attributes than the scan remembers positions for: the fields behind them still count.
  for (int k = 0; k < 120; ++k) row.append_attribute(("filler" + std::to_string(k)).c_str()).set_value("1");
  row.append_attribute("imoney").set_value("8");
  row.remove_attribute("cinvcode");
  values.read(row, doc->parseBuffer());
  expectSameAsLookUp(values, row, 1);
  EXPECT_EQ(values.number(F("imoney")), 8);
}

INSTANTIATE_TEST_SUITE_P(BothWays, RowScan,
                         ::testing::Values(RowValues::Scan::Records, RowValues::Scan::Accessors));

TEST(RowWalk, AnUnchangedRowIsFoundWhereverItsEditStateStands) {
  auto doc = test::voucher({{{"cinvcode", "P1"}, {"editprop", ""}},
                            {{"editprop", "D"}, {"cinvcode", "P2"}},
                            {{"cinvcode", "P3"}, {"editprop", "M"}},
                            {{"cinvcode", "P4"}}});
  std::vector<std::pair<long, bool>> seen;
  walkRows(*doc, true, 0, [&](const BodyRow& r) {
    seen.emplace_back(r.number, r.unchanged);
    return true;
  });
  EXPECT_EQ(seen, (std::vector<std::pair<long, bool>>{{1, true}, {2, false}}));
}

// A body split between its rows walks as the whole document does: the same rows, numbers, edit
// states and values, in batches of two. Texts a plain scan cannot split safely stay whole.
TEST(RowBatches, ASplitBodyWalksAsTheWholeDocument) {
  const auto walkOf = [](auto&& walk) {
    std::vector<std::string> seen;
    walk([&](const BodyRow& r) {
      seen.push_back(std::to_string(r.number) + (r.unchanged ? "=" : ":") + GetRowValue(r.node, "c"));
      return true;
    });
    return seen;
  };
  const std::string rows = "<z:row editprop='A' c='1'/>\n<z:row editprop='' c=\"a&amp;b'>\"/><z:row editprop='D' c='3'/>"
                           "<z:row  c='4' editprop = 'M' />\r\n<z:row editprop='A' c='&#10;5'/>";
  const std::string open = "<xml xmlns:z='#RowsetSchema'><rs:data>", close = "</rs:data></xml>";
  const struct { std::string text; bool splits; } cases[] = {
      {open + rows + close, true},
      {"<?xml version='1.0' encoding='GB2312'?>" + open + rows + "\n" + close + "<!-- end -->", true},
      {open + "<!-- <z:row c='x'/> -->" + rows + close, false},
      {"<xml a='<z:row editprop=\"A\" c=\"x\"/>'><rs:data>" + rows + close, false},  // the parser lets '<' pass there
      {open + rows + "text" + rows + close, false},
      {open + rows + "<z:row editprop='A' c='6'>x</z:row>" + close, false},
      {open + "<z:row editprop='A' c='1'/><z:row editprop='A' c='2'/>" + close, false},  // one batch
      {open + rows + "<z:row editprop='A' c='" + std::string(1, '\0') + "'/>" + close, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    std::string text = c.text;
    const auto batches = RowBatches::split(text, 2);
    ASSERT_EQ(batches != nullptr, c.splits);
    if (!batches) {
      EXPECT_EQ(text, c.text);
      continue;
    }
    const auto whole = Document::parse(c.text);
    for (bool wholePass : {true, false})
      EXPECT_EQ(walkOf([&](auto v) { batches->walk(wholePass, 7, v); }),
                walkOf([&](auto v) { walkRows(*whole, wholePass, 7, v); }));
    EXPECT_TRUE(batches->wellFormed());
  }
}

// A batch that does not parse ends the walk with error 3002; one the walk did not reach is parsed
// when asked whether all are well-formed.
TEST(RowBatches, ABatchThatDoesNotParseIsFound) {
  std::string text = "<xml><z:row editprop='A'/><z:row editprop='A'/><z:row editprop='A'/><z:row editprop='A' 5='x'/></xml>";
  const auto batches = RowBatches::split(text, 2);
  ASSERT_TRUE(batches);
  batches->walk(true, 0, [](const BodyRow&) { return false; });
  EXPECT_FALSE(batches->wellFormed());
  std::string again = batches->release();
  EXPECT_EQ(test::errorNumber([&] { RowBatches::split(again, 2)->walk(true, 0, [](const BodyRow&) { return true; }); }),
            err::BadXml);
}

using test::voucher;

TEST(GetHeadValue, ReadsTheFirstRowByLowerCasedKeyAndNeedsARow) {
  auto doc = voucher({{{"cpoid", "PO1"}, {"cinvcode", ""}}, {{"cpoid", "PO2"}}});
  EXPECT_EQ(GetHeadValue(*doc, "cPOID"), "PO1");
  EXPECT_EQ(GetHeadValue(*doc, "cvencode"), "");  // absent reads as empty
  auto empty = Document::parse("<xml><rs:data/></xml>");
  EXPECT_EQ(test::errorNumber([&] { GetHeadValue(*empty, "cpoid"); }), err::ObjectNotSet);
}

std::vector<std::string> selectedCodes(const Document& doc) {
  std::vector<std::string> codes;
  for (pugi::xml_node row : SelectedRows(doc.dom())) codes.push_back(row.attribute("c").value());
  return codes;
}

TEST(RowSelection, OnlyRowsWithAnEditStateOtherThanD) {
  auto doc = Document::parse(
      "<xml><rs:data>"
      "<z:row c='1' editprop='A'/><z:row c='2' editprop='D'/><z:row c='3'/>"
      "<z:row c='4' editprop=''/><z:row c='5' editprop='d'/><row c='6' editprop='A'/>"
      "<rs:insert><z:row c='7' editprop='M'/></rs:insert>"
      "</rs:data></xml>");
  EXPECT_EQ(selectedCodes(*doc), (std::vector<std::string>{"1", "4", "5", "7"}));
}

TEST(FillInReply, ExactBytesOfBodyAndHeadReplies) {
  FillInReply reply(ReplyTag::Body);
  reply.add("cInvCode", "A01").clear("cInvName").literal("<R K='iNum' V=''/>");
  EXPECT_EQ(reply.text(),
            "<?xml version='1.0' encoding='GB2312'?>\r<Body>\r<R K='cInvCode' V='A01'/>\r"
            "<R K='cInvName' V=''/>\r<R K='iNum' V=''/>\r</Body>");
  EXPECT_EQ(FillInReply(ReplyTag::Head).text(), "<?xml version='1.0' encoding='GB2312'?>\r<head>\r</head>");
}

TEST(FillInReply, ValuesWithMarkupStillLoadAndReadBack) {
  const std::string hostile = "O'Brien & <Sons> \"Ltd\"\r\nline\ttab";
  FillInReply reply(ReplyTag::Head);
  reply.add("cVenName", hostile).add("cVenCode", "V'1");
  auto doc = Document::parse("<xml><z:row a='1'/></xml>");
  reply.deliverTo(*doc);
  EXPECT_EQ(doc->replacements(), 1u);
  pugi::xml_node first = doc->dom().child("head").child("R");
  EXPECT_STREQ(first.attribute("K").value(), "cVenName");
  EXPECT_EQ(std::string(first.attribute("V").value()), hostile);
  EXPECT_STREQ(first.next_sibling("R").attribute("V").value(), "V'1");
  EXPECT_EQ(doc->xml(), reply.text());
}

TEST(Document, AFailedLoadKeepsTheContentAndSaysWhy) {
  auto doc = Document::parse("<?xml version='1.0' encoding='ISO-8859-1'?><xml><z:row a='人民币'/></xml>");
  EXPECT_FALSE(doc->loadXML("<Body><R K='a' V='b'></Body>"));
  EXPECT_EQ(GetHeadValue(*doc, "a"), "人民币");  // UTF-8 whatever the declaration says
  EXPECT_EQ(doc->replacements(), 0u);
  std::string why;
  EXPECT_EQ(test::errorNumber([] { Document::parse("<xml><z:row a='1'></xml>"); }, &why), err::BadXml);
  EXPECT_NE(why.find("not well-formed"), std::string::npos) << why;
}

// A text handed over is parsed in its own buffer: the same document, or the same refusal with the
// same reason and offset, as parsing a copy of it; a later replacement lets the text go safely.
// A document is parsed in a buffer of its own, in place: it must read, or be refused, as the parser
// reads a text from a copy of its own (the same document; the same reason at the same offset).
TEST(Document, ParsedInItsOwnBufferAsTheParserReadsACopy) {
  for (const std::string text : {"<xml><z:row c='&lt;1&amp;' d=\"人民币\"/></xml>", "<xml><z:row a='1'></xml>",
                                 "<xml><z:row a='1'/></xml", "<xml/><", "<xml a='1", "<x", ""}) {
    pugi::xml_document copy;
    const pugi::xml_parse_result read = copy.load_buffer(text.data(), text.size(), pugi::parse_default, pugi::encoding_utf8);
    std::ostringstream serialised;
    copy.save(serialised, "", pugi::format_raw | pugi::format_no_declaration);
    std::string why;
    std::shared_ptr<Document> doc;
    EXPECT_EQ(test::errorNumber([&] { doc = Document::parseInPlace(text); }, &why), read ? 0 : err::BadXml) << text;
    EXPECT_EQ(why, read ? "" : "The document is not well-formed XML: " + std::string(read.description()) + " at offset " +
                                   std::to_string(read.offset)) << text;
    EXPECT_EQ(doc ? doc->xml() : "", read ? serialised.str() : "") << text;
  }
  auto doc = Document::parseInPlace("<xml><z:row a='1'/></xml>");
  ASSERT_TRUE(doc->loadXML("<Body><R K='a' V='b'/></Body>"));
  EXPECT_STREQ(doc->dom().child("Body").child("R").attribute("V").value(), "b");
}

}  // namespace
}  // namespace tallyward
