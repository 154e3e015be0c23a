// The arrival field-entry examples of examples/ through the tallyward command, on the demo company
// that `tallyward init-db --sample` creates.
#include "support/demo_command.h"

namespace tallyward::test {
namespace {

using json = nlohmann::json;

class ArriveHDemo : public DemoCommandTest {
 protected:
  static json verify(std::vector<std::string> args) {
    return DemoCommandTest::verify("Tallyward.ClsS_VerifyArriveH", args);
  }
};

TEST_F(ArriveHDemo, ItemTypedByItsCodeFillsItsLine) {
  const json a = verify({"--method", "VerifyBody", "--key", "cInvCode", "--head", "arriveh_head_note.xml", "--body",
                         "arriveh_body_item.xml", "--row", "1", "--set", "m_bPositive=true"});
  EXPECT_EQ(a["verdict"], "");
  const std::string body = a["body"];
  EXPECT_TRUE(body.starts_with("<?xml version='1.0' encoding='GB2312'?>\r<Body>\r<R K='cInvCode' V='P1002'/>\r")) << body;
  // The vendor's latest order price, 50 pieces in boxes of 10, and the price list's price.
  EXPECT_TRUE(body.ends_with("<R K='ioricost' V='0.35'/>\r<R K='ioritaxcost' V='0.3955'/>\r<R K='itaxrate' V='13'/>\r"
                             "<R K='iCost' V='0.35'/>\r<R K='iNum' V='5'/>\r<R K='dpdate' V=''/>\r<R K='dvdate' V=''/>\r"
                             "<R K='ioricost' V='0.35'/>\r<R K='iTaxRate' V='13'/>\r<R K='bTaxCost' V='0'/>\r</Body>"))
      << body;
}

TEST_F(ArriveHDemo, WholePassesInBrowserModeCollectEveryRefusal) {
  EXPECT_EQ(verify({"--method", "VerifyHead", "--key", "all", "--head", "arriveh_head_wrong.xml", "--mode", "BS"}),
            json({{"verdict", "供应商录入不正确或已经停用，请检查！\r部门录入不正确或是非末级，请检查！\r外币录入不正确，请检查！\r"}}));
  EXPECT_EQ(verify({"--method", "VerifyBody", "--key", "all", "--head", "arriveh_head_note.xml", "--body",
                    "arriveh_body_faulty.xml", "--mode", "BS"}),
            json({{"verdict", "第[1]行没有批次管理，不能录入批号！\r第[2]行自由项2录入不正确，请检查！\r"
                              "第[2]行仓库录入不正确，请检查！\r第[3]行税额录入超出容差范围！\r"
                              "第[4]行存货录入不正确或已经停用，请检查！\r"}}));
}

}  // namespace
}  // namespace tallyward::test
