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

const Attributes kHead{{"ccode", "DH0001"}, {"cexch_name", "人民币"}, {"iexchrate", "1"},
                       {"ddate", "2026-03-01T00:00:00"}, {"cvenabbname", "华东机加"},
                       {"cdepname", "采购部"}, {"itaxrate", "13"}, {"cbustype", "普通采购"}};

// A line of a positive note in a single unit, and the same line on a negative note.
const Attributes kLine{{"cinvcode", "P1001"}, {"iquantity", "10"}, {"igrouptype", "0"},
                       {"ioricost", "5"},     {"ioritaxcost", "5.65"}, {"icost", "5"},
                       {"iorimoney", "50"},   {"imoney", "50"},  {"iorisum", "56.5"},
                       {"isum", "56.5"},      {"itaxrate", "13"}, {"dpdate", "2026-03-01T00:00:00"},
                       {"dvdate", "2027-03-01"}};
const Attributes kNegative = with(kLine, {{"iquantity", "-10"}, {"iorimoney", "-50"}, {"imoney", "-50"},
                                          {"iorisum", "-56.5"}, {"isum", "-56.5"}});

// Pieces with a fixed ("1") or a floating ("2") conversion rate.
Attributes fixed(const Attributes& l, const Attributes& changes = {}) {
  return with(with(l, {{"igrouptype", "1"}, {"inum", "2"}, {"iinvexchrate", "5"}, {"cunitid", "箱"}}), changes);
}
Attributes floating(const Attributes& l, const Attributes& changes = {}) {
  return with(fixed(l, {{"igrouptype", "2"}}), changes);
}

constexpr UseMode CS = UseMode::CS, BS = UseMode::BS;
const Variant kNoR = Variant::missing();

std::string head(const Attributes& row, const std::string& key = "all", UseMode mode = CS) {
  ClsS_VerifyArriveF check;
  check.m_UseMode = mode;
  return check.VerifyHead(Variant(key), Variant(test::head(row)));
}

