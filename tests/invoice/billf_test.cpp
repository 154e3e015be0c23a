#include <gtest/gtest.h>

#include <sstream>

#include <nlohmann/json.hpp>

#include "command.h"
#include "whole/verdict.h"
#include "support/voucher_builder.h"
#include "tallyward/classes.h"
#include "tallyward/error.h"

namespace tallyward::test {
namespace {

// An outsourcing invoice head entered by abbreviation, and a line (10 at 10, 13 % tax) that pass
// every rule of every kind of invoice.
const Attributes kHead{{"csource", "委外"}, {"cbustype", "委外发票"}, {"cvenabbname", "华东精工"},
                       {"cpbvbilltype", "专用发票"}, {"cpbvcode", "FP0001"}, {"cexch_name", "人民币"},
                       {"cexchrate", "1"}, {"dpbvdate", "2026-11-20T00:00:00"}, {"cvenabbname_1", "华东精工"},
                       {"cdepname", "采购部"}, {"dvoudate", "2026-11-20"}, {"ipbvtaxrate", "13"}};
const Attributes kLine{{"cinvcode", "P1001"}, {"ipbvquantity", "10"}, {"iorimoney", "100"}, {"igrouptype", "0"},
                       {"cunitid", "个"}, {"binvtype", "False"}, {"bservice", "0"}, {"ioricost", "10"},
                       {"icost", "10"}, {"itaxrate", "13"}, {"iorisum", "113"}, {"isum", "113"}, {"imoney", "100"}};

constexpr UseMode CS = UseMode::CS, BS = UseMode::BS;
const Variant kNoR = Variant::missing();

std::string head(const Attributes& row, const std::string& key = "all", UseMode mode = CS) {
  ClsS_VerifyBillF check;
  check.m_UseMode = mode;
  return check.VerifyHead(Variant(key), Variant(test::head(row)));
}

std::string body(const std::vector<Attributes>& rows, const std::string& key = "all", UseMode mode = CS,
                 const Variant& R = kNoR, const std::string& type = "wwpurbill", bool positive = true) {
  ClsS_VerifyBillF check;
  check.m_UseMode = mode;
  check.sBillType = type;
  check.m_bPositive = positive;
  return check.VerifyBody(Variant(key), Variant(voucher(rows)), R);
}

std::string row(long n, const std::string& text) { return "第[" + std::to_string(n) + text; }

// The number of the run-time error a call fails with; 0 when it gives a verdict.
template <class F>
int errorOf(F&& call) try {
  call();
  return 0;
} catch (const Error& e) {
  return e.number();
}

// A whole pass with one message: way A reports at once in CS and collects in BS; B appends without
// a CR in BS; C collects in both modes; D collects in BS only.
std::string inMode(const std::string& m, Way way, UseMode mode) {
  if (m.empty()) return m;
  if (mode == CS) return way == Way::CollectedInPass ? m + CR : way == Way::CollectedInBsPass ? "" : m;
  return way == Way::AtOnceOrAppended ? m : m + CR;
}

// ---- Head ---------------------------------------------------------------------------------------

// Each case runs as a whole pass and as the single-field check of its key (none: a whole-pass
// rule), which reports at once in both modes.
TEST(BillFHead, OneFaultInAWholePassAndInASingleFieldCheck) {
  const struct { const char* key; Attributes changes; std::string message; Way way = Way::AtOnceOrCollected; } cases[] = {
      {nullptr, {{"csource", "采购"}, {"cbustype", ""}}, "业务类型不能为空，请检查！"},
      {nullptr, {{"cbustype", ""}}, "业务类型不能为空，请检查！"},
      {nullptr, {{"cvenabbname", ""}}, "代垫单位不能为空，请检查！"},
      {nullptr, {{"sysname", "eai"}, {"cunitcode", ""}, {"cvencode", "V01"}}, "代垫单位不能为空，请检查！"},
      {nullptr, {{"cpbvbilltype", ""}}, "发票类别不能为空，请检查！"},
      {nullptr, {{"cpbvcode", ""}}, "发票号不能为空，请检查！"},
      {nullptr, {{"cexch_name", ""}}, "发票币种不能为空，请检查！"},
      {nullptr, {{"cexchrate", ""}}, "发票汇率不能为空，请检查！"},
      {nullptr, {{"dpbvdate", ""}}, "录入日期不能为空，请检查！"},
      {nullptr, {{"cvenabbname_1", ""}}, "供应商不能为空，请检查！"},
      {nullptr, {{"sysname", "Eai"}, {"cunitcode", "V01"}, {"cvencode", ""}}, "供应商不能为空，请检查！"},
      {nullptr, {{"cdepname", ""}}, "部门不能为空，请检查！", Way::CollectedInBsPass},
      {"dPBVDate", {{"dpbvdate", "2026-02-30T00:00:00"}}, "录入日期录入错误，请检查！"},
      {"dpbvdate", {{"dpbvdate", "2026-11-20t00:00:00"}}, "录入日期录入错误，请检查！"},  // only a capital T cuts
      {"dvoudate", {{"dvoudate", "2026-13-01"}}, "发票日期录入错误，请检查！"},
      {"cbustype", {{"csource", "采购"}, {"cbustype", "委外发票"}}, "业务类型录入错误，请检查！"},
      {"cbustype", {{"cbustype", "委外发票 "}}, "业务类型录入错误，请检查！"},
      {"cexchrate", {{"cexchrate", "0"}}, "汇率必须大于零，请检查！"},
      {"cexchrate", {{"cexchrate", "abc"}}, "汇率必须大于零，请检查！"},  // no number reads as 0
      {"ipbvtaxrate", {{"ipbvtaxrate", "100"}}, "税率必须在 0 到 100 之间，请检查！"},
      {"IPBVTAXRATE", {{"ipbvtaxrate", "-0.01"}}, "税率必须在 0 到 100 之间，请检查！"},
      {"cbustype", {{"csource", "采购"}, {"cbustype", "直运采购"}}, ""},
      {"cbustype", {{"csource", "其他"}, {"cbustype", "随便"}}, ""},
      {"cvenabbname", {{"sysname", "EAI"}, {"cunitcode", "V"}, {"cvencode", "V"}, {"cvenabbname", ""}, {"cvenabbname_1", ""}}, ""},
      {"dpbvdate", {{"dpbvdate", "2026-11-20T10:20:30"}, {"dvoudate", ""}, {"ipbvtaxrate", "99.99"}}, ""},
      {"ipbvtaxrate", {{"ipbvtaxrate", "0"}, {"cexchrate", "0.0001"}}, ""},
      {"ipbvtaxrate", {{"ipbvtaxrate", "abc"}}, ""},  // reads as 0
  };
  for (const auto& c : cases) {
    for (UseMode mode : {CS, BS}) {
      EXPECT_EQ(head(with(kHead, c.changes), "all", mode), inMode(c.message, c.way, mode)) << c.message;
      if (c.key) {
        EXPECT_EQ(head(with(kHead, c.changes), c.key, mode), c.message) << c.key;
      }
    }
  }
}

TEST(BillFHead, CsGivesTheFirstMessageBsAllInOrder) {
  const Attributes h = with(without(kHead, {"cdepname"}), {{"ipbvtaxrate", "120"}, {"cvenabbname_1", ""},
                                                            {"dpbvdate", "2026-02-30"}});
  EXPECT_EQ(head(h), "供应商不能为空，请检查！");
  EXPECT_EQ(head(h, "ALL", BS), "供应商不能为空，请检查！" + CR + "部门不能为空，请检查！" + CR +
                                    "录入日期录入错误，请检查！" + CR + "税率必须在 0 到 100 之间，请检查！" + CR);
  // The mandatory fields are left to the whole pass; empty values pass while typing.
  const Attributes empty = with(kHead, {{"cpbvcode", ""}, {"cexchrate", ""}, {"dpbvdate", ""}, {"cbustype", ""}});
  for (const char* key : {"cpbvcode", "cexchrate", "dpbvdate", "cbustype", "cmemo"})
    EXPECT_EQ(head(with(empty, {{"csource", "采购"}}), key, BS), "") << key;
}

TEST(BillFHead, OnlyTheFirstRowIsReadAndAHeadWithoutRowsFails) {
  ClsS_VerifyBillF check;
  EXPECT_EQ(check.VerifyHead(Variant("all"), Variant(voucher({kHead, with(kHead, {{"cpbvcode", ""}})}))), "");
  const auto empty = voucher({});
  EXPECT_EQ(errorOf([&] { check.VerifyHead(Variant("ipbvtaxrate"), Variant(empty)); }), err::ObjectNotSet);
  EXPECT_EQ(check.VerifyHead(Variant("cmemo"), Variant(empty)), "");
  EXPECT_EQ(errorOf([&] { check.VerifyHead(Variant("all"), Variant("<xml/>")); }), err::NotAnObject);
}

// ---- Lines --------------------------------------------------------------------------------------

const std::string kNoItem = "]行存货不能为空，请检查！", kNoUnit = "]行计量单位不能为空，请检查！";
const std::string kNegativeRate = "]行换算率必须大于等于 0，请检查！", kNoTax = "]行税率未输入，请检查！！";
const std::string kOriPrice = "]行原币单价必须大于等于 0，请检查！", kPrice = "]行本币单价必须大于等于 0，请检查！";
const std::string kTaxRange = "]行税率必须在 0 到 100 之间，请检查！";
const std::string kProjectFirst = "]行在没有输入项目大类之前，请参照输入项目！";
const std::string kOriSign = "]行原币金额必须与原币税价合计符号相同，请检查！";
const std::string kSign = "]行本币金额必须与本币税价合计符号相同，请检查！";
const std::string kNoOriMoney = "]行原币金额不能为空(可以为零)，请检查！";
const std::string kNoMoney = "]行本币金额不能为空(可以为零)，请检查！";
const std::string kFreightMoney = "]行本币金额不能为空或者为零，请检查！";

// Each case runs as a whole pass, on a line that follows an unchanged line whose faults (and
// unreadable flag) are not looked at, so that its number is 2; and as the single-field check of its
// key (none: a whole-pass rule) on the line alone, left unchanged, with R = 7.
TEST(BillFLines, OneFaultInAWholePassAndInASingleFieldCheck) {
  const struct {
    const char* key;
    Attributes changes;
    std::string text;  // after the row number; "" when the line passes
    Way way = Way::AtOnceOrCollected;
    const char* type = "wwpurbill";
  } cases[] = {
      {"icost", {}, "", Way::AtOnceOrCollected, ""},
      {"isum", {}, "", Way::AtOnceOrCollected, "wwypurbill"},
      {nullptr, {{"cinvcode", ""}}, kNoItem},
      {nullptr, {{"ipbvquantity", ""}, {"iorimoney", "abc"}}, "]行数量和金额不能同时为空或为零，请检查！"},
      {"ipbvquantity", {{"ipbvquantity", "0"}}, ""},
      {nullptr, {{"citem_class", "01"}}, "]行有项目大类，必须录入项目！"},
      {"iinvexchrate", {{"igrouptype", "1"}, {"sysname", "EAI"}}, "]行换算率不能为空，请检查！", Way::CollectedInPass},
      {"iinvexchrate", {{"igrouptype", "1"}, {"sysname", "eai"}, {"iinvexchrate", "-1"}}, ""},
      {"iinvexchrate", {{"igrouptype", "2"}, {"iinvexchrate", ""}}, ""},
      {"IINVEXCHRATE", {{"igrouptype", ""}, {"iinvexchrate", "-0.5"}}, kNegativeRate},
      {"iinvexchrate", {{"igrouptype", "0"}, {"iinvexchrate", "-0.5"}}, ""},
      {"cunitid", {{"cunitid", ""}, {"igrouptype", "2"}, {"iinvexchrate", "3"}}, kNoUnit, Way::CollectedInPass},
      {"cunitid", {{"cunitid", ""}}, ""},
      {"ioricost", {{"ioricost", "-0.01"}}, kOriPrice},
      {"ioricost", {{"ioricost", "-1"}, {"binvtype", "True"}, {"icost", "-1"}}, ""},
      {"icost", {{"ioricost", "-1"}, {"bservice", "-1"}, {"icost", "-1"}}, ""},
      {"icost", {{"icost", "-2"}}, kPrice},
      {"itaxrate", {{"itaxrate", "100"}}, kTaxRange},
      {"itaxrate", {{"itaxrate", "0"}}, ""},
      {"itaxrate", {{"itaxrate", " 99.99 "}}, ""},
      {"itax", {{"itaxrate", ""}}, kNoTax},
      {"citemcode", {{"citemcode", "X01"}}, kProjectFirst},
      {"citemcode", {{"citemcode", "X01"}, {"citem_class", "01"}}, ""},
      {"iorimoney", {{"iorimoney", "-100"}}, kOriSign, Way::AtOnceOrAppended},
      {"iorimoney", {{"iorisum", "-1"}}, kOriSign, Way::AtOnceOrAppended},
      {"iorimoney", {{"iorimoney", "1e-200"}, {"iorisum", "-1e-200"}}, kOriSign, Way::AtOnceOrAppended},
      {"iorimoney", {{"iorimoney", ""}}, kNoOriMoney, Way::AtOnceOrAppended},
      {"imoney", {{"imoney", "-100"}}, kSign, Way::AtOnceOrAppended},
      {"imoney", {{"imoney", ""}}, kNoMoney, Way::AtOnceOrAppended},
      {"imoney", {{"iorimoney", "-50"}, {"iorisum", "-56.5"}, {"imoney", "-50"}, {"isum", "-56.5"}}, ""},
      // A product of 0 passes the sign rules; the sums are not required on this kind.
      {"imoney", {{"iorimoney", "0"}, {"iorisum", "-5"}, {"imoney", "-5"}, {"isum", ""}}, ""},
      {"iorisum", {{"iorisum", ""}}, kFreightMoney, Way::AtOnceOrAppended, "wwypurbill"},
      {"isum", {{"isum", ""}}, kFreightMoney, Way::AtOnceOrAppended, "wwypurbill"},
      {"isum", {{"iorisum", "0"}, {"isum", "0"}, {"iorimoney", "-50"}, {"imoney", ""}}, "", Way::AtOnceOrCollected, "wwypurbill"},
      // The kind is compared exactly: anything else is the third kind.
      {"iorisum", {{"iorisum", ""}}, kNoOriMoney, Way::AtOnceOrAppended, ""},
      {"isum", {{"isum", ""}}, kNoMoney, Way::AtOnceOrAppended, "WWYPURBILL"},
      {"imoney", {{"iorimoney", "-50"}, {"imoney", ""}}, "", Way::AtOnceOrCollected, "Wwpurbill"},
  };
  for (const auto& c : cases) {
    const std::vector<Attributes> rows{line(with(kLine, {{"cinvcode", ""}, {"binvtype", ""}}), ""),
                                       line(with(kLine, c.changes))};
    const bool atOnce = !c.text.empty() && (c.way == Way::AtOnceOrCollected || c.way == Way::AtOnceOrAppended);
    for (UseMode mode : {CS, BS}) {
      EXPECT_EQ(body(rows, "all", mode, kNoR, c.type), inMode(c.text.empty() ? "" : row(2, c.text), c.way, mode))
          << c.type << " " << c.text;
      if (c.key) {
        EXPECT_EQ(body({line(with(kLine, c.changes), "")}, c.key, mode, Variant(7), c.type),
                  atOnce ? row(7, c.text) : "") << c.key << " " << c.text;
      }
    }
  }
}

TEST(BillFLines, BsJoinsEveryMessageInOrderCsStopsAtTheFirst) {
  const Attributes bad = with(kLine, {{"cinvcode", ""}, {"ipbvquantity", ""}, {"iorimoney", ""},
                                      {"imoney", ""}, {"itaxrate", ""}});
  const Attributes noUnit = with(kLine, {{"cunitid", ""}, {"igrouptype", "1"}, {"iinvexchrate", "2"}});
  EXPECT_EQ(body({line(bad), line(noUnit)}, "all", BS),
            row(1, kNoItem) + CR + row(1, "]行数量和金额不能同时为空或为零，请检查！") + CR + row(1, kNoTax) +
                CR + row(1, kNoOriMoney) + row(1, kNoMoney) + row(2, kNoUnit) + CR);
  EXPECT_EQ(body({line(bad), line(noUnit)}), row(1, kNoItem));
  // In CS a message reported at once drops what was collected before it.
  EXPECT_EQ(body({line(noUnit), line(bad)}), row(2, kNoItem));
}

TEST(BillFLines, RowNumbersCountUnchangedLinesOnly) {
  const Attributes bad = with(kLine, {{"cinvcode", ""}}), badPrice = with(kLine, {{"icost", "-1"}});
  EXPECT_EQ(body({line(badPrice, "D"), badPrice, line(bad)}), row(1, kNoItem));
  EXPECT_EQ(body({line(bad, ""), line(bad, ""), line(bad, "M")}), row(3, kNoItem));
  // A field the line lacks reads as empty, whatever the line before held.
  EXPECT_EQ(body({line(kLine), line(without(kLine, {"cinvcode"}))}), row(2, kNoItem));
}

TEST(BillFLines, SingleFieldChecksRunTheRulesOfTheirKey) {
  const struct { const char* key; Attributes changes; std::string text; } cases[] = {
      {"cinvcode", {{"cinvcode", ""}}, ""},
      {"cvenabbname", {{"cinvcode", ""}}, ""},
      {"iPBVQuantity", {{"cinvcode", ""}}, "]行请先录入存货！"},  // the item comes first
      {"ipbvquantity", {{"ipbvquantity", "0"}, {"iorimoney", "0"}}, ""},
      {"ioritax", {{"itaxrate", ""}}, kNoTax},
      {"iorisum", {{"itaxrate", ""}}, kNoTax},
      {"isum", {{"itaxrate", ""}}, kNoTax},
      {"citemcode", {{"citemcode", ""}, {"citem_class", "01"}}, ""},
  };
  for (const auto& c : cases)
    EXPECT_EQ(body({line(with(kLine, c.changes))}, c.key, BS, Variant(7)), c.text.empty() ? "" : row(7, c.text))
        << c.key;
}

TEST(BillFLines, SingleFieldCheckStopsAtTheFirstReportOrAtAnEmptyValue) {
  const Attributes negative = with(kLine, {{"icost", "-1"}, {"ioricost", "-1"}});
  EXPECT_EQ(body({line(negative), line(with(negative, {{"cinvcode", ""}}))}, "icost", BS, Variant("4")),
            row(4, kPrice));
  EXPECT_EQ(body({}, "icost", BS, Variant(4)), "");
  // An empty value of a field that may be left empty while typing ends the whole call.
  for (const char* key : {"ioricost", "cunitid", "iinvexchrate", "itaxrate", "citemcode"})
    EXPECT_EQ(body({line(with(kLine, {{key, ""}, {"igrouptype", "1"}})), line(negative),
                    line(with(kLine, {{"cinvcode", ""}}))}, key, CS, Variant(1)), "") << key;
  EXPECT_EQ(body({line(negative), line(with(kLine, {{"ioricost", ""}}))}, "ioricost", CS, Variant(1)),
            row(1, kOriPrice));
  EXPECT_EQ(body({line(with(kLine, {{"icost", ""}})), line(negative)}, "icost", CS, Variant(1)), row(1, kPrice));
}

// Plain conversions of the flags and the line tax rate fail the call instead of giving a verdict.
TEST(BillFLines, RunTimeErrors) {
  const struct { const char* key; Attributes changes; int error; } cases[] = {
      {"all", {{"binvtype", ""}}, err::TypeMismatch},
      {"all", {{"binvtype", "True"}, {"bservice", "yes"}}, err::TypeMismatch},
      {"all", {{"itaxrate", "13%"}}, err::TypeMismatch},
      {"ioricost", {{"bservice", ""}, {"ioricost", ""}}, err::TypeMismatch},
      {"icost", {{"icost", "-1"}, {"binvtype", "x"}}, err::TypeMismatch},
      {"itaxrate", {{"itaxrate", "abc"}}, err::TypeMismatch},
      {"icost", {{"icost", "1"}, {"binvtype", "x"}}, 0},
      {"cunitid", {{"binvtype", ""}, {"itaxrate", "abc"}}, 0},
      {"isum", {{"itaxrate", "abc"}}, 0},
  };
  for (const auto& c : cases)
    EXPECT_EQ(errorOf([&] { body({line(kLine), line(with(kLine, c.changes))}, c.key, BS, Variant(1)); }),
              c.error) << c.key;
  EXPECT_EQ(errorOf([&] { body({line(kLine)}, "cinvcode"); }), err::TypeMismatch);  // no R
  EXPECT_EQ(errorOf([&] { body({line(kLine)}, "cinvcode", CS, Variant("seven")); }), err::TypeMismatch);
}

// ---- Totals -------------------------------------------------------------------------------------

const std::string kPositive = "正发票的数量合计不能小于0，金额合计必须大于0！";
const std::string kNegative = "负发票的数量合计不能大于零，金额合计必须小于0！";
const std::string kPositiveFreight = "正运费发票金额合计必须大于0！", kNegativeFreight = "负运费发票金额合计必须小于0！";
const std::string kBothZero = "发票的数量和金额合计不能同时为零！";

// Unchanged lines holding a quantity and an amount: counted in the totals, not checked.
std::vector<Attributes> amounts(std::initializer_list<std::pair<const char*, const char*>> lines) {
  std::vector<Attributes> rows;
  for (const auto& [quantity, amount] : lines) rows.push_back(line({{"ipbvquantity", quantity}, {"iorimoney", amount}}, ""));
  return rows;
}

TEST(BillFTotals, AppendedWithoutSeparatorByKindAndSign) {
  const struct { const char* type; bool positive; std::vector<Attributes> rows; std::string verdict; } cases[] = {
      {"wwpurbill", true, amounts({{"5", "0"}, {"0", "0"}}), ""},
      {"wwpurbill", true, amounts({{"3", "30"}, {"-5", "10"}}), kPositive},
      {"wwpurbill", true, amounts({{"1", "-0.01"}}), kPositive},
      {"wwpurbill", true, amounts({{"0", ""}, {"", "abc"}}), kBothZero},
      {"wwpurbill", false, amounts({{"-10", "-100"}}), ""},          {"wwpurbill", false, amounts({{"-1", "0"}}), ""},
      {"wwpurbill", false, amounts({{"1", "-100"}}), kNegative},     {"", false, amounts({{"-1", "100"}}), kNegative},
      {"", false, amounts({{"0", "0"}}), kBothZero},                 {"wwypurbill", true, amounts({{"0", "10"}}), ""},
      {"wwypurbill", true, amounts({{"1", "0"}}), kPositiveFreight},
      {"wwypurbill", true, amounts({{"-1", "10"}}), kPositiveFreight},
      {"wwypurbill", true, amounts({{"0", "0"}}), kPositiveFreight + kBothZero},
      {"wwypurbill", false, amounts({{"0", "-10"}}), ""},
      {"wwypurbill", false, amounts({{"-1", "0"}}), kNegativeFreight},
      {"wwypurbill", false, amounts({{"1", "-10"}}), kNegativeFreight},
      {"wwypurbill", false, {}, kNegativeFreight + kBothZero},
      // Amounts that cancel in decimals cancel in the totals; tiny real totals are not noise.
      {"wwpurbill", true, amounts({{"1", "0.3"}, {"1", "-0.1"}, {"1", "-0.2"}}), ""},
      {"wwpurbill", false, amounts({{"0.1", "-1"}, {"0.2", "-1"}, {"-0.3", "-1"}}), ""},
      {"", false, amounts({{"0", "0.1"}, {"0", "0.2"}, {"0", "-0.3"}}), kBothZero},
      {"wwypurbill", true, amounts({{"0", "0.000001"}}), ""},
  };
  for (const auto& c : cases)
    for (UseMode mode : {CS, BS})
      EXPECT_EQ(body(c.rows, "all", mode, kNoR, c.type, c.positive), c.verdict) << c.type;
}

TEST(BillFTotals, CountEveryNonDeletedLineAndFollowTheLineMessages) {
  std::vector<Attributes> rows = amounts({{"2", "20"}});
  rows.push_back(line({{"ipbvquantity", "-50"}, {"iorimoney", "-500"}}, "D"));
  rows.push_back({{"ipbvquantity", "-50"}, {"iorimoney", "-500"}});
  EXPECT_EQ(body(rows, "all", BS), "");
  // A failed line still counts; its way-B message is followed directly.
  rows.push_back(line(with(kLine, {{"imoney", ""}, {"iorimoney", "-30"}, {"iorisum", "-33.9"}})));
  EXPECT_EQ(body(rows, "all", BS), row(2, kNoMoney) + kPositive);
  // In CS the totals follow only collected messages; a message reported at once ends the call.
  const Attributes noUnit = with(kLine, {{"cunitid", ""}, {"igrouptype", "1"}, {"iinvexchrate", "1"}});
  EXPECT_EQ(body({line(noUnit)}, "all", CS, kNoR, "wwpurbill", false), row(1, kNoUnit) + CR + kNegative);
  EXPECT_EQ(body({line(noUnit), line(with(kLine, {{"itaxrate", "100"}}))}, "all", CS, kNoR, "wwpurbill", false),
            row(2, kTaxRange));
  // A single-field check never looks at the totals.
  const Attributes zero = with(kLine, {{"ipbvquantity", "0"}, {"iorimoney", "0"}});
  EXPECT_EQ(body({line(zero, "")}, "ipbvquantity", CS, Variant(1)), "");
}

// ---- The sample invoices, as the demo shows them ------------------------------------------------

TEST(BillFExamples, SampleInvoices) {
  auto verdictOf = [](const char* method, const char* file, std::vector<std::string> more) {
    std::vector<std::string> args{"verify", "--class", "ClsS_VerifyBillF", "--method", method, "--key", "all",
                                  "--mode", "BS", method[6] == 'H' ? "--head" : "--body",
                                  std::string(TW_SOURCE_DIR) + "/examples/" + file};
    args.insert(args.end(), more.begin(), more.end());
    std::ostringstream out, err;
    EXPECT_EQ(cli::run(args, out, err), cli::kOk) << err.str();
    return nlohmann::json::parse(out.str()).value("verdict", "");
  };
  const std::string lines = row(3, kNoItem) + CR + row(3, kNoOriMoney) + row(3, kNoMoney) + row(4, kNoUnit) + CR +
                            row(4, kOriPrice) + CR + row(4, kPrice) + CR + row(5, kNoTax) + CR + row(5, kSign);
  EXPECT_EQ(verdictOf("VerifyBody", "invoice_body.xml", {"--set", "sBillType=wwpurbill", "--set", "m_bPositive=true"}),
            lines);
  EXPECT_EQ(verdictOf("VerifyBody", "invoice_body.xml", {"--set", "sBillType=wwpurbill"}), lines + kNegative);
  EXPECT_EQ(verdictOf("VerifyHead", "invoice_head.xml", {}),
            "发票号不能为空，请检查！" + CR + "部门不能为空，请检查！" + CR + "发票日期录入错误，请检查！" + CR +
                "业务类型录入错误，请检查！" + CR + "汇率必须大于零，请检查！" + CR + "税率必须在 0 到 100 之间，请检查！" + CR);
}

}  // namespace
}  // namespace tallyward::test
