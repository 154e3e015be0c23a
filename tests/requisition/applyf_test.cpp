#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "whole/verdict.h"
#include "support/voucher_builder.h"
#include "tallyward/classes.h"
#include "tallyward/error.h"

namespace tallyward::test {
namespace {

const Attributes kHead{{"ccode", "QG0001"}, {"ddate", "2008-05-01T00:00:00"}, {"cdepname", "采购部"},
                       {"ipertaxrate", "17"}, {"cbustype", "普通采购"}};

// A complete line whose tax matches its rate: 17 % of 50 is 8.5.
const Attributes kLine{{"cinvcode", "P1001"}, {"fquantity", "10"}, {"funitprice", "5"}, {"ftaxprice", "5.85"},
                       {"fmoney", "50"}, {"ipertaxrate", "17"}, {"itax", "8.5"}, {"binvtype", "False"}};

constexpr UseMode CS = UseMode::CS, BS = UseMode::BS;

std::string verifyHead(const Attributes& row, const std::string& key = "all", UseMode mode = CS) {
  ClsS_VerifyApplyF check;
  check.m_UseMode = mode;
  return check.VerifyHead(Variant(key), Variant(head(row)));
}

std::string verifyBody(const std::vector<Attributes>& rows, const std::string& key = "all", UseMode mode = CS,
                       const Variant& R = Variant::missing()) {
  ClsS_VerifyApplyF check;
  check.m_UseMode = mode;
  return check.VerifyBody(Variant(key), Variant(voucher(rows)), R);
}

Attributes good(const Attributes& changes = {}, const std::string& editprop = "A") {
  return line(with(kLine, changes), editprop);
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

// One message of a whole pass: way A alone in CS; C collected in both modes; D collected in BS only.
std::string inMode(const std::string& m, Way way, UseMode mode) {
  if (m.empty() || mode == BS) return m.empty() ? m : m + CR;
  return way == Way::CollectedInPass ? m + CR : way == Way::CollectedInBsPass ? "" : m;
}

const std::string kNoCode = "请购单号不能为空，请检查！", kNoDate = "请购单日期不能为空，请检查！";
const std::string kNoDepartment = "部门不能为空，请检查！", kBadDate = "请购单日期录入错误，请检查！";
const std::string kBadRate = "税率必须在 0 到 100 之间，请检查！", kBadBusType = "业务类型录入错误，请检查！";

// ---- Head ---------------------------------------------------------------------------------------

// Each case runs as a whole pass and as the single-field check of its key (none: a whole-pass
// rule), which reports at once in both modes.
TEST(ApplyFHead, OneFaultInAWholePassAndInASingleFieldCheck) {
  const struct { const char* key; Attributes changes; std::string message; Way way = Way::AtOnceOrCollected; } cases[] = {
      {nullptr, {{"ccode", ""}}, kNoCode},
      {nullptr, {{"ddate", ""}}, kNoDate},
      {nullptr, {{"cdepname", ""}}, kNoDepartment, Way::CollectedInBsPass},
      {"DDate", {{"ddate", "2008-02-30"}}, kBadDate},
      {"ddate", {{"ddate", "2008-05-01t00:00:00"}}, kBadDate},  // only a capital T cuts
      {"ipertaxrate", {{"ipertaxrate", "100"}}, kBadRate},
      {"iPerTaxRate", {{"ipertaxrate", "-0.01"}}, kBadRate},
      {"cbustype", {{"cbustype", "直运采购"}}, kBadBusType},
      {"cbustype", {{"cbustype", "普通采购 "}}, kBadBusType},
      {"ddate", {{"ddate", "2008-05-01T10:20:30"}, {"ipertaxrate", "99.99"}, {"cbustype", "委外发票"}}, ""},
      {"ipertaxrate", {{"ipertaxrate", "0"}, {"cbustype", "受托代销"}}, ""},
      {"cbustype", {{"ipertaxrate", ""}, {"cbustype", ""}}, ""},
  };
  for (const auto& c : cases) {
    for (UseMode mode : {CS, BS}) {
      EXPECT_EQ(verifyHead(with(kHead, c.changes), "all", mode), inMode(c.message, c.way, mode)) << c.message;
      if (c.key) {
        EXPECT_EQ(verifyHead(with(kHead, c.changes), c.key, mode), c.message) << c.key;
      }
    }
  }
}

TEST(ApplyFHead, CsReportsTheFirstFaultBsCollectsAllInOrder) {
  EXPECT_EQ(verifyHead({{"ccode", ""}, {"ddate", ""}}, "all", BS), kNoCode + CR + kNoDate + CR + kNoDepartment + CR);
  const Attributes faulty{{"ccode", ""}, {"ddate", "abc"}, {"cdepname", ""}, {"ipertaxrate", "100"}, {"cbustype", "x"}};
  EXPECT_EQ(verifyHead(faulty, "ALL", BS), kNoCode + CR + kNoDepartment + CR + kBadDate + CR + kBadRate + CR +
                                               kBadBusType + CR);
  EXPECT_EQ(verifyHead(faulty), kNoCode);
  // The department rule stays silent in CS, so the date is the first fault reported.
  EXPECT_EQ(verifyHead(with(faulty, {{"ccode", "QG1"}}), "All"), kBadDate);
  // The mandatory fields are left to the whole pass; an empty date passes while typing.
  for (const char* key : {"ccode", "cdepname", "ddate", "cvenabbname"})
    EXPECT_EQ(verifyHead({{"ccode", ""}, {"ddate", ""}, {"cdepname", ""}}, key), "") << key;
}

TEST(ApplyFHead, RunTimeErrors) {
  const Attributes noNumber = with(kHead, {{"ipertaxrate", "abc"}});
  EXPECT_EQ(errorOf([&] { verifyHead(noNumber, "ipertaxrate"); }), err::TypeMismatch);
  EXPECT_EQ(errorOf([&] { verifyHead(with(noNumber, {{"ccode", ""}}), "all", BS); }), err::TypeMismatch);
  // Not read when the call ended before the tax rate, or for another key.
  EXPECT_EQ(verifyHead(with(noNumber, {{"ccode", ""}})), kNoCode);
  EXPECT_EQ(verifyHead(noNumber, "ddate"), "");
  ClsS_VerifyApplyF check;
  EXPECT_EQ(errorOf([&] { check.VerifyHead(Variant("ddate"), Variant(voucher({}))); }), err::ObjectNotSet);
  EXPECT_EQ(errorOf([&] { check.VerifyHead(Variant("all"), Variant("<xml/>")); }), err::NotAnObject);
}

// ---- Lines --------------------------------------------------------------------------------------

const std::string kNoItem = "]行存货不能为空，请检查！", kNoQuantity = "]行数量不能为空，请检查！";
const std::string kNegativePrice = "]行单价不能小于 0，请检查！", kNegativeMoney = "]行金额必须大于零，请检查！";
const std::string kTaxShort = "]行: 税额录入不合法！", kProjectFirst = "]行在没有输入项目大类之前，请参照输入项目！";

// Each case runs as a whole pass, on a line that follows an unchanged line (counted, not checked:
// its flag would fail the call), and as the single-field check of its key (none: a whole-pass
// rule) on the line alone, left unchanged, with R = 3.
TEST(ApplyFLines, OneFaultInAWholePassAndInASingleFieldCheck) {
  const struct { const char* key; Attributes changes; std::string text; Way way = Way::AtOnceOrCollected; } cases[] = {
      {"fquantity", {}, ""},
      {nullptr, {{"cinvcode", ""}}, kNoItem},
      {nullptr, {{"citem_class", "01"}}, "]行有项目大类，必须录入项目！"},
      {"fquantity", {{"fquantity", ""}}, kNoQuantity, Way::CollectedInPass},  // while typing it ends the check
      {"FQuantity", {{"fquantity", "0"}}, "]行数量必须大于零，请检查！"},
      {"fquantity", {{"fquantity", "abc"}}, "]行数量必须大于零，请检查！"},  // no number reads as 0
      {"funitprice", {{"funitprice", "-0.01"}}, kNegativePrice},
      {"ftaxprice", {{"ftaxprice", "-1"}}, "]行含税单价不能小于 0，请检查！"},
      {"fmoney", {{"fmoney", "-0.01"}}, kNegativeMoney},
      {"ipertaxrate", {{"ipertaxrate", "100"}, {"itax", "50"}}, "]行税率必须在 0 到 100 之间，请检查！"},
      {"ftaxprice", {{"itax", "7.5"}}, kTaxShort},
      {"citemcode", {{"citemcode", "XM01"}}, kProjectFirst},
      {"fmoney", {{"fmoney", "0"}, {"itax", "0"}, {"funitprice", ""}, {"ftaxprice", ""}}, ""},
      {"ipertaxrate", {{"ipertaxrate", "99.99"}, {"itax", "49.995"}, {"citemcode", "XM01"}, {"citem_class", "01"}}, ""},
  };
  for (const auto& c : cases) {
    const std::vector<Attributes> rows{good({{"cinvcode", ""}, {"binvtype", "yes"}}, ""), good(c.changes)};
    for (UseMode mode : {CS, BS}) {
      EXPECT_EQ(verifyBody(rows, "all", mode), inMode(c.text.empty() ? "" : row(2, c.text), c.way, mode)) << c.text;
      if (c.key) {
        EXPECT_EQ(verifyBody({good(c.changes, "")}, c.key, mode, Variant(3)),
                  c.text.empty() || c.way == Way::CollectedInPass ? "" : row(3, c.text)) << c.key;
      }
    }
  }
}

TEST(ApplyFLines, RowsAndOrderOfAWholePass) {
  const std::vector<Attributes> rows{
      good({{"funitprice", "-1"}}, "D"),
      without(good({{"funitprice", "-1"}}), {"editprop"}),  // not selected
      line({{"cinvcode", ""}, {"citem_class", "01"}, {"fquantity", ""}, {"funitprice", "-2"}}),
      line({{"cinvcode", ""}, {"fquantity", "5"}, {"citemcode", "XM01"}}),
  };
  EXPECT_EQ(verifyBody(rows, "all", BS), row(1, kNoItem) + CR + row(1, "]行有项目大类，必须录入项目！") + CR +
                                             row(1, kNoQuantity) + CR + row(1, kNegativePrice) + CR + row(2, kNoItem) +
                                             CR + row(2, kProjectFirst) + CR);
  EXPECT_EQ(verifyBody(rows), row(1, kNoItem));
  // CS keeps what was collected only until a rule reports at once; the row's later rules still run.
  const Attributes noQuantity = good({{"fquantity", ""}});
  EXPECT_EQ(verifyBody({noQuantity, noQuantity}), row(1, kNoQuantity) + CR + row(2, kNoQuantity) + CR);
  EXPECT_EQ(verifyBody({noQuantity, good({{"fquantity", ""}, {"fmoney", "-1"}})}), row(2, kNegativeMoney));
}

TEST(ApplyFLines, SingleFieldChecksRunTheRulesOfTheirKey) {
  const struct { const char* key; Attributes changes; std::string text; } cases[] = {
      {"cfree1", {{"cinvcode", ""}}, "]行请先录入存货！"},  // the item comes first, for any key
      {"fquantity", {{"cinvcode", ""}, {"fquantity", ""}}, "]行请先录入存货！"},
      {"cinvcode", {{"cinvcode", ""}}, ""},
      {"cVenAbbName", {{"cinvcode", ""}}, ""},
      {"itax", {{"itax", "1"}}, ""},  // the tax is checked with the price with tax
      {"citemcode", {{"citem_class", "01"}}, ""},
      {"ipertaxrate", {{"ipertaxrate", ""}}, ""},
      {"funitprice", {{"fquantity", "-1"}}, ""},
  };
  for (const auto& c : cases)
    EXPECT_EQ(verifyBody({good(c.changes)}, c.key, BS, Variant(3)), c.text.empty() ? "" : row(3, c.text)) << c.key;
  // An empty quantity ends the call; an empty price or project passes only its own line.
  EXPECT_EQ(verifyBody({good({{"fquantity", ""}}), good({{"fquantity", "0"}})}, "fquantity", CS, Variant(3)), "");
  EXPECT_EQ(verifyBody({good({{"funitprice", ""}}), good({{"funitprice", "-1"}})}, "funitprice", CS, Variant("3")),
            row(3, kNegativePrice));
  EXPECT_EQ(verifyBody({good(), good({{"citemcode", "XM01"}})}, "citemcode", BS, Variant(3)), row(3, kProjectFirst));
}

// The tax may exceed rate x amount / 100 freely but may not fall short of it by 1 or more.
TEST(ApplyFLines, TaxRuleBoundaries) {
  const struct { const char *money, *rate, *tax, *discount; bool refused; } cases[] = {
      {"100", "17", "16.01", "False", false}, {"100", "17", "16", "False", true},
      {"100", "17", "30", "False", false},    {"100", "17", "-17", "False", false},
      {"100", "17", "-15.9", "0", true},      {"-100", "17", "16.5", "false", false},
      {"-100", "17", "15", "FALSE", true},    {"100", "17", "0", "True", false},
      {"100", "17", "0", "-1", false},        {"100", "17", "abc", "False", true},
      {"abc", "17", "5", "False", false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(verifyBody({good({{"fmoney", c.money}, {"ipertaxrate", c.rate}, {"itax", c.tax}, {"binvtype", c.discount}})},
                         "ftaxprice", CS, Variant(4)),
              c.refused ? row(4, kTaxShort) : "") << c.money << " " << c.rate << " " << c.tax << " " << c.discount;
}

// The discount flag and the rate are converted plainly once the tax and the amount are both
// present: the flag first, the rate only for an ordinary item.
TEST(ApplyFLines, RunTimeErrors) {
  const struct { Attributes changes; int error; } cases[] = {
      {{{"binvtype", ""}}, err::TypeMismatch},
      {{{"binvtype", "yes"}}, err::TypeMismatch},
      {{{"ipertaxrate", ""}}, err::TypeMismatch},
      {{{"ipertaxrate", "abc"}}, err::TypeMismatch},
      {{{"binvtype", "True"}, {"ipertaxrate", "abc"}}, 0},
      {{{"binvtype", ""}, {"itax", ""}}, 0},
      {{{"binvtype", "yes"}, {"fmoney", ""}}, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(errorOf([&] { verifyBody({good(c.changes)}, "ftaxprice", CS, Variant(1)); }), c.error);
    EXPECT_EQ(errorOf([&] { verifyBody({good(c.changes)}, "all", BS); }), c.error);
  }
  // In CS an earlier rule reporting at once ends the line first.
  EXPECT_EQ(verifyBody({good({{"cinvcode", ""}, {"binvtype", "yes"}})}), row(1, kNoItem));
  // A single-field check needs a readable R; a whole pass does not.
  EXPECT_EQ(errorOf([&] { verifyBody({good()}, "fquantity"); }), err::TypeMismatch);
  EXPECT_EQ(errorOf([&] { verifyBody({good()}, "fquantity", CS, Variant("x")); }), err::TypeMismatch);
  ClsS_VerifyApplyF check;
  EXPECT_EQ(errorOf([&] { check.VerifyBody(Variant("all"), Variant(42)); }), err::NotAnObject);
}

// The sample requisitions give the verdicts that the demo shows, and are left as they were.
TEST(ApplyFExamples, SampleRequisitions) {
  auto load = [](const char* name) {
    std::ifstream in(std::string(TW_SOURCE_DIR) + "/examples/" + name, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return Document::parse(text.str());
  };
  ClsS_VerifyApplyF check;
  check.m_UseMode = BS;
  EXPECT_EQ(check.VerifyHead(Variant("all"), Variant(load("requisition_head.xml"))), kNoDepartment + CR + kBadBusType + CR);
  const auto body = load("requisition_body.xml");
  const std::string before = body->xml();
  EXPECT_EQ(check.VerifyBody(Variant("all"), Variant(body)),
            row(3, kNoQuantity) + CR + row(3, kTaxShort) + CR + row(4, kNegativePrice) + CR + row(4, kProjectFirst) + CR);
  check.m_UseMode = CS;
  EXPECT_EQ(check.VerifyBody(Variant("all"), Variant(body)), row(3, kTaxShort));
  EXPECT_EQ(errorOf([&] { check.VerifyBody(Variant("fquantity"), Variant(body)); }), err::TypeMismatch);
  EXPECT_EQ(body->xml(), before);
}

}  // namespace
}  // namespace tallyward::test
