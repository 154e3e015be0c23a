// The order field-entry examples of examples/ through the tallyward command, on the demo company
// that `tallyward init-db --sample` creates.
#include "support/demo_command.h"

namespace tallyward::test {
namespace {

using json = nlohmann::json;

class HpoDemo : public DemoCommandTest {
 protected:
  static json verify(std::vector<std::string> args) { return DemoCommandTest::verify("Tallyward.ClsS_VerifyHPO", args); }
};

TEST_F(HpoDemo, VendorTypedByNameFillsTheHead) {
  const json a = verify({"--method", "VerifyHead", "--key", "cVenAbbName", "--head", "hpo_head_vendor.xml"});
  EXPECT_EQ(a["verdict"], "");
  const std::string head = a["head"];
  EXPECT_TRUE(head.starts_with("<?xml version='1.0' encoding='GB2312'?>\r<head>\r<R K='cVenCode' V='V001'/>\r"));
  EXPECT_NE(head.find("<R K='cDepName' V='外协部'/>\r<R K='cPersonCode' V='0003'/>\r"), std::string::npos);
}

TEST_F(HpoDemo, ItemTypedByCodeFillsItsLine) {
  const json a = verify({"--method", "VerifyBody", "--key", "cInvCode", "--head", "hpo_head_order.xml", "--body",
                         "hpo_body_item.xml", "--row", "1"});
  EXPECT_EQ(a["verdict"], "");
  const std::string body = a["body"];
  EXPECT_NE(body.find("<R K='cInvCode' V='P1001'/>\r<R K='cVenInvCode' V='HD-GB06'/>\r"), std::string::npos);
  // The latest order price of the vendor, its local price, and the price list's price for 1,200.
  EXPECT_TRUE(body.ends_with("<R K='iunitprice' V='4.2'/>\r<R K='itaxprice' V='4.746'/>\r<R K='ipertaxrate' V='13'/>\r"
                             "<R K='iNatUnitPrice' V='4.2'/>\r<R K='iNum' V=''/>\r<R K='iUnitPrice' V='4.05'/>\r"
                             "<R K='iPerTaxRate' V='13'/>\r<R K='bTaxCost' V='0'/>\r</Body>"))
      << body;
}

TEST_F(HpoDemo, StoppedVendorIsRefused) {
  const json a = verify({"--method", "VerifyHead", "--key", "cVenAbbName", "--head", "hpo_head_stopped.xml"});
  EXPECT_EQ(a, json({{"verdict", "供应商录入不正确或已经停用，请检查！"}}));
}

}  // namespace
}  // namespace tallyward::test