std::string body(const std::vector<Attributes>& rows, const std::string& key = "all", UseMode mode = CS,
                 const Variant& R = kNoR, bool positive = true) {
  ClsS_VerifyArriveF check;
  check.m_UseMode = mode;
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

// A whole pass with one fault: BS collects every way; CS reports A and F alone, while C collects and
// E ends the call with the message and a CR.
std::string inMode(const std::string& m, Way way, UseMode mode) {
  if (m.empty()) return m;
  return mode == BS || way == Way::CollectedInPass || way == Way::PassEndsInCs ? m + CR : m;
}

// A single-field check: way A reports at once, F too in CS but collects in BS; C and E belong to the
// whole pass.
std::string atOnce(const std::string& m, Way way, UseMode mode) {
  if (way == Way::AtOnceInCsCollectedInBs) return mode == BS ? m + CR : m;
  return way == Way::AtOnceOrCollected ? m : "";
}

// ---- Head ---------------------------------------------------------------------------------------

// Each case runs as a whole pass and as the single-field check of its key (none: a whole-pass rule).
TEST(ArriveFHead, OneFaultInAWholePassAndInASingleFieldCheck) {
  const struct { const char* key; Attributes changes; std::string message; Way way = Way::AtOnceOrCollected; } cases[] = {
      {nullptr, {{"ccode", ""}}, "到货单号不能为空，请检查！"},
      {nullptr, {{"cexch_name", ""}}, "到货单币种不能为空，请检查！"},
      {nullptr, {{"iexchrate", ""}}, "到货单汇率不能为空，请检查！"},
      {nullptr, {{"ddate", ""}}, "到货单日期不能为空，请检查！"},
      {nullptr, {{"cvenabbname", ""}}, "供应商不能为空，请检查！"},
      {nullptr, {{"sysname", "EAI"}, {"cvencode", ""}, {"cdepcode", "D01"}}, "供应商不能为空，请检查！"},
      {nullptr, {{"cdepname", ""}}, "部门不能为空，请检查！"},
      {nullptr, {{"sysname", "eAi"}, {"cvencode", "V01"}, {"cdepcode", ""}}, "部门不能为空，请检查！"},
      {"DDate", {{"ddate", "2026-02-30T00:00:00"}}, "到货单日期录入错误，请检查！"},
      {"ddate", {{"ddate", "2026-03-01t00:00:00"}}, "到货单日期录入错误，请检查！"},  // only a capital T cuts
      {"iexchrate", {{"iexchrate", "0"}}, "汇率必须大于零，请检查！"},
      {"iexchrate", {{"iexchrate", "abc"}}, "汇率必须大于零，请检查！"},  // no number reads as 0
      {"ioritaxrate", {{"itaxrate", "100"}}, "税率必须在 0 到 100 之间，请检查！"},
      {"ioritaxrate", {{"itaxrate", "-0.5"}}, "税率必须在 0 到 100 之间，请检查！"},
      // An empty business type is refused while typing too.
      {"cbustype", {{"cbustype", ""}}, "业务类型不能为空，请检查！", Way::AtOnceInCsCollectedInBs},
      {"cbustype", {{"cbustype", "普通采购 "}}, "业务类型录入错误，请检查！"},
      {"cbustype", {{"cbustype", "直运采购"}}, "业务类型录入错误，请检查！"},
      {"cvenabbname", {{"sysname", "EAI"}, {"cvencode", "V"}, {"cvenabbname", ""}, {"cdepcode", "D"}, {"cdepname", ""}}, ""},
      {nullptr, {{"sysname", "ERP"}}, ""},
      {"ddate", {{"ddate", "2028-02-29T10:20:30"}, {"iexchrate", "0.0001"}, {"itaxrate", "99.99"}}, ""},
      {"ioritaxrate", {{"itaxrate", "0"}, {"cbustype", "受托代销"}}, ""},
      {"ioritaxrate", {{"itaxrate", "abc"}}, ""},  // reads as 0
      {"ioritaxrate", {{"itaxrate", ""}, {"cbustype", "委外发票"}}, ""},
  };
  for (const auto& c : cases) {
    for (UseMode mode : {CS, BS}) {
      EXPECT_EQ(head(with(kHead, c.changes), "all", mode), inMode(c.message, c.way, mode)) << c.message;
      if (c.key) {
        EXPECT_EQ(head(with(kHead, c.changes), c.key, mode), atOnce(c.message, c.way, mode)) << c.key;
      }
    }
  }
}

TEST(ArriveFHead, BsCollectsInRuleOrderCsStopsAtTheFirst) {
  const Attributes h = with(kHead, {{"cbustype", "x"}, {"ddate", "2026-13-01"}, {"ccode", ""},
                                    {"sysname", "EAI"}, {"cvencode", ""}, {"cdepcode", ""}});
  EXPECT_EQ(head(h, "ALL", BS), "到货单号不能为空，请检查！" + CR + "供应商不能为空，请检查！" + CR +
                                    "部门不能为空，请检查！" + CR + "到货单日期录入错误，请检查！" + CR +
                                    "业务类型录入错误，请检查！" + CR);
  EXPECT_EQ(head(h), "到货单号不能为空，请检查！");
  // A missing attribute reads as empty; one spelled in capitals is not the field.
  EXPECT_EQ(head(with(without(kHead, {"ccode"}), {{"cCode", "DH1"}})), "到货单号不能为空，请检查！");
  // Single-field checks run only the rules of their key: the screen checks the rate under
  // ioritaxrate, and the mandatory fields are left to the whole pass.
  for (const char* key : {"itaxrate", "ddate", "ccode", "nosuchfield"})
    EXPECT_EQ(head(with(kHead, {{"itaxrate", "100"}, {"ddate", ""}, {"ccode", ""}}), key, BS), "") << key;
}

TEST(ArriveFHead, DocumentsThatCannotBeRead) {
  ClsS_VerifyArriveF check;
  EXPECT_EQ(errorOf([&] { check.VerifyHead(Variant("ddate"), Variant(voucher({}))); }), err::ObjectNotSet);
  EXPECT_EQ(errorOf([&] { check.VerifyHead(Variant("all"), Variant("<xml/>")); }), err::NotAnObject);
}

// ---- Lines --------------------------------------------------------------------------------------

// Each case runs as a whole pass, on a line that follows an unchanged line (counted, not checked:
// its tax rate would fail the call), and as the single-field check of its key (none: a whole-pass
// rule) on the line alone, left unchanged, with R = 7.
TEST(ArriveFLines, OneFaultInAWholePassAndInASingleFieldCheck) {
  const Attributes& pos = kLine;
  const Attributes& neg = kNegative;
  const struct { const char* key; bool positive; Attributes fields; std::string text; Way way = Way::AtOnceOrCollected; } cases[] = {
      {"iquantity", true, pos, ""},
      {"iquantity", false, neg, ""},
      {nullptr, true, with(pos, {{"cinvcode", ""}}), "]行存货不能为空，请检查！"},
      {nullptr, true, with(pos, {{"citem_class", "01"}}), "]行有项目大类，必须录入项目！"},
      {"iquantity", true, with(pos, {{"iquantity", ""}}), "]行数量不能为空，请检查！", Way::PassEndsInCs},
      {"iquantity", true, with(pos, {{"iquantity", "0"}}), "]行数量必须大于零，请检查！"},
      {"iquantity", true, with(pos, {{"iquantity", "abc"}}), "]行数量必须大于零，请检查！"},
      {"IQuantity", true, floating(pos, {{"igrouptype", " 2"}, {"iquantity", "0"}}), "]行数量必须大于零，请检查！"},
      {"iquantity", false, with(neg, {{"iquantity", "0"}}), "]行数量必须小于零，请检查！"},
      {"iquantity", false, with(neg, {{"iquantity", "5"}}), "]行数量必须小于零，请检查！"},
      {"iquantity", true, floating(pos, {{"iquantity", "-1"}}), "]行数量必须大于等于零，请检查！"},
      {"iquantity", false, floating(neg, {{"iquantity", "1"}, {"inum", "-2"}}), "]行数量必须小于等于零，请检查！"},
      {"inum", true, fixed(pos, {{"inum", ""}}), "]行件数不能为空，请检查！", Way::CollectedInPass},
      {"inum", true, fixed(pos, {{"inum", "0"}}), "]行件数必须大于零，请检查！"},
      {"inum", false, fixed(neg, {{"inum", "3"}}), "]行件数必须小于零，请检查！"},
      {"inum", true, floating(pos, {{"iquantity", "0"}, {"inum", "0"}}), "]行数量和件数不能同时为零，请检查！", Way::CollectedInPass},
      {"inum", true, floating(pos, {{"iquantity", "0"}, {"inum", ""}}), "]行数量和件数不能同时为零，请检查！", Way::CollectedInPass},
      {"iinvexchrate", true, fixed(pos, {{"iinvexchrate", ""}, {"sysname", "EAI"}}), "]行换算率不能为空，请检查！", Way::CollectedInPass},
      {"iinvexchrate", true, floating(pos, {{"iinvexchrate", "-0.5"}}), "]行换算率必须大于等于 0，请检查！"},
      {"iinvexchrate", true, fixed(pos, {{"iinvexchrate", "-1"}}), "]行换算率必须大于等于 0，请检查！"},
      {"cunitid", true, fixed(pos, {{"cunitid", ""}}), "]行计量单位不能为空，请检查！", Way::CollectedInPass},
      {"cunitid", true, without(pos, {"igrouptype"}), "]行计量单位不能为空，请检查！", Way::CollectedInPass},
      {"ioricost", true, with(pos, {{"ioricost", "-1"}}), "]行原币单价不能小于 0，请检查！"},
      {"icost", true, with(pos, {{"icost", "-0.01"}}), "]行本单价不能小于 0，请检查！"},
      {"iorimoney", true, with(pos, {{"iorimoney", "-1"}}), "]行原币金额必须大于零，请检查！"},
      {"iorimoney", false, with(neg, {{"iorimoney", "5"}}), "]行原币金额必须小于零，请检查！"},
      {"imoney", true, with(pos, {{"imoney", "-1"}}), "]行本币金额必须大于零，请检查！"},
      {"imoney", false, with(neg, {{"imoney", "1"}}), "]行本币金额必须小于零，请检查！"},
      {"iorisum", true, with(pos, {{"iorisum", "-1"}}), "]行原币价税合计必须大于零，请检查！"},
      {"iorisum", false, with(neg, {{"iorisum", "1"}}), "]行原币价税合计必须小于零，请检查！"},
      {"isum", true, with(pos, {{"isum", "-1"}}), "]行本币价税合计必须大于零，请检查！"},
      {"isum", false, with(neg, {{"isum", "1"}}), "]行本币价税合计必须小于零，请检查！"},
      {"itaxrate", true, with(pos, {{"itaxrate", "100"}}), "]行税率必须在 0 到 100 之间，请检查！"},
      {"itaxrate", false, with(neg, {{"itaxrate", "-1"}}), "]行税率必须在 0 到 100 之间，请检查！"},
      {"itax", true, with(pos, {{"itaxrate", ""}}), "]行税率未输入，请检查！！"},
      {"citemcode", true, with(pos, {{"citemcode", "P01"}}), "]行在没有输入项目大类之前，请参照输入项目！"},
      {"dpdate", true, with(pos, {{"dpdate", "2026-02-29T00:00:00"}}), "]行生产日期录入错误，请检查！"},
      {"dvdate", true, with(pos, {{"dvdate", "2027-13-01"}}), "]行失效日期录入错误，请检查！"},
      // Accepted edges.
      {"iquantity", true, floating(pos, {{"iquantity", "0"}}), ""},
      {"iquantity", false, floating(neg, {{"iquantity", "0"}, {"inum", "-1"}}), ""},
      {"inum", true, floating(pos, {{"inum", ""}}), ""},
      {"iorimoney", true, with(pos, {{"iorimoney", "0"}, {"imoney", "0"}, {"iorisum", "0"}, {"isum", "0"}}), ""},
      {"iorimoney", false, with(neg, {{"iorimoney", "0"}, {"imoney", "0"}, {"iorisum", "0"}, {"isum", ""}}), ""},
      {"itaxrate", true, with(pos, {{"itaxrate", "0"}, {"ioritaxcost", ""}}), ""},
      {"itaxrate", true, with(pos, {{"itaxrate", "99.999"}, {"iinvexchrate", "-1"}}), ""},
      {"iinvexchrate", true, fixed(pos, {{"sysname", "eai"}, {"iinvexchrate", "-5"}}), ""},
      {"citemcode", true, with(pos, {{"citemcode", "P01"}, {"citem_class", "01"}}), ""},
      {"dpdate", true, with(pos, {{"dpdate", "2028-02-29Tgarbage"}, {"dvdate", ""}}), ""},
  };
  for (const auto& c : cases) {
    const std::vector<Attributes> rows{line(with(kLine, {{"cinvcode", ""}, {"itaxrate", "x"}}), ""), line(c.fields)};
    for (UseMode mode : {CS, BS}) {
      EXPECT_EQ(body(rows, "all", mode, kNoR, c.positive), inMode(c.text.empty() ? "" : row(2, c.text), c.way, mode))
          << c.text;
      if (c.key) {
        EXPECT_EQ(body({line(c.fields, "")}, c.key, mode, Variant(7), c.positive),
                  c.text.empty() ? "" : atOnce(row(7, c.text), c.way, mode))
            << c.key << " " << c.text;
      }
    }
  }
}

TEST(ArriveFLines, PriceWithTaxIsWordedWithoutTheBlankWhenReportedAtOnce) {
  const std::vector<Attributes> rows{line(with(kLine, {{"ioritaxcost", "-1"}}))};
  EXPECT_EQ(body(rows), row(1, "]行含税单价不能小于0，请检查！"));
  EXPECT_EQ(body(rows, "all", BS), row(1, "]行含税单价不能小于 0，请检查！") + CR);
  EXPECT_EQ(body(rows, "ioritaxcost", BS, Variant(3)), row(3, "]行含税单价不能小于0，请检查！"));
}

TEST(ArriveFLines, RowNumbersAndOrderOfAWholePass) {
  const std::vector<Attributes> rows{
      line(with(kLine, {{"cinvcode", ""}, {"iquantity", ""}}), ""),
      line(with(kLine, {{"cinvcode", ""}}), "D"),
      with(kLine, {{"cinvcode", ""}}),  // no edit state: not selected
      line(with(kLine, {{"cinvcode", ""}, {"ioricost", "-1"}}), "M"),
      line(fixed(kLine, {{"cunitid", ""}, {"dvdate", "x"}})),
  };
  EXPECT_EQ(body(rows, "all", BS), row(2, "]行存货不能为空，请检查！") + CR + row(2, "]行原币单价不能小于 0，请检查！") +
                                       CR + row(3, "]行计量单位不能为空，请检查！") + CR +
                                       row(3, "]行失效日期录入错误，请检查！") + CR);
  EXPECT_EQ(body(rows), row(2, "]行存货不能为空，请检查！"));
}

TEST(ArriveFLines, CsKeepsWhatWasCollectedUntilARuleReports) {
  const Attributes noUnit = fixed(kLine, {{"cunitid", ""}});
  const std::string unit = row(1, "]行计量单位不能为空，请检查！") + CR;
  EXPECT_EQ(body({line(noUnit), line(kLine)}), unit);
  EXPECT_EQ(body({line(with(noUnit, {{"inum", ""}}))}), row(1, "]行件数不能为空，请检查！") + CR + unit);
  EXPECT_EQ(body({line(noUnit), line(with(kLine, {{"cinvcode", ""}}))}), row(2, "]行存货不能为空，请检查！"));
  // A missing quantity ends a CS pass with its message and a CR alone.
  const std::vector<Attributes> rows{line(noUnit), line(with(kLine, {{"iquantity", ""}, {"ioricost", "-1"}})),
                                     line(with(kLine, {{"cinvcode", ""}}))};
  EXPECT_EQ(body(rows), row(2, "]行数量不能为空，请检查！") + CR);
  EXPECT_EQ(body(rows, "all", BS), unit + row(2, "]行数量不能为空，请检查！") + CR +
                                       row(2, "]行原币单价不能小于 0，请检查！") + CR + row(3, "]行存货不能为空，请检查！") + CR);
}

TEST(ArriveFLines, SingleFieldChecksRunTheRulesOfTheirKey) {
  const struct { const char* key; Attributes changes; std::string text; } cases[] = {
      {"iquantity", {{"cinvcode", ""}}, "]行请先录入存货！"},  // the item comes first
      {"nosuchfield", {{"cinvcode", ""}}, "]行请先录入存货！"},
      {"cinvcode", {{"cinvcode", ""}}, ""},
      {"cvenabbname", {{"cinvcode", ""}}, ""},
      {"iorisum", {{"iorisum", "-1"}, {"itaxrate", ""}}, "]行原币价税合计必须大于零，请检查！"},
      {"isum", {{"itaxrate", ""}}, "]行税率未输入，请检查！！"},
      {"ioritax", {{"itaxrate", ""}}, "]行税率未输入，请检查！！"},
      {"itaxrate", {{"itaxrate", ""}}, ""},
      {"citemcode", {{"citem_class", "01"}}, ""},
  };
  for (const auto& c : cases)
    EXPECT_EQ(body({line(with(kLine, c.changes))}, c.key, BS, Variant(7)), c.text.empty() ? "" : row(7, c.text))
        << c.key;
}

TEST(ArriveFLines, SingleFieldCheckWalksEveryNonDeletedLine) {
  const Attributes zero = with(kLine, {{"iquantity", "0"}});
  // The edit state is not looked at: an unchanged line is checked too.
  EXPECT_EQ(body({line(kLine), line(zero, "")}, "iquantity", CS, Variant(9)), row(9, "]行数量必须大于零，请检查！"));
  EXPECT_EQ(body({line(zero, "D"), zero, line(kLine)}, "iquantity", CS, Variant(9)), "");
  // An empty value that may stand while typing ends the call before the later lines.
  for (const char* key : {"iquantity", "inum", "iinvexchrate", "cunitid", "itaxrate", "citemcode", "dpdate", "dvdate"})
    EXPECT_EQ(body({line(fixed(kLine, {{key, ""}})), line(with(zero, {{"cinvcode", ""}}))}, key, BS, Variant(9)), "")
        << key;
  // R may come as text.
  EXPECT_EQ(body({line(zero)}, "iquantity", CS, Variant("12")), row(12, "]行数量必须大于零，请检查！"));
}

TEST(ArriveFLines, RunTimeErrorsYieldNoVerdict) {
  const Attributes noNumber = with(kLine, {{"itaxrate", "13%"}});
  EXPECT_EQ(errorOf([&] { body({line(noNumber)}); }), err::TypeMismatch);
  EXPECT_EQ(errorOf([&] { body({line(fixed(noNumber, {{"cunitid", ""}}))}, "all", BS); }), err::TypeMismatch);
  EXPECT_EQ(errorOf([&] { body({line(noNumber)}, "itaxrate", BS, Variant(1)); }), err::TypeMismatch);
  // Other keys do not convert the rate, nor does a line that an earlier message ended.
  EXPECT_EQ(body({line(noNumber)}, "iquantity", CS, Variant(1)), "");
  EXPECT_EQ(body({line(with(noNumber, {{"cinvcode", ""}}))}), row(1, "]行存货不能为空，请检查！"));
  // One field cannot be reported without a readable R.
  EXPECT_EQ(errorOf([&] { body({line(kLine)}, "iquantity"); }), err::TypeMismatch);
  EXPECT_EQ(errorOf([&] { body({line(kLine)}, "iquantity", CS, Variant("x")); }), err::TypeMismatch);
  ClsS_VerifyArriveF check;
  EXPECT_EQ(errorOf([&] { check.VerifyBody(Variant("all"), Variant(), Variant(1)); }), err::ObjectNotSet);
}

// ---- The sample notes, as the demo shows them ---------------------------------------------------

std::string verdictOf(const char* method, const char* file, std::vector<std::string> more) {
  std::vector<std::string> args{"verify", "--class", "ClsS_VerifyArriveF", "--method", method, "--key", "all",
                                method == std::string("VerifyHead") ? "--head" : "--body",
                                std::string(TW_SOURCE_DIR) + "/examples/" + file};
  args.insert(args.end(), more.begin(), more.end());
  std::ostringstream out, err;
  EXPECT_EQ(cli::run(args, out, err), cli::kOk) << err.str();
  return nlohmann::json::parse(out.str()).value("verdict", "");
}

TEST(ArriveFExamples, SampleNotes) {
  EXPECT_EQ(verdictOf("VerifyHead", "arrival_head.xml", {"--mode", "BS"}),
            "汇率必须大于零，请检查！" + CR + "业务类型录入错误，请检查！" + CR);
  EXPECT_EQ(verdictOf("VerifyBody", "arrival_body.xml", {"--mode", "BS", "--set", "m_bPositive=true"}),
            row(3, "]行计量单位不能为空，请检查！") + CR + row(4, "]行数量不能为空，请检查！") + CR +
                row(5, "]行数量和件数不能同时为零，请检查！") + CR + row(5, "]行含税单价不能小于 0，请检查！") + CR +
                row(5, "]行生产日期录入错误，请检查！") + CR);
  EXPECT_EQ(verdictOf("VerifyBody", "arrival_body.xml", {"--set", "m_bPositive=true"}),
            row(4, "]行数量不能为空，请检查！") + CR);
}

}  // namespace
}  // namespace tallyward::test
