// The field-entry examples of examples/ through the tallyward command, on the demo company that
// `tallyward init-db --sample` creates: the verdict, and a piece of the reply the document got.
#include "support/demo_command.h"

namespace tallyward::test {
namespace {

struct DemoCase {
  const char* name;
  const char* cls;
  std::vector<std::string> args;
  std::string verdict;
  const char* document = "";  // "head" or "body": the document that carries the reply; "": none
  std::string piece = "";     // how the reply begins or ends
};
void PrintTo(const DemoCase& c, std::ostream* os) { *os << c.name; }

const DemoCase kCases[] = {
    {"OrderVendorByName", "ClsS_VerifyHPO", {"--method", "VerifyHead", "--key", "cVenAbbName", "--head", "hpo_head_vendor.xml"},
     "", "head", "<?xml version='1.0' encoding='GB2312'?>\r<head>\r<R K='cVenCode' V='V001'/>\r"},
    // The vendor's latest order price, its local price, and the price list's price for 1,200.
    {"OrderItemByCode", "ClsS_VerifyHPO", {"--method", "VerifyBody", "--key", "cInvCode", "--head", "hpo_head_order.xml", "--body",
     "hpo_body_item.xml", "--row", "1"}, "", "body",
     "<R K='iunitprice' V='4.2'/>\r<R K='itaxprice' V='4.746'/>\r<R K='ipertaxrate' V='13'/>\r<R K='iNatUnitPrice' V='4.2'/>\r"
     "<R K='iNum' V=''/>\r<R K='iUnitPrice' V='4.05'/>\r<R K='iPerTaxRate' V='13'/>\r<R K='bTaxCost' V='0'/>\r</Body>"},
    // The vendor's account period, and the due date 60 days after the invoice date.
    {"InvoiceVendorByName", "ClsS_VerifyBillH", {"--method", "VerifyHead", "--key", "cVenAbbName_1", "--head", "billh_head_vendor.xml"},
     "", "head", "<R K='caccountpid' V='02'/>\r<R K='caccountpname' V='票到60天'/>\r<R K='caccountpdate' V='2026-05-01'/>\r</head>"},
    // The vendor's latest outsourcing charge, in local currency, and the price list's price.
    {"InvoiceItemByCode", "ClsS_VerifyBillH", {"--method", "VerifyBody", "--key", "cInvCode", "--head", "billh_head_invoice.xml",
     "--body", "billh_body_item.xml", "--row", "1"}, "", "body",
     "<R K='ioricost' V='85'/>\r<R K='itaxrate' V='13'/>\r<R K='iCost' V='85'/>\r<R K='bExBill' V='0'/>\r"
     "<R K='iNum' V=''/>\r<R K='ioricost' V='85'/>\r<R K='iTaxRate' V='13'/>\r</Body>"},
    // The vendor's latest order price, 50 pieces in boxes of 10, and the price list's price.
    {"ArrivalItemByCode", "ClsS_VerifyArriveH", {"--method", "VerifyBody", "--key", "cInvCode", "--head", "arriveh_head_note.xml",
     "--body", "arriveh_body_item.xml", "--row", "1", "--set", "m_bPositive=true"}, "", "body",
     "<R K='iCost' V='0.35'/>\r<R K='iNum' V='5'/>\r<R K='dpdate' V=''/>\r<R K='dvdate' V=''/>\r<R K='ioricost' V='0.35'/>\r<R K='iTaxRate' V='13'/>\r"
     "<R K='bTaxCost' V='0'/>\r</Body>"},
    {"RequisitionSalesman", "ClsS_VerifyApplyH", {"--method", "VerifyHead", "--key", "cPersonName", "--head", "applyh_head.xml"}, "", "head",
     "<?xml version='1.0' encoding='GB2312'?>\r<head>\r<R K='cPersonCode' V='0003'/>\r<R K='cPersonName' V='张伟'/>\r"
     "<R K='cDepCode' V='02'/>\r<R K='cDepName' V='外协部'/>\r</head>"},
};

class EntryDemo : public DemoCommandTest, public ::testing::WithParamInterface<DemoCase> {};

TEST_P(EntryDemo, Example) {
  const DemoCase& c = GetParam();
  const nlohmann::json a = verify(c.cls, c.args);
  EXPECT_EQ(a["verdict"], c.verdict);
  if (*c.document) {
    const std::string reply = a.value(c.document, "");
    EXPECT_TRUE(reply.starts_with(c.piece) || reply.ends_with(c.piece)) << reply;
  } else {
    EXPECT_EQ(a.size(), 1u) << a;  // nothing but the verdict: no document was replied into
  }
}

INSTANTIATE_TEST_SUITE_P(Examples, EntryDemo, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tallyward::test
