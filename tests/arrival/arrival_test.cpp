// Arrival notes: the whole-voucher check, and the field entry on a real ERP database (the head's rate;
// free items, batch and shelf-life dates, items, inspection, replies and tax of lines); a case per line.
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

const Attributes kHead{{"ccode", "DH0001"}, {"cexch_name", "人民币"}, {"iexchrate", "1"},
                       {"ddate", "2026-03-01T00:00:00"}, {"cvenabbname", "华东机加"},
                       {"cdepname", "采购部"}, {"itaxrate", "13"}, {"cbustype", "普通采购"}};
// A line of a positive note in a single unit, and the same line on a negative note.
const Attributes kLine{{"cinvcode", "P1001"}, {"iquantity", "10"}, {"igrouptype", "0"}, {"ioricost", "5"},
                       {"ioritaxcost", "5.65"}, {"icost", "5"}, {"iorimoney", "50"}, {"imoney", "50"},
                       {"iorisum", "56.5"}, {"isum", "56.5"}, {"itaxrate", "13"}, {"dpdate", "2026-03-01T00:00:00"},
                       {"dvdate", "2027-03-01"}};
const Attributes kNeg = with(kLine, {{"iquantity", "-10"}, {"iorimoney", "-50"}, {"imoney", "-50"},
                                     {"iorisum", "-56.5"}, {"isum", "-56.5"}});

// Pieces with a fixed ("1") or a floating ("2") conversion rate.
Attributes fixed(const Attributes& l, const Attributes& changes = {}) {
  return with(with(l, {{"igrouptype", "1"}, {"inum", "2"}, {"iinvexchrate", "5"}, {"cunitid", "箱"}}), changes);
}
Attributes floating(const Attributes& l, const Attributes& changes = {}) { return with(fixed(l, {{"igrouptype", "2"}}), changes); }

Doc h(const Attributes& changes) { return H(with(kHead, changes)); }
// The line after an unchanged one (counted, not checked: its tax rate would fail the call).
Doc second(const Attributes& l) { return B({line(with(kLine, {{"cinvcode", ""}, {"itaxrate", "x"}}), ""), line(l)}); }
// The line alone, left unchanged, for a single-field check with R = 7.
Doc seven(const Attributes& l) { return B({line(l, "")}, 7); }
const Props kPos{{"m_bPositive", true}}, kNegNote{{"m_bPositive", false}};

const std::string kNoUnit = "]行计量单位不能为空，请检查！", kNoQty = "]行数量不能为空，请检查！";
const std::string kQtyPositive = "]行数量必须大于零，请检查！", kOriPrice = "]行原币单价不能小于 0，请检查！";
const std::string kNoItem = "]行存货不能为空，请检查！", kNoTax = "]行税率未输入，请检查！！";
const std::string kBoth = "]行数量和件数不能同时为零，请检查！";

