#include <gtest/gtest.h>

#include "support/voucher_builder.h"
#include "tallyward/classes.h"
#include "tallyward/registry.h"

namespace tallyward {
namespace {

using test::Attributes;
using test::line;
using test::with;
using test::without;

// A head that passes every rule.
const Attributes kHead{{"cpoid", "WW0001"},   {"cexch_name", "人民币"}, {"nflat", "1"},
                       {"dpodate", "2026-11-20T00:00:00"}, {"cvencode", "V001"},
                       {"cvenabbname", "华东精工"}, {"cdepname", "采购部"}, {"ibargain", "0"},
                       {"itaxrate", "13"},     {"cbustype", "普通采购"}};

// A line that passes every rule.
const Attributes kLine{{"cinvcode", "P1001"}, {"iquantity", "10"},  {"igrouptype", "0"},
                       {"iunitprice", "2"},   {"inatunitprice", "2"}, {"itaxprice", "2.26"},
                       {"imoney", "20"},      {"inatmoney", "20"},  {"isum", "22.6"},
                       {"inatsum", "22.6"},   {"darrivedate", "2026-12-01T00:00:00"},
                       {"ipertaxrate", "13"}};

std::string head(const Attributes& row, const char* key = "all", UseMode mode = UseMode::CS) {
  ClsS_VerifyFPO fpo;
  fpo.m_UseMode = mode;
  return fpo.VerifyHead(Variant(key), Variant(test::head(row)));
}

std::string body(const std::vector<Attributes>& rows, const char* key = "all",
                 UseMode mode = UseMode::CS, Variant R = Variant::missing(), bool alter = false) {
  ClsS_VerifyFPO fpo;
  fpo.m_UseMode = mode;
  fpo.m_bAlterPO = alter;
  return fpo.VerifyBody(Variant(key), Variant(test::voucher(rows)), R);
}

TEST(OrderHead, ACorrectHeadPasses) {
  EXPECT_EQ(head(kHead), "");
  EXPECT_EQ(head(kHead, "all", UseMode::BS), "");
}

// One fault at a time in a whole pass: the message is the same in both modes, with a CR in BS.
struct HeadFault {
  Attributes changes;
  std::string message;
};

class OrderHeadFaults : public ::testing::TestWithParam<HeadFault> {};

TEST_P(OrderHeadFaults, ReportedInBothModes) {
  const Attributes row = with(kHead, GetParam().changes);
  EXPECT_EQ(head(row, "all", UseMode::CS), GetParam().message);
  EXPECT_EQ(head(row, "all", UseMode::BS), GetParam().message + "\r");
}

INSTANTIATE_TEST_SUITE_P(
    EveryHeadMessage, OrderHeadFaults,
    ::testing::Values(HeadFault{{{"cpoid", ""}}, "订单编号不能为空，请检查！"},
                      HeadFault{{{"cexch_name", ""}}, "订单币种不能为空，请检查！"},
                      HeadFault{{{"nflat", ""}}, "订单汇率不能为空，请检查！"},
                      HeadFault{{{"cvenabbname", ""}}, "供应商不能为空，请检查！"},
                      HeadFault{{{"sysname", "Eai"}, {"cvencode", ""}}, "供应商不能为空，请检查！"},
                      HeadFault{{{"dpodate", "2026-02-30T00:00:00"}}, "订单日期录入错误，请检查！"},
                      HeadFault{{{"nflat", "0"}}, "汇率必须大于零，请检查！"},
                      HeadFault{{{"nflat", "-1"}}, "汇率必须大于零，请检查！"},
                      HeadFault{{{"ibargain", "-0.01"}}, "定金不能录入负数，请检查！"},
                      HeadFault{{{"itaxrate", "100"}}, "税率必须在 0 到 100 之间，请检查！"},
                      HeadFault{{{"itaxrate", "-1"}}, "税率必须在 0 到 100 之间，请检查！"},
                      HeadFault{{{"cbustype", "普通采购 "}}, "业务类型录入错误，请检查！"},
                      HeadFault{{{"cbustype", "其他"}}, "业务类型录入错误，请检查！"}));

TEST(OrderHead, EmptyDateIsReportedOnceAsMissing) {
  // An empty date is told by the mandatory rule; the date-format rule lets it pass.
  EXPECT_EQ(head(with(kHead, {{"dpodate", ""}}), "all", UseMode::BS), "订单日期不能为空，请检查！\r");
}

TEST(OrderHead, CsGivesTheFirstMessageBsGivesAllInOrder) {
  const Attributes row = with(kHead, {{"cpoid", ""}, {"cexch_name", ""}, {"cdepname", ""}});
  EXPECT_EQ(head(row, "all", UseMode::CS), "订单编号不能为空，请检查！");
  EXPECT_EQ(head(row, "all", UseMode::BS),
            "订单编号不能为空，请检查！\r订单币种不能为空，请检查！\r部门不能为空，请检查！\r");
}

TEST(OrderHead, DepartmentIsCheckedOnlyInBs) {
  const Attributes row = with(kHead, {{"cdepname", ""}});
  EXPECT_EQ(head(row, "all", UseMode::CS), "");
  EXPECT_EQ(head(row, "all", UseMode::BS), "部门不能为空，请检查！\r");
  EXPECT_EQ(head(without(kHead, {"cdepname"}), "all", UseMode::BS), "部门不能为空，请检查！\r");
}

TEST(OrderHead, VendorFieldFollowsTheInterfaceMark) {
  // From the integration interface the vendor code is tested, whatever the abbreviation holds.
  EXPECT_EQ(head(with(kHead, {{"sysname", "eai"}, {"cvencode", ""}})), "供应商不能为空，请检查！");
  EXPECT_EQ(head(with(kHead, {{"sysname", "EAI"}, {"cvenabbname", ""}})), "");
  EXPECT_EQ(head(with(kHead, {{"sysname", ""}, {"cvencode", ""}})), "");
}

TEST(OrderHead, BoundariesThatPass) {
  EXPECT_EQ(head(with(kHead, {{"itaxrate", "99.99"}})), "");
  EXPECT_EQ(head(with(kHead, {{"itaxrate", "0"}})), "");
  EXPECT_EQ(head(with(kHead, {{"ibargain", "0"}})), "");
  EXPECT_EQ(head(with(kHead, {{"cbustype", "委外发票"}})), "");
  EXPECT_EQ(head(with(kHead, {{"cbustype", ""}})), "");
  EXPECT_EQ(head(with(kHead, {{"dpodate", "2026-11-20"}})), "");
}

TEST(OrderHead, SingleFieldChecks) {
  const Attributes bad = with(kHead, {{"cpoid", ""}, {"nflat", "0"}, {"itaxrate", "120"}});
  // Mandatory rules belong to the whole pass.
  EXPECT_EQ(head(bad, "cpoid"), "");
  EXPECT_EQ(head(bad, "NFLAT"), "汇率必须大于零，请检查！");
  EXPECT_EQ(head(bad, "itaxrate", UseMode::BS), "税率必须在 0 到 100 之间，请检查！");
  // An empty value while typing ends the check.
  EXPECT_EQ(head(with(kHead, {{"nflat", ""}}), "nflat"), "");
  EXPECT_EQ(head(with(kHead, {{"dpodate", ""}}), "dpodate"), "");
  // A key that no rule names is accepted.
  EXPECT_EQ(head(bad, "cmemo"), "");
}

TEST(OrderHead, AHeadWithoutRowsFailsWithError91) {
  ClsS_VerifyFPO fpo;
  auto empty = Document::parse("<xml><rs:data/></xml>");
  try {
    fpo.VerifyHead(Variant("all"), Variant(empty));
    ADD_FAILURE() << "a verdict for a head without rows";
  } catch (const Error& e) {
    EXPECT_EQ(e.number(), err::ObjectNotSet);
  }
}

// ---- Lines ----------------------------------------------------------------------------------------

TEST(OrderLines, CorrectLinesPassAndDeletedOrUnmarkedRowsAreNotLookedAt) {
  EXPECT_EQ(body({line(kLine), line(kLine, "M")}), "");
  EXPECT_EQ(body({line({{"cinvcode", ""}}, "D"), {{"cinvcode", ""}}}), "");
  EXPECT_EQ(body({line({{"cinvcode", ""}}, "D")}, "iquantity", UseMode::CS, Variant(1)), "");
}

struct LineFault {
  Attributes changes;
  std::string message;     // after "第[n"
  bool alter = false;
  bool collected = false;  // a whole-pass rule that collects also in CS
};

class OrderLineFaults : public ::testing::TestWithParam<LineFault> {};

// The faulty line is the second line, after an unchanged one: its number is 2 in a whole pass.
TEST_P(OrderLineFaults, ReportedWithTheRowNumber) {
  const LineFault& f = GetParam();
  const std::vector<Attributes> rows{line({{"cinvcode", ""}}, ""), line(with(kLine, f.changes))};
  EXPECT_EQ(body(rows, "all", UseMode::CS, Variant::missing(), f.alter),
            "第[2" + f.message + (f.collected ? "\r" : ""));
  EXPECT_EQ(body(rows, "all", UseMode::BS, Variant::missing(), f.alter), "第[2" + f.message + "\r");
}

INSTANTIATE_TEST_SUITE_P(
    EveryLineMessage, OrderLineFaults,
    ::testing::Values(
        LineFault{{{"cinvcode", ""}}, "]行存货不能为空，请检查！"},
        LineFault{{{"citem_class", "01"}}, "]行有项目大类，必须录入项目！"},
        LineFault{{{"iquantity", ""}}, "]行数量不能为空，请检查！", false, true},
        LineFault{{{"iquantity", "-1"}, {"igrouptype", "2"}, {"cunitid", "卷"}},
                  "]行数量必须大于等于零，请检查！"},
        LineFault{{{"iquantity", "0"}}, "]行数量必须大于零，请检查！"},
        LineFault{{{"iquantity", "0"}, {"igrouptype", "1"}, {"iinvexchrate", "2"}, {"cunitid", "箱"},
                   {"inum", "1"}},
                  "]行数量必须大于零，请检查！"},
        LineFault{{{"ireceivedqty", "11"}}, "]行数量不能小于累计入库数量，请检查！", true},
        LineFault{{{"iinvqty", "10.5"}}, "]行数量不能小于累计开票数量，请检查！", true},
        LineFault{{{"iarrqty", "12"}}, "]行数量不能小于累计到货数量，请检查！", true},
        LineFault{{{"igrouptype", "1"}, {"cunitid", "箱"}, {"inum", "1"}}, "]行换算率不能为空，请检查！", false, true},
        LineFault{{{"igrouptype", "2"}, {"iinvexchrate", "-0.5"}, {"cunitid", "箱"}, {"inum", "1"}},
                  "]行换算率必须大于等于 0，请检查！"},
        LineFault{{{"igrouptype", "2"}, {"inum", "1"}}, "]行计量单位不能为空，请检查！", false, true},
        LineFault{{{"igrouptype", "1"}, {"iinvexchrate", "10"}, {"cunitid", "箱"}},
                  "]行件数不能为空，请检查！", false, true},
        LineFault{{{"igrouptype", "2"}, {"iquantity", "0"}, {"cunitid", "卷"}, {"inum", "0"}},
                  "]行数量和件数不能同时为零，请检查！", false, true},
        LineFault{{{"igrouptype", "1"}, {"iinvexchrate", "10"}, {"cunitid", "箱"}, {"inum", "0"}},
                  "]行件数必须大于 0，请检查！"},
        LineFault{{{"iunitprice", "-1"}}, "]行原币单价必须大于 0，请检查！"},
        LineFault{{{"inatunitprice", "-1"}}, "]行本币单价必须大于 0，请检查！"},
        LineFault{{{"itaxprice", "-0.01"}}, "]行含税单价不能小于 0，请检查！"},
        LineFault{{{"imoney", "-1"}}, "]行原币金额必须大于零，请检查！"},
        LineFault{{{"inatmoney", "-1"}}, "]行本币金额必须大于零，请检查！"},
        LineFault{{{"isum", "-1"}}, "]行原币价税合计必须大于零，请检查！"},
        LineFault{{{"inatsum", "-1"}}, "]行本币价税合计必须大于零，请检查！"},
        LineFault{{{"darrivedate", "2026-13-01"}}, "]行到货日期录入错误，请检查！"},
        LineFault{{{"ipertaxrate", "100"}}, "]行税率必须在 0 到 100 之间，请检查！"},
        LineFault{{{"ipertaxrate", ""}}, "]行税率未输入，请检查！！"},
        LineFault{{{"citemcode", "X01"}}, "]行在没有输入项目大类之前，请参照输入项目！"}));

TEST(OrderLines, CsKeepsCollectedMessagesOnlyWhenNothingReportsAtOnce) {
  const Attributes noQuantity = with(kLine, {{"iquantity", ""}});
  const Attributes badPrice = with(kLine, {{"iunitprice", "-1"}});
  EXPECT_EQ(body({line(noQuantity), line(badPrice)}), "第[2]行原币单价必须大于 0，请检查！");
  EXPECT_EQ(body({line(noQuantity), line(kLine)}), "第[1]行数量不能为空，请检查！\r");
  EXPECT_EQ(body({line(noQuantity), line(badPrice)}, "all", UseMode::BS),
            "第[1]行数量不能为空，请检查！\r第[2]行原币单价必须大于 0，请检查！\r");
}

TEST(OrderLines, BsCollectsEveryMessageOfALineInRuleOrder) {
  const Attributes row = with(kLine, {{"cinvcode", ""}, {"iunitprice", "-1"}, {"ipertaxrate", ""}});
  EXPECT_EQ(body({line(row)}, "all", UseMode::BS),
            "第[1]行存货不能为空，请检查！\r第[1]行原币单价必须大于 0，请检查！\r第[1]行税率未输入，请检查！！\r");
}

TEST(OrderLines, UnchangedLinesAreCountedButNotChecked) {
  const Attributes bad = with(kLine, {{"iunitprice", "-1"}});
  EXPECT_EQ(body({line(bad, ""), line(bad, "A")}), "第[2]行原币单价必须大于 0，请检查！");
  EXPECT_EQ(body({line(bad, ""), line(kLine, "A")}), "");
}

TEST(OrderLines, SingleFieldCheckUsesRForEveryLine) {
  const Attributes bad = with(kLine, {{"iunitprice", "-1"}});
  EXPECT_EQ(body({line(kLine), line(bad)}, "IUNITPRICE", UseMode::CS, Variant(7)),
            "第[7]行原币单价必须大于 0，请检查！");
  // An unchanged line is still checked in a single-field check.
  EXPECT_EQ(body({line(bad, "")}, "iunitprice", UseMode::BS, Variant(3)), "第[3]行原币单价必须大于 0，请检查！");
  // R may arrive as text or a Double; it is read as a Long.
  EXPECT_EQ(body({line(bad)}, "iunitprice", UseMode::CS, Variant("12")), "第[12]行原币单价必须大于 0，请检查！");
}

TEST(OrderLines, TheItemComesFirst) {
  const Attributes noItem = with(kLine, {{"cinvcode", ""}, {"iquantity", ""}});
  EXPECT_EQ(body({line(noItem)}, "iquantity", UseMode::CS, Variant(4)), "第[4]行请先录入存货！");
  EXPECT_EQ(body({line(noItem)}, "cfree1", UseMode::BS, Variant(4)), "第[4]行请先录入存货！");
  EXPECT_EQ(body({line(noItem)}, "cinvcode", UseMode::CS, Variant(4)), "");
  EXPECT_EQ(body({line(noItem)}, "cVenAbbName", UseMode::CS, Variant(4)), "");
}

TEST(OrderLines, EmptyValueEndsASingleFieldCheck) {
  // The empty quantity on the first line ends the check before the faulty second line.
  const Attributes empty = with(kLine, {{"iquantity", ""}, {"iunitprice", "-1"}});
  const Attributes negative = with(kLine, {{"iquantity", "-3"}});
  EXPECT_EQ(body({line(empty), line(negative)}, "iquantity", UseMode::CS, Variant(1)), "");
  EXPECT_EQ(body({line(negative), line(empty)}, "iquantity", UseMode::CS, Variant(1)),
            "第[1]行数量必须大于零，请检查！");
  EXPECT_EQ(body({line(with(kLine, {{"darrivedate", ""}}))}, "darrivedate", UseMode::CS, Variant(1)), "");
  EXPECT_EQ(body({line(with(kLine, {{"citemcode", ""}, {"citem_class", ""}}))}, "citemcode",
                 UseMode::CS, Variant(1)),
            "");
}

TEST(OrderLines, AlteringAnOrderComparesWithWhatWasDone) {
  // Nothing received, invoiced or arrived: 0 passes, a negative quantity is below what was received.
  EXPECT_EQ(body({line(with(kLine, {{"iquantity", "0"}}))}, "all", UseMode::CS, Variant::missing(), true), "");
  EXPECT_EQ(body({line(with(kLine, {{"iquantity", "-1"}}))}, "all", UseMode::CS, Variant::missing(), true),
            "第[1]行数量不能小于累计入库数量，请检查！");
  // Equal values pass; of several exceedings only the first is told, also in BS.
  EXPECT_EQ(body({line(with(kLine, {{"ireceivedqty", "10"}, {"iinvqty", "10"}, {"iarrqty", "10"}}))},
                 "all", UseMode::CS, Variant::missing(), true),
            "");
  EXPECT_EQ(body({line(with(kLine, {{"iinvqty", "11"}, {"iarrqty", "12"}}))}, "all", UseMode::BS,
                 Variant::missing(), true),
            "第[1]行数量不能小于累计开票数量，请检查！\r");
  // Without altering, the cumulative quantities are not looked at.
  EXPECT_EQ(body({line(with(kLine, {{"ireceivedqty", "99"}}))}), "");
}

TEST(OrderLines, PieceCountRulesByGroupType) {
  const Attributes fixed = with(kLine, {{"igrouptype", "1"}, {"iinvexchrate", "10"}, {"cunitid", "箱"}});
  EXPECT_EQ(body({line(with(fixed, {{"inum", "-2"}}))}, "inum", UseMode::CS, Variant(5)),
            "第[5]行件数必须大于 0，请检查！");
  EXPECT_EQ(body({line(with(fixed, {{"inum", ""}}))}, "inum", UseMode::CS, Variant(5)), "");
  // Floating conversion: quantity and pieces may not both be zero, told only in a whole pass.
  const Attributes floating = with(kLine, {{"igrouptype", "2"}, {"cunitid", "卷"}, {"iquantity", "0"}});
  EXPECT_EQ(body({line(floating)}, "all", UseMode::BS), "第[1]行数量和件数不能同时为零，请检查！\r");
  EXPECT_EQ(body({line(floating)}, "inum", UseMode::BS, Variant(1)), "");
  EXPECT_EQ(body({line(with(floating, {{"inum", "2"}}))}), "");
}

TEST(OrderLines, OnlyTheExactInterfaceMarkSkipsTheConversionRate) {
  const Attributes fixed = with(kLine, {{"igrouptype", "1"}, {"cunitid", "箱"}, {"inum", "1"}});
  EXPECT_EQ(body({line(with(fixed, {{"sysname", "eai"}}))}), "");
  EXPECT_EQ(body({line(with(fixed, {{"sysname", "EAI"}}))}), "第[1]行换算率不能为空，请检查！\r");
  EXPECT_EQ(body({line(with(fixed, {{"sysname", "eai"}, {"iinvexchrate", "-5"}}))}, "iinvexchrate",
                 UseMode::CS, Variant(1)),
            "");
}

TEST(OrderLines, BoundariesThatPass) {
  EXPECT_EQ(body({line(with(kLine, {{"iunitprice", "0"}, {"iunitprice", "0"}}))}), "");
  EXPECT_EQ(body({line(with(kLine, {{"ipertaxrate", "99.99"}}))}), "");
  EXPECT_EQ(body({line(with(kLine, {{"ipertaxrate", "0"}}))}), "");
  EXPECT_EQ(body({line(with(kLine, {{"iunitprice", "abc"}}))}), "") << "no number reads as 0";
  EXPECT_EQ(body({line(with(kLine, {{"iquantity", "-0"}, {"igrouptype", "2"}, {"cunitid", "x"}, {"inum", "1"}}))}), "");
}

TEST(OrderLines, TaxRateMissingIsToldForTheTaxKeys) {
  const Attributes noRate = with(kLine, {{"ipertaxrate", ""}});
  for (const char* key : {"itax", "inattax", "isum", "inatsum"})
    EXPECT_EQ(body({line(noRate)}, key, UseMode::CS, Variant(2)), "第[2]行税率未输入，请检查！！") << key;
  EXPECT_EQ(body({line(noRate)}, "imoney", UseMode::CS, Variant(2)), "");
  EXPECT_EQ(body({line(noRate)}, "ipertaxrate", UseMode::CS, Variant(2)), "");
}

TEST(OrderLines, RunTimeErrorsInsteadOfAVerdict) {
  const Attributes fixed = with(kLine, {{"igrouptype", "1"}, {"iinvexchrate", "10"}, {"cunitid", "箱"}});
  ClsS_VerifyFPO fpo;
  auto expectError = [&](const std::vector<Attributes>& rows, const char* key, const Variant& R, int number) {
    try {
      std::string v = fpo.VerifyBody(Variant(key), Variant(test::voucher(rows)), R);
      ADD_FAILURE() << "verdict '" << v << "' instead of error " << number;
    } catch (const Error& e) {
      EXPECT_EQ(e.number(), number);
    }
  };
  expectError({line(with(fixed, {{"inum", "abc"}}))}, "all", Variant::missing(), err::TypeMismatch);
  expectError({line(kLine)}, "iquantity", Variant::missing(), err::TypeMismatch);
  expectError({line(kLine)}, "iquantity", Variant("x"), err::TypeMismatch);
  try {
    fpo.VerifyBody(Variant("all"), Variant(), Variant::missing());
    ADD_FAILURE() << "a verdict without a document";
  } catch (const Error& e) {
    EXPECT_EQ(e.number(), err::ObjectNotSet);
  }
}

}  // namespace
}  // namespace tallyward
