// Arrival note field entry on a real ERP database, one case per line: the head's rate, then free items,
// batch and shelf-life dates, items, inspection, replies and tax of the lines.
#include "support/erp_fixture.h"

namespace tallyward::test {
namespace {

class ArriveHHead : public EntryTest<ClsS_VerifyArriveH> {
 protected:
  ArriveHHead() {
    obj.m_bPositive = true;
    headMasterData();
    lineMasterData();
    sql(R"(
      INSERT INTO Inventory (cInvCode, cInvName, cInvAddCode, cGroupCode, iGroupType, cComUnitCode, cPUComUnitCode,
                             iTaxRate, bfree3, bInvEntrust, bService, bInvBatch, bInvQuality, bPropertyCheck, dEDate) VALUES
        ('A01', '螺栓', 'ADD1', '01', 0, '0101', NULL, 13, 0, 0, 0, 0, 0, 0, NULL),
        ('R03', '密封圈', NULL, '01', 0, '0101', NULL, 13, 1, 0, 0, 0, 0, 0, NULL),
        ('B02', 'A01', NULL, '01', 0, '0101', NULL, 13, 0, 0, 0, 0, 0, 0, NULL),
        ('P02', '端盖', NULL, '02', 1, '0201', '0202', 13, 0, 0, 0, 0, 0, 1, NULL),
        ('G01', '环氧胶', NULL, '01', 0, '0101', NULL, 13, 0, 0, 0, 1, 1, 1, NULL),
        ('F01', '铜线', NULL, '01', 2, '0101', NULL, 13, 0, 0, 0, 0, 0, 1, NULL),
        ('E01', '代销油', NULL, '01', 0, '0101', NULL, 13, 0, 1, 0, 0, 0, 0, NULL),
        ('S01', '运输费', NULL, '01', 0, '0101', NULL, 9, 0, 0, 1, 0, 0, 0, NULL),
        ('X01', '旧轴承', NULL, '01', 0, '0101', NULL, 13, 0, 0, 0, 0, 0, 0, '2025-06-30 00:00:00');
      INSERT INTO WareHouse (cWhCode, cWhName) VALUES ('01', '原材料库');
      INSERT INTO Vendor (cVenCode, cVenAbbName, cVenDepart) VALUES ('V001', '华东精工', '01');
      INSERT INTO fItem (cItem_Class, cItem_Name, cTable) VALUES ('55', '无表项目', NULL);
      INSERT INTO UserDefine (cID, cValue, cAlias) VALUES ('29', '一等品', 'A');
      INSERT INTO PU_ArrivalVouchs (Autoid, ID, cInvCode, iOriCost, iOriTaxCost, iTaxRate) VALUES (1, 1, 'P02', 2.5, 2.8, NULL);
      INSERT INTO tw_inspection VALUES ('V001', 'P02');
    )");
    setting("cOtherCostEditMode", "最新价格");
    setting("cCostSource", "到货单");
    info->set("bPTHavePO", false);
    info->set("bSTHavePO", false);
  }
};

const EntryCase kHeadCases[] = {
    {"WholePassBS", "ALL", {{"cvenabbname", "x' OR '1'='1"}, {"cexch_name", "英镑"}}, {},
     "供应商录入不正确或已经停用，请检查！\r外币录入不正确，请检查！\r", {}, -1, BS},
    // No date rule in a pass, and nothing filled in.
    {"WholePassFillsNothing", "all", {{"cdepname", "采购部"}, {"ddate", "2026-03-02"}, {"cexch_name", "USD"}}},
    {"DateWithoutRate", "ddate", {{"ddate", "2026-03-03"}, {"cexch_name", "美元"}}, {}, "", {{"iExchRate", "1"}}},
};

TEST_P(ArriveHHead, Case) { run(GetParam()); }
INSTANTIATE_TEST_SUITE_P(Arrival, ArriveHHead, ::testing::ValuesIn(kHeadCases), entryName);

class ArriveHBody : public ArriveHHead {
 protected:
  ArriveHBody() {
    headRow = {{"cvencode", "V001"}, {"ddate", "2026-03-02T00:00:00"}, {"cexch_name", "人民币"},
               {"iexchrate", "2"},   {"itaxrate", "17"},               {"cbustype", "普通采购"}};
  }
};

const char* const kGsp = "INSERT INTO accinformation (cSysID, cName, cValue) VALUES ('ST', 'dGspStartDate', '2026-01-01')";
const std::string kItem = "存货录入不正确或已经停用，请检查！";
const std::string kInspected = "Gsp系统已启用，第[4]行存货为浮动换算率[是否检验]字段不能为[是]，请检查！";
const char* const kOrdinary = "设置了“普通业务必有订单”选项后，只能参照录入存货，请检查！";
const char* const kConsignment = "设置了“受托代销业务必有订单”选项后，只能参照录入存货，请检查！";
const Attributes kR03{{"cinvcode", "R03"}};  // uses free item 3 only
// A batch-managed item with shelf life, inspected; one without either.
const Attributes kG01{{"cinvcode", "G01"}, {"cbatch", "B1"}, {"bgsp", "是"}, {"dvdate", "2027-03-01"}};
const Attributes kA01{{"cinvcode", "A01"}};
const Attributes kLate = with(kG01, {{"dpdate", "2026-03-03T00:00:00"}, {"dvdate", "2026-03-02T00:00:00"}});
const Attributes kF01{{"cinvcode", "F01"}, {"bgsp", "是"}};  // a floating-rate item
const Attributes kStore{{"cinvcode", "A01"}, {"cwhname", "无此库"}};
const Pairs kPrice{{"ioricost", "6.8"}, {"iTaxRate", "13"}, {"bTaxCost", "0"}};
// The reply of P02 (-30 pieces): its 32 columns (its inspection flag, the latest arrival price 2.5,
// the tax rate), then the local price, boxes, cleared dates, the inspection flag and price list's price.
std::pair<Pairs, int> itemReply(const char* bgsp, const char* taxRate, Pairs extras) {
  Pairs p{{"cInvCode", "P02"}, {"bgsp", bgsp}, {"iinvexchrate", "10"}, {"ioricost", "2.5"}, {"itaxrate", taxRate}};
  p.insert(p.end(), extras.begin(), extras.end());
  p.insert(p.end(), kPrice.begin(), kPrice.end());
  return {p, 32 + static_cast<int>(extras.size()) + 3};
}
const Pairs kPriced{{"iCost", "5"}, {"iNum", "-3"}, {"dpdate", ""}, {"dvdate", ""}};
const auto kInspectedReply = itemReply("是", "17", with(kPriced, {{"bGsp", "是"}}));
const auto kNegative = itemReply("否", "17", with(kPriced, {{"bGsp", "否"}}));
const auto kNoRate = itemReply("是", "", {{"iNum", ""}, {"dpdate", ""}, {"dvdate", ""}});
const Attributes kP02{{"cinvcode", "P02"}, {"iquantity", "-30"}};
Attributes tax(const char* entered) { return {{"iorimoney", "100"}, {"itaxrate", "17"}, {"ioritaxprice", entered}}; }
const std::string kTax = "第[5]行税额录入超出容差范围！";

const EntryCase kLineCases[] = {
    // A blank free item is an empty one.
    {"FreeItemsCSPassStopsAtOnce", "all", {}, {line(with(kR03, {{"cfree3", " "}, {"cfree4", "A"}}))}, "第[1]行有自由项3设置，必须输入！"},
    {"FreeItemsBSPassGoesOn", "all", {}, {line(with(kR03, {{"cfree4", "X"}}))},
     "第[1]行有自由项3设置，必须输入！第[1]行没有自由项4设置，不能输入！第[1]行自由项4录入不正确，请检查！\r", {}, -1, BS},
    {"BatchWithoutBatchManagement", "cbatch", {}, {line(with(kA01, {{"cbatch", "B1"}}))}, "第[1]行没有批次管理，不能录入批号！"},
    {"NoBatchUnderQualityManagement", "all", {}, {line(with(kG01, {{"cbatch", ""}}))}, "第[1]行有批次管理，且已启用GSP或质量管理，必须录入批号！\r", {},
     -1, BS, 1, {"bQMStart"}},
    {"NoBatchNotInspected", "all", {}, {line(with(kG01, {{"cbatch", ""}, {"bgsp", "否"}}))}, "", {}, -1, CS, 1, {"bQMStart"}, kGsp},
    {"NeitherBatchNorExpiryUnderGsp", "all", {}, {line(with(kG01, {{"cbatch", ""}, {"dvdate", ""}}))},
     "第[1]行有批次管理，且已启用GSP或质量管理，必须录入批号！\r第[1]行有保质期管理，且已启用GSP或质量管理，必须录入失效日期！\r", {}, -1, BS, 1, {}, kGsp},
    {"NoExpiryWhileTyping", "dvdate", {}, {line(with(kG01, {{"dvdate", ""}}))}, "", {}, -1, CS, 1, {"bQMStart"}, kGsp},
    {"ProductionDateWithoutShelfLife", "dpdate", {}, {line(with(kA01, {{"dpdate", "2026-01-01"}}))}, "第[1]行没有保质期管理，不能录入生产日期！"},
    {"ProductionDateWithoutShelfLifeBS", "all", {}, {line(with(kA01, {{"dpdate", "2026-01-01"}}))}, "第[1]行没有批次保质期管理，不能录入生产日期！\r", {}, -1, BS},
    {"ExpiryDateWithoutShelfLife", "dvdate", {}, {line(with(kA01, {{"dvdate", "2026-01-01"}}))}, "第[1]行没有保质期管理，不能录入失效日期！", {}, -1, BS},
    {"ExpiryDateWithoutShelfLifeBS", "all", {}, {line(with(kA01, {{"dvdate", "2026-01-01"}}))}, "第[1]行没有批次保质期管理，不能录入失效日期！\r", {}, -1, BS},
    {"EqualDates", "dpdate", {}, {line(with(kG01, {{"dpdate", "2026-03-02T00:00:00"}, {"dvdate", "2026-03-02T23:00:00"}}))}},
    {"MadeAfterExpiry", "dpdate", {}, {line(kLate)}, "第[1]行生产日期不能大于失效日期！"},
    {"BothDateRulesBS", "all", {}, {line(kLate)}, "第[1]行生产日期不能大于失效日期！\r第[1]行生产日期不能大于失效日期！\r", {}, -1, BS},
    {"DatesThatAreNoDates", "all", {}, {line(with(kG01, {{"dpdate", "soon"}}))}, "", {}, -1, BS},
    {"ItemStopped", "cinvcode", {}, {line({{"cinvcode", "X01"}})}, "第[7]行" + kItem, {}, -1, CS, 7},
    {"ConsignmentItemOnAnOrdinaryNote", "cinvcode", {}, {line({{"cinvcode", "E01"}})}, "第[1]行" + kItem},
    {"ItemsOfAWholePassBS", "all", {}, {line({{"cinvcode", "X01"}}), line({{"cinvcode", ""}}), line({{"cinvcode", "S01"}})},
     "第[1]行" + kItem + "\r第[3]行" + kItem + "\r", {}, -1, BS},
    // Emptying the item clears its columns before any order or right refusal.
    {"ItemCleared", "cinvcode", {}, {line({{"cinvcode", ""}})}, "", {{"cInvCode", ""}, {"bgsp", ""}, {"itaxrate", ""}}, 32, CS, 1,
     {"bPTHavePO", "bCheckInvAuth"}},
    {"OrdinaryNeedsAnOrder", "cinvcode", {}, {line({{"cinvcode", "E01"}})}, kOrdinary, {}, -1, CS, 1, {"bPTHavePO"}},
    {"ConsignmentNeedsAnOrder", "cinvcode", {{"cbustype", "受托代销"}}, {line({{"cinvcode", "E01"}})}, kConsignment, {}, -1, CS, 1, {"bSTHavePO"}},
    {"NoOrderNeededInAPass", "all", {}, {line({{"cinvcode", "?"}}), line({{"cinvcode", "E01"}})}, "第[1]行" + kItem, {}, -1, CS, 1,
     {"bPTHavePO"}},
    {"ItemRightBS", "all", {}, {line({{"cinvcode", "A01"}}), line({{"cinvcode", "?"}})}, "对不起，您没有录入该存货的权限！\r第[2]行" + kItem + "\r",
     {}, -1, BS, 1, {"bCheckInvAuth"}},
    {"FloatingRateInspectedWithoutGsp", "bgsp", {}, {line(kF01)}, "", {}, -1, CS, 4},
    {"FloatingRateInspected", "bgsp", {}, {line(kF01)}, kInspected, {}, -1, CS, 4, {}, kGsp},
    {"FixedRateInspected", "bgsp", {}, {line(with(kF01, {{"cinvcode", "A01"}}))}, "", {}, -1, CS, 4, {}, kGsp},
    // The refusal ends even a browser-mode pass, dropping what was collected.
    {"FloatingRateEndsABSPass", "all", {}, {line(kStore), line(kStore), line(kStore), line(kF01), line(kStore)}, kInspected, {},
     -1, BS, 1, {}, kGsp},
    {"WarehouseByName", "cwhname", {}, {line({{"cwhname", "原材料库"}})}, "", {{"cWhCode", "01"}, {"cWhName", "原材料库"}}},
    {"WarehouseUnknown", "cwhname", {}, {line({{"cwhname", "无此项"}})}, "第[2]行仓库录入不正确，请检查！", {}, -1, CS, 2},
    {"ProjectOfAClassWithoutTable", "citemcode", {}, {line({{"citem_class", "55"}, {"citemcode", "RD1"}})}},
    {"ItemReplyInspected", "cinvcode", {}, {line(kP02)}, "", kInspectedReply.first, kInspectedReply.second, CS, 1, {"bQMStart"}},
    {"ItemReplyOfANegativeNote", "cinvcode", {{"bnegative", "True"}}, {line(kP02)}, "", kNegative.first, kNegative.second, CS, 1,
     {"bQMStart"}, "", {{"m_bPositive", false}}},
    {"ItemReplyWithoutRateOrQuantity", "cinvcode", {{"iexchrate", ""}, {"itaxrate", ""}},
     {line(with(kP02, {{"iquantity", "0"}}))}, "", kNoRate.first, kNoRate.second},
    {"Quantity", "iQuantity", {}, {line({{"cinvcode", "P02"}, {"iquantity", "-10"}})}, "", kPrice},
    {"QuantityOfALineCopiedFromAnOrder", "iquantity", {}, {line({{"cinvcode", "P02"}, {"iquantity", "-10"}, {"iposid", "5"}})}, "", {}, 0},
    {"LineTaxAbove", "ioritaxprice", {}, {line(tax("17.02"))}, kTax, {}, -1, CS, 5},
    // The tolerance is not rounded to cents: half a cent refuses a deviation of one cent.
    {"LineTaxHalfACent", "ioritaxprice", {}, {line(tax("17.01"))}, kTax, {}, -1, CS, 5, {}, setTo("iSingleTax", "0.005")},
};

TEST_P(ArriveHBody, Case) { run(GetParam()); }
INSTANTIATE_TEST_SUITE_P(Arrival, ArriveHBody, ::testing::ValuesIn(kLineCases), entryName);

TEST_F(ArriveHBody, FailingStepsAreSkippedAndTheCallGoesOn) {
  // No head document: its values read as empty, and the item is still looked up.
  doc = voucher({line({{"cinvcode", "A01"}})});
  EXPECT_EQ(obj.VerifyBody("cinvcode", *doc, nullptr, 1), "");
  EXPECT_EQ(pairsOf(*doc).front().second, "A01");
  EXPECT_FALSE(obj.skippedSteps().empty());
  // No connection: a look-up that cannot be made does not accept the entry; probes that cannot be
  // asked refuse nothing.
  obj.m_Cnn.reset();
  EXPECT_EQ(verifyBody("cinvcode", {line({{"cinvcode", "A01"}})}), "第[1]行" + kItem);
  EXPECT_EQ(verifyBody("cbatch", {line({{"cinvcode", "A01"}, {"cbatch", "B1"}})}), "");
  EXPECT_EQ(obj.skippedSteps().front().step, "reading the batch management of cInvCode");
}

}  // namespace
}  // namespace tallyward::test
