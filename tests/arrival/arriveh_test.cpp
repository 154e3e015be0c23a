// Arrival note field entry on a real ERP database, one case per line. Head: the look-ups of the
// order's lists as the note wires them, its rate of the note's date and the currency. Lines: free
// items, batch and shelf-life dates, the item with its order and right refusals, the inspection
// flag of floating-rate items, warehouse, unit and projects without a table, the item's reply
// and the quantity's, and the tax tolerances of a line and of the whole note.
#include "support/erp_fixture.h"

namespace tallyward::test {
namespace {

constexpr UseMode CS = UseMode::CS, BS = UseMode::BS;

class ArriveHHead : public EntryTest<ClsS_VerifyArriveH> {
 protected:
  ArriveHHead() {
    headMasterData();
    sql("INSERT INTO Vendor (cVenCode, cVenAbbName, cVenDepart, cVenPerson, dEndDate) VALUES "
        "('V001', '华东精工', '01', NULL, NULL), ('V002', 'O''Brien', NULL, 'a<b & ''c''', NULL), "
        "('V009', '东方五金', NULL, NULL, '2025-12-31 00:00:00')");
  }
};

const char* const kVendor = "供应商录入不正确或已经停用，请检查！";
const char* const kPeriodRates = "UPDATE accinformation SET cValue='True' WHERE cName='iXchgRateStl'";

const EntryCase kHeadCases[] = {
    {"VendorByCodeInAnyCase", "cVenAbbName", {{"cvenabbname", "v001"}}, {}, "", {{"cVenCode", "V001"}, {"cVenAbbName", "华东精工"}}, kSome},
    {"VendorStopped", "cvenabbname", {{"cvenabbname", "东方五金"}}, {}, kVendor},
    {"VendorWithApostrophes", "cvenabbname", {{"cvenabbname", "O'Brien"}}, {}, "",
     {{"cVenAbbName", "O'Brien"}, {"cVenPerson", "a<b & 'c'"}}, kSome},
    {"DepartmentNotALeafBS", "cDepName", {{"cdepname", "生产中心"}}, {}, "部门录入不正确或是非末级，请检查！", {}, -1, {}, "", BS},
    {"SalesmanByCode", "cpersonname", {{"cpersonname", "0001"}}, {}, "",
     {{"cPersonCode", "0001"}, {"cPersonName", "王磊"}, {"cDepCode", "01"}}, kSome},
    {"ShippingUnknown", "cscname", {{"cscname", "空运"}}, {}, "发运方式录入不正确，请检查！"},
    {"WholePassBS", "ALL", {{"cvenabbname", "x' OR '1'='1"}, {"cexch_name", "英镑"}}, {},
     std::string(kVendor) + "\r外币录入不正确，请检查！\r", {}, -1, {}, "", BS},
    {"WholePassRightBS", "all", {{"cdepname", "01"}, {"cptname", "9"}}, {},
     "对不起，您没有录入该部门的权限！\r采购类型录入不正确，请检查！\r", {}, -1, {"bCheckDepartAuth"}, "", BS},
    // No date rule in a pass, and nothing filled in.
    {"WholePassFillsNothing", "all", {{"cdepname", "采购部"}, {"ddate", "2026-03-02"}, {"cexch_name", "USD"}}, {}, ""},
    {"DateRateOfTheDay", "dDate", {{"ddate", "2026-03-02T00:00:00"}, {"cexch_name", "USD"}}, {}, "", {{"iExchRate", "7.0156"}}},
    {"DateWithoutRate", "ddate", {{"ddate", "2026-03-03"}, {"cexch_name", "美元"}}, {}, "", {{"iExchRate", "1"}}},
    {"DateRateOfThePeriod", "ddate", {{"ddate", "2026-03-20T00:00:00"}, {"cexch_name", "美元"}}, {}, "", {{"iExchRate", "7.02"}}, -1,
     {}, kPeriodRates},
    {"DateOfAPeriodWithoutRate", "ddate", {{"ddate", "2026-05-20"}, {"cexch_name", "美元"}}, {}, "", {{"iExchRate", "1"}}, -1, {},
     kPeriodRates},
    {"DateOfAnUnknownCurrency", "ddate", {{"ddate", "2026-03-02"}, {"cexch_name", "英镑"}}, {}, ""},
    {"DateEmpty", "ddate", {{"ddate", ""}, {"cexch_name", "USD"}}, {}, ""},
    {"Currency", "cexch_name", {{"cexch_name", "USD"}, {"ddate", "2026-03-02"}}, {}, "",
     {{"cexch_name", "美元"}, {"cexch_code", "USD"}, {"iExchRate", "7.0156"}}},
    {"CurrencyCleared", "cexch_name", {{"cexch_name", ""}}, {}, "", {{"cexch_name", ""}, {"cexch_code", ""}, {"iExchRate", ""}}},
};

TEST_P(ArriveHHead, Case) { run(GetParam()); }
INSTANTIATE_TEST_SUITE_P(Arrival, ArriveHHead, ::testing::ValuesIn(kHeadCases), entryName);

TEST_F(ArriveHHead, RunTimeErrorsReachTheCaller) {
  setting("iXchgRateStl", "True");
  EXPECT_EQ(errorOf([&] { verifyHead("ddate", {{"ddate", "2026-13-45"}, {"cexch_name", "USD"}}); }), err::TypeMismatch);
  sql("DELETE FROM accinformation WHERE cName='iXchgRateStl'");
  EXPECT_EQ(errorOf([&] { verifyHead("cexch_name", {{"cexch_name", "USD"}}); }), err::NoCurrentRecord);
  obj.m_Cnn.reset();
  EXPECT_EQ(errorOf([&] { verifyHead("cptname", {{"cptname", "01"}}); }), err::ObjectNotSet);
  EXPECT_EQ(errorOf([&] { verifyHead("cother", {}); }), 0);
  obj.clsInfor.reset();
  EXPECT_EQ(errorOf([&] { verifyHead("cother", {}); }), err::ObjectNotSet);
}

class ArriveHBody : public EntryTest<ClsS_VerifyArriveH> {
 protected:
  ArriveHBody() {
    obj.m_bPositive = true;
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
        ('X01', '旧轴承', NULL, '01', 0, '0101', NULL, 13, 0, 0, 0, 0, 0, 0, '2025-06-30 00:00:00'),
        ('Q01', 'O''Brien 垫片', NULL, '01', 0, '0101', NULL, 13, 0, 0, 0, 0, 0, 0, NULL);
      INSERT INTO WareHouse (cWhCode, cWhName) VALUES ('01', '原材料库');
      INSERT INTO fItem (cItem_Class, cItem_Name, cTable) VALUES ('55', '无表项目', NULL);
      INSERT INTO UserDefine (cID, cValue, cAlias) VALUES ('29', '一等品', 'A');
      INSERT INTO PU_ArrivalVouchs (Autoid, ID, cInvCode, iOriCost, iOriTaxCost, iTaxRate) VALUES (1, 1, 'P02', 2.5, 2.8, NULL);
      INSERT INTO tw_inspection VALUES ('V001', 'P02');
    )");
    setting("cOtherCostEditMode", "最新价格");
    setting("cCostSource", "到货单");
    info->set("bPTHavePO", false);
    info->set("bSTHavePO", false);
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
Pairs join(std::initializer_list<Pairs> parts) {
  Pairs out;
  for (const Pairs& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}
// The reply of P02 (-30 pieces): its 32 columns, among them its inspection flag, the latest arrival
// price 2.5 and the tax rate, then `extras`.
std::pair<Pairs, int> itemReply(const char* bgsp, const char* taxRate, const Pairs& extras) {
  return {join({{{"cInvCode", "P02"}, {"bgsp", bgsp}, {"iinvexchrate", "10"}, {"ioricost", "2.5"}, {"itaxrate", taxRate}}, extras}),
          32 + static_cast<int>(extras.size())};
}
const Pairs kPriced{{"iCost", "5"}, {"iNum", "-3"}, {"dpdate", ""}, {"dvdate", ""}};
const auto kInspectedReply = itemReply("是", "17", join({kPriced, {{"bGsp", "是"}}, kPrice}));
const auto kNotInspected = itemReply("是", "17", join({kPriced, {{"bGsp", "否"}}}));
const auto kNoQuality = itemReply("是", "17", join({kPriced, kPrice}));
const auto kNegative = itemReply("否", "17", join({kPriced, {{"bGsp", "否"}}, kPrice}));
const auto kNoRate = itemReply("是", "", join({{{"iNum", ""}, {"dpdate", ""}, {"dvdate", ""}}, kPrice}));
const auto kCopied = itemReply("是", "17", kPriced);
const Attributes kP02{{"cinvcode", "P02"}, {"iquantity", "-30"}};
Attributes tax(const char* entered) { return {{"iorimoney", "100"}, {"itaxrate", "17"}, {"ioritaxprice", entered}}; }
const std::string kTax = "第[5]行税额录入超出容差范围！";
// Each line is off by 0.01, within the line's tolerance; together they are off by 0.02.
const Attributes kAbove = with(kA01, tax("17.01")), kBelow = with(kA01, tax("16.99"));

const EntryCase kLineCases[] = {
    {"FreeItemUsedAndBlank", "cfree3", {}, {line(with(kR03, {{"cfree3", " "}}))}, "第[3]行有自由项3设置，必须输入！", {}, -1, {}, "", CS, 3},
    {"FreeItemUsedAndEmptyBS", "cFree3", {}, {line(with(kR03, {{"cfree3", ""}}))}, "第[3]行有自由项3设置，必须输入！", {}, -1, {}, "", BS, 3},
    {"FreeItemNotUsed", "cfree2", {}, {line(with(kR03, {{"cfree2", "红"}, {"cfree3", "x"}}))}, "第[3]行没有自由项2设置，不能输入！", {}, -1,
     {}, "", CS, 3},
    {"FreeItemListNotWhileTyping", "cfree3", {}, {line(with(kR03, {{"cfree3", "任意"}}))}, "", {}, -1, {}, "", BS, 3},
    {"FreeItemListNotInCS", "all", {}, {line(with(kR03, {{"cfree3", "任意"}}))}, ""},
    {"FreeItemListInBS", "all", {}, {line(with(kR03, {{"cfree3", "任意"}}))}, "第[1]行自由项3录入不正确，请检查！\r", {}, -1, {}, "", BS},
    {"FreeItemsCSPassStopsAtOnce", "all", {}, {line(with(kR03, {{"cfree4", "A"}}))}, "第[1]行有自由项3设置，必须输入！"},
    {"FreeItemsBSPassGoesOn", "all", {}, {line(with(kR03, {{"cfree4", "X"}}))},
     "第[1]行有自由项3设置，必须输入！第[1]行没有自由项4设置，不能输入！第[1]行自由项4录入不正确，请检查！\r", {}, -1, {}, "", BS},
    {"BatchWithoutBatchManagement", "cbatch", {}, {line(with(kA01, {{"cbatch", "B1"}}))}, "第[1]行没有批次管理，不能录入批号！"},
    {"NoBatchWhileTyping", "cbatch", {}, {line(with(kG01, {{"cbatch", ""}}))}, "", {}, -1, {"bQMStart"}, kGsp},
    {"NoBatchUnderQualityManagement", "all", {}, {line(with(kG01, {{"cbatch", ""}}))},
     "第[1]行有批次管理，且已启用GSP或质量管理，必须录入批号！\r", {}, -1, {"bQMStart"}, "", BS},
    {"NoBatchNotInspected", "all", {}, {line(with(kG01, {{"cbatch", ""}, {"bgsp", "否"}}))}, "", {}, -1, {"bQMStart"}, kGsp},
    {"NoBatchWithoutQualityControl", "all", {}, {line(with(kG01, {{"cbatch", ""}, {"dvdate", ""}}))}, ""},
    {"NeitherBatchNorExpiryUnderGsp", "all", {}, {line(with(kG01, {{"cbatch", ""}, {"dvdate", ""}}))},
     "第[1]行有批次管理，且已启用GSP或质量管理，必须录入批号！\r第[1]行有保质期管理，且已启用GSP或质量管理，必须录入失效日期！\r", {}, -1, {},
     kGsp, BS},
    {"NoExpiryWhileTyping", "dvdate", {}, {line(with(kG01, {{"dvdate", ""}}))}, "", {}, -1, {"bQMStart"}, kGsp},
    {"ProductionDateWithoutShelfLife", "dpdate", {}, {line(with(kA01, {{"dpdate", "2026-01-01"}}))}, "第[1]行没有保质期管理，不能录入生产日期！"},
    {"ProductionDateWithoutShelfLifeBS", "all", {}, {line(with(kA01, {{"dpdate", "2026-01-01"}}))},
     "第[1]行没有批次保质期管理，不能录入生产日期！\r", {}, -1, {}, "", BS},
    {"ExpiryDateWithoutShelfLife", "dvdate", {}, {line(with(kA01, {{"dvdate", "2026-01-01"}}))}, "第[1]行没有保质期管理，不能录入失效日期！",
     {}, -1, {}, "", BS},
    {"ExpiryDateWithoutShelfLifeBS", "all", {}, {line(with(kA01, {{"dvdate", "2026-01-01"}}))},
     "第[1]行没有批次保质期管理，不能录入失效日期！\r", {}, -1, {}, "", BS},
    {"EqualDates", "dpdate", {}, {line(with(kG01, {{"dpdate", "2026-03-02T00:00:00"}, {"dvdate", "2026-03-02T23:00:00"}}))}, ""},
    {"MadeAfterExpiry", "dpdate", {}, {line(kLate)}, "第[1]行生产日期不能大于失效日期！"},
    {"ExpiryBeforeMade", "dvdate", {}, {line(kLate)}, "第[1]行生产日期不能大于失效日期！"},
    {"BothDateRulesBS", "all", {}, {line(kLate)}, "第[1]行生产日期不能大于失效日期！\r第[1]行生产日期不能大于失效日期！\r", {}, -1, {}, "", BS},
    {"DatesThatAreNoDates", "all", {}, {line(with(kG01, {{"dpdate", "soon"}}))}, "", {}, -1, {}, "", BS},
    {"ItemByCode", "cInvCode", {}, {line({{"cinvcode", "A01"}})}, "", {{"cInvCode", "A01"}}, kSome},
    {"ItemByCodeBeforeANameAlike", "cinvcode", {}, {line({{"cinvcode", "B02"}})}, "", {{"cInvCode", "B02"}}, kSome},
    {"ItemByName", "cinvcode", {{"cbustype", ""}}, {line({{"cinvcode", "螺栓"}})}, "", {{"cInvCode", "A01"}}, kSome},
    {"ItemByAdditionalCodeInAnyCase", "cinvcode", {}, {line({{"cinvcode", "add1"}})}, "", {{"cInvCode", "A01"}}, kSome},
    {"ItemWithApostrophe", "cinvcode", {}, {line({{"cinvcode", "O'Brien 垫片"}})}, "", {{"cInvCode", "Q01"}, {"cInvName", "O'Brien 垫片"}}, kSome},
    {"ItemStopped", "cinvcode", {}, {line({{"cinvcode", "X01"}})}, "第[7]行" + kItem, {}, -1, {}, "", CS, 7},
    {"ItemService", "cinvcode", {}, {line({{"cinvcode", "S01"}})}, "第[1]行" + kItem},
    {"ConsignmentItemWithoutBusinessType", "cinvcode", {{"cbustype", ""}}, {line({{"cinvcode", "E01"}})}, "", {}, kSome},
    {"ConsignmentItemOnAConsignmentNote", "cinvcode", {{"cbustype", "受托代销"}}, {line({{"cinvcode", "E01"}})}, "", {}, kSome},
    {"ConsignmentItemOnAnOrdinaryNote", "cinvcode", {}, {line({{"cinvcode", "E01"}})}, "第[1]行" + kItem},
    {"OrdinaryItemOnAConsignmentNote", "cinvcode", {{"cbustype", "受托代销"}}, {line({{"cinvcode", "A01"}})}, "第[1]行" + kItem},
    {"ItemsOfAWholePassBS", "all", {}, {line({{"cinvcode", "X01"}}), line({{"cinvcode", ""}}), line({{"cinvcode", "S01"}})},
     "第[1]行" + kItem + "\r第[3]行" + kItem + "\r", {}, -1, {}, "", BS},
    // Emptying the item clears its columns before any order or right refusal.
    {"ItemCleared", "cinvcode", {}, {line({{"cinvcode", ""}})}, "", {{"cInvCode", ""}, {"bgsp", ""}, {"itaxrate", ""}}, 32,
     {"bPTHavePO", "bCheckInvAuth"}},
    {"OrdinaryNeedsAnOrder", "cinvcode", {}, {line({{"cinvcode", "E01"}})}, kOrdinary, {}, -1, {"bPTHavePO"}},
    {"OrdinaryNeedsAnOrderBS", "cinvcode", {}, {line({{"cinvcode", "E01"}})}, kOrdinary, {}, -1, {"bPTHavePO"}, "", BS},
    {"ConsignmentNeedsAnOrder", "cinvcode", {{"cbustype", "受托代销"}}, {line({{"cinvcode", "E01"}})}, kConsignment, {}, -1, {"bSTHavePO"}},
    {"NoOrderNeededInAPass", "all", {}, {line({{"cinvcode", "?"}}), line({{"cinvcode", "E01"}})}, "第[1]行" + kItem, {}, -1, {"bPTHavePO"}},
    {"ItemRight", "cinvcode", {}, {line({{"cinvcode", "A01"}})}, "对不起，您没有录入该存货的权限！", {}, -1, {"bCheckInvAuth"}, "", CS, 4},
    {"ItemRightBS", "all", {}, {line({{"cinvcode", "A01"}}), line({{"cinvcode", "?"}})},
     "对不起，您没有录入该存货的权限！\r第[2]行" + kItem + "\r", {}, -1, {"bCheckInvAuth"}, "", BS},
    {"ItemRightHeld", "cinvcode", {}, {line({{"cinvcode", "A01"}})}, "", {}, kSome, {"bCheckInvAuth"}, grant("Inventory", "A01")},
    {"FloatingRateInspectedWithoutGsp", "bgsp", {}, {line(kF01)}, "", {}, -1, {}, "", CS, 4},
    {"FloatingRateInspected", "bgsp", {}, {line(kF01)}, kInspected, {}, -1, {}, kGsp, CS, 4},
    {"FloatingRateNotInspected", "bgsp", {}, {line(with(kF01, {{"bgsp", "否"}}))}, "", {}, -1, {}, kGsp, CS, 4},
    {"FloatingRateTypedByName", "bgsp", {}, {line(with(kF01, {{"cinvcode", "铜线"}}))}, kInspected, {}, -1, {}, kGsp, CS, 4},
    {"FixedRateInspected", "bgsp", {}, {line(with(kF01, {{"cinvcode", "A01"}}))}, "", {}, -1, {}, kGsp, CS, 4},
    // The refusal ends even a browser-mode pass, dropping what was collected.
    {"FloatingRateEndsABSPass", "all", {}, {line(kStore), line(kStore), line(kStore), line(kF01), line(kStore)}, kInspected, {}, -1, {},
     kGsp, BS},
    {"WarehouseByName", "cwhname", {}, {line({{"cwhname", "原材料库"}})}, "", {{"cWhCode", "01"}, {"cWhName", "原材料库"}}},
    {"WarehouseByCode", "cwhname", {}, {line({{"cwhname", "01"}})}, "", {{"cWhCode", "01"}, {"cWhName", "原材料库"}}},
    {"WarehouseCleared", "cwhname", {}, {line({{"cwhname", ""}})}, "", {{"cWhCode", ""}, {"cWhName", ""}}},
    {"WarehouseUnknown", "cwhname", {}, {line({{"cwhname", "无此项"}})}, "第[2]行仓库录入不正确，请检查！", {}, -1, {}, "", CS, 2},
    {"Unit", "cinva_unit", {}, {line({{"cinvcode", "P02"}, {"cinva_unit", "箱"}})}, "",
     {{"cUnitId", "0202"}, {"cInvA_Unit", "箱"}, {"iInvExchRate", "10"}}},
    {"UnitOfAnotherGroup", "cinva_unit", {}, {line({{"cinvcode", "A01"}, {"cinva_unit", "箱"}})}, "第[1]行单位录入不正确，请检查！"},
    {"ProjectOfAClassWithoutTable", "citemcode", {}, {line({{"citem_class", "55"}, {"citemcode", "RD1"}})}, ""},
    {"ProjectOfNoClass", "citemcode", {}, {line({{"citem_class", "ZZ"}, {"citemcode", "RD1"}})}, ""},
    {"ProjectClassClearsTheProject", "citem_class", {}, {line({{"citem_class", ""}})}, "",
     {{"cItem_Class", ""}, {"cItem_Name", ""}, {"cItemCode", ""}, {"cItemName", ""}}},
    {"ItemReplyInspected", "cinvcode", {}, {line(kP02)}, "", kInspectedReply.first, kInspectedReply.second, {"bQMStart"}},
    {"ItemReplyNotInspectedForThisVendor", "cinvcode", {{"cvencode", "V002"}}, {line(kP02)}, "", kNotInspected.first, kNotInspected.second,
     {"bQMStart"}},
    {"ItemReplyWithoutQualityManagement", "cinvcode", {}, {line(kP02)}, "", kNoQuality.first, kNoQuality.second},
    {"ItemReplyOfANegativeNote", "cinvcode", {{"bnegative", "True"}}, {line(kP02)}, "", kNegative.first, kNegative.second, {"bQMStart"}, "",
     CS, 1, {{"m_bPositive", false}}},
    {"ItemReplyWithoutRateOrQuantity", "cinvcode", {{"iexchrate", ""}, {"itaxrate", ""}}, {line(with(kP02, {{"iquantity", "0"}}))}, "",
     kNoRate.first, kNoRate.second},
    {"ItemReplyOfALineCopiedFromAnOrder", "cinvcode", {}, {line(with(kP02, {{"iposid", "12"}}))}, "", kCopied.first, kCopied.second},
    {"ItemReplyOfACorrespondingLine", "cinvcode", {}, {line(with(kP02, {{"icorid", "3"}, {"iposid", "0"}}))}, "", kCopied.first,
     kCopied.second},
    {"Quantity", "iQuantity", {}, {line({{"cinvcode", "P02"}, {"iquantity", "-10"}})}, "", kPrice},
    {"QuantityOfALineCopiedFromAnOrder", "iquantity", {}, {line({{"cinvcode", "P02"}, {"iquantity", "-10"}, {"iposid", "5"}})}, "", {}, 0},
    {"QuantityOfAnItemWithoutPrice", "iquantity", {}, {line({{"cinvcode", "A01"}, {"iquantity", "-10"}, {"icorid", "x"}})}, "", {}, 0},
    {"LineTaxAtTheTolerance", "ioritaxprice", {}, {line(tax("17.01"))}, "", {}, -1, {}, "", CS, 5},
    {"LineTaxAbove", "ioritaxprice", {}, {line(tax("17.02"))}, kTax, {}, -1, {}, "", CS, 5},
    {"LineTaxBelow", "ioritaxprice", {}, {line(tax("16.98"))}, kTax, {}, -1, {}, "", CS, 5},
    {"LineTaxNegative", "ioritaxprice", {}, {line(tax("-17"))}, "", {}, -1, {}, "", CS, 5},
    // The tolerance is not rounded to cents: half a cent refuses a deviation of one cent.
    {"LineTaxHalfACent", "ioritaxprice", {}, {line(tax("17.01"))}, kTax, {}, -1, {},
     "UPDATE accinformation SET cValue='0.005' WHERE cName='iSingleTax'", CS, 5},
    {"LineTaxWithoutAmount", "ioritaxprice", {}, {line(with(tax("90"), {{"iorimoney", ""}}))}, ""},
    {"LineTaxNotControlled", "ioritaxprice", {}, {line(tax("90"))}, "", {}, -1, {}, "UPDATE accinformation SET cValue='True' WHERE cName='bControlTax'"},
    {"LineTaxOfARateThatIsNoNumber", "ioritaxprice", {}, {line(with(tax("1"), {{"itaxrate", "abc"}}))}, "第[1]行税额录入超出容差范围！"},
    {"TotalTaxAboveCS", "all", {}, {line(kAbove), line(kAbove, "")}, "税额合计容差超出范围！"},
    {"TotalTaxAboveBS", "all", {}, {line(kAbove), line(kAbove, "")}, "税额合计容差超出范围！\r", {}, -1, {}, "", BS},
    {"TotalTaxBelowCS", "all", {}, {line(kBelow), line(kBelow, "")}, "税额合计容差超出范围！"},
    {"TotalTaxNotWhileTyping", "ioritaxprice", {}, {line(kBelow), line(kBelow)}, ""},
    {"TotalTaxOfTwoRates", "all", {}, {line(kAbove), line(with(kAbove, {{"itaxrate", "13"}, {"ioritaxprice", "13.01"}}))}, ""},
    // An unchanged line is counted and its tax still checked, but it is not looked up.
    {"TotalTaxWithAnUnchangedLine", "all", {},
     {line(with(kAbove, {{"ioritaxprice", "18"}, {"cinvcode", "?"}}), ""), line(with(kAbove, {{"cinvcode", "?"}}))},
     "第[1]行税额录入超出容差范围！\r第[2]行" + kItem + "\r税额合计容差超出范围！\r", {}, -1, {}, "", BS},
};

TEST_P(ArriveHBody, Case) { run(GetParam()); }
INSTANTIATE_TEST_SUITE_P(Arrival, ArriveHBody, ::testing::ValuesIn(kLineCases), entryName);

TEST_F(ArriveHBody, FailingStepsAreSkippedAndTheCallGoesOn) {
  // No head document: its values read as empty, and the item is still looked up.
  doc = voucher({line({{"cinvcode", "A01"}})});
  EXPECT_EQ(obj.VerifyBody("cinvcode", *doc, nullptr, 1), "");
  EXPECT_EQ(pairsOf(*doc).front().second, "A01");
  EXPECT_FALSE(obj.skippedSteps().empty());
  // No session: the right cannot be checked, so the entry is refused as one without the right.
  obj.clsInfor.reset();
  EXPECT_EQ(verifyBody("cinvcode", {line({{"cinvcode", "A01"}})}), "对不起，您没有录入该存货的权限！");
  // No connection: a look-up that cannot be made does not accept the entry; probes that cannot be
  // asked refuse nothing.
  obj.m_Cnn.reset();
  EXPECT_EQ(verifyBody("cinvcode", {line({{"cinvcode", "A01"}})}), "第[1]行" + kItem);
  EXPECT_EQ(verifyBody("cbatch", {line({{"cinvcode", "A01"}, {"cbatch", "B1"}})}), "");
  EXPECT_EQ(obj.skippedSteps().front().step, "reading the batch management of cInvCode");
}

}  // namespace
}  // namespace tallyward::test
