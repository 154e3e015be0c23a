#include <gtest/gtest.h>

#include <sstream>

#include <nlohmann/json.hpp>

#include "command.h"
#include "invoice/billf_calls.h"
#include "tallyward/registry.h"

namespace tallyward::test::billf {
namespace {

// ---- Late-bound, as a voucher screen calls it through automation --------------------------------

std::shared_ptr<Object> lateBound(std::string_view name, int mode, const char* billType,
                                  bool positive) {
  std::shared_ptr<Object> check = createObject(name);
  check->put("m_UseMode", Variant(mode));
  check->put("sBillType", Variant(billType));
  check->put("m_bPositive", Variant(positive));
  return check;
}

TEST(BillFLateBound, PropertiesSteerTheRulesOfAWholePass) {
  const auto doc = voucher({line(with(kBillLine, {{"iorisum", ""}, {"cinvcode", ""}})),
                            line(with(kBillLine, {{"iorimoney", "-300"}}), "")});
  auto freight = lateBound("Tallyward.ClsS_VerifyBillF", 1, "wwypurbill", true);
  EXPECT_EQ(toText(freight->call("VerifyBody", {Variant("ALL"), Variant(doc)})),
            rowMessage(1, "]行存货不能为空，请检查！") + CR +
                rowMessage(1, "]行本币金额不能为空或者为零，请检查！") + "正运费发票金额合计必须大于0！");
  auto other = lateBound("ClsS_VerifyBillF", 0, "", false);
  EXPECT_EQ(toText(other->call("VerifyBody", {Variant("all"), Variant(doc)})),
            rowMessage(1, "]行存货不能为空，请检查！"));
}

TEST(BillFLateBound, HeadAndSingleFieldCalls) {
  auto check = lateBound("Tallyward.ClsS_VerifyBillF", 1, "wwpurbill", true);
  const auto headDoc = head(with(kBillHead, {{"cdepname", ""}, {"cexchrate", "-1"}}));
  EXPECT_EQ(toText(check->call("VerifyHead", {Variant("all"), Variant(headDoc)})),
            "部门不能为空，请检查！" + CR + "汇率必须大于零，请检查！" + CR);
  EXPECT_EQ(toText(check->call("VerifyHead", {Variant("CExchRate"), Variant(headDoc)})),
            "汇率必须大于零，请检查！");
  const auto body = voucher({line(with(kBillLine, {{"icost", "-3"}}))});
  EXPECT_EQ(toText(check->call("VerifyBody", {Variant("icost"), Variant(body), Variant(12)})),
            rowMessage(12, "]行本币单价必须大于等于 0，请检查！"));
}

TEST(BillFLateBound, RunTimeErrorsReachTheCaller) {
  auto check = lateBound("Tallyward.ClsS_VerifyBillF", 1, "wwpurbill", true);
  const auto body = voucher({line(with(kBillLine, {{"bservice", ""}}))});
  EXPECT_EQ(errorOf([&] { check->call("VerifyBody", {Variant("icost"), Variant(body)}); }),
            err::TypeMismatch);
  EXPECT_EQ(errorOf([&] { check->call("VerifyBody", {Variant("all"), Variant(body)}); }),
            err::TypeMismatch);
  EXPECT_EQ(errorOf([&] { check->call("VerifyBody", {Variant("all"), Variant("<xml/>")}); }),
            err::NotAnObject);
}

// ---- The sample invoices through the command -------------------------------------------------------

struct CommandRun {
  int status;
  nlohmann::json output;
};

CommandRun command(std::vector<std::string> args) {
  args.insert(args.begin(), {"verify", "--class", "ClsS_VerifyBillF"});
  std::ostringstream out, err;
  const int status = cli::run(args, out, err);
  return {status, nlohmann::json::parse(out.str())};
}

const std::string kExamples = std::string(TW_SOURCE_DIR) + "/examples/";

TEST(BillFExamples, TheSampleInvoiceBody) {
  const std::vector<std::string> body{"--method", "VerifyBody", "--body",
                                      kExamples + "invoice_body.xml", "--set", "sBillType=wwpurbill"};
  auto with = [&](std::vector<std::string> more) {
    more.insert(more.begin(), body.begin(), body.end());
    return command(more);
  };
  const std::string lines =
      rowMessage(3, "]行存货不能为空，请检查！") + CR +
      rowMessage(3, "]行原币金额不能为空(可以为零)，请检查！") +
      rowMessage(3, "]行本币金额不能为空(可以为零)，请检查！") +
      rowMessage(4, "]行计量单位不能为空，请检查！") + CR +
      rowMessage(4, "]行原币单价必须大于等于 0，请检查！") + CR +
      rowMessage(4, "]行本币单价必须大于等于 0，请检查！") + CR +
      rowMessage(5, "]行税率未输入，请检查！！") + CR +
      rowMessage(5, "]行本币金额必须与本币税价合计符号相同，请检查！");
  CommandRun bs = with({"--key", "all", "--mode", "BS", "--set", "m_bPositive=true"});
  EXPECT_EQ(bs.status, cli::kOk);
  EXPECT_EQ(bs.output["verdict"], lines);
  EXPECT_EQ(with({"--key", "all", "--mode", "BS", "--set", "m_bPositive=false"}).output["verdict"],
            lines + "负发票的数量合计不能大于零，金额合计必须小于0！");
  EXPECT_EQ(with({"--key", "all"}).output["verdict"], rowMessage(3, "]行存货不能为空，请检查！"));
  EXPECT_EQ(with({"--key", "iOriCost", "--row", "3"}).output["verdict"],
            rowMessage(3, "]行请先录入存货！"));
  CommandRun noRow = with({"--key", "iOriCost"});
  EXPECT_EQ(noRow.status, cli::kRunTime);
  EXPECT_EQ(noRow.output["error"]["number"], err::TypeMismatch);
}

TEST(BillFExamples, TheSampleInvoiceHead) {
  const std::string file = kExamples + "invoice_head.xml";
  EXPECT_EQ(command({"--method", "VerifyHead", "--key", "all", "--head", file, "--mode", "BS"})
                .output["verdict"],
            "发票号不能为空，请检查！" + CR + "部门不能为空，请检查！" + CR +
                "发票日期录入错误，请检查！" + CR + "业务类型录入错误，请检查！" + CR +
                "汇率必须大于零，请检查！" + CR + "税率必须在 0 到 100 之间，请检查！" + CR);
  EXPECT_EQ(command({"--method", "VerifyHead", "--key", "all", "--head", file}).output["verdict"],
            "发票号不能为空，请检查！");
  EXPECT_EQ(command({"--method", "VerifyHead", "--key", "ipbvtaxrate", "--head", file})
                .output["verdict"],
            "税率必须在 0 到 100 之间，请检查！");
}

}  // namespace
}  // namespace tallyward::test::billf
