// The sample requisitions of examples/ give the verdicts the demo shows.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "requisition/applyf_calls.h"

namespace tallyward::test {
namespace {

std::shared_ptr<Document> example(const std::string& name) {
  std::ifstream in(std::string(TW_SOURCE_DIR) + "/examples/" + name, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return Document::parse(text.str());
}

std::string run(UseMode mode, const char* method, const char* key, const std::string& file,
                Variant R = Variant::missing()) {
  ClsS_VerifyApplyF check;
  check.m_UseMode = mode;
  auto doc = example(file);
  return std::string(method) == "VerifyHead" ? check.VerifyHead(Variant(key), Variant(doc))
                                             : check.VerifyBody(Variant(key), Variant(doc), R);
}

TEST(ApplyFExamples, SampleRequisitions) {
  EXPECT_EQ(run(UseMode::CS, "VerifyHead", "all", "requisition_head.xml"), "业务类型录入错误，请检查！");
  EXPECT_EQ(run(UseMode::BS, "VerifyHead", "all", "requisition_head.xml"),
            "部门不能为空，请检查！" + CR + "业务类型录入错误，请检查！" + CR);
  // The deleted line is not counted, the unchanged second line is counted but not checked.
  EXPECT_EQ(run(UseMode::CS, "VerifyBody", "all", "requisition_body.xml"), "第[3]行: 税额录入不合法！");
  EXPECT_EQ(run(UseMode::BS, "VerifyBody", "all", "requisition_body.xml"),
            "第[3]行数量不能为空，请检查！" + CR + "第[3]行: 税额录入不合法！" + CR +
                "第[4]行单价不能小于 0，请检查！" + CR +
                "第[4]行在没有输入项目大类之前，请参照输入项目！" + CR);
  EXPECT_EQ(run(UseMode::CS, "VerifyBody", "funitprice", "requisition_body.xml", 4),
            "第[4]行单价不能小于 0，请检查！");
  // Single-field checks do look at the unchanged line.
  EXPECT_EQ(run(UseMode::CS, "VerifyBody", "fquantity", "requisition_body.xml", 2),
            "第[2]行数量必须大于零，请检查！");
}

}  // namespace
}  // namespace tallyward::test
