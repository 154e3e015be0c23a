#include <gtest/gtest.h>

#include "invoice/billf_calls.h"

namespace tallyward::test::billf {
namespace {

const std::string kPositive = "正发票的数量合计不能小于0，金额合计必须大于0！";
const std::string kNegative = "负发票的数量合计不能大于零，金额合计必须小于0！";
const std::string kPositiveFreight = "正运费发票金额合计必须大于0！";
const std::string kNegativeFreight = "负运费发票金额合计必须小于0！";
const std::string kBothZero = "发票的数量和金额合计不能同时为零！";

// Unchanged lines carrying only a quantity and a currency amount: no line rule looks at them, but
// they are counted in the totals.
std::vector<Attributes> amounts(std::initializer_list<std::pair<const char*, const char*>> lines) {
  std::vector<Attributes> rows;
  for (const auto& [quantity, amount] : lines)
    rows.push_back(line({{"ipbvquantity", quantity}, {"iorimoney", amount}}, ""));
  return rows;
}

struct TotalsCase {
  std::string billType;
  bool positive;
  std::vector<Attributes> rows;
  std::string verdict;  // the same in CS and BS: totals are appended without a separator
};

class BillFTotals : public ::testing::TestWithParam<TotalsCase> {};

TEST_P(BillFTotals, AppendedWithoutSeparators) {
  const TotalsCase& c = GetParam();
  EXPECT_EQ(billBody({UseMode::CS, c.billType, c.positive}, "all", c.rows), c.verdict);
  EXPECT_EQ(billBody({UseMode::BS, c.billType, c.positive}, "all", c.rows), c.verdict);
}

INSTANTIATE_TEST_SUITE_P(
    EveryKindAndSign, BillFTotals,
    ::testing::Values(
        TotalsCase{"wwpurbill", true, amounts({{"10", "100"}}), ""},
        TotalsCase{"wwpurbill", true, amounts({{"5", "0"}}), ""},
        TotalsCase{"wwpurbill", true, amounts({{"0", "5"}}), ""},
        TotalsCase{"wwpurbill", true, amounts({{"3", "30"}, {"-5", "10"}}), kPositive},
        TotalsCase{"wwpurbill", true, amounts({{"1", "-0.01"}}), kPositive},
        TotalsCase{"wwpurbill", true, amounts({{"0", ""}, {"", "abc"}}), kBothZero},
        TotalsCase{"wwpurbill", false, amounts({{"-10", "-100"}}), ""},
        TotalsCase{"wwpurbill", false, amounts({{"-1", "0"}}), ""},
        TotalsCase{"wwpurbill", false, amounts({{"1", "-100"}}), kNegative},
        TotalsCase{"", false, amounts({{"-1", "100"}}), kNegative},
        TotalsCase{"", false, amounts({{"0", "0"}}), kBothZero},
        TotalsCase{"", true, amounts({{"-1", "-1"}}), kPositive},
        TotalsCase{"wwypurbill", true, amounts({{"0", "10"}}), ""},
        TotalsCase{"wwypurbill", true, amounts({{"1", "0"}}), kPositiveFreight},
        TotalsCase{"wwypurbill", true, amounts({{"-1", "10"}}), kPositiveFreight},
        TotalsCase{"wwypurbill", true, amounts({{"0", "0"}}), kPositiveFreight + kBothZero},
        TotalsCase{"wwypurbill", false, amounts({{"0", "-10"}}), ""},
        TotalsCase{"wwypurbill", false, amounts({{"-1", "0"}}), kNegativeFreight},
        TotalsCase{"wwypurbill", false, amounts({{"1", "-10"}}), kNegativeFreight},
        TotalsCase{"wwypurbill", false, amounts({}), kNegativeFreight + kBothZero},
        // Amounts that cancel exactly in decimals cancel in the totals too.
        TotalsCase{"wwpurbill", true, amounts({{"1", "0.3"}, {"1", "-0.1"}, {"1", "-0.2"}}), ""},
        TotalsCase{"wwpurbill", false, amounts({{"0.1", "-1"}, {"0.2", "-1"}, {"-0.3", "-1"}}), ""},
        TotalsCase{"", false, amounts({{"0", "0.1"}, {"0", "0.2"}, {"0", "-0.3"}}), kBothZero},
        // Tiny real totals are not mistaken for noise.
        TotalsCase{"wwypurbill", true, amounts({{"0", "0.000001"}}), ""}));

TEST(BillFTotals, DeletedAndUnmarkedLinesAreNotCounted) {
  std::vector<Attributes> rows = amounts({{"2", "20"}});
  rows.push_back(line({{"ipbvquantity", "-50"}, {"iorimoney", "-500"}}, "D"));
  rows.push_back({{"ipbvquantity", "-50"}, {"iorimoney", "-500"}});
  EXPECT_EQ(billBody({UseMode::BS}, "all", rows), "");
}

TEST(BillFTotals, CountEditedLinesWhoseRulesFailedInBs) {
  // The edited line lacks its item; its amount still makes the total negative.
  std::vector<Attributes> rows = amounts({{"1", "10"}});
  rows.push_back(line(with(kBillLine, {{"cinvcode", ""}, {"iorimoney", "-20"}, {"iorisum", "-22.6"},
                                       {"imoney", "-20"}, {"isum", "-22.6"}})));
  EXPECT_EQ(billBody({UseMode::BS}, "all", rows),
            rowMessage(2, "]行存货不能为空，请检查！") + CR + kPositive);
}

TEST(BillFTotals, FollowAWayBMessageDirectly) {
  const std::vector<Attributes> rows{line(with(kBillLine, {{"imoney", ""}, {"iorimoney", "-1"},
                                                          {"iorisum", "-1.13"}}))};
  EXPECT_EQ(billBody({UseMode::BS}, "all", rows),
            rowMessage(1, "]行本币金额不能为空(可以为零)，请检查！") + kPositive);
}

TEST(BillFTotals, InCsFollowOnlyCollectedMessages) {
  const Attributes noUnit = with(kBillLine, {{"cunitid", ""}, {"igrouptype", "1"}, {"iinvexchrate", "1"}});
  EXPECT_EQ(billBody({UseMode::CS, "wwpurbill", false}, "all", {line(noUnit)}),
            rowMessage(1, "]行计量单位不能为空，请检查！") + CR + kNegative);
  // A message reported at once ends the call before the totals.
  EXPECT_EQ(billBody({UseMode::CS, "wwpurbill", false}, "all",
                     {line(noUnit), line(with(kBillLine, {{"itaxrate", "100"}}))}),
            rowMessage(2, "]行税率必须在 0 到 100 之间，请检查！"));
}

TEST(BillFTotals, BelongOnlyToTheWholePass) {
  // An all-zero invoice: the whole pass reports it, a single-field check never does.
  const std::vector<Attributes> rows{
      line(with(kBillLine, {{"ipbvquantity", "0"}, {"iorimoney", "0"}}), "")};
  EXPECT_EQ(billBody({}, "all", rows), kBothZero);
  EXPECT_EQ(billBody({}, "iorimoney", rows, Variant(1)), "");
  EXPECT_EQ(billBody({}, "ipbvquantity", rows, Variant(1)), "");
}

}  // namespace
}  // namespace tallyward::test::billf
