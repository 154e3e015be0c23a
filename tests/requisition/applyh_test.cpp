// Requisition field entry on a real ERP database, one case per line: the four head look-ups; the
// item with its filters and reply, vendor, projects, free items, rights and the line dates.
#include "support/erp_fixture.h"

namespace tallyward::test {
namespace {

class ApplyHHead : public EntryTest<ClsS_VerifyApplyH> {
 protected:
  ApplyHHead() {
    headMasterData();
    sql(R"(
      INSERT INTO Person (cPersonCode, cPersonName, cDepCode) VALUES ('0002', '赵敏', NULL);
      INSERT INTO Vendor (cVenCode, cVenAbbName, dEndDate) VALUES
        ('V001', '华东精工', NULL), ('V007', 'O''Brien', NULL), ('V009', '东方五金', '2025-12-31 00:00:00');
      INSERT INTO ComputationUnit (cComUnitCode, cComUnitName, cGroupCode, iChangRate, bMainUnit) VALUES
        ('0101', '千克', '01', 1, 1);
      INSERT INTO Inventory (cInvCode, cInvName, cInvAddCode, cInvStd, cInvCCode, cComUnitCode, iTaxRate,
                             cInvDefine1, bPurchase, bService, bInvType, bInvEntrust, dEDate, bfree3) VALUES
        ('A00', 'B02', NULL, NULL, '01', '0101', 13, NULL, 1, 0, 0, 0, NULL, 0),
        ('A01', '螺栓', 'ADD1', 'M8', '01', '0101', 13, '宝钢', 1, 0, 0, 0, NULL, 1),
        ('B02', 'A01', NULL, NULL, '01', '0101', 13, NULL, 1, 0, 0, 0, NULL, 0),
        ('E01', '代销油', NULL, NULL, '01', '0101', 13, NULL, 1, 0, 0, 1, NULL, 0),
        ('N01', '自制件', NULL, NULL, '02', '0101', 13, NULL, 0, 0, 0, 0, NULL, 0),
        ('X01', '旧轴承', NULL, NULL, '01', '0101', 13, NULL, 1, 0, 0, 0, '2025-06-30 00:00:00', 0);
      UPDATE Inventory SET bfree1 = 1, bfree2 = 1, bfree10 = 1 WHERE cInvCode = 'A01';
      INSERT INTO venandinv (cInvCode, cVenCode, cVenInvCode) VALUES ('A01', 'V001', 'HD-88');
      INSERT INTO fItem (cItem_Class, cItem_Name, cTable) VALUES ('97', '研发项目', 'fitemss97'), ('00', '存货核算', 'INVENTORY');
      INSERT INTO fitemss97 (cItemCode, cItemName) VALUES ('RD1', '轻量化');
      INSERT INTO UserDefine (cID, cValue, cAlias) VALUES ('20', '红', 'R'), ('21', '大', NULL), ('28', '70度', NULL), ('35', '甲', NULL);
    )");
  }
};

const char* const kDep = "部门录入不正确或是非末级，请检查！";
const Attributes kWrongHead{{"cdepname", "03"}, {"cpayname", "01"}, {"cptname", "x' OR '1'='1"}, {"cpersonname", "王磊"}};

const EntryCase kHeadCases[] = {
    {"DepartmentByName", "cDepName", {{"cdepname", "采购部"}}, {}, "", {{"cDepCode", "01"}, {"cDepName", "采购部"}}},
    {"PurchaseTypeByName", "cptname", {{"cptname", "生产采购"}}, {}, "", {{"cPTCode", "01"}, {"cPTName", "生产采购"}}},
    {"SalesmanByName", "cPersonName", {{"cpersonname", "王磊"}}, {}, "",
     {{"cPersonCode", "0001"}, {"cPersonName", "王磊"}, {"cDepCode", "01"}, {"cDepName", "采购部"}}},
    {"SalesmanWithoutDepartment", "cpersonname", {{"cpersonname", "0002"}}, {}, "",
     {{"cPersonCode", "0002"}, {"cPersonName", "赵敏"}, {"cDepCode", ""}, {"cDepName", ""}}},
    {"WholePassBS", "all", kWrongHead, {}, std::string(kDep) + "\r采购类型录入不正确，请检查！\r", {}, -1, BS},
    {"WholePassCS", "All", kWrongHead, {}, kDep},
    {"WholePassFillsNothing", "all", {{"cdepname", ""}, {"cpayname", ""}, {"cptname", "01"}, {"cpersonname", "王磊"}}},
    {"DepartmentRightBS", "all", {{"cdepname", "采购部"}, {"cptname", "无"}}, {}, "对不起，您没有录入该部门的权限！\r采购类型录入不正确，请检查！\r", {}, -1, BS, 1,
     {"bCheckDepartAuth"}},
    {"SalesmanRightHeld", "cpersonname", {{"cpersonname", "王磊"}}, {}, "", {{"cPersonCode", "0001"}}, 4, CS, 1,
     {"bCheckPersonAuth"}, grant("Person", "0001")},
};

TEST_P(ApplyHHead, Case) { run(GetParam()); }
INSTANTIATE_TEST_SUITE_P(Requisition, ApplyHHead, ::testing::ValuesIn(kHeadCases), entryName);

TEST_F(ApplyHHead, HeadRunTimeErrorsReachTheCaller) {
  sql("DROP TABLE PurchaseType");
  EXPECT_EQ(errorNumber([&] { verifyHead("cptname", {{"cptname", "01"}}); }), err::Database);
  info->set("bCheckDepartAuth", true);
  sql("DROP TABLE tw_data_right");
  EXPECT_EQ(errorNumber([&] { verifyHead("cdepname", {{"cdepname", "01"}}); }), err::Database);
  EXPECT_EQ(errorNumber([&] { obj.VerifyHead("cdepname", *voucher({})); }), err::ObjectNotSet);  // a head without a row
}

class ApplyHBody : public ApplyHHead {
 protected:
  ApplyHBody() { headRow = {{"ddate", "2026-03-02T00:00:00"}, {"cbustype", "普通采购"}}; }
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
const std::string kItem = "第[3]行存货录入不正确，请检查！";
const char* const kArriveEarly = "第[1]行建议订货日期必须大于等于请购单日期！";
const char* const kRequiredEarly = "第[1]行需求日期必须大于等于请购单日期！";
const char* const kArriveLate = "第[1]行建议订货日期不能大于需求日期！";
Attributes dated(const char* arrive, const char* required) { return {{"cinvcode", "A01"}, {"darrivedate", arrive}, {"drequirdate", required}}; }
const Attributes kGood{{"cinvcode", "A01"}, {"cfree1", "R"}, {"cfree2", "大"}, {"cfree3", "70度"}, {"cfree10", "甲"}};
const Attributes kNoClass{{"cinvcode", "A01"}, {"citem_class", "zz"}, {"citemcode", "RD1"}};

const EntryCase kLineCases[] = {
    {"ItemByExactCode", "cInvCode", {}, {line({{"cinvcode", "A01"}})}, "", kBolt, -1, CS, 3},
    {"ItemByCodeBeforeANameAlike", "cinvcode", {}, {line({{"cinvcode", "B02"}})}, "",
     itemReply({"B02", "", "01", "", "A01", "", "千克"}), -1, CS, 3},
    {"ItemByTheLineVendorsCode", "cinvcode", {}, {line({{"cinvcode", "HD-88"}, {"cvencode", "V001"}})}, "",
     itemReply({"A01", "HD-88", "01", "ADD1", "螺栓", "M8", "千克"}, "宝钢"), -1, CS, 3},
    {"ItemByAnotherVendorsCode", "cinvcode", {}, {line({{"cinvcode", "HD-88"}, {"cvencode", "V007"}})}, kItem, {}, -1, CS, 3},
    {"ItemNotPurchased", "cinvcode", {}, {line({{"cinvcode", "N01"}})}, kItem, {}, -1, CS, 3},
    {"ItemCleared", "cinvcode", {}, {line({{"cinvcode", ""}})}, "", itemReply({"", "", "", "", "", "", ""}, "", "")},
    {"ConsignmentItemOnAConsignmentRequisition", "cinvcode", {{"cbustype", "受托代销"}}, {line({{"cinvcode", "E01"}})}, "", {}, 24},
    {"ConsignmentItemOnAnOrdinaryRequisition", "cinvcode", {}, {line({{"cinvcode", "E01"}})}, kItem, {}, -1, CS, 3},
    // A class without a table keeps the table of an earlier line in a pass.
    {"ProjectTableOfAnEarlierLine", "all", {},
     {line({{"cinvcode", "A01"}, {"citem_class", "97"}, {"citemcode", "RD1"}}), line(kNoClass)}, "第[2]行项目大类录入不正确，请检查！\r", {}, -1, BS},
    {"ProjectWithoutTable", "citemcode", {}, {line(kNoClass)}, "第[3]行项目录入不正确，请检查！", {}, -1, CS, 3},
    {"FreeItemListsBS", "all", {}, {line(kGood)}, "", {}, -1, BS},
    {"FreeItemListsSwappedBS", "all", {}, {line({{"cinvcode", "A01"}, {"cfree1", "大"}, {"cfree2", "红"}, {"cfree3", "甲"}, {"cfree10", "70度"}})},
     "第[1]行自由项1录入不正确，请检查！\r第[1]行自由项2录入不正确，请检查！\r第[1]行自由项3录入不正确，请检查！\r" "第[1]行自由项10录入不正确，请检查！\r", {}, -1, BS},
    {"FreeItemWithoutTheSwitchBS", "all", {}, {line(with(kGood, {{"cfree4", "x"}}))}, "第[1]行没有自由项4设置，不能输入！第[1]行自由项4录入不正确，请检查！\r", {}, -1, BS},
    {"ItemRightWithoutRowPart", "cinvcode", {}, {line({{"cinvcode", "A01"}})}, "对不起，您没有录入该存货的权限！", {}, -1, CS, 5, {"bCheckInvAuth"}},
    {"VendorRightNamingTheRow", "cvenabbname", {}, {line({{"cvenabbname", "华东精工"}})}, "对不起，您没有录入第[5]行供应商的权限！", {}, -1, CS, 5,
     {"bCheckVendorAuth"}},
    {"VendorRightNamingTheRowBS", "all", {}, {line({{"cinvcode", "?"}}, ""), line({{"cvenabbname", "华东精工"}})},
     "对不起，您没有录入第[2]行供应商的权限！\r", {}, -1, BS, 1, {"bCheckVendorAuth"}},
    // Line dates against the requisition date, in a whole pass only: in a browser-mode pass each
    // message without a carriage return; a client-mode pass stops at the first.
    {"DatesTimesCutOff", "all", {{"ddate", "2026-03-02T12:00:00"}}, {line(dated("2026-03-02T23:00:00", "2026-03-02T08:00:00"))},
     "", {}, -1, BS},
    {"AllThreeDates", "all", {}, {line(dated("2026-03-01", "2026-02-28"))},
     std::string(kArriveEarly) + kRequiredEarly + kArriveLate, {}, -1, BS},
    {"AllThreeDatesCS", "all", {}, {line(dated("2026-03-01", "2026-02-28"))}, kArriveEarly},
    {"UnreadableArrival", "all", {}, {line(dated("2026-02-30", "2026-03-05"))}, std::string(kArriveEarly) + kArriveLate, {}, -1, BS},
    {"DatesWhileTyping", "darrivedate", {}, {line(dated("2026-03-01", "2026-02-28"))}},
    // The rules of each changed line in order; unchanged and deleted lines are not looked at.
    {"WholePassInOrderBS", "all", {},
     {line({{"cinvcode", "?"}}, ""), line({{"cinvcode", "?"}, {"darrivedate", "2026-03-01"}, {"cvenabbname", "V009"}, {"citem_class", "zz"}, {"citemcode", "RD1"}}), line({{"cinvcode", "A01"}, {"citem_class", "97"}, {"citemcode", "RD1"}}, "D")},
     "第[2]行建议订货日期必须大于等于请购单日期！第[2]行存货录入不正确，请检查！\r第[2]行供应商录入不正确或已经停用，请检查！\r" "第[2]行项目录入不正确，请检查！\r第[2]行项目大类录入不正确，请检查！\r", {}, -1, BS},
};

TEST_P(ApplyHBody, Case) { run(GetParam()); }
INSTANTIATE_TEST_SUITE_P(Requisition, ApplyHBody, ::testing::ValuesIn(kLineCases), entryName);

TEST_F(ApplyHBody, FailingStepsAreSkippedAndTheCallGoesOn) {
  // Without a head the requisition date cannot be read, so the line date is refused; the item is
  // still looked up (without a business type, consignment items too).
  obj.m_UseMode = BS;
  doc = voucher({line({{"cinvcode", "E01"}, {"darrivedate", "2026-03-05"}})});
  EXPECT_EQ(obj.VerifyBody("all", *doc, nullptr, 0), kArriveEarly);
  // Without a connection nothing is found, and the failing step is recorded.
  obj.m_Cnn.reset();
  EXPECT_EQ(verifyBody("cinvcode", {line({{"cinvcode", "A01"}})}, 3), kItem);
  ASSERT_FALSE(obj.skippedSteps().empty());
  EXPECT_EQ(obj.skippedSteps().front().step, "running the look-up of cInvCode");
}

}  // namespace
}  // namespace tallyward::test
