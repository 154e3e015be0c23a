// The whole-arrival check as a late-bound caller and the command line reach it, with the sample
// notes of examples/.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include <nlohmann/json.hpp>

#include "arrival/arrival_fixture.h"
#include "command.h"
#include "tallyward/registry.h"

namespace tallyward {
namespace {

using namespace arrival_test;

TEST(ArrivalLateBound, PropertiesSwitchTheCheckByName) {
  auto check = createObject("Tallyward.ClsS_VerifyArriveF");
  const auto body = voucher({line(with(goodFields(), {{"cinvcode", ""}, {"iquantity", ""}, {"iorimoney", "-5"},
                                                      {"imoney", "0"}, {"iorisum", "0"}, {"isum", "0"}}))});
  auto verify = [&](const char* key) { return toText(check->call("VerifyBody", {Variant(key), Variant(body)})); };
  const std::string noItem = "第[1]行存货不能为空，请检查！";
  const std::string noQuantity = "第[1]行数量不能为空，请检查！";
  EXPECT_EQ(verify("all"), noItem);

  check->put("m_UseMode", Variant(1));
  EXPECT_EQ(verify("all"), noItem + CR + noQuantity + CR);
  check->put("m_bPositive", Variant(-1));
  EXPECT_EQ(check->get("m_bPositive"), Variant(true));
  EXPECT_EQ(verify("all"), noItem + CR + noQuantity + CR + "第[1]行原币金额必须大于零，请检查！" + CR);

  // The conversion rate is kept for the caller and changes no verdict.
  check->put("m_ConvertExchRate", Variant("1.5"));
  EXPECT_EQ(check->get("m_ConvertExchRate"), Variant(1.5));
  EXPECT_EQ(verify("ALL"), noItem + CR + noQuantity + CR + "第[1]行原币金额必须大于零，请检查！" + CR);
}

TEST(ArrivalLateBound, HeadAndSingleFieldCalls) {
  auto check = createObject("ClsS_VerifyArriveF");
  check->put("m_UseMode", Variant(1));
  const auto head = test::head(with(goodHead(), {{"cbustype", ""}}));
  EXPECT_EQ(toText(check->call("VerifyHead", {Variant("CBusType"), Variant(head)})),
            "业务类型不能为空，请检查！" + CR);
  const auto body = voucher({line(with(goodFields(), {{"dpdate", "2026-04-31"}}))});
  EXPECT_EQ(toText(check->call("verifybody", {Variant("dpdate"), Variant(body), Variant(3)})),
            "第[3]行生产日期录入错误，请检查！");
  // Left out, R is missing: one field cannot be reported without it.
  EXPECT_EQ(errorNumber([&] { check->call("VerifyBody", {Variant("dpdate"), Variant(body)}); }),
            err::TypeMismatch);
  EXPECT_EQ(errorNumber([&] { check->call("VerifyBody", {Variant("all")}); }), err::InvalidArgument);
}

// ---- The sample notes, as the demo shows them -------------------------------------------------------

nlohmann::json runCommand(std::vector<std::string> args, int expectedStatus = cli::kOk) {
  std::ostringstream out, err;
  const int status = cli::run(args, out, err);
  EXPECT_EQ(status, expectedStatus) << err.str();
  return nlohmann::json::parse(out.str());
}

std::vector<std::string> verifyArgs(const char* method, const char* key, const char* file,
                                    std::initializer_list<std::string> more) {
  const std::string path = std::string(TW_SOURCE_DIR) + "/examples/" + file;
  std::vector<std::string> args = {"verify", "--class", "ClsS_VerifyArriveF", "--method", method,
                                   "--key", key, method == std::string("VerifyHead") ? "--head" : "--body",
                                   path};
  args.insert(args.end(), more);
  return args;
}

TEST(ArrivalSamples, HeadInBothModes) {
  EXPECT_EQ(runCommand(verifyArgs("VerifyHead", "all", "arrival_head.xml", {"--mode", "CS"}))["verdict"],
            "汇率必须大于零，请检查！");
  EXPECT_EQ(runCommand(verifyArgs("VerifyHead", "all", "arrival_head.xml", {"--mode", "BS"}))["verdict"],
            "汇率必须大于零，请检查！" + CR + "业务类型录入错误，请检查！" + CR);
  EXPECT_EQ(runCommand(verifyArgs("VerifyHead", "cbustype", "arrival_head.xml", {}))["verdict"],
            "业务类型录入错误，请检查！");
}

TEST(ArrivalSamples, BodyOfAPositiveAndANegativeNote) {
  auto args = [](const char* key, std::initializer_list<std::string> more) {
    return verifyArgs("VerifyBody", key, "arrival_body.xml", more);
  };
  EXPECT_EQ(runCommand(args("all", {"--mode", "BS", "--set", "m_bPositive=true"}))["verdict"],
            "第[3]行计量单位不能为空，请检查！" + CR + "第[4]行数量不能为空，请检查！" + CR +
                "第[5]行数量和件数不能同时为零，请检查！" + CR + "第[5]行含税单价不能小于 0，请检查！" + CR +
                "第[5]行生产日期录入错误，请检查！" + CR);
  EXPECT_EQ(runCommand(args("all", {"--mode", "CS", "--set", "m_bPositive=true"}))["verdict"],
            "第[4]行数量不能为空，请检查！" + CR);
  EXPECT_EQ(runCommand(args("all", {"--mode", "CS", "--set", "m_bPositive=false"}))["verdict"],
            "第[2]行数量必须小于零，请检查！");
  EXPECT_EQ(runCommand(args("ioritaxcost", {"--row", "5", "--mode", "BS", "--set", "m_bPositive=true"}))["verdict"],
            "第[5]行含税单价不能小于0，请检查！");
  EXPECT_EQ(runCommand(args("ioritaxcost", {"--set", "m_bPositive=true"}), cli::kRunTime)["error"]["number"],
            err::TypeMismatch);
}

}  // namespace
}  // namespace tallyward
