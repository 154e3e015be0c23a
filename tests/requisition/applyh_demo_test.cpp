// The requisition field-entry examples of examples/ through the tallyward command, on the demo
// company.
#include "support/demo_command.h"

namespace tallyward::test {
namespace {

using json = nlohmann::json;

class ApplyHDemo : public DemoCommandTest {
 protected:
  static json verify(std::vector<std::string> args) {
    args.insert(args.end(), {"--head", "applyh_head.xml"});
    return DemoCommandTest::verify("ClsS_VerifyApplyH", std::move(args));
  }
};

TEST_F(ApplyHDemo, HeadAndLineEntriesOnTheDemoCompany) {
  EXPECT_EQ(verify({"--method", "VerifyHead", "--key", "cPersonName"}),
            json({{"verdict", ""},
                  {"head", "<?xml version='1.0' encoding='GB2312'?>\r<head>\r<R K='cPersonCode' V='0003'/>\r"
                           "<R K='cPersonName' V='张伟'/>\r<R K='cDepCode' V='02'/>\r<R K='cDepName' V='外协部'/>\r</head>"}}));
  EXPECT_EQ(verify({"--method", "VerifyBody", "--key", "all", "--mode", "BS", "--body", "applyh_body_faulty.xml"}),
            json({{"verdict", "第[1]行建议订货日期必须大于等于请购单日期！第[2]行建议订货日期不能大于需求日期！"
                              "第[2]行没有自由项1设置，不能输入！第[2]行自由项3录入不正确，请检查！\r"
                              "第[2]行供应商录入不正确或已经停用，请检查！\r"}}));
}

}  // namespace
}  // namespace tallyward::test
