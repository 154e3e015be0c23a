#include <gtest/gtest.h>

#include "invoice/billf_calls.h"

namespace tallyward::test::billf {
namespace {

const std::string kNoBusType = "业务类型不能为空，请检查！";
const std::string kBadBusType = "业务类型录入错误，请检查！";
const std::string kNoUnit = "代垫单位不能为空，请检查！";
const std::string kNoVendor = "供应商不能为空，请检查！";
const std::string kNoDepartment = "部门不能为空，请检查！";
const std::string kBadEntryDate = "录入日期录入错误，请检查！";
const std::string kBadRate = "汇率必须大于零，请检查！";
const std::string kBadTaxRate = "税率必须在 0 到 100 之间，请检查！";

TEST(BillFHead, ACorrectHeadPassesInBothModes) {
  EXPECT_EQ(billHead(UseMode::CS, "all", kBillHead), "");
  EXPECT_EQ(billHead(UseMode::BS, "ALL", kBillHead), "");
}

struct HeadCase {
  Attributes changes;
  std::string message;  // "" when the head passes
};

class BillFHeadWholePass : public ::testing::TestWithParam<HeadCase> {};

// One fault at a time: the message alone in CS, the message and a CR in BS.
TEST_P(BillFHeadWholePass, OneFaultInBothModes) {
  const Attributes row = with(kBillHead, GetParam().changes);
  const std::string& m = GetParam().message;
  EXPECT_EQ(billHead(UseMode::CS, "all", row), m);
  EXPECT_EQ(billHead(UseMode::BS, "all", row), m.empty() ? "" : m + CR);
}

INSTANTIATE_TEST_SUITE_P(
    EveryHeadMessage, BillFHeadWholePass,
    ::testing::Values(
        HeadCase{{{"csource", "采购"}, {"cbustype", ""}}, kNoBusType},
        HeadCase{{{"csource", "委外"}, {"cbustype", ""}}, kNoBusType},
        HeadCase{{{"cvenabbname", ""}}, kNoUnit},
        HeadCase{{{"sysname", "eai"}, {"cunitcode", ""}, {"cvencode", "V01"}}, kNoUnit},
        HeadCase{{{"cpbvbilltype", ""}}, "发票类别不能为空，请检查！"},
        HeadCase{{{"cpbvcode", ""}}, "发票号不能为空，请检查！"},
        HeadCase{{{"cexch_name", ""}}, "发票币种不能为空，请检查！"},
        HeadCase{{{"cexchrate", ""}}, "发票汇率不能为空，请检查！"},
        HeadCase{{{"dpbvdate", ""}}, "录入日期不能为空，请检查！"},
        HeadCase{{{"cvenabbname_1", ""}}, kNoVendor},
        HeadCase{{{"sysname", "Eai"}, {"cunitcode", "V01"}, {"cvencode", ""}}, kNoVendor},
        HeadCase{{{"dpbvdate", "2026-02-30T00:00:00"}}, kBadEntryDate},
        // Only a capital T starts the time part.
        HeadCase{{{"dpbvdate", "2026-11-20t00:00:00"}}, kBadEntryDate},
        HeadCase{{{"dvoudate", "2026-13-01"}}, "发票日期录入错误，请检查！"},
        HeadCase{{{"csource", "采购"}, {"cbustype", "委外发票"}}, kBadBusType},
        HeadCase{{{"csource", "委外"}, {"cbustype", "普通采购"}}, kBadBusType},
        HeadCase{{{"csource", "委外"}, {"cbustype", "委外发票 "}}, kBadBusType},
        HeadCase{{{"cexchrate", "0"}}, kBadRate},
        HeadCase{{{"cexchrate", "-1.5"}}, kBadRate},
        HeadCase{{{"cexchrate", "abc"}}, kBadRate},
        HeadCase{{{"ipbvtaxrate", "100"}}, kBadTaxRate},
        HeadCase{{{"ipbvtaxrate", "-0.01"}}, kBadTaxRate},
        // Accepted values.
        HeadCase{{{"csource", "采购"}, {"cbustype", "普通采购"}}, ""},
        HeadCase{{{"csource", "采购"}, {"cbustype", "直运采购"}}, ""},
        HeadCase{{{"csource", "其他"}, {"cbustype", ""}}, ""},
        HeadCase{{{"csource", ""}, {"cbustype", "随便"}}, ""},
        HeadCase{{{"sysname", "EAI"}, {"cunitcode", "V01"}, {"cvencode", "V01"},
                  {"cvenabbname", ""}, {"cvenabbname_1", ""}},
                 ""},
        HeadCase{{{"dpbvdate", "2026-11-20T10:20:30"}, {"dvoudate", "2026-11-20"}}, ""},
        HeadCase{{{"dvoudate", ""}}, ""},
        HeadCase{{{"ipbvtaxrate", "0"}}, ""},
        HeadCase{{{"ipbvtaxrate", "99.99"}}, ""},
        HeadCase{{{"ipbvtaxrate", ""}}, ""},
        HeadCase{{{"cexchrate", "0.0001"}}, ""}));

TEST(BillFHead, DepartmentIsCheckedOnlyInBs) {
  const Attributes row = with(kBillHead, {{"cdepname", ""}});
  EXPECT_EQ(billHead(UseMode::CS, "all", row), "");
  EXPECT_EQ(billHead(UseMode::BS, "all", row), kNoDepartment + CR);
  EXPECT_EQ(billHead(UseMode::BS, "all", without(kBillHead, {"cdepname"})), kNoDepartment + CR);
}

TEST(BillFHead, CsGivesTheFirstMessageBsGivesAllInOrder) {
  const Attributes row = with(kBillHead, {{"ipbvtaxrate", "120"}, {"cdepname", ""},
                                          {"cvenabbname_1", ""}, {"dpbvdate", "2026-02-30"}});
  EXPECT_EQ(billHead(UseMode::CS, "all", row), kNoVendor);
  EXPECT_EQ(billHead(UseMode::BS, "all", row),
            kNoVendor + CR + kNoDepartment + CR + kBadEntryDate + CR + kBadTaxRate + CR);
}

struct HeadFieldCase {
  std::string key;
  Attributes changes;
  std::string message;
};

class BillFHeadSingleField : public ::testing::TestWithParam<HeadFieldCase> {};

// A single-field check reports at once in either mode: no CR, whatever else is wrong.
TEST_P(BillFHeadSingleField, ReportsAtOnceInBothModes) {
  const HeadFieldCase& c = GetParam();
  const Attributes row = with(kBillHead, c.changes);
  EXPECT_EQ(billHead(UseMode::CS, c.key, row), c.message);
  EXPECT_EQ(billHead(UseMode::BS, c.key, row), c.message);
}

INSTANTIATE_TEST_SUITE_P(
    HeadKeys, BillFHeadSingleField,
    ::testing::Values(
        HeadFieldCase{"dPBVDate", {{"dpbvdate", "2026-02-30"}, {"cpbvcode", ""}}, kBadEntryDate},
        HeadFieldCase{"dvoudate", {{"dvoudate", "20261120"}}, "发票日期录入错误，请检查！"},
        HeadFieldCase{"CBUSTYPE", {{"csource", "采购"}, {"cbustype", "委外发票"}}, kBadBusType},
        HeadFieldCase{"cbustype", {{"csource", "委外"}, {"cbustype", "直运采购"}}, kBadBusType},
        HeadFieldCase{"cbustype", {{"csource", "其他"}, {"cbustype", "直运采购"}}, ""},
        HeadFieldCase{"cexchrate", {{"cexchrate", "0"}, {"ipbvtaxrate", "100"}}, kBadRate},
        HeadFieldCase{"ipbvtaxrate", {{"cexchrate", "0"}, {"ipbvtaxrate", "100"}}, kBadTaxRate},
        // Empty values while typing are accepted; mandatory rules belong to the whole pass.
        HeadFieldCase{"cexchrate", {{"cexchrate", ""}}, ""},
        HeadFieldCase{"dpbvdate", {{"dpbvdate", ""}}, ""},
        HeadFieldCase{"cbustype", {{"csource", "采购"}, {"cbustype", ""}}, ""},
        HeadFieldCase{"cpbvcode", {{"cpbvcode", ""}}, ""},
        HeadFieldCase{"cdepname", {{"cdepname", ""}}, ""},
        HeadFieldCase{"cmemo", {{"cexchrate", "0"}}, ""}));

TEST(BillFHead, AHeadWithoutRowsFailsOnlyForAKeyThatReadsIt) {
  ClsS_VerifyBillF check;
  auto empty = Document::parse("<xml><rs:data/></xml>");
  EXPECT_EQ(errorOf([&] { check.VerifyHead(Variant("all"), Variant(empty)); }), err::ObjectNotSet);
  EXPECT_EQ(errorOf([&] { check.VerifyHead(Variant("ipbvtaxrate"), Variant(empty)); }),
            err::ObjectNotSet);
  EXPECT_EQ(check.VerifyHead(Variant("cmemo"), Variant(empty)), "");
}

TEST(BillFHead, OnlyTheFirstRowIsTheHead) {
  ClsS_VerifyBillF check;
  const auto doc = voucher({kBillHead, with(kBillHead, {{"cpbvcode", ""}})});
  EXPECT_EQ(check.VerifyHead(Variant("all"), Variant(doc)), "");
}

}  // namespace
}  // namespace tallyward::test::billf
