// The lines of an arrival note: every line message with its exact bytes, the reporting ways in CS
// and BS, row numbers, single-field checks and the calls that fail instead of answering.
#include <gtest/gtest.h>

#include "arrival/arrival_fixture.h"
#include "common/verdict.h"

namespace tallyward {
namespace {

using namespace arrival_test;

const Note CS{UseMode::CS, true};
const Note BS{UseMode::BS, true};
const Note negativeCS{UseMode::CS, false};
const Note negativeBS{UseMode::BS, false};

Note atRow(Note note, long R) {
  note.R = Variant(R);
  return note;
}

TEST(ArrivalLines, GoodLinesPass) {
  const std::vector<Attributes> positive = {line(goodFields()), line(fixedRate(goodFields())),
                                            line(floatingRate(goodFields()))};
  const std::vector<Attributes> negative = {line(negativeFields()),
                                            line(fixedRate(negativeFields(), "-2")),
                                            line(floatingRate(negativeFields(), "-2"))};
  for (UseMode mode : {UseMode::CS, UseMode::BS}) {
    EXPECT_EQ(verifyBody("all", positive, {mode, true}), "");
    EXPECT_EQ(verifyBody("all", negative, {mode, false}), "");
  }
}

struct LineFault {
  const char* what;
  bool positive;
  Attributes fields;
  const char* message;  // the text after the row number
  Way way;
};

// One fault on line 1 of a whole pass. Way A is reported at once in CS and collected in BS; ways C
// and E leave the message and a CR in either mode.
TEST(ArrivalLines, EachFaultOfAWholePass) {
  const Attributes pos = goodFields(), neg = negativeFields();
  const LineFault cases[] = {
      {"no item", true, with(pos, {{"cinvcode", ""}}), "]行存货不能为空，请检查！", Way::A},
      {"project class without project", true, with(pos, {{"citem_class", "01"}}),
       "]行有项目大类，必须录入项目！", Way::A},
      {"no quantity", true, with(pos, {{"iquantity", ""}}), "]行数量不能为空，请检查！", Way::E},
      {"zero quantity", true, with(pos, {{"iquantity", "0"}}), "]行数量必须大于零，请检查！", Way::A},
      {"quantity that is no number", true, with(pos, {{"iquantity", "abc"}}),
       "]行数量必须大于零，请检查！", Way::A},
      {"zero quantity with pieces", true, fixedRate(with(pos, {{"iquantity", "0"}})),
       "]行数量必须大于零，请检查！", Way::A},
      {"group type with a blank is not 2", true,
       with(floatingRate(pos), {{"igrouptype", " 2"}, {"iquantity", "0"}, {"cunitid", "箱"}}),
       "]行数量必须大于零，请检查！", Way::A},
      {"zero quantity, negative note", false, with(neg, {{"iquantity", "0"}}),
       "]行数量必须小于零，请检查！", Way::A},
      {"positive quantity, negative note", false, with(neg, {{"iquantity", "5"}}),
       "]行数量必须小于零，请检查！", Way::A},
      {"negative quantity, floating rate", true, floatingRate(with(pos, {{"iquantity", "-1"}})),
       "]行数量必须大于等于零，请检查！", Way::A},
      {"positive quantity, floating rate, negative note", false,
       floatingRate(with(neg, {{"iquantity", "1"}}), "-2"), "]行数量必须小于等于零，请检查！", Way::A},
      {"no pieces", true, fixedRate(pos, ""), "]行件数不能为空，请检查！", Way::C},
      {"zero pieces", true, fixedRate(pos, "0"), "]行件数必须大于零，请检查！", Way::A},
      {"negative pieces", true, fixedRate(pos, "-2"), "]行件数必须大于零，请检查！", Way::A},
      {"positive pieces, negative note", false, fixedRate(neg, "3"), "]行件数必须小于零，请检查！",
       Way::A},
      {"neither quantity nor pieces", true, floatingRate(with(pos, {{"iquantity", "0"}}), "0"),
       "]行数量和件数不能同时为零，请检查！", Way::C},
      {"neither quantity nor pieces, pieces empty", true,
       floatingRate(with(pos, {{"iquantity", "0"}}), ""), "]行数量和件数不能同时为零，请检查！", Way::C},
      {"no conversion rate", true, with(fixedRate(pos), {{"iinvexchrate", ""}}),
       "]行换算率不能为空，请检查！", Way::C},
      {"interface mark is lower case only", true,
       with(fixedRate(pos), {{"iinvexchrate", ""}, {"sysname", "EAI"}}), "]行换算率不能为空，请检查！",
       Way::C},
      {"negative conversion rate", true, with(fixedRate(pos), {{"iinvexchrate", "-1"}}),
       "]行换算率必须大于等于 0，请检查！", Way::A},
      {"negative floating conversion rate", true, with(floatingRate(pos), {{"iinvexchrate", "-0.5"}}),
       "]行换算率必须大于等于 0，请检查！", Way::A},
      {"no unit with pieces", true, with(fixedRate(pos), {{"cunitid", ""}}),
       "]行计量单位不能为空，请检查！", Way::C},
      {"no unit, floating rate", true, with(floatingRate(pos), {{"cunitid", ""}}),
       "]行计量单位不能为空，请检查！", Way::C},
      {"no unit, no group type", true, without(pos, {"igrouptype"}), "]行计量单位不能为空，请检查！",
       Way::C},
      {"negative price", true, with(pos, {{"ioricost", "-1"}}), "]行原币单价不能小于 0，请检查！", Way::A},
      {"negative local price", true, with(pos, {{"icost", "-0.01"}}), "]行本单价不能小于 0，请检查！",
       Way::A},
      {"negative amount", true, with(pos, {{"iorimoney", "-1"}}), "]行原币金额必须大于零，请检查！",
       Way::A},
      {"positive amount, negative note", false, with(neg, {{"iorimoney", "5"}}),
       "]行原币金额必须小于零，请检查！", Way::A},
      {"negative local amount", true, with(pos, {{"imoney", "-1"}}), "]行本币金额必须大于零，请检查！",
       Way::A},
      {"positive local amount, negative note", false, with(neg, {{"imoney", "1"}}),
       "]行本币金额必须小于零，请检查！", Way::A},
      {"negative total", true, with(pos, {{"iorisum", "-1"}}), "]行原币价税合计必须大于零，请检查！",
       Way::A},
      {"positive total, negative note", false, with(neg, {{"iorisum", "1"}}),
       "]行原币价税合计必须小于零，请检查！", Way::A},
      {"negative local total", true, with(pos, {{"isum", "-1"}}), "]行本币价税合计必须大于零，请检查！",
       Way::A},
      {"positive local total, negative note", false, with(neg, {{"isum", "1"}}),
       "]行本币价税合计必须小于零，请检查！", Way::A},
      {"tax rate of 100", true, with(pos, {{"itaxrate", "100"}}), "]行税率必须在 0 到 100 之间，请检查！",
       Way::A},
      {"negative tax rate", false, with(neg, {{"itaxrate", "-1"}}),
       "]行税率必须在 0 到 100 之间，请检查！", Way::A},
      {"no tax rate", true, with(pos, {{"itaxrate", ""}}), "]行税率未输入，请检查！！", Way::A},
      {"project without class", true, with(pos, {{"citemcode", "P01"}}),
       "]行在没有输入项目大类之前，请参照输入项目！", Way::A},
      {"no such production day", true, with(pos, {{"dpdate", "2026-02-29T00:00:00"}}),
       "]行生产日期录入错误，请检查！", Way::A},
      {"production date that is no date", true, with(pos, {{"dpdate", "soon"}}),
       "]行生产日期录入错误，请检查！", Way::A},
      {"no such expiry month", true, with(pos, {{"dvdate", "2027-13-01"}}),
       "]行失效日期录入错误，请检查！", Way::A},
  };
  for (const LineFault& c : cases) {
    const std::string message = "第[1" + std::string(c.message);
    const std::vector<Attributes> body = {line(c.fields)};
    const std::string inCS = c.way == Way::A ? message : message + CR;
    EXPECT_EQ(verifyBody("all", body, {UseMode::CS, c.positive}), inCS) << c.what;
    EXPECT_EQ(verifyBody("all", body, {UseMode::BS, c.positive}), message + CR) << c.what;
  }
}

TEST(ArrivalLines, AcceptedEdgeValues) {
  const Attributes pos = goodFields(), neg = negativeFields();
  const struct { const char* what; bool positive; Attributes fields; } cases[] = {
      {"zero quantity with pieces, floating rate", true, floatingRate(with(pos, {{"iquantity", "0"}}))},
      {"pieces left out, floating rate", true, floatingRate(pos, "")},
      {"zero quantity with pieces, negative floating", false, floatingRate(with(neg, {{"iquantity", "0"}}), "-1")},
      {"zero amounts on a positive note", true,
       with(pos, {{"iorimoney", "0"}, {"imoney", "0"}, {"iorisum", "0"}, {"isum", "0"}})},
      {"zero amounts on a negative note", false,
       with(neg, {{"iorimoney", "0"}, {"imoney", "0"}, {"iorisum", "0"}, {"isum", "0"}})},
      {"empty amounts", true, with(pos, {{"iorimoney", ""}, {"imoney", ""}, {"iorisum", ""}, {"isum", ""}})},
      {"zero tax rate", true, with(pos, {{"itaxrate", "0"}})},
      {"tax rate just below 100", true, with(pos, {{"itaxrate", "99.999"}})},
      {"negative conversion rate in a single unit", true, with(pos, {{"iinvexchrate", "-1"}})},
      {"interface line brings its own rate", true,
       with(fixedRate(pos), {{"sysname", "eai"}, {"iinvexchrate", "-5"}})},
      {"no price with tax", true, with(pos, {{"ioritaxcost", ""}})},
      {"project with its class", true, with(pos, {{"citemcode", "P01"}, {"citem_class", "01"}})},
      {"dates judged by their date part", true,
       with(pos, {{"dpdate", "2028-02-29Tgarbage"}, {"dvdate", "2026/12/31"}})},
      {"no dates", true, with(pos, {{"dpdate", ""}, {"dvdate", ""}})},
      {"quantity with thousands separator", true, with(pos, {{"iquantity", "1,000"}})},
  };
  for (const auto& c : cases)
    EXPECT_EQ(verifyBody("all", {line(c.fields)}, {UseMode::BS, c.positive}), "") << c.what;
}

TEST(ArrivalLines, PriceWithTaxIsWordedWithoutTheBlankWhenReportedAtOnce) {
  const std::vector<Attributes> body = {line(with(goodFields(), {{"ioritaxcost", "-1"}}))};
  const std::string atOnce = "第[1]行含税单价不能小于0，请检查！";
  const std::string collected = "第[1]行含税单价不能小于 0，请检查！" + CR;
  EXPECT_EQ(verifyBody("all", body, CS), atOnce);
  EXPECT_EQ(verifyBody("all", body, BS), collected);
  EXPECT_EQ(verifyBody("ioritaxcost", body, atRow(CS, 3)), "第[3]行含税单价不能小于0，请检查！");
  EXPECT_EQ(verifyBody("ioritaxcost", body, atRow(BS, 3)), "第[3]行含税单价不能小于0，请检查！");
}

// Unchanged lines are counted but not checked; deleted lines and lines without an edit state are
// neither; BS collects every message in row and rule order.
TEST(ArrivalLines, RowNumbersAndOrderOfAWholePass) {
  const std::vector<Attributes> body = {
      line(with(goodFields(), {{"cinvcode", ""}, {"iquantity", ""}}), ""),
      line(with(goodFields(), {{"cinvcode", ""}}), "D"),
      with(goodFields(), {{"cinvcode", ""}}),  // no edit state: not selected
      line(with(goodFields(), {{"cinvcode", ""}, {"ioricost", "-1"}}), "M"),
      line(with(fixedRate(goodFields()), {{"cunitid", ""}, {"dvdate", "x"}})),
  };
  EXPECT_EQ(verifyBody("all", body, BS),
            "第[2]行存货不能为空，请检查！" + CR + "第[2]行原币单价不能小于 0，请检查！" + CR +
                "第[3]行计量单位不能为空，请检查！" + CR + "第[3]行失效日期录入错误，请检查！" + CR);
  EXPECT_EQ(verifyBody("all", body, CS), "第[2]行存货不能为空，请检查！");
}

TEST(ArrivalLines, NothingIsCheckedWhenEveryLineIsUnchangedDeletedOrUnmarked) {
  const Attributes bad = with(goodFields(), {{"cinvcode", ""}, {"iquantity", ""}, {"itaxrate", "abc"}});
  EXPECT_EQ(verifyBody("all", {line(bad, ""), line(bad, ""), line(bad, "D"), bad}, BS), "");
  EXPECT_EQ(verifyBody("all", {}, CS), "");
}

TEST(ArrivalLines, CSKeepsWhatWasCollectedUnlessARuleReportsAtOnce) {
  const Attributes noUnit = with(fixedRate(goodFields()), {{"cunitid", ""}});
  const std::string unitMissing = "第[1]行计量单位不能为空，请检查！" + CR;
  EXPECT_EQ(verifyBody("all", {line(noUnit), line(goodFields())}, CS), unitMissing);
  EXPECT_EQ(verifyBody("all", {line(noUnit), line(with(goodFields(), {{"cinvcode", ""}}))}, CS),
            "第[2]行存货不能为空，请检查！");
  // Two collected messages on one line, then nothing at once.
  EXPECT_EQ(verifyBody("all", {line(with(noUnit, {{"inum", ""}}))}, CS),
            "第[1]行件数不能为空，请检查！" + CR + unitMissing);
}

TEST(ArrivalLines, AMissingQuantityEndsACSPassWithItsMessageAndCRAlone) {
  const std::vector<Attributes> body = {
      line(with(fixedRate(goodFields()), {{"cunitid", ""}})),
      line(with(goodFields(), {{"iquantity", ""}, {"ioricost", "-1"}})),
      line(with(goodFields(), {{"cinvcode", ""}})),
  };
  EXPECT_EQ(verifyBody("all", body, CS), "第[2]行数量不能为空，请检查！" + CR);
  EXPECT_EQ(verifyBody("all", body, BS),
            "第[1]行计量单位不能为空，请检查！" + CR + "第[2]行数量不能为空，请检查！" + CR +
                "第[2]行原币单价不能小于 0，请检查！" + CR + "第[3]行存货不能为空，请检查！" + CR);
}

struct FieldCase {
  const char* key;
  Attributes fields;
  Note note;
  std::string expected;
};

// A single-field check reports under R and runs only the rules of its key; empty values are
// accepted while typing; the whole-pass-only rules stay silent.
TEST(ArrivalLines, SingleFieldChecks) {
  const Attributes pos = goodFields(), neg = negativeFields();
  const FieldCase cases[] = {
      {"iquantity", with(pos, {{"cinvcode", ""}}), atRow(CS, 7), "第[7]行请先录入存货！"},
      {"nosuchfield", with(pos, {{"cinvcode", ""}}), atRow(BS, 7), "第[7]行请先录入存货！"},
      {"cinvcode", with(pos, {{"cinvcode", ""}}), atRow(CS, 7), ""},
      {"cvenabbname", with(pos, {{"cinvcode", ""}}), atRow(CS, 7), ""},
      {"IQuantity", with(pos, {{"iquantity", "0"}}), atRow(BS, 7), "第[7]行数量必须大于零，请检查！"},
      {"iquantity", with(neg, {{"iquantity", "0"}}), atRow(negativeCS, 7), "第[7]行数量必须小于零，请检查！"},
      {"iquantity", with(pos, {{"iquantity", ""}}), atRow(CS, 7), ""},
      {"iquantity", with(pos, {{"iquantity", ""}}), atRow(BS, 7), ""},
      {"inum", fixedRate(pos, ""), atRow(BS, 2), ""},
      {"inum", fixedRate(pos, "0"), atRow(CS, 2), "第[2]行件数必须大于零，请检查！"},
      {"inum", fixedRate(neg, "1"), atRow(negativeBS, 2), "第[2]行件数必须小于零，请检查！"},
      {"inum", floatingRate(with(pos, {{"iquantity", "0"}}), "0"), atRow(CS, 2), ""},
      {"iinvexchrate", with(fixedRate(pos), {{"iinvexchrate", ""}}), atRow(CS, 2), ""},
      {"iinvexchrate", with(fixedRate(pos), {{"iinvexchrate", "-1"}}), atRow(BS, 2),
       "第[2]行换算率必须大于等于 0，请检查！"},
      {"iinvexchrate", with(fixedRate(pos), {{"iinvexchrate", "-1"}, {"sysname", "eai"}}), atRow(CS, 2), ""},
      {"cunitid", with(fixedRate(pos), {{"cunitid", ""}}), atRow(CS, 2), ""},
      {"ioricost", with(pos, {{"ioricost", "-2"}}), atRow(BS, 4), "第[4]行原币单价不能小于 0，请检查！"},
      {"icost", with(pos, {{"icost", "-2"}}), atRow(CS, 4), "第[4]行本单价不能小于 0，请检查！"},
      {"iorimoney", with(neg, {{"iorimoney", "1"}}), atRow(negativeBS, 4), "第[4]行原币金额必须小于零，请检查！"},
      {"imoney", with(pos, {{"imoney", "-1"}}), atRow(CS, 4), "第[4]行本币金额必须大于零，请检查！"},
      {"imoney", with(pos, {{"iorimoney", "-1"}}), atRow(CS, 4), ""},
      {"iorisum", with(pos, {{"iorisum", "-1"}, {"itaxrate", ""}}), atRow(CS, 4),
       "第[4]行原币价税合计必须大于零，请检查！"},
      {"isum", with(pos, {{"itaxrate", ""}}), atRow(BS, 4), "第[4]行税率未输入，请检查！！"},
      {"itax", with(pos, {{"itaxrate", ""}}), atRow(CS, 4), "第[4]行税率未输入，请检查！！"},
      {"ioritax", with(pos, {{"itaxrate", ""}}), atRow(CS, 4), "第[4]行税率未输入，请检查！！"},
      {"itaxrate", with(pos, {{"itaxrate", ""}}), atRow(CS, 4), ""},
      {"itaxrate", with(pos, {{"itaxrate", "100"}}), atRow(BS, 4), "第[4]行税率必须在 0 到 100 之间，请检查！"},
      {"citemcode", with(pos, {{"citem_class", "01"}}), atRow(CS, 5), ""},
      {"citemcode", with(pos, {{"citemcode", "P01"}}), atRow(CS, 5), "第[5]行在没有输入项目大类之前，请参照输入项目！"},
      {"dpdate", with(pos, {{"dpdate", "2026-02-29"}}), atRow(BS, 5), "第[5]行生产日期录入错误，请检查！"},
      {"dvdate", with(pos, {{"dvdate", "2028-02-29T00:00:00"}}), atRow(CS, 5), ""},
      {"dvdate", with(pos, {{"dvdate", "31.12.2027"}}), atRow(CS, 5), "第[5]行失效日期录入错误，请检查！"},
  };
  for (const FieldCase& c : cases)
    EXPECT_EQ(verifyBody(c.key, {line(c.fields)}, c.note), c.expected) << c.key;
}

TEST(ArrivalLines, SingleFieldCheckWalksEveryNonDeletedLineUnderR) {
  const Attributes zero = with(goodFields(), {{"iquantity", "0"}});
  const Attributes empty = with(goodFields(), {{"iquantity", ""}});
  // The edit state is not looked at: an unchanged line is checked too.
  EXPECT_EQ(verifyBody("iquantity", {line(goodFields()), line(zero, "")}, atRow(CS, 9)),
            "第[9]行数量必须大于零，请检查！");
  EXPECT_EQ(verifyBody("iquantity", {line(zero, "D"), zero, line(goodFields())}, atRow(CS, 9)), "");
  // An empty value ends the call: the later line is not looked at.
  EXPECT_EQ(verifyBody("iquantity", {line(empty), line(zero)}, atRow(BS, 9)), "");
  // R may come as text that reads as a number.
  EXPECT_EQ(verifyBody("iquantity", {line(zero)}, {UseMode::CS, true, Variant("12")}),
            "第[12]行数量必须大于零，请检查！");
}

TEST(ArrivalLines, RunTimeErrorsYieldNoVerdict) {
  const Attributes noNumber = with(goodFields(), {{"itaxrate", "13%"}});
  const Attributes collectedFirst = with(fixedRate(noNumber), {{"cunitid", ""}});
  EXPECT_EQ(errorNumber([&] { verifyBody("all", {line(noNumber)}, CS); }), err::TypeMismatch);
  EXPECT_EQ(errorNumber([&] { verifyBody("all", {line(collectedFirst)}, BS); }), err::TypeMismatch);
  EXPECT_EQ(errorNumber([&] { verifyBody("itaxrate", {line(noNumber)}, atRow(BS, 1)); }),
            err::TypeMismatch);
  // Other keys do not convert the tax rate, nor does a line that an earlier message ended.
  EXPECT_EQ(verifyBody("iquantity", {line(noNumber)}, atRow(CS, 1)), "");
  EXPECT_EQ(verifyBody("all", {line(with(noNumber, {{"cinvcode", ""}}))}, CS), "第[1]行存货不能为空，请检查！");
  // R is needed for one field only, and must read as a number.
  EXPECT_EQ(errorNumber([&] { verifyBody("iquantity", {line(goodFields())}, CS); }), err::TypeMismatch);
  EXPECT_EQ(errorNumber([&] { verifyBody("iquantity", {}, CS); }), err::TypeMismatch);
  EXPECT_EQ(errorNumber([&] { verifyBody("iquantity", {line(goodFields())}, {UseMode::CS, true, Variant("x")}); }),
            err::TypeMismatch);
  EXPECT_EQ(verifyBody("ALL", {line(goodFields())}, CS), "");
  ClsS_VerifyArriveF check;
  EXPECT_EQ(errorNumber([&] { check.VerifyBody(Variant("all"), Variant(), Variant(1)); }), err::ObjectNotSet);
}

}  // namespace
}  // namespace tallyward
