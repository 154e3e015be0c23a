// The head of an arrival note: mandatory fields, the integration interface's codes, the date, the
// rates and the business type, in single-field checks and whole passes under CS and BS.
#include <gtest/gtest.h>

#include "arrival/arrival_fixture.h"

namespace tallyward {
namespace {

using namespace arrival_test;

TEST(ArrivalHead, ACompleteHeadPassesInBothModes) {
  for (UseMode mode : {UseMode::CS, UseMode::BS}) {
    EXPECT_EQ(verifyHead("all", goodHead(), mode), "");
    EXPECT_EQ(verifyHead("ALL", goodHead(), mode), "");
  }
}

struct HeadFault {
  const char* what;
  Attributes changes;
  const char* message;
};

// One fault at a time: CS gives the message alone, BS the message and a CR (way A and, in a whole
// pass, way F as well).
TEST(ArrivalHead, EachFaultOfAWholePass) {
  const HeadFault cases[] = {
      {"no note number", {{"ccode", ""}}, "到货单号不能为空，请检查！"},
      {"no currency", {{"cexch_name", ""}}, "到货单币种不能为空，请检查！"},
      {"no exchange rate", {{"iexchrate", ""}}, "到货单汇率不能为空，请检查！"},
      {"no date", {{"ddate", ""}}, "到货单日期不能为空，请检查！"},
      {"no vendor name", {{"cvenabbname", ""}}, "供应商不能为空，请检查！"},
      {"interface note without vendor code", {{"sysname", "EAI"}, {"cvencode", ""}, {"cdepcode", "D01"}},
       "供应商不能为空，请检查！"},
      {"no department name", {{"cdepname", ""}}, "部门不能为空，请检查！"},
      {"interface note without department code", {{"sysname", "eAi"}, {"cvencode", "V01"}, {"cdepcode", ""}},
       "部门不能为空，请检查！"},
      {"no such day", {{"ddate", "2026-02-30"}}, "到货单日期录入错误，请检查！"},
      {"no such day with a time", {{"ddate", "2026-02-30T00:00:00"}}, "到货单日期录入错误，请检查！"},
      {"lower-case t is no separator", {{"ddate", "2026-03-01t00:00:00"}}, "到货单日期录入错误，请检查！"},
      {"zero exchange rate", {{"iexchrate", "0"}}, "汇率必须大于零，请检查！"},
      {"negative exchange rate", {{"iexchrate", "-1.5"}}, "汇率必须大于零，请检查！"},
      {"exchange rate that is no number", {{"iexchrate", "abc"}}, "汇率必须大于零，请检查！"},
      {"tax rate of 100", {{"itaxrate", "100"}}, "税率必须在 0 到 100 之间，请检查！"},
      {"negative tax rate", {{"itaxrate", "-0.5"}}, "税率必须在 0 到 100 之间，请检查！"},
      {"no business type", {{"cbustype", ""}}, "业务类型不能为空，请检查！"},
      {"business type with a blank", {{"cbustype", "普通采购 "}}, "业务类型录入错误，请检查！"},
      {"business type of orders only", {{"cbustype", "直运采购"}}, "业务类型录入错误，请检查！"},
  };
  for (const HeadFault& c : cases) {
    const Attributes head = with(goodHead(), c.changes);
    EXPECT_EQ(verifyHead("all", head, UseMode::CS), c.message) << c.what;
    EXPECT_EQ(verifyHead("all", head, UseMode::BS), c.message + CR) << c.what;
  }
}

TEST(ArrivalHead, AMissingAttributeReadsAsAnEmptyOne) {
  EXPECT_EQ(verifyHead("all", without(goodHead(), {"ccode"}), UseMode::CS), "到货单号不能为空，请检查！");
  EXPECT_EQ(verifyHead("all", without(goodHead(), {"cbustype"}), UseMode::BS),
            "业务类型不能为空，请检查！" + CR);
  // An attribute spelled in capitals is not the field.
  EXPECT_EQ(verifyHead("all", with(without(goodHead(), {"ccode"}), {{"cCode", "DH1"}}), UseMode::CS),
            "到货单号不能为空，请检查！");
}

TEST(ArrivalHead, AcceptedValues) {
  const Attributes cases[] = {
      {{"sysname", "EAI"}, {"cvencode", "V01"}, {"cvenabbname", ""}, {"cdepcode", "D01"}, {"cdepname", ""}},
      {{"sysname", "ERP"}, {"cvencode", ""}, {"cdepcode", ""}},
      {{"ddate", "2028-02-29T10:20:30"}},
      {{"ddate", "2026/3/1"}},
      {{"iexchrate", "0.0001"}},
      {{"itaxrate", "0"}},
      {{"itaxrate", "99.99"}},
      {{"itaxrate", ""}},
      {{"cbustype", "受托代销"}},
      {{"cbustype", "委外发票"}},
  };
  for (const Attributes& changes : cases)
    EXPECT_EQ(verifyHead("all", with(goodHead(), changes), UseMode::BS), "") << changes[0].first
                                                                            << "=" << changes[0].second;
}

TEST(ArrivalHead, BSCollectsEveryFaultInRuleOrderCSStopsAtTheFirst) {
  const Attributes head = with(goodHead(), {{"cbustype", "x"}, {"ddate", "2026-13-01"}, {"ccode", ""},
                                            {"sysname", "EAI"}, {"cvencode", ""}, {"cdepcode", ""}});
  EXPECT_EQ(verifyHead("all", head, UseMode::BS),
            "到货单号不能为空，请检查！" + CR + "供应商不能为空，请检查！" + CR + "部门不能为空，请检查！" + CR +
                "到货单日期录入错误，请检查！" + CR + "业务类型录入错误，请检查！" + CR);
  EXPECT_EQ(verifyHead("all", head, UseMode::CS), "到货单号不能为空，请检查！");
}

struct HeadField {
  const char* key;
  Attributes changes;
  UseMode mode;
  std::string expected;
};

TEST(ArrivalHead, SingleFieldChecks) {
  const std::string typeMissing = "业务类型不能为空，请检查！";
  const HeadField cases[] = {
      // Way A: reported at once, without CR, in either mode.
      {"ddate", {{"ddate", "2026-13-01"}}, UseMode::BS, "到货单日期录入错误，请检查！"},
      {"DDate", {{"ddate", "2026-13-01"}}, UseMode::CS, "到货单日期录入错误，请检查！"},
      {"iexchrate", {{"iexchrate", "0"}}, UseMode::BS, "汇率必须大于零，请检查！"},
      {"ioritaxrate", {{"itaxrate", "100"}}, UseMode::CS, "税率必须在 0 到 100 之间，请检查！"},
      {"cbustype", {{"cbustype", "采购"}}, UseMode::BS, "业务类型录入错误，请检查！"},
      // Way F: at once in CS, collected in BS, even for one field.
      {"cbustype", {{"cbustype", ""}}, UseMode::CS, typeMissing},
      {"cbustype", {{"cbustype", ""}}, UseMode::BS, typeMissing + CR},
      // Empty values are accepted while typing, and the whole-pass-only rules do not run.
      {"ddate", {{"ddate", ""}}, UseMode::CS, ""},
      {"iexchrate", {{"iexchrate", ""}}, UseMode::CS, ""},
      {"ioritaxrate", {{"itaxrate", ""}}, UseMode::BS, ""},
      {"ccode", {{"ccode", ""}}, UseMode::CS, ""},
      {"cvenabbname", {{"cvenabbname", ""}}, UseMode::CS, ""},
      // The head's tax rate is checked under the screen's key, not under its own name.
      {"itaxrate", {{"itaxrate", "100"}}, UseMode::CS, ""},
      {"cbustype", {{"ddate", "2026-13-01"}}, UseMode::CS, ""},
      {"nosuchfield", {{"ccode", ""}, {"cbustype", ""}}, UseMode::CS, ""},
  };
  for (const HeadField& c : cases)
    EXPECT_EQ(verifyHead(c.key, with(goodHead(), c.changes), c.mode), c.expected)
        << c.key << (c.mode == UseMode::BS ? " BS" : " CS");
}

TEST(ArrivalHead, AHeadWithoutRowsFailsWithError91) {
  ClsS_VerifyArriveF check;
  const auto empty = voucher({});
  EXPECT_EQ(errorNumber([&] { check.VerifyHead(Variant("all"), Variant(empty)); }), err::ObjectNotSet);
  EXPECT_EQ(errorNumber([&] { check.VerifyHead(Variant("ddate"), Variant(empty)); }), err::ObjectNotSet);
  EXPECT_EQ(errorNumber([&] { check.VerifyHead(Variant("all"), Variant("<xml/>")); }), err::NotAnObject);
}

}  // namespace
}  // namespace tallyward
