#include <gtest/gtest.h>

#include "requisition/applyf_calls.h"

namespace tallyward::test {
namespace {

constexpr UseMode CS = UseMode::CS;
constexpr UseMode BS = UseMode::BS;

const std::string kNoCode = "请购单号不能为空，请检查！";
const std::string kNoDate = "请购单日期不能为空，请检查！";
const std::string kNoDepartment = "部门不能为空，请检查！";
const std::string kBadDate = "请购单日期录入错误，请检查！";
const std::string kBadRate = "税率必须在 0 到 100 之间，请检查！";
const std::string kBadBusType = "业务类型录入错误，请检查！";

TEST(ApplyFHead, CompleteHeadPasses) {
  EXPECT_EQ(verifyHead(CS, "all", kGoodHead), "");
  EXPECT_EQ(verifyHead(BS, "all", kGoodHead), "");
}

// One fault on an otherwise complete head, in a whole pass: CS reports the message alone, BS
// collects it with a carriage return. The department rule is not applied in CS.
TEST(ApplyFHead, EachRuleInAWholePass) {
  const struct { Attributes change; std::string cs, bs; } cases[] = {
      {{{"ccode", ""}}, kNoCode, kNoCode + CR},
      {{{"ddate", ""}}, kNoDate, kNoDate + CR},
      {{{"cdepname", ""}}, "", kNoDepartment + CR},
      {{{"ddate", "abc"}}, kBadDate, kBadDate + CR},
      {{{"ddate", "2008-02-30"}}, kBadDate, kBadDate + CR},
      {{{"ddate", "2008-05-01t00:00:00"}}, kBadDate, kBadDate + CR},  // only a capital T cuts
      {{{"ddate", "2008-05-01"}}, "", ""},
      {{{"ipertaxrate", "100"}}, kBadRate, kBadRate + CR},
      {{{"ipertaxrate", "-0.01"}}, kBadRate, kBadRate + CR},
      {{{"ipertaxrate", "99.99"}}, "", ""},
      {{{"ipertaxrate", "0"}}, "", ""},
      {{{"ipertaxrate", ""}}, "", ""},
      {{{"cbustype", "委外发票"}}, "", ""},
      {{{"cbustype", "受托代销"}}, "", ""},
      {{{"cbustype", ""}}, "", ""},
      {{{"cbustype", "直运采购"}}, kBadBusType, kBadBusType + CR},  // an order type only
      {{{"cbustype", "普通采购 "}}, kBadBusType, kBadBusType + CR},
  };
  for (const auto& c : cases) {
    const Attributes row = with(kGoodHead, c.change);
    EXPECT_EQ(verifyHead(CS, "all", row), c.cs) << c.change[0].first << "=" << c.change[0].second;
    EXPECT_EQ(verifyHead(BS, "all", row), c.bs) << c.change[0].first << "=" << c.change[0].second;
  }
}

TEST(ApplyFHead, MissingAttributeReadsAsEmpty) {
  EXPECT_EQ(verifyHead(CS, "all", without(kGoodHead, {"ccode"})), kNoCode);
  EXPECT_EQ(verifyHead(BS, "all", without(kGoodHead, {"cdepname", "ipertaxrate", "cbustype"})),
            kNoDepartment + CR);
}

TEST(ApplyFHead, CsReportsTheFirstFaultBsCollectsAllInOrder) {
  const Attributes empty{{"ccode", ""}, {"ddate", ""}, {"cdepname", ""}};
  EXPECT_EQ(verifyHead(CS, "all", empty), kNoCode);
  EXPECT_EQ(verifyHead(BS, "ALL", empty), kNoCode + CR + kNoDate + CR + kNoDepartment + CR);

  const Attributes faulty{{"ccode", ""},           {"ddate", "abc"},    {"cdepname", ""},
                          {"ipertaxrate", "100"},  {"cbustype", "x"}};
  EXPECT_EQ(verifyHead(BS, "all", faulty),
            kNoCode + CR + kNoDepartment + CR + kBadDate + CR + kBadRate + CR + kBadBusType + CR);
  // The department rule stays silent in CS, so the date is the first fault reported.
  EXPECT_EQ(verifyHead(CS, "All", with(faulty, {{"ccode", "QG1"}})), kBadDate);
}

// Single-field checks report at once in both modes; the whole-pass rules do not run.
TEST(ApplyFHead, SingleFieldChecks) {
  const struct { std::string key; Attributes change; std::string expected; } cases[] = {
      {"ddate", {{"ddate", "abc"}}, kBadDate},
      {"DDate", {{"ddate", "2008-13-01"}}, kBadDate},
      {"ddate", {{"ddate", "2008-05-01T10:20:30"}}, ""},
      {"ddate", {{"ddate", ""}}, ""},  // still typing
      {"ipertaxrate", {{"ipertaxrate", "100"}}, kBadRate},
      {"iPerTaxRate", {{"ipertaxrate", "-1"}}, kBadRate},
      {"ipertaxrate", {{"ipertaxrate", ""}}, ""},
      {"cbustype", {{"cbustype", "普通"}}, kBadBusType},
      {"cbustype", {{"cbustype", ""}}, ""},
      {"ccode", {{"ccode", ""}}, ""},
      {"cdepname", {{"cdepname", ""}}, ""},
      {"ddate", {{"ccode", ""}, {"ddate", "abc"}}, kBadDate},
      {"cvenabbname", {{"ddate", "abc"}}, ""},  // no head rule names it
  };
  for (const auto& c : cases)
    for (UseMode mode : {CS, BS})
      EXPECT_EQ(verifyHead(mode, c.key, with(kGoodHead, c.change)), c.expected)
          << c.key << " mode " << static_cast<int>(mode);
}

TEST(ApplyFHead, TaxRateThatIsNoNumberFailsTheCall) {
  const Attributes row = with(kGoodHead, {{"ipertaxrate", "abc"}});
  EXPECT_EQ(errorOf([&] { verifyHead(CS, "all", row); }), err::TypeMismatch);
  EXPECT_EQ(errorOf([&] { verifyHead(BS, "all", row); }), err::TypeMismatch);
  EXPECT_EQ(errorOf([&] { verifyHead(CS, "ipertaxrate", row); }), err::TypeMismatch);
  // Not read when the call ended before the tax rate, or for another key.
  EXPECT_EQ(verifyHead(CS, "all", with(row, {{"ccode", ""}})), kNoCode);
  EXPECT_EQ(verifyHead(CS, "ddate", row), "");
  // In BS the earlier messages are lost with the failed call.
  EXPECT_EQ(errorOf([&] { verifyHead(BS, "all", with(row, {{"ccode", ""}})); }), err::TypeMismatch);
}

TEST(ApplyFHead, DocumentsThatCannotBeRead) {
  ClsS_VerifyApplyF check;
  auto noRows = voucher({});
  EXPECT_EQ(errorOf([&] { check.VerifyHead(Variant("all"), Variant(noRows)); }), err::ObjectNotSet);
  EXPECT_EQ(errorOf([&] { check.VerifyHead(Variant("ddate"), Variant(noRows)); }), err::ObjectNotSet);
  EXPECT_EQ(errorOf([&] { check.VerifyHead(Variant("all"), Variant("<xml/>")); }), err::NotAnObject);
}

}  // namespace
}  // namespace tallyward::test
