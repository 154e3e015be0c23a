#include <gtest/gtest.h>

#include "requisition/applyf_calls.h"
#include "tallyward/registry.h"

namespace tallyward::test {
namespace {

constexpr UseMode CS = UseMode::CS;
constexpr UseMode BS = UseMode::BS;

// A row message as the verdict writes it.
std::string msg(long row, const std::string& text) { return "第[" + std::to_string(row) + text; }

const std::string kNoItem = "]行存货不能为空，请检查！";
const std::string kClassWithoutProject = "]行有项目大类，必须录入项目！";
const std::string kItemFirst = "]行请先录入存货！";
const std::string kNoQuantity = "]行数量不能为空，请检查！";
const std::string kQuantityNotPositive = "]行数量必须大于零，请检查！";
const std::string kNegativePrice = "]行单价不能小于 0，请检查！";
const std::string kNegativeTaxPrice = "]行含税单价不能小于 0，请检查！";
const std::string kNegativeMoney = "]行金额必须大于零，请检查！";
const std::string kBadRate = "]行税率必须在 0 到 100 之间，请检查！";
const std::string kTaxShort = "]行: 税额录入不合法！";
const std::string kProjectWithoutClass = "]行在没有输入项目大类之前，请参照输入项目！";

Attributes goodLine(const Attributes& change = {}, const std::string& editprop = "A") {
  return line(with(kGoodLine, change), editprop);
}

TEST(ApplyFBody, CompleteLinesPass) {
  for (UseMode mode : {CS, BS}) {
    EXPECT_EQ(verifyBody(mode, "all", {goodLine(), goodLine({{"editprop", "M"}})}), "");
    EXPECT_EQ(verifyBody(mode, "ftaxprice", {goodLine()}, 1), "");
  }
}

// One fault on the first line in a whole pass: CS reports way A at once (no CR) and way C
// collected; BS collects everything.
TEST(ApplyFBody, EachRuleInAWholePass) {
  const struct { Attributes change; std::string text; bool collectedInCs; } cases[] = {
      {{{"cinvcode", ""}}, kNoItem, false},
      {{{"citem_class", "01"}}, kClassWithoutProject, false},
      {{{"fquantity", ""}}, kNoQuantity, true},
      {{{"fquantity", "0"}}, kQuantityNotPositive, false},
      {{{"fquantity", "-1"}}, kQuantityNotPositive, false},
      {{{"fquantity", "abc"}}, kQuantityNotPositive, false},  // reads as 0
      {{{"funitprice", "-0.01"}}, kNegativePrice, false},
      {{{"ftaxprice", "-1"}}, kNegativeTaxPrice, false},
      {{{"fmoney", "-0.01"}}, kNegativeMoney, false},
      {{{"ipertaxrate", "100"}, {"itax", "50"}}, kBadRate, false},
      {{{"ipertaxrate", "-1"}}, kBadRate, false},
      {{{"itax", "7.5"}}, kTaxShort, false},
      {{{"citemcode", "XM01"}}, kProjectWithoutClass, false},
  };
  for (const auto& c : cases) {
    const auto rows = std::vector<Attributes>{goodLine(c.change)};
    const std::string once = msg(1, c.text);
    EXPECT_EQ(verifyBody(CS, "all", rows), c.collectedInCs ? once + CR : once) << c.text;
    EXPECT_EQ(verifyBody(BS, "all", rows), once + CR) << c.text;
  }
}

TEST(ApplyFBody, ValuesThatPass) {
  const Attributes cases[] = {
      {{"fmoney", "0"}, {"itax", "0"}},
      {{"funitprice", ""}, {"ftaxprice", ""}},
      {{"ipertaxrate", "99.99"}, {"itax", "49.995"}},
      {{"citemcode", "XM01"}, {"citem_class", "01"}},
  };
  for (const auto& change : cases)
    for (UseMode mode : {CS, BS})
      EXPECT_EQ(verifyBody(mode, "all", {goodLine(change)}), "") << change[0].first;
}

TEST(ApplyFBody, BsCollectsRowByRowInRuleOrder) {
  const std::vector<Attributes> rows{
      line({{"cinvcode", ""}, {"citem_class", "01"}, {"fquantity", ""}, {"funitprice", "-2"}}),
      line({{"cinvcode", ""}, {"fquantity", "5"}, {"citemcode", "XM01"}}),
  };
  EXPECT_EQ(verifyBody(BS, "all", rows),
            msg(1, kNoItem) + CR + msg(1, kClassWithoutProject) + CR + msg(1, kNoQuantity) + CR +
                msg(1, kNegativePrice) + CR + msg(2, kNoItem) + CR + msg(2, kProjectWithoutClass) + CR);
  EXPECT_EQ(verifyBody(CS, "all", rows), msg(1, kNoItem));
}

TEST(ApplyFBody, CsDropsWhatWasCollectedWhenARuleReportsAtOnce) {
  const auto noQuantity = goodLine({{"fquantity", ""}});
  EXPECT_EQ(verifyBody(CS, "all", {noQuantity, goodLine({{"cinvcode", ""}})}), msg(2, kNoItem));
  EXPECT_EQ(verifyBody(CS, "all", {noQuantity, noQuantity}),
            msg(1, kNoQuantity) + CR + msg(2, kNoQuantity) + CR);
  // A collected empty quantity does not stop the row's later rules.
  EXPECT_EQ(verifyBody(CS, "all", {goodLine({{"fquantity", ""}, {"fmoney", "-1"}})}),
            msg(1, kNegativeMoney));
}

TEST(ApplyFBody, RowNumbersCountNonDeletedLines) {
  const auto faulty = goodLine({{"funitprice", "-1"}});
  const std::vector<Attributes> rows{
      goodLine({}, "D"),
      without(goodLine({{"cinvcode", ""}}), {"editprop"}),  // not selected at all
      goodLine({{"cinvcode", ""}}, ""),                      // unchanged: counted, not checked
      faulty,
  };
  EXPECT_EQ(verifyBody(BS, "all", rows), msg(2, kNegativePrice) + CR);
  EXPECT_EQ(verifyBody(CS, "all", rows), msg(2, kNegativePrice));
  // A single-field check reports R and checks the unchanged line too.
  EXPECT_EQ(verifyBody(CS, "funitprice", rows, 7), msg(7, kItemFirst));
  EXPECT_EQ(verifyBody(BS, "all", {goodLine({}, "D"), without(faulty, {"editprop"})}), "");
}

// Single-field checks: way A reports at once in both modes, with the caller's R.
TEST(ApplyFBody, SingleFieldChecks) {
  const struct { std::string key; Attributes change; std::string expected; } cases[] = {
      {"fquantity", {{"fquantity", ""}}, ""},  // still typing
      {"FQuantity", {{"fquantity", "0"}}, msg(3, kQuantityNotPositive)},
      {"funitprice", {{"funitprice", "-1"}}, msg(3, kNegativePrice)},
      {"ftaxprice", {{"ftaxprice", "-1"}}, msg(3, kNegativeTaxPrice)},
      {"ftaxprice", {{"itax", "1"}}, msg(3, kTaxShort)},
      {"itax", {{"itax", "1"}}, ""},  // the tax is checked with the price with tax
      {"fmoney", {{"fmoney", "-0.01"}, {"itax", ""}}, msg(3, kNegativeMoney)},
      {"ipertaxrate", {{"ipertaxrate", "100"}}, msg(3, kBadRate)},
      {"ipertaxrate", {{"ipertaxrate", ""}}, ""},
      {"citemcode", {{"citemcode", "XM01"}}, msg(3, kProjectWithoutClass)},
      {"citemcode", {{"citem_class", "01"}}, ""},  // whole-pass rule
      {"cfree1", {{"cinvcode", ""}}, msg(3, kItemFirst)},
      {"fquantity", {{"cinvcode", ""}, {"fquantity", ""}}, msg(3, kItemFirst)},
      {"cinvcode", {{"cinvcode", ""}}, ""},
      {"cVenAbbName", {{"cinvcode", ""}}, ""},
      {"funitprice", {{"fquantity", "-1"}}, ""},  // other fields are not looked at
  };
  for (const auto& c : cases)
    for (UseMode mode : {CS, BS})
      EXPECT_EQ(verifyBody(mode, c.key, {goodLine(c.change)}, 3), c.expected)
          << c.key << " mode " << static_cast<int>(mode);
}

// An empty quantity ends a single-field check; an empty price or project only passes its line.
TEST(ApplyFBody, EmptyValueWhileTypingEndsOnlyTheQuantityCheck) {
  EXPECT_EQ(verifyBody(CS, "fquantity", {goodLine({{"fquantity", ""}}), goodLine({{"fquantity", "0"}})}, 3),
            "");
  EXPECT_EQ(verifyBody(CS, "funitprice", {goodLine({{"funitprice", ""}}), goodLine({{"funitprice", "-1"}})}, 3),
            msg(3, kNegativePrice));
  EXPECT_EQ(verifyBody(BS, "citemcode", {goodLine(), goodLine({{"citemcode", "XM01"}})}, 3),
            msg(3, kProjectWithoutClass));
}

// The tax may exceed rate x amount / 100 freely but not fall short of it by 1 or more.
TEST(ApplyFBody, TaxRuleBoundaries) {
  const struct { const char *money, *rate, *tax, *discount; bool refused; } cases[] = {
      {"100", "17", "16.5", "False", false},
      {"100", "17", "16.01", "False", false},
      {"100", "17", "16", "False", true},
      {"100", "17", "15.9", "False", true},
      {"100", "17", "30", "False", false},
      {"100", "17", "-17", "False", false},  // magnitudes are compared
      {"100", "17", "-15.9", "0", true},
      {"-100", "17", "16.5", "false", false},
      {"-100", "17", "15", "FALSE", true},
      {"100", "17", "0", "True", false},      // discount items are not checked
      {"100", "17", "0", "1", false},
      {"100", "17", "0", "-1", false},
      {"100", "0", "0", "False", false},
      {"100", "17", "abc", "False", true},    // the tax reads as 0
      {"abc", "17", "5", "False", false},     // the amount reads as 0
  };
  for (const auto& c : cases) {
    const auto row = goodLine({{"fmoney", c.money}, {"ipertaxrate", c.rate}, {"itax", c.tax},
                               {"binvtype", c.discount}});
    const std::string expected = c.refused ? msg(4, kTaxShort) : "";
    EXPECT_EQ(verifyBody(CS, "ftaxprice", {row}, 4), expected)
        << c.money << " " << c.rate << " " << c.tax << " " << c.discount;
  }
  EXPECT_EQ(verifyBody(BS, "all", {goodLine({{"itax", "15.9"}, {"fmoney", "100"}})}),
            msg(1, kTaxShort) + CR);
}

// The discount flag and the tax rate are converted plainly, only once the tax and the amount are
// both present; the flag first, the rate only for an ordinary item.
TEST(ApplyFBody, UnreadableDiscountFlagOrRateFailsTheCall) {
  const struct { Attributes change; int error; } cases[] = {
      {{{"binvtype", ""}}, err::TypeMismatch},
      {{{"binvtype", "yes"}}, err::TypeMismatch},
      {{{"ipertaxrate", ""}}, err::TypeMismatch},
      {{{"ipertaxrate", "abc"}}, err::TypeMismatch},
      {{{"binvtype", "True"}, {"ipertaxrate", "abc"}}, 0},
      {{{"binvtype", ""}, {"itax", ""}}, 0},
      {{{"binvtype", "yes"}, {"fmoney", ""}}, 0},
      {{{"ipertaxrate", "abc"}, {"fmoney", ""}}, 0},
  };
  for (const auto& c : cases) {
    const std::vector<Attributes> rows{goodLine(c.change)};
    EXPECT_EQ(errorOf([&] { verifyBody(CS, "ftaxprice", rows, 1); }), c.error) << c.change[0].first;
    EXPECT_EQ(errorOf([&] { verifyBody(BS, "all", rows); }), c.error) << c.change[0].first;
  }
  // Not reached in CS when an earlier rule reported at once; reached in BS.
  const std::vector<Attributes> rows{goodLine({{"cinvcode", ""}, {"binvtype", "yes"}})};
  EXPECT_EQ(verifyBody(CS, "all", rows), msg(1, kNoItem));
  EXPECT_EQ(errorOf([&] { verifyBody(BS, "all", rows); }), err::TypeMismatch);
  // Unchanged lines are not checked in a whole pass.
  EXPECT_EQ(verifyBody(BS, "all", {goodLine({{"binvtype", "yes"}}, "")}), "");
}

TEST(ApplyFBody, SingleFieldCheckNeedsR) {
  ClsS_VerifyApplyF check;
  auto body = voucher({goodLine()});
  EXPECT_EQ(errorOf([&] { check.VerifyBody(Variant("fquantity"), Variant(body)); }), err::TypeMismatch);
  EXPECT_EQ(errorOf([&] { check.VerifyBody(Variant("fquantity"), Variant(body), Variant("x")); }),
            err::TypeMismatch);
  EXPECT_EQ(check.VerifyBody(Variant("all"), Variant(body)), "");
  EXPECT_EQ(check.VerifyBody(Variant("fquantity"), Variant(body), Variant("2")), "");
  EXPECT_EQ(errorOf([&] { check.VerifyBody(Variant("all"), Variant(42)); }), err::NotAnObject);
  EXPECT_EQ(check.VerifyBody(Variant("fquantity"), Variant(voucher({})), Variant(1)), "");
}

TEST(ApplyFLateBound, CallsByNameGiveTheSameVerdicts) {
  std::shared_ptr<Object> check = createObject("Tallyward.ClsS_VerifyApplyF");
  check->put("m_UseMode", Variant(1));
  EXPECT_EQ(check->get("m_UseMode"), Variant(1));

  auto headDoc = head({{"ccode", ""}, {"ddate", ""}, {"cdepname", ""}});
  EXPECT_EQ(check->call("VerifyHead", {Variant("all"), Variant(headDoc)}),
            Variant("请购单号不能为空，请检查！" + CR + "请购单日期不能为空，请检查！" + CR +
                    "部门不能为空，请检查！" + CR));

  auto body = voucher({goodLine({{"fquantity", ""}}), goodLine({{"fmoney", "-1"}})});
  EXPECT_EQ(check->call("VerifyBody", {Variant("ALL"), Variant(body)}),
            Variant(msg(1, kNoQuantity) + CR + msg(2, kNegativeMoney) + CR));
  EXPECT_EQ(check->call("VerifyBody", {Variant("fmoney"), Variant(body), Variant(5)}),
            Variant(msg(5, kNegativeMoney)));
  EXPECT_EQ(errorOf([&] { check->call("VerifyBody", {Variant("fmoney"), Variant(body)}); }),
            err::TypeMismatch);

  check->put("m_UseMode", Variant(0));
  EXPECT_EQ(check->call("VerifyBody", {Variant("all"), Variant(body)}), Variant(msg(2, kNegativeMoney)));
  EXPECT_EQ(check->GetIDsOfNames("VerifyBody"), kFirstMethodId);
}

}  // namespace
}  // namespace tallyward::test
