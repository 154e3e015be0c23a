// Requisition line entry on a real ERP database: the item, vendor, project and project-class
// look-ups with their replies and refusals, free items, the line dates of the whole pass, data
// rights, and the steps a failure leaves out.
#include "applyh_fixture.h"

namespace tallyward::test {
namespace {

class ApplyHBody : public ApplyHTest {
 protected:
  std::string check(const std::string& key, const std::vector<Attributes>& lines, long R = 3) {
    body = voucher(lines);
    hd = head(headRow);
    return apply.VerifyBody(key, *body, hd.get(), static_cast<int32_t>(R));
  }

  Attributes headRow{{"ddate", "2026-03-02T00:00:00"}, {"cbustype", "普通采购"}};
  std::shared_ptr<Document> body, hd;
};

// The reply of an item: its own columns, its sixteen defines (the first given), its tax rate.
Pairs itemReply(std::vector<const char*> columns, const char* define1 = "", const char* rate = "13") {
  const char* keys[] = {"cInvCode", "cVenInvCode", "cInvCCode", "cInvAddcode", "cInvName", "cInvStd", "cinvm_unit"};
  Pairs p;
  for (size_t i = 0; i < columns.size(); ++i) p.emplace_back(keys[i], columns[i]);
  for (int n = 1; n <= 16; ++n) p.emplace_back("cInvDefine" + std::to_string(n), n == 1 ? define1 : "");
  p.emplace_back("iPerTaxRate", rate);
  return p;
}
const Pairs kBolt = itemReply({"A01", "", "01", "ADD1", "螺栓", "M8", "千克"}, "宝钢");

struct LineCase {
  const char* name;
  const char* key;
  Attributes line;
  const char* verdict;
  Pairs reply;  // values as the reply text writes them; none: the body is left as it was
};

class LineLookups : public ApplyHBody, public ::testing::WithParamInterface<LineCase> {};

TEST_P(LineLookups, AnswerWithTheReplyOrTheRefusal) {
  const LineCase& c = GetParam();
  EXPECT_EQ(check(c.key, {line(c.line)}), c.verdict);
  if (c.reply.empty())
    EXPECT_EQ(body->replacements(), 0u);
  else
    EXPECT_EQ(body->xml(), replyText("Body", c.reply));
}

const char* const kItem = "第[3]行存货录入不正确，请检查！";

INSTANTIATE_TEST_SUITE_P(
    Rules, LineLookups,
    ::testing::Values(
        LineCase{"ItemByExactCode", "cInvCode", {{"cinvcode", "A01"}}, "", kBolt},
        LineCase{"ItemByCodeBeforeANameAlike", "cinvcode", {{"cinvcode", "B02"}}, "",
                 itemReply({"B02", "", "01", "", "A01", "", "千克"})},
        LineCase{"ItemByName", "cinvcode", {{"cinvcode", "螺栓"}}, "", kBolt},
        LineCase{"ItemByAdditionalCode", "cinvcode", {{"cinvcode", "ADD1"}}, "", kBolt},
        LineCase{"ItemByTheLineVendorsCode", "cinvcode", {{"cinvcode", "HD-88"}, {"cvencode", "V001"}}, "",
                 itemReply({"A01", "HD-88", "01", "ADD1", "螺栓", "M8", "千克"}, "宝钢")},
        LineCase{"ItemByAnotherVendorsCode", "cinvcode", {{"cinvcode", "HD-88"}, {"cvencode", "V007"}}, kItem, {}},
        LineCase{"ItemStopped", "cinvcode", {{"cinvcode", "X01"}}, kItem, {}},
        LineCase{"ItemService", "cinvcode", {{"cinvcode", "S01"}}, kItem, {}},
        LineCase{"ItemDiscount", "cinvcode", {{"cinvcode", "D01"}}, kItem, {}},
        LineCase{"ItemNotPurchased", "cinvcode", {{"cinvcode", "N01"}}, kItem, {}},
        LineCase{"ItemCleared", "cinvcode", {{"cinvcode", ""}}, "", itemReply({"", "", "", "", "", "", ""}, "", "")},
        LineCase{"ItemWithApostrophe", "cinvcode", {{"cinvcode", "O'Brien & <Co>"}}, "",
                 itemReply({"Q01", "", "01", "", "O&apos;Brien &amp; &lt;Co>", "", ""}, "", "")},
        LineCase{"ItemInjected", "cinvcode", {{"cinvcode", "x' OR '1'='1"}}, kItem, {}},
        LineCase{"VendorByName", "cVenAbbName", {{"cvenabbname", "华东精工"}}, "",
                 {{"cVenCode", "V001"}, {"cVenAbbName", "华东精工"}}},
        LineCase{"VendorByCode", "cvenabbname", {{"cvenabbname", "V007"}}, "",
                 {{"cVenCode", "V007"}, {"cVenAbbName", "O&apos;Brien"}}},
        LineCase{"VendorStopped", "cvenabbname", {{"cvenabbname", "东方五金"}},
                 "第[3]行供应商录入不正确或已经停用，请检查！", {}},
        LineCase{"VendorCleared", "cvenabbname", {{"cvenabbname", ""}}, "", {{"cVenCode", ""}, {"cVenAbbName", ""}}},
        LineCase{"ProjectOfItsClass", "cItemCode", {{"citem_class", "97"}, {"citemcode", "RD1"}}, "",
                 {{"cItemName", "轻量化"}}},
        LineCase{"ProjectOfTheInventoryClass", "citemcode", {{"citem_class", "00"}, {"citemcode", "A01"}}, "",
                 {{"cItemName", "螺栓"}}},
        LineCase{"ProjectUnknown", "citemcode", {{"citem_class", "97"}, {"citemcode", "A01"}},
                 "第[3]行项目录入不正确，请检查！", {}},
        LineCase{"ProjectCleared", "citemcode", {{"citem_class", "97"}, {"citemcode", ""}}, "", {{"cItemName", ""}}},
        LineCase{"ProjectClassFound", "cItem_Class", {{"citem_class", "97"}}, "",
                 {{"cItem_Class", "97"}, {"cItem_Name", "研发项目"}}},
        LineCase{"ProjectClassUnknown", "citem_class", {{"citem_class", "96"}}, "第[3]行项目大类录入不正确，请检查！", {}},
        LineCase{"ProjectClassClearedWithTheProject", "citem_class", {{"citem_class", ""}}, "",
                 {{"cItem_Class", ""}, {"cItem_Name", ""}, {"cItemCode", ""}, {"cItemName", ""}}},
        LineCase{"FreeItemWithoutTheSwitch", "cFree4", {{"cinvcode", "A01"}, {"cfree4", "x"}},
                 "第[3]行没有自由项4设置，不能输入！", {}},
        LineCase{"FreeItemOfBlanks", "cfree4", {{"cinvcode", "A01"}, {"cfree4", "  "}}, "", {}},
        LineCase{"FreeItemUsedIsNotLookedUpWhileTyping", "cfree3", {{"cinvcode", "A01"}, {"cfree3", "x"}}, "", {}},
        LineCase{"KeyWithoutRule", "fquantity", {{"cinvcode", "?"}, {"darrivedate", "2000-01-01"}}, "", {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ApplyHBody, BusinessTypeChoosesConsignmentItemsOrOthers) {
  struct Case { const char* item; const char* busType; bool found; };
  const Case cases[] = {{"E01", "受托代销", true}, {"A01", "受托代销", false}, {"E01", "普通采购", false},
                        {"A01", "委外加工", true}, {"E01", "", true}, {"A01", "", true}};
  for (const Case& c : cases) {
    headRow = with(headRow, {{"cbustype", c.busType}});
    EXPECT_EQ(check("cinvcode", {line({{"cinvcode", c.item}})}), c.found ? "" : kItem) << c.item << c.busType;
  }
}

class LineRights : public ApplyHBody, public ::testing::WithParamInterface<DataRightCase> {};

TEST_P(LineRights, AreAskedOnlyWhenTheSwitchIsOn) {
  const DataRightCase& c = GetParam();
  const std::vector<Attributes> lines{line({{c.key, c.typed}})};
  EXPECT_EQ(check(c.key, lines, 5), "");
  info->set(c.sessionSwitch, true);
  EXPECT_EQ(check(c.key, lines, 5), c.refusal);
  EXPECT_EQ(body->replacements(), 0u);
  apply.m_UseMode = UseMode::BS;
  EXPECT_EQ(check("all", {line({{"cinvcode", "?"}}, ""), lines[0]}), c.passVerdict);
  grant(c.kind, c.code);
  EXPECT_EQ(check(c.key, lines, 5), "");
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, LineRights,
    ::testing::Values(DataRightCase{"ItemWithoutRowPart", "cinvcode", "A01", "bCheckInvAuth", "Inventory", "A01",
                                "对不起，您没有录入该存货的权限！", "对不起，您没有录入该存货的权限！\r"},
                      DataRightCase{"VendorNamingTheRow", "cvenabbname", "华东精工", "bCheckVendorAuth", "Vendor", "V001",
                                "对不起，您没有录入第[5]行供应商的权限！", "对不起，您没有录入第[2]行供应商的权限！\r"}),
    [](const auto& info) { return std::string(info.param.name); });

struct DateCase {
  const char* name;
  const char* arrive;
  const char* required;
  const char* headDate;
  std::vector<const char*> messages;  // in the order the rules report them
};

const char* const kArriveEarly = "第[1]行建议订货日期必须大于等于请购单日期！";
const char* const kRequiredEarly = "第[1]行需求日期必须大于等于请购单日期！";
const char* const kArriveLate = "第[1]行建议订货日期不能大于需求日期！";

class LineDates : public ApplyHBody, public ::testing::WithParamInterface<DateCase> {};

// Client mode: the first message alone; browser mode: every message, each without a carriage return.
TEST_P(LineDates, AreHeldAgainstTheRequisitionDateInTheWholePass) {
  const DateCase& c = GetParam();
  headRow = with(headRow, {{"ddate", c.headDate}});
  const std::vector<Attributes> lines{line({{"cinvcode", "A01"}, {"darrivedate", c.arrive}, {"drequirdate", c.required}})};
  std::string all;
  for (const char* m : c.messages) all += m;
  EXPECT_EQ(check("all", lines), c.messages.empty() ? "" : c.messages.front());
  apply.m_UseMode = UseMode::BS;
  EXPECT_EQ(check("all", lines), all);
  EXPECT_EQ(check("darrivedate", lines), "");  // only the whole pass compares dates
}

INSTANTIATE_TEST_SUITE_P(
    Rules, LineDates,
    ::testing::Values(
        DateCase{"None", "", "", "2026-03-02T00:00:00", {}},
        DateCase{"EqualDates", "2026-03-02", "2026-03-02T00:00:00", "2026-03-02T00:00:00", {}},
        DateCase{"TimesAreCutOff", "2026-03-02T23:00:00", "2026-03-02T08:00:00", "2026-03-02T12:00:00", {}},
        DateCase{"ArrivalADayEarly", "2026-03-01T00:00:00", "", "2026-03-02T00:00:00", {kArriveEarly}},
        DateCase{"RequiredADayEarly", "", "2026-03-01", "2026-03-02", {kRequiredEarly}},
        DateCase{"ArrivalAfterRequired", "2026-03-10", "2026-03-05", "2026-03-02", {kArriveLate}},
        DateCase{"AllThree", "2026-03-01", "2026-02-28", "2026-03-02", {kArriveEarly, kRequiredEarly, kArriveLate}},
        DateCase{"UnreadableArrival", "2026-02-30", "2026-03-05", "2026-03-02", {kArriveEarly, kArriveLate}},
        DateCase{"UnreadableRequired", "2026-03-05", "soon", "2026-03-02", {kRequiredEarly, kArriveLate}},
        DateCase{"EmptyRequisitionDate", "2026-03-05", "2026-03-06", "", {kArriveEarly, kRequiredEarly}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ApplyHBody, FreeItemsAreCheckedAgainstTheSwitchesAndInBrowserModeTheirLists) {
  const Attributes good{{"cinvcode", "A01"}, {"cfree1", "R"}, {"cfree2", "大"}, {"cfree3", "70度"}, {"cfree10", "甲"}};
  const Attributes swapped{{"cinvcode", "A01"}, {"cfree1", "大"}, {"cfree2", "红"}, {"cfree3", "甲"}, {"cfree10", "70度"}};
  EXPECT_EQ(check("all", {line(swapped)}), "");  // client mode does not look values up
  apply.m_UseMode = UseMode::BS;
  EXPECT_EQ(check("all", {line(good)}), "");
  EXPECT_EQ(check("all", {line(swapped)}),
            "第[1]行自由项1录入不正确，请检查！\r第[1]行自由项2录入不正确，请检查！\r"
            "第[1]行自由项3录入不正确，请检查！\r第[1]行自由项10录入不正确，请检查！\r");
  EXPECT_EQ(check("all", {line(with(good, {{"cfree4", "x"}}))}),
            "第[1]行没有自由项4设置，不能输入！第[1]行自由项4录入不正确，请检查！\r");
  EXPECT_EQ(check("cfree4", {line(with(good, {{"cfree4", "x"}})), line({{"cinvcode", "B02"}, {"cfree4", "y"}})}),
            "第[3]行没有自由项4设置，不能输入！第[3]行没有自由项4设置，不能输入！");
}

TEST_F(ApplyHBody, WholePassRunsTheRulesOfEachChangedLineInOrder) {
  const std::vector<Attributes> lines{
      line({{"cinvcode", "?"}}, ""),
      line({{"cinvcode", "?"}, {"darrivedate", "2026-03-01"}, {"cvenabbname", "V009"}, {"citem_class", "zz"},
            {"citemcode", "RD1"}}),
      line({{"cinvcode", "A01"}, {"citem_class", "97"}, {"citemcode", "RD1"}}, "D")};
  EXPECT_EQ(check("ALL", lines), "第[2]行建议订货日期必须大于等于请购单日期！");
  apply.m_UseMode = UseMode::BS;
  EXPECT_EQ(check("all", lines),
            "第[2]行建议订货日期必须大于等于请购单日期！第[2]行存货录入不正确，请检查！\r"
            "第[2]行供应商录入不正确或已经停用，请检查！\r第[2]行项目录入不正确，请检查！\r"
            "第[2]行项目大类录入不正确，请检查！\r");
  EXPECT_EQ(body->replacements(), 0u);
}

TEST_F(ApplyHBody, AProjectTableStaysFromAnEarlierLineWhenTheClassHasNone) {
  apply.m_UseMode = UseMode::BS;
  const Attributes noClass{{"cinvcode", "A01"}, {"citem_class", "zz"}, {"citemcode", "RD1"}};
  EXPECT_EQ(check("all", {line({{"cinvcode", "A01"}, {"citem_class", "97"}, {"citemcode", "RD1"}}), line(noClass)}),
            "第[2]行项目大类录入不正确，请检查！\r");
  EXPECT_EQ(check("citemcode", {line(noClass)}), "第[3]行项目录入不正确，请检查！");
}

TEST_F(ApplyHBody, FailingStepsAreSkippedAndTheCallGoesOn) {
  // Without a head the requisition date cannot be read, so the line date is refused; the item is
  // still looked up (without a business type, consignment items too).
  apply.m_UseMode = UseMode::BS;
  body = voucher({line({{"cinvcode", "E01"}, {"darrivedate", "2026-03-05"}})});
  EXPECT_EQ(apply.VerifyBody("all", *body, nullptr, 0), kArriveEarly);
  // Without a connection nothing is found, and the failing step is recorded.
  apply.m_Cnn.reset();
  EXPECT_EQ(check("cinvcode", {line({{"cinvcode", "A01"}})}), kItem);
  ASSERT_FALSE(apply.skippedSteps().empty());
  EXPECT_EQ(apply.skippedSteps().front().step, "running the look-up of cInvCode");
}

}  // namespace
}  // namespace tallyward::test