const Case kCases[] = {
    // Every mandatory field empty: each told once, in rule order; client mode stops at the first.
    {"head_bs_every_mandatory_empty", "all", BS,
     h({{"ccode", ""}, {"cexch_name", ""}, {"iexchrate", ""}, {"ddate", ""}, {"cvenabbname", ""}, {"cdepname", ""}}),
     "到货单号不能为空，请检查！\r到货单币种不能为空，请检查！\r到货单汇率不能为空，请检查！\r到货单日期不能为空，请检查！\r"
     "供应商不能为空，请检查！\r部门不能为空，请检查！\r"},
    {"head_interface_ignores_names", "cvenabbname", CS,
     h({{"sysname", "EAI"}, {"cvencode", "V"}, {"cvenabbname", ""}, {"cdepcode", "D"}, {"cdepname", ""}}), ""},
    {"head_unreadable_rate", "all", CS, h({{"iexchrate", "abc"}}), "汇率必须大于零，请检查！"},
    {"head_tax_100", "ioritaxrate", CS, h({{"itaxrate", "100"}}), "税率必须在 0 到 100 之间，请检查！"},
    {"head_empty_bus_type_cs", "cbustype", CS, h({{"cbustype", ""}}), "业务类型不能为空，请检查！"},
    {"head_empty_bus_type_collected_in_bs", "cbustype", BS, h({{"cbustype", ""}}), "业务类型不能为空，请检查！\r"},
    {"head_bus_type_direct", "cbustype", BS, h({{"cbustype", "直运采购"}}), "业务类型录入错误，请检查！"},
    {"head_edges_pass", "all", BS, h({{"ddate", "2028-02-29T10:20:30"}, {"iexchrate", "0.0001"}, {"itaxrate", "99.99"}}), ""},
    {"head_unreadable_tax_reads_0", "ioritaxrate", BS, h({{"itaxrate", "abc"}}), ""},
    {"head_bs_all_in_order", "ALL", BS,
     h({{"cbustype", "x"}, {"ddate", "2026-13-01"}, {"ccode", ""}, {"sysname", "EAI"}, {"cvencode", ""}, {"cdepcode", ""}}),
     "到货单号不能为空，请检查！\r供应商不能为空，请检查！\r部门不能为空，请检查！\r到货单日期录入错误，请检查！\r业务类型录入错误，请检查！\r"},
    {"head_capital_attribute_is_not_the_field", "all", CS, H(with(without(kHead, {"ccode"}), {{"cCode", "DH1"}})), "到货单号不能为空，请检查！"},
    {"head_tax_key_is_ioritaxrate", "itaxrate", BS, h({{"itaxrate", "100"}}), ""},
    {"head_mandatory_left_to_pass", "ccode", BS, h({{"ccode", ""}, {"ddate", ""}}), ""},
    {"head_without_rows", "ddate", CS, {true, {}}, errorText(err::ObjectNotSet)},
    {"negative_line_passes", "all", BS, second(kNeg), "", kNegNote},
    {"no_item", "all", CS, second(with(kLine, {{"cinvcode", ""}})), row(2, kNoItem), kPos},
    {"project_class_without_project", "all", BS, second(with(kLine, {{"citem_class", "01"}})), row(2, "]行有项目大类，必须录入项目！\r"), kPos},
    {"no_quantity_ends_cs_pass", "all", CS, second(with(kLine, {{"iquantity", ""}})), row(2, kNoQty + CR), kPos},
    {"zero_quantity", "iquantity", BS, seven(with(kLine, {{"iquantity", "0"}})), row(7, kQtyPositive), kPos},
    {"unreadable_quantity", "all", CS, second(with(kLine, {{"iquantity", "abc"}})), row(2, kQtyPositive), kPos},
    {"floating_zero_quantity_blank_group", "IQuantity", CS, seven(floating(kLine, {{"igrouptype", " 2"}, {"iquantity", "0"}})), row(7, kQtyPositive), kPos},
    {"negative_note_zero_quantity", "all", BS, second(with(kNeg, {{"iquantity", "0"}})), row(2, "]行数量必须小于零，请检查！\r"), kNegNote},
    {"floating_negative_quantity", "all", CS, second(floating(kLine, {{"iquantity", "-1"}})), row(2, "]行数量必须大于等于零，请检查！"), kPos},
    {"negative_floating_positive_quantity", "iquantity", BS, seven(floating(kNeg, {{"iquantity", "1"}, {"inum", "-2"}})),
     row(7, "]行数量必须小于等于零，请检查！"), kNegNote},
    {"fixed_no_pieces", "all", CS, second(fixed(kLine, {{"inum", ""}})), row(2, "]行件数不能为空，请检查！\r"), kPos},
    {"fixed_zero_pieces", "inum", CS, seven(fixed(kLine, {{"inum", "0"}})), row(7, "]行件数必须大于零，请检查！"), kPos},
    {"negative_fixed_positive_pieces", "all", BS, second(fixed(kNeg, {{"inum", "3"}})), row(2, "]行件数必须小于零，请检查！\r"), kNegNote},
    {"floating_both_zero", "all", CS, second(floating(kLine, {{"iquantity", "0"}, {"inum", "0"}})), row(2, kBoth + CR), kPos},
    {"floating_both_zero_not_while_typing", "inum", CS, seven(floating(kLine, {{"iquantity", "0"}, {"inum", "0"}})), "", kPos},
    {"fixed_no_rate", "all", BS, second(fixed(kLine, {{"iinvexchrate", ""}, {"sysname", "EAI"}})), row(2, "]行换算率不能为空，请检查！\r"), kPos},
    {"floating_negative_rate", "iinvexchrate", CS, seven(floating(kLine, {{"iinvexchrate", "-0.5"}})), row(7, "]行换算率必须大于等于 0，请检查！"), kPos},
    {"interface_line_skips_rate", "iinvexchrate", BS, seven(fixed(kLine, {{"sysname", "eai"}, {"iinvexchrate", "-5"}})), "", kPos},
    {"fixed_no_unit", "all", BS, second(fixed(kLine, {{"cunitid", ""}})), row(2, kNoUnit + CR), kPos},
    {"no_group_no_unit", "all", CS, second(without(kLine, {"igrouptype"})), row(2, kNoUnit + CR), kPos},
    {"negative_ori_price", "ioricost", CS, seven(with(kLine, {{"ioricost", "-1"}})), row(7, kOriPrice), kPos},
    {"negative_price", "all", BS, second(with(kLine, {{"icost", "-0.01"}})), row(2, "]行本单价不能小于 0，请检查！\r"), kPos},
    {"negative_ori_money", "all", CS, second(with(kLine, {{"iorimoney", "-1"}})), row(2, "]行原币金额必须大于零，请检查！"), kPos},
    {"negative_note_positive_ori_money", "iorimoney", BS, seven(with(kNeg, {{"iorimoney", "5"}})), row(7, "]行原币金额必须小于零，请检查！"), kNegNote},
    {"negative_money", "imoney", CS, seven(with(kLine, {{"imoney", "-1"}})), row(7, "]行本币金额必须大于零，请检查！"), kPos},
    {"negative_note_positive_money", "all", BS, second(with(kNeg, {{"imoney", "1"}})), row(2, "]行本币金额必须小于零，请检查！\r"), kNegNote},
    {"negative_ori_sum", "all", CS, second(with(kLine, {{"iorisum", "-1"}})), row(2, "]行原币价税合计必须大于零，请检查！"), kPos},
    {"negative_note_positive_ori_sum", "iorisum", CS, seven(with(kNeg, {{"iorisum", "1"}})), row(7, "]行原币价税合计必须小于零，请检查！"), kNegNote},
    {"negative_sum", "isum", BS, seven(with(kLine, {{"isum", "-1"}})), row(7, "]行本币价税合计必须大于零，请检查！"), kPos},
    {"negative_note_positive_sum", "all", CS, second(with(kNeg, {{"isum", "1"}})), row(2, "]行本币价税合计必须小于零，请检查！"), kNegNote},
    {"zero_amounts_pass", "iorimoney", CS, seven(with(kLine, {{"iorimoney", "0"}, {"imoney", "0"}, {"iorisum", "0"}, {"isum", "0"}})), "", kPos},
    {"tax_100", "all", BS, second(with(kLine, {{"itaxrate", "100"}})), row(2, "]行税率必须在 0 到 100 之间，请检查！\r"), kPos},
    {"no_tax_rate", "itax", BS, seven(with(kLine, {{"itaxrate", ""}})), row(7, kNoTax), kPos},
    {"sum_key_checks_sign_first", "iorisum", BS, seven(with(kLine, {{"iorisum", "-1"}, {"itaxrate", ""}})), row(7, "]行原币价税合计必须大于零，请检查！"), kPos},
    {"project_before_class", "citemcode", CS, seven(with(kLine, {{"citemcode", "P01"}})), row(7, "]行在没有输入项目大类之前，请参照输入项目！"), kPos},
    {"bad_production_date", "dpdate", BS, seven(with(kLine, {{"dpdate", "2026-02-29T00:00:00"}})), row(7, "]行生产日期录入错误，请检查！"), kPos},
    {"bad_expiry_date", "all", CS, second(with(kLine, {{"dvdate", "2027-13-01"}})), row(2, "]行失效日期录入错误，请检查！"), kPos},
    {"date_cut_at_T", "dpdate", CS, seven(with(kLine, {{"dpdate", "2028-02-29Tgarbage"}, {"dvdate", ""}})), "", kPos},
    {"price_with_tax_at_once", "all", CS, B({line(with(kLine, {{"ioritaxcost", "-1"}}))}), row(1, "]行含税单价不能小于0，请检查！"), kPos},
    {"price_with_tax_collected", "all", BS, B({line(with(kLine, {{"ioritaxcost", "-1"}}))}), row(1, "]行含税单价不能小于 0，请检查！\r"), kPos},
    {"rows_and_order_bs", "all", BS,
     B({line(with(kLine, {{"cinvcode", ""}, {"iquantity", ""}}), ""), line(with(kLine, {{"cinvcode", ""}}), "D"),
        with(kLine, {{"cinvcode", ""}}), line(with(kLine, {{"cinvcode", ""}, {"ioricost", "-1"}}), "M"),
        line(fixed(kLine, {{"cunitid", ""}, {"dvdate", "x"}}))}),
     row(2, kNoItem + CR) + row(2, kOriPrice + CR) + row(3, kNoUnit + CR) + row(3, "]行失效日期录入错误，请检查！\r"), kPos},
    {"cs_keeps_collected", "all", CS, B({line(fixed(kLine, {{"cunitid", ""}})), line(kLine)}), row(1, kNoUnit + CR), kPos},
    {"cs_at_once_drops_collected", "all", CS, B({line(fixed(kLine, {{"cunitid", ""}})), line(with(kLine, {{"cinvcode", ""}}))}), row(2, kNoItem), kPos},
    {"cs_no_quantity_ends_alone", "all", CS,
     B({line(fixed(kLine, {{"cunitid", ""}})), line(with(kLine, {{"iquantity", ""}, {"ioricost", "-1"}})), line(with(kLine, {{"cinvcode", ""}}))}),
     row(2, kNoQty + CR), kPos},
    {"bs_no_quantity_goes_on", "all", BS,
     B({line(fixed(kLine, {{"cunitid", ""}})), line(with(kLine, {{"iquantity", ""}, {"ioricost", "-1"}})), line(with(kLine, {{"cinvcode", ""}}))}),
     row(1, kNoUnit + CR) + row(2, kNoQty + CR) + row(2, kOriPrice + CR) + row(3, kNoItem + CR), kPos},
    {"item_first", "iquantity", BS, seven(with(kLine, {{"cinvcode", ""}})), row(7, "]行请先录入存货！"), kPos},
    {"item_key_itself", "cinvcode", BS, seven(with(kLine, {{"cinvcode", ""}})), "", kPos},
    {"single_field_checks_unchanged", "iquantity", CS, B({line(kLine), line(with(kLine, {{"iquantity", "0"}}), "")}, 9), row(9, kQtyPositive), kPos},
    {"unreadable_tax_rate", "all", CS, B({line(with(kLine, {{"itaxrate", "13%"}}))}), errorText(err::TypeMismatch), kPos},
    {"rate_not_read_for_quantity", "iquantity", CS, B({line(with(kLine, {{"itaxrate", "13%"}}))}, 1), "", kPos},
    {"rate_not_read_after_at_once", "all", CS, B({line(with(kLine, {{"itaxrate", "13%"}, {"cinvcode", ""}}))}), row(1, kNoItem), kPos},
};

