// The invoice field-entry examples of examples/ through the tallyward command on the demo company.
#include "support/demo_command.h"

namespace tallyward::test {
namespace {

using BillhDemo = DemoCommandTest;

TEST_F(BillhDemo, VendorItemAndClosedMonth) {
  // A vendor typed by name: its account period, and the due date 60 days after the invoice date.
  nlohmann::json a = verify("ClsS_VerifyBillH", {"--method", "VerifyHead", "--key", "cVenAbbName_1", "--head",
                                                 "billh_head_vendor.xml"});
  EXPECT_EQ(a["verdict"], "");
  EXPECT_TRUE(a["head"].get<std::string>().ends_with(
      "<R K='caccountpid' V='02'/>\r<R K='caccountpname' V='票到60天'/>\r<R K='caccountpdate' V='2026-05-01'/>\r</head>"))
      << a;
  // An item typed by code: the vendor's latest outsourcing charge, in local currency, and the price list's price.
  a = verify("ClsS_VerifyBillH", {"--method", "VerifyBody", "--key", "cInvCode", "--head", "billh_head_invoice.xml",
                                  "--body", "billh_body_item.xml", "--row", "1"});
  EXPECT_TRUE(a["body"].get<std::string>().ends_with(
      "<R K='ioricost' V='85'/>\r<R K='itaxrate' V='13'/>\r<R K='iCost' V='85'/>\r<R K='bExBill' V='0'/>\r"
      "<R K='iNum' V=''/>\r<R K='ioricost' V='85'/>\r<R K='iTaxRate' V='13'/>\r</Body>"))
      << a;
  a = verify("ClsS_VerifyBillH", {"--method", "VerifyHead", "--key", "all", "--head", "billh_head_closed.xml"});
  EXPECT_EQ(a, nlohmann::json({{"verdict", "单据日期所在月份已经结账，请重新填写录入日期！"}}));
}

}  // namespace
}  // namespace tallyward::test
