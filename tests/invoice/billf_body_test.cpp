#include <gtest/gtest.h>

#include "invoice/billf_calls.h"

namespace tallyward::test::billf {
namespace {

const std::string kNoItem = "]行存货不能为空，请检查！";
const std::string kItemFirst = "]行请先录入存货！";
const std::string kNoQuantityOrAmount = "]行数量和金额不能同时为空或为零，请检查！";
const std::string kNoUnit = "]行计量单位不能为空，请检查！";
const std::string kNoRate = "]行换算率不能为空，请检查！";
const std::string kNegativeRate = "]行换算率必须大于等于 0，请检查！";
const std::string kOriPrice = "]行原币单价必须大于等于 0，请检查！";
const std::string kPrice = "]行本币单价必须大于等于 0，请检查！";
const std::string kTaxRange = "]行税率必须在 0 到 100 之间，请检查！";
const std::string kNoTax = "]行税率未输入，请检查！！";
const std::string kProjectClass = "]行有项目大类，必须录入项目！";
const std::string kProjectFirst = "]行在没有输入项目大类之前，请参照输入项目！";
const std::string kOriSign = "]行原币金额必须与原币税价合计符号相同，请检查！";
const std::string kNoOriMoney = "]行原币金额不能为空(可以为零)，请检查！";
const std::string kSign = "]行本币金额必须与本币税价合计符号相同，请检查！";
const std::string kNoMoney = "]行本币金额不能为空(可以为零)，请检查！";
const std::string kFreightMoney = "]行本币金额不能为空或者为零，请检查！";

TEST(BillFLines, CorrectLinesPassForEveryKind) {
  for (const char* kind : {"wwpurbill", "wwypurbill", ""})
    for (UseMode mode : {UseMode::CS, UseMode::BS})
      EXPECT_EQ(billBody({mode, kind}, "all", {line(kBillLine), line(kBillLine, "M")}), "") << kind;
}

struct LineCase {
  std::string billType;
  Attributes changes;
  std::string text;  // after "第[" and the row number; "" when the line passes
  Way way;           // A, B or C: how CS and BS join it
};

class BillFLineWholePass : public ::testing::TestWithParam<LineCase> {};

// The line is the second, after an unchanged line with faults that are not looked at: its number is
// 2. Way A: alone in CS, with a CR in BS; way B: without a CR in BS; way C: with a CR in both.
TEST_P(BillFLineWholePass, ReportedWithTheRowNumberInBothModes) {
  const LineCase& c = GetParam();
  const std::vector<Attributes> rows{line(with(kBillLine, {{"cinvcode", ""}, {"binvtype", ""}}), ""),
                                     line(with(kBillLine, c.changes))};
  const std::string m = c.text.empty() ? "" : rowMessage(2, c.text);
  const std::string cs = m.empty() || c.way != Way::C ? m : m + CR;
  const std::string bs = m.empty() || c.way == Way::B ? m : m + CR;
  EXPECT_EQ(billBody({UseMode::CS, c.billType}, "all", rows), cs);
  EXPECT_EQ(billBody({UseMode::BS, c.billType}, "all", rows), bs);
}

INSTANTIATE_TEST_SUITE_P(
    EveryLineMessage, BillFLineWholePass,
    ::testing::Values(
        LineCase{"wwpurbill", {{"cinvcode", ""}}, kNoItem, Way::A},
        LineCase{"wwpurbill", {{"ipbvquantity", ""}, {"iorimoney", "0"}}, kNoQuantityOrAmount, Way::A},
        LineCase{"wwpurbill", {{"ipbvquantity", "0"}, {"iorimoney", "abc"}}, kNoQuantityOrAmount, Way::A},
        LineCase{"wwpurbill", {{"ipbvquantity", "0"}}, "", Way::A},
        LineCase{"wwpurbill", {{"citem_class", "01"}}, kProjectClass, Way::A},
        LineCase{"wwpurbill", {{"igrouptype", "1"}, {"iinvexchrate", ""}}, kNoRate, Way::C},
        LineCase{"wwpurbill", {{"igrouptype", "2"}, {"iinvexchrate", ""}}, "", Way::C},
        LineCase{"wwpurbill", {{"igrouptype", "1"}, {"sysname", "eai"}}, "", Way::C},
        LineCase{"wwpurbill", {{"igrouptype", "2"}, {"iinvexchrate", "-0.5"}}, kNegativeRate, Way::A},
        LineCase{"wwpurbill", {{"igrouptype", ""}, {"iinvexchrate", "-0.5"}}, kNegativeRate, Way::A},
        LineCase{"wwpurbill", {{"igrouptype", "0"}, {"iinvexchrate", "-0.5"}}, "", Way::A},
        LineCase{"wwpurbill", {{"igrouptype", "2"}, {"iinvexchrate", "-1"}, {"sysname", "eai"}}, "",
                 Way::A},
        // Upper-case EAI on a line is not the interface mark.
        LineCase{"wwpurbill", {{"igrouptype", "2"}, {"iinvexchrate", "-1"}, {"sysname", "EAI"}},
                 kNegativeRate, Way::A},
        LineCase{"wwpurbill", {{"cunitid", ""}, {"igrouptype", "2"}, {"iinvexchrate", "3"}}, kNoUnit,
                 Way::C},
        LineCase{"wwpurbill", {{"cunitid", ""}}, "", Way::C},
        LineCase{"wwpurbill", {{"ioricost", "-0.01"}}, kOriPrice, Way::A},
        LineCase{"wwpurbill", {{"ioricost", "-1"}, {"binvtype", "True"}}, "", Way::A},
        LineCase{"wwpurbill", {{"ioricost", "-1"}, {"bservice", "-1"}}, "", Way::A},
        LineCase{"wwpurbill", {{"ioricost", ""}}, "", Way::A},
        LineCase{"wwpurbill", {{"icost", "-2"}}, kPrice, Way::A},
        LineCase{"wwpurbill", {{"icost", "-2"}, {"binvtype", "TRUE"}}, "", Way::A},
        LineCase{"wwpurbill", {{"icost", "-2"}, {"bservice", "true"}}, "", Way::A},
        LineCase{"wwpurbill", {{"itaxrate", "100"}}, kTaxRange, Way::A},
        LineCase{"wwpurbill", {{"itaxrate", "-1"}}, kTaxRange, Way::A},
        LineCase{"wwpurbill", {{"itaxrate", "0"}}, "", Way::A},
        LineCase{"wwpurbill", {{"itaxrate", " 99.5 "}}, "", Way::A},
        LineCase{"wwpurbill", {{"itaxrate", ""}}, kNoTax, Way::A},
        LineCase{"wwpurbill", {{"citemcode", "X01"}}, kProjectFirst, Way::A},
        LineCase{"wwpurbill", {{"citemcode", "X01"}, {"citem_class", "01"}}, "", Way::A},
        // Amounts of the outsourcing invoice.
        LineCase{"wwpurbill", {{"iorimoney", "-100"}}, kOriSign, Way::B},
        LineCase{"wwpurbill", {{"iorisum", "-1"}}, kOriSign, Way::B},
        // Tiny amounts of opposite signs are still opposite.
        LineCase{"wwpurbill", {{"iorimoney", "1e-200"}, {"iorisum", "-1e-200"}}, kOriSign, Way::B},
        LineCase{"wwpurbill", {{"iorimoney", ""}}, kNoOriMoney, Way::B},
        LineCase{"wwpurbill", {{"imoney", "-100"}}, kSign, Way::B},
        LineCase{"wwpurbill", {{"imoney", ""}}, kNoMoney, Way::B},
        LineCase{"wwpurbill", {{"iorimoney", "-50"}, {"iorisum", "-56.5"}, {"imoney", "-50"},
                               {"isum", "-56.5"}, {"ipbvquantity", "-5"}}, "", Way::B},
        // A product of 0 passes: either amount zero or empty.
        LineCase{"wwpurbill", {{"iorimoney", "0"}, {"iorisum", "-5"}}, "", Way::B},
        LineCase{"wwpurbill", {{"imoney", "-5"}, {"isum", ""}}, "", Way::B},
        LineCase{"wwpurbill", {{"imoney", "-5"}, {"isum", "abc"}}, "", Way::B},
        LineCase{"wwpurbill", {{"iorisum", ""}, {"isum", ""}}, "", Way::B},
        // Amounts of the freight invoice.
        LineCase{"wwypurbill", {{"iorisum", ""}}, kFreightMoney, Way::B},
        LineCase{"wwypurbill", {{"isum", ""}}, kFreightMoney, Way::B},
        LineCase{"wwypurbill", {{"iorisum", "0"}, {"isum", "0"}}, "", Way::B},
        LineCase{"wwypurbill", {{"iorimoney", "-50"}, {"imoney", ""}}, "", Way::B},
        // Amounts of any other kind, the kind compared exactly.
        LineCase{"", {{"iorisum", ""}}, kNoOriMoney, Way::B},
        LineCase{"WWPURBILL", {{"isum", ""}}, kNoMoney, Way::B},
        LineCase{"other", {{"iorimoney", "-50"}, {"imoney", ""}}, "", Way::B}));

TEST(BillFLines, BsJoinsEveryMessageOfALineInRuleOrder) {
  // The item, quantity and tax rules collect with a CR, the amount rules append without one.
  const Attributes bad = with(kBillLine, {{"cinvcode", ""}, {"ipbvquantity", ""}, {"iorimoney", ""},
                                          {"imoney", ""}, {"itaxrate", ""}});
  EXPECT_EQ(billBody({UseMode::BS}, "all", {line(bad), line(with(kBillLine, {{"cunitid", ""},
                                                                             {"igrouptype", "1"},
                                                                             {"iinvexchrate", "2"}}))}),
            rowMessage(1, kNoItem) + CR + rowMessage(1, kNoQuantityOrAmount) + CR +
                rowMessage(1, kNoTax) + CR + rowMessage(1, kNoOriMoney) + rowMessage(1, kNoMoney) +
                rowMessage(2, kNoUnit) + CR);
  EXPECT_EQ(billBody({UseMode::CS}, "all", {line(bad)}), rowMessage(1, kNoItem));
}

TEST(BillFLines, CsDropsCollectedMessagesWhenALaterRuleReportsAtOnce) {
  const std::vector<Attributes> rows{
      line(with(kBillLine, {{"cunitid", ""}, {"igrouptype", "1"}, {"iinvexchrate", "2"}})),
      line(with(kBillLine, {{"cinvcode", ""}}))};
  EXPECT_EQ(billBody({UseMode::CS}, "all", rows), rowMessage(2, kNoItem));
  EXPECT_EQ(billBody({UseMode::BS}, "all", rows),
            rowMessage(1, kNoUnit) + CR + rowMessage(2, kNoItem) + CR);
}

TEST(BillFLines, RowNumbersCountUnchangedLinesButNotDeletedOrUnmarkedOnes) {
  const Attributes bad = with(kBillLine, {{"cinvcode", ""}});
  EXPECT_EQ(billBody({}, "all", {line(bad, "D"), bad, line(bad)}), rowMessage(1, kNoItem));
  EXPECT_EQ(billBody({}, "all", {line(bad, ""), line(bad, ""), line(bad, "M")}),
            rowMessage(3, kNoItem));
  EXPECT_EQ(billBody({}, "all", {line(bad, "D"), bad}), "发票的数量和金额合计不能同时为零！");
}

struct FieldCase {
  std::string key;
  std::string billType;
  Attributes changes;
  std::string text;  // after "第[7"; "" when the check passes
};

class BillFLineSingleField : public ::testing::TestWithParam<FieldCase> {};

// A single-field check reports with the caller's R and at once in either mode, without a CR.
TEST_P(BillFLineSingleField, ReportsAtOnceWithTheCallersRow) {
  const FieldCase& c = GetParam();
  const std::vector<Attributes> rows{line(with(kBillLine, c.changes), "")};
  const std::string expected = c.text.empty() ? "" : rowMessage(7, c.text);
  EXPECT_EQ(billBody({UseMode::CS, c.billType}, c.key, rows, Variant(7)), expected);
  EXPECT_EQ(billBody({UseMode::BS, c.billType}, c.key, rows, Variant(7)), expected);
}

INSTANTIATE_TEST_SUITE_P(
    LineKeys, BillFLineSingleField,
    ::testing::Values(
        // Whole-pass rules do not run for a field.
        FieldCase{"cinvcode", "wwpurbill", {{"cinvcode", ""}}, ""},
        FieldCase{"cvenabbname", "wwpurbill", {{"cinvcode", ""}}, ""},
        FieldCase{"ipbvquantity", "wwpurbill", {{"ipbvquantity", "0"}, {"iorimoney", "0"}}, ""},
        // The item comes first, for any other key.
        FieldCase{"iPBVQuantity", "wwpurbill", {{"cinvcode", ""}}, kItemFirst},
        FieldCase{"cfree1", "wwpurbill", {{"cinvcode", ""}}, kItemFirst},
        FieldCase{"IINVEXCHRATE", "wwpurbill", {{"iinvexchrate", "-1"}, {"igrouptype", "1"}},
                  kNegativeRate},
        FieldCase{"iinvexchrate", "wwpurbill", {{"iinvexchrate", "-1"}, {"sysname", "eai"}}, ""},
        FieldCase{"iinvexchrate", "wwpurbill", {{"iinvexchrate", ""}, {"igrouptype", "1"}}, ""},
        FieldCase{"cunitid", "wwpurbill", {{"cunitid", ""}, {"igrouptype", "1"}}, ""},
        FieldCase{"ioricost", "wwpurbill", {{"ioricost", "-1"}}, kOriPrice},
        FieldCase{"icost", "wwpurbill", {{"icost", "-1"}}, kPrice},
        FieldCase{"itaxrate", "wwpurbill", {{"itaxrate", "120"}}, kTaxRange},
        FieldCase{"itaxrate", "wwpurbill", {{"itaxrate", ""}}, ""},
        FieldCase{"ioritax", "wwpurbill", {{"itaxrate", ""}}, kNoTax},
        FieldCase{"itax", "wwpurbill", {{"itaxrate", ""}}, kNoTax},
        FieldCase{"iorisum", "wwpurbill", {{"itaxrate", ""}}, kNoTax},
        FieldCase{"isum", "wwpurbill", {{"itaxrate", ""}}, kNoTax},
        FieldCase{"citemcode", "wwpurbill", {{"citemcode", "X1"}}, kProjectFirst},
        FieldCase{"citemcode", "wwpurbill", {{"citemcode", ""}, {"citem_class", "01"}}, ""},
        FieldCase{"iorimoney", "wwpurbill", {{"iorimoney", ""}}, kNoOriMoney},
        FieldCase{"iorimoney", "wwpurbill", {{"iorimoney", "5"}, {"iorisum", "-5"}}, kOriSign},
        FieldCase{"imoney", "wwpurbill", {{"imoney", ""}}, kNoMoney},
        FieldCase{"imoney", "wwpurbill", {{"imoney", "5"}, {"isum", "-5"}}, kSign},
        FieldCase{"imoney", "", {{"imoney", ""}}, ""},
        FieldCase{"iorisum", "wwypurbill", {{"iorisum", ""}}, kFreightMoney},
        FieldCase{"isum", "wwypurbill", {{"isum", ""}}, kFreightMoney},
        FieldCase{"isum", "wwypurbill", {{"iorisum", ""}}, ""},
        FieldCase{"iorisum", "wwypurbill", {{"isum", ""}}, ""},
        FieldCase{"iorisum", "", {{"iorisum", ""}}, kNoOriMoney},
        FieldCase{"isum", "", {{"isum", ""}}, kNoMoney}));

TEST(BillFLines, ASingleFieldCheckStopsAtTheFirstReport) {
  const std::vector<Attributes> rows{line(with(kBillLine, {{"icost", "-1"}})),
                                     line(with(kBillLine, {{"icost", "-1"}, {"cinvcode", ""}}))};
  EXPECT_EQ(billBody({UseMode::BS}, "icost", rows, Variant(4)), rowMessage(4, kPrice));
  // R may come as any value that converts to a Long.
  EXPECT_EQ(billBody({UseMode::BS}, "icost", rows, Variant("4")), rowMessage(4, kPrice));
  EXPECT_EQ(billBody({UseMode::BS}, "icost", {}, Variant(4)), "");
}

TEST(BillFLines, AnEmptyValueWhileTypingEndsTheWholeCall) {
  // The first line's empty price ends the call: the second line's negative price is not seen.
  const std::vector<Attributes> rows{line(with(kBillLine, {{"ioricost", ""}})),
                                     line(with(kBillLine, {{"ioricost", "-1"}}))};
  EXPECT_EQ(billBody({}, "ioricost", rows, Variant(1)), "");
  std::vector<Attributes> swapped{rows[1], rows[0]};
  EXPECT_EQ(billBody({}, "ioricost", swapped, Variant(1)), rowMessage(1, kOriPrice));
  for (const char* key : {"cunitid", "iinvexchrate", "itaxrate", "citemcode"}) {
    const std::vector<Attributes> typing{
        line(with(kBillLine, {{key, ""}, {"igrouptype", "1"}})),
        line(with(kBillLine, {{"cinvcode", ""}}))};
    EXPECT_EQ(billBody({}, key, typing, Variant(1)), "") << key;
  }
  // A rule without that allowance goes on to the next line.
  const std::vector<Attributes> costs{line(with(kBillLine, {{"icost", ""}})),
                                      line(with(kBillLine, {{"icost", "-1"}}))};
  EXPECT_EQ(billBody({}, "icost", costs, Variant(1)), rowMessage(1, kPrice));
}

struct ErrorCase {
  std::string key;
  Attributes changes;
  int error;  // 0: a verdict comes back
};

class BillFLineErrors : public ::testing::TestWithParam<ErrorCase> {};

// Plain conversions that fail make the call fail, in either mode, instead of giving a verdict.
TEST_P(BillFLineErrors, FailTheCallWithoutAVerdict) {
  const ErrorCase& c = GetParam();
  const std::vector<Attributes> rows{line(kBillLine), line(with(kBillLine, c.changes))};
  for (UseMode mode : {UseMode::CS, UseMode::BS})
    EXPECT_EQ(errorOf([&] { billBody({mode}, c.key, rows, Variant(1)); }), c.error);
}

INSTANTIATE_TEST_SUITE_P(
    Conversions, BillFLineErrors,
    ::testing::Values(
        ErrorCase{"all", {{"binvtype", ""}}, err::TypeMismatch},
        ErrorCase{"all", {{"bservice", "yes"}}, err::TypeMismatch},
        ErrorCase{"all", {{"binvtype", "True"}, {"bservice", ""}}, err::TypeMismatch},
        ErrorCase{"all", {{"itaxrate", "13%"}}, err::TypeMismatch},
        ErrorCase{"ioricost", {{"bservice", "N"}}, err::TypeMismatch},
        ErrorCase{"ioricost", {{"bservice", ""}, {"ioricost", ""}}, err::TypeMismatch},
        ErrorCase{"icost", {{"icost", "-1"}, {"binvtype", "x"}}, err::TypeMismatch},
        ErrorCase{"itaxrate", {{"itaxrate", "abc"}}, err::TypeMismatch},
        // Where the flags or the rate are not converted, their text does not matter.
        ErrorCase{"icost", {{"icost", "1"}, {"binvtype", "x"}}, 0},
        ErrorCase{"cunitid", {{"binvtype", ""}, {"itaxrate", "abc"}}, 0},
        ErrorCase{"isum", {{"itaxrate", "abc"}}, 0},
        ErrorCase{"all", {{"binvtype", "1"}, {"bservice", "False"}, {"ioricost", "-1"}}, 0}));

TEST(BillFLines, UnchangedLinesAreNotConverted) {
  const Attributes bad = with(kBillLine, {{"binvtype", ""}, {"itaxrate", "x"}});
  EXPECT_EQ(billBody({}, "all", {line(kBillLine), line(bad, "")}), "");
}

TEST(BillFLines, ASingleFieldCheckWithoutRFails) {
  const std::vector<Attributes> rows{line(kBillLine)};
  EXPECT_EQ(errorOf([&] { billBody({}, "cinvcode", rows); }), err::TypeMismatch);
  EXPECT_EQ(errorOf([&] { billBody({}, "cinvcode", rows, Variant("seven")); }), err::TypeMismatch);
  // A whole pass does not read R.
  EXPECT_EQ(billBody({}, "All", rows), "");
}

}  // namespace
}  // namespace tallyward::test::billf