TW_WHOLE_VOUCHER_CASES(ArrivalArriveF, "ClsS_VerifyArriveF", kCases);

// An empty value that may stand while typing ends the call before the later lines.
TEST(ArrivalArriveFTyping, EmptyValueEndsTheCall) {
  for (const char* key : {"iquantity", "inum", "iinvexchrate", "cunitid", "itaxrate", "citemcode", "dpdate", "dvdate"})
    EXPECT_EQ(run("ClsS_VerifyArriveF", {"", key, BS, B({line(fixed(kLine, {{key, ""}})),
                                                     line(with(kLine, {{"iquantity", "0"}, {"cinvcode", ""}}))}, 9), "", kPos}), "")
        << key;
}

// The sample notes give the verdicts the demo shows.
TEST(ArrivalArriveFSamples, Verdicts) {
  EXPECT_EQ(sampleVerdict("ClsS_VerifyArriveF", "VerifyHead", "arrival_head.xml", {}),
            "汇率必须大于零，请检查！\r业务类型录入错误，请检查！\r");
  EXPECT_EQ(sampleVerdict("ClsS_VerifyArriveF", "VerifyBody", "arrival_body.xml", {"m_bPositive=true"}),
            row(3, kNoUnit + CR) + row(4, kNoQty + CR) + row(5, kBoth + CR) + row(5, "]行含税单价不能小于 0，请检查！\r") +
                row(5, "]行生产日期录入错误，请检查！\r"));
}

}  // namespace
}  // namespace tallyward::test
