// Order line entry on a real ERP database, one case per line (item, replies, unit, projects, free
// items, arrival date, tax of a line and of the order); then the record of a step that failed.
#include "support/erp_fixture.h"

namespace tallyward::test {
namespace {

class HpoBody : public EntryTest<ClsS_VerifyHPO> {
 protected:
  HpoBody() {
    lineMasterData();
    sql(R"(
      INSERT INTO Inventory (cInvCode, cInvName, cInvAddCode, cGroupCode, iGroupType, cComUnitCode,
                             cPUComUnitCode, iTaxRate, bfree3, bInvEntrust, bService, dEDate) VALUES
        ('A01', '螺栓', 'ADD1', '01', 0, '0101', NULL, 13, 1, 0, 0, NULL),
        ('B02', 'A01', NULL, '01', 0, '0101', NULL, 13, 0, 0, 0, NULL),
        ('P02', '端盖', NULL, '02', 1, '0201', '0202', NULL, 0, 0, 0, NULL),
        ('E01', '代销油', NULL, '01', 0, '0101', NULL, 13, 0, 1, 0, NULL),
        ('X01', '旧轴承', NULL, '01', 0, '0101', NULL, 13, 0, 0, 0, '2025-06-30 00:00:00');
      INSERT INTO fItem (cItem_Class, cItem_Name, cTable) VALUES ('66', '坏表', 'fitemss97 WHERE 1=1 --');
      -- Free items 2 and 3 use lists 21 and 28; the neighbouring lists hold the values typed.
      INSERT INTO UserDefine (cID, cValue, cAlias) VALUES ('28', '70度', '70A'), ('22', '红', 'R'), ('20', '红', 'R'),
        ('27', '99度', 'C'), ('29', '99度', 'C');
      INSERT INTO venandinv (cVenCode, cInvCode, cVenInvCode) VALUES ('V001', 'A01', 'VA1'), ('V002', 'B02', 'VB2');
    )");
    headRow = {{"cvencode", "V001"}, {"dpodate", "2026-03-02T00:00:00"}, {"cexch_name", "人民币"},
               {"nflat", "2"}, {"itaxrate", "17"}, {"cbustype", "普通采购"}};
  }
};

const std::string kItem = "存货录入不正确，请检查！";
const char* const kLatest =
    "UPDATE accinformation SET cValue='最新价格' WHERE cName='cOtherCostEditMode';"
    "INSERT INTO PO_Pomain (POID, cVenCode) VALUES (1, 'V001');"
    "INSERT INTO PO_Podetails (ID, POID, cInvCode, iUnitPrice, iTaxPrice, iPerTaxRate) VALUES (1, 1, 'P02', 2.5, 2.8, NULL);"
    "INSERT INTO tw_inspection VALUES ('V001', 'P02')";
const Attributes kFree{{"cinvcode", "A01"}, {"cfree2", "红"}, {"cfree3", "99度"}};  // A01 uses free item 3 only
// Each line's tax is off by 0.01, within the line's tolerance; two lines are off by 0.02.
const Attributes kOff{{"cinvcode", "A01"}, {"imoney", "100"}, {"ipertaxrate", "17"}, {"itax", "17.01"}};
Attributes taxed(const char* tax) { return {{"imoney", "100"}, {"ipertaxrate", "17"}, {"itax", tax}}; }

const EntryCase kCases[] = {
    // An exact code wins over the item named like it (B02 is named A01).
    {"ItemByCode", "cInvCode", {}, {line({{"cinvcode", "A01"}})}, "", {{"cInvCode", "A01"}}, kSome},
    {"ItemByName", "cinvcode", {}, {line({{"cinvcode", "螺栓"}})}, "", {{"cInvCode", "A01"}}, kSome},
    {"ItemByAnotherVendorsCode", "cinvcode", {}, {line({{"cinvcode", "VB2"}})}, "第[7]行" + kItem, {}, -1, CS, 7},
    {"ConsignmentItemOnAnOrdinaryOrder", "cinvcode", {}, {line({{"cinvcode", "E01"}})}, "第[1]行" + kItem},
    {"ConsignmentItemOnAConsignmentOrder", "cinvcode", {{"cbustype", "受托代销"}}, {line({{"cinvcode", "E01"}})}, "", {{"cInvCode", "E01"}}, kSome},
    // A line typed into stays checked though it is unchanged.
    {"UnchangedLineWhileTyping", "cinvcode", {}, {line({{"cinvcode", "X01"}}, "")}, "第[1]行" + kItem},
    {"ItemCleared", "cinvcode", {}, {line({{"cinvcode", ""}})}, "", {{"cInvCode", ""}, {"ipertaxrate", ""}}, 30},
    // The latest price in local currency (2.5 at rate 2), its missing tax rate taken from the
    // order, 3 boxes, the inspection flag and the price list's price.
    {"ItemReplyTail", "cinvcode", {}, {line({{"cinvcode", "P02"}, {"iquantity", "-30"}})}, "",
     {{"ipertaxrate", "17"}, {"iNatUnitPrice", "5"}, {"iNum", "-3"}, {"bGsp", "是"}, {"iUnitPrice", "6.8"}, {"iPerTaxRate", "13"}, {"bTaxCost", "0"}},
     kSome, CS, 1, {"bQMStart"}, kLatest},
    {"ItemOfARequisitionLineWithoutQuantity", "cinvcode", {}, {line({{"cinvcode", "P02"}, {"iquantity", "0"}, {"iappids", "5"}})},
     "", {{"iNum", ""}}, kSome},
    {"Quantity", "iquantity", {}, {line({{"cinvcode", "P02"}, {"iquantity", "10"}})}, "",
     {{"iUnitPrice", "6.8"}, {"iPerTaxRate", "13"}, {"bTaxCost", "0"}}},
    {"QuantityOfARequisitionLine", "iquantity", {}, {line({{"cinvcode", "P02"}, {"iquantity", "10"}, {"iappids", "5"}})}, "", {}, 0},
    {"DirectShipmentTakesItemsFromSalesOrders", "cinvcode", {{"cbustype", "直运采购"}}, {line({{"cinvcode", "A01"}})},
     "直运业务采购订单只能参照销售订单录入存货！", {}, -1, CS, 1, {}, setTo("bZYXS", "True")},
    {"Unit", "cinva_unit", {}, {line({{"cinvcode", "P02"}, {"cinva_unit", "箱"}})}, "",
     {{"cUnitId", "0202"}, {"cInvA_Unit", "箱"}, {"iInvExchRate", "10"}}},
    {"UnitOfAnotherGroup", "cinva_unit", {}, {line({{"cinvcode", "A01"}, {"cinva_unit", "箱"}})}, "第[2]行单位录入不正确或已经停用，请检查！", {}, -1, CS, 2},
    {"ProjectOfTheItemsClass", "citemcode", {}, {line({{"citem_class", "00"}, {"citemcode", "A01"}})}, "", {{"cItemName", "螺栓"}}},
    // A class whose table is not a plain name has no projects to offer.
    {"ProjectOfABadTable", "citemcode", {}, {line({{"citem_class", "66"}, {"citemcode", "RD1"}})}, "第[1]行项目录入不正确，请检查！"},
    {"ProjectClass", "citem_class", {}, {line({{"citem_class", "97"}})}, "", {{"cItem_Class", "97"}, {"cItem_Name", "研发项目"}}},
    {"ProjectClassCleared", "citem_class", {}, {line({{"citem_class", ""}})}, "",
     {{"cItem_Class", ""}, {"cItem_Name", ""}, {"cItemCode", ""}, {"cItemName", ""}}},
    // Free items: the item's switches while typing, their lists only in a browser-mode whole pass.
    {"FreeItemNotUsedBS", "cFree2", {}, {line(kFree), line(kFree)}, "第[3]行没有自由项2设置，不能输入！第[3]行没有自由项2设置，不能输入！", {}, -1, BS, 3},
    {"FreeItemsWholePassBS", "all", {}, {line(kFree)}, "第[1]行没有自由项2设置，不能输入！第[1]行自由项2录入不正确，请检查！\r第[1]行自由项3录入不正确，请检查！\r", {}, -1, BS},
    {"FreeItemListsNotInCS", "all", {}, {line(with(kFree, {{"cfree2", ""}}))}},
    // An unknown item leaves the switches of the line before.
    {"FreeItemsOfAnUnknownItem", "all", {}, {line({{"cinvcode", "A01"}}), line({{"cinvcode", "ZZZ"}, {"cfree3", "70度"}})},
     "第[2]行" + kItem + "\r", {}, -1, BS},
    {"ArrivalBeforeTheOrder", "all", {}, {line({{"cinvcode", "A01"}, {"darrivedate", "2026-03-01T00:00:00"}})}, "第[1]行到货日期不能在订货日期之前，请检查！"},
    {"ArrivalWhileTyping", "darrivedate", {}, {line({{"cinvcode", "A01"}, {"darrivedate", "2026-01-01"}})}},
    {"LineTaxAtTheTolerance", "itax", {}, {line(taxed("17.01"))}, "", {}, -1, CS, 5},
    {"LineTaxAbove", "itax", {}, {line(taxed("17.02"))}, "第[5]行税额录入超出容差范围！", {}, -1, CS, 5},
    {"LineTaxNotControlled", "itax", {}, {line(taxed("20"))}, "", {}, -1, CS, 1, {}, setTo("bControlTax", "True")},
    {"LineTaxOfAMoneyThatIsNoNumber", "itax", {}, {line(with(taxed("1"), {{"imoney", "abc"}}))}, "第[1]行税额录入超出容差范围！"},
    {"TotalTaxCS", "all", {}, {line(kOff), line(kOff, "")}, "税额合计容差超出范围！"},
    {"TotalTaxOfLowerRates", "all", {}, {line(kOff), line(with(kOff, {{"ipertaxrate", "13"}, {"itax", "13.01"}}))}},
    // An unchanged line is counted and has its tax checked, but is not looked up.
    {"TotalTaxWithAnUnchangedLine", "all", {},
     {line(with(kOff, {{"itax", "18"}, {"cinvcode", "?"}}), ""), line(with(kOff, {{"cinvcode", "?"}}))},
     "第[1]行税额录入超出容差范围！\r第[2]行" + kItem + "\r税额合计容差超出范围！\r", {}, -1, BS},
};

TEST_P(HpoBody, Case) { run(GetParam()); }
INSTANTIATE_TEST_SUITE_P(Order, HpoBody, ::testing::ValuesIn(kCases), entryName);

TEST_F(HpoBody, AFailingStepIsRecordedAndTheCallGoesOn) {
  // A database without the rights table: the right cannot be checked, so the entry is refused,
  // and the step is recorded with the database's error.
  info->set("bCheckInvAuth", true);
  sql("DROP TABLE tw_data_right");
  EXPECT_EQ(verifyBody("cinvcode", {line({{"cinvcode", "A01"}})}), "对不起，您没有录入该存货的权限！");
  EXPECT_EQ(doc->replacements(), 0u);
  ASSERT_EQ(obj.skippedSteps().size(), 1u);
  EXPECT_EQ(obj.skippedSteps()[0].step, "checking the data right of cInvCode");
  EXPECT_EQ(obj.skippedSteps()[0].number, err::Database);
  // The next call starts a new record.
  info->set("bCheckInvAuth", false);
  EXPECT_EQ(verifyBody("cinvcode", {line({{"cinvcode", "A01"}})}), "");
  EXPECT_TRUE(obj.skippedSteps().empty());
}

}  // namespace
}  // namespace tallyward::test
