#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "entry/reply.h"
#include "rows/voucher.h"
#include "support/temp_database.h"
#include "support/voucher_builder.h"
#include "tallyward/error.h"

namespace tallyward {
namespace {

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
TEST(Document, ParsedInPlaceAsParsedFromACopy) {
  const std::vector<std::string> texts = {
      "<xml><rs:data><z:row editprop='A' c='&lt;1&amp;' d=\"人民币\"/></rs:data></xml>", "<xml/>",
      "<a", "<xml><z:row a='1'></xml>", "<xml><z:row a='1'/></xml", "<xml><z:row a='1'/></xml><", "", "x"};
  for (const std::string& text : texts) {
    std::string copied, inPlace;
    std::shared_ptr<Document> a, b;
    const int copiedError = test::errorNumber([&] { a = Document::parse(text); }, &copied);
    const int inPlaceError = test::errorNumber([&] { b = Document::parseInPlace(text); }, &inPlace);
    EXPECT_EQ(inPlaceError, copiedError) << text;
    EXPECT_EQ(inPlace, copied) << text;
    if (a && b) EXPECT_EQ(b->xml(), a->xml()) << text;
  }
  auto doc = Document::parseInPlace("<xml><z:row a='1'/></xml>");
  ASSERT_TRUE(doc->loadXML("<Body><R K='a' V='b'/></Body>"));
  EXPECT_STREQ(doc->dom().child("Body").child("R").attribute("V").value(), "b");
}

}  // namespace
}  // namespace tallyward
