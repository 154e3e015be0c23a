// Invoice line entry on a real ERP database, one case per line: the item and the invoice's item
// filter, the order options, unit, project and project class, free items, the line replies, the
// tax tolerances and the checks of the whole invoice.
#include "billh_fixture.h"

namespace tallyward::test {
namespace {

struct LineCase {
  const char* name;
  const char* key;
  std::vector<Attributes> lines;
  std::string verdict;
  Pairs reply = {};  // in this order; none: the body is left as it was
  int pairs = -1;    // how many pairs the reply has, when `reply` lists only some of them
  Attributes invoice = {};  // changes to an ordinary invoice of V001 in local currency (rate 7.5)
  std::vector<const char*> on = {};  // session switches turned on
  const char* sql = "";
  UseMode mode = UseMode::CS;
  long R = 1;
  const char* billType = "";
};

Attributes kept(const Attributes& fields) { return line(fields, ""); }  // an unchanged line

// A goods line whose tax adds up, one off by a cent, a service line.
const Attributes kGoods{{"cinvcode", "B02"}, {"bservice", "False"}, {"binvtype", "False"}, {"itaxrate", "17"},
                        {"iorimoney", "100"}, {"iorisum", "100"}, {"ioritaxprice", "17"}};
const Attributes kOff = with(kGoods, {{"ioritaxprice", "17.01"}});
const Attributes kService = with(kGoods, {{"cinvcode", "S01"}, {"bservice", "True"}});
// Free items 2 and 3 on an item that uses free item 3 only.
const Attributes kFree = with(kGoods, {{"cinvcode", "A01"}, {"cfree2", "红"}, {"cfree3", ""}});
const Attributes kP02{{"cinvcode", "P02"}, {"ipbvquantity", "-30"}};
// Rate 10, entered tax 17.
Attributes taxed(const char* money, const char* sum) {
  return {{"iorimoney", money}, {"iorisum", sum}, {"itaxrate", "10"}, {"ioritaxprice", "17"}};
}

const char* const kItemWrong = "第[1]行存货录入不正确或已经停用，请检查！";
const char* const kOrdinary = "设置了“普通业务必有订单”选项后，只能参照录入存货，请检查！";
const char* const kDirectOn =
    "UPDATE accinformation SET cValue='True' WHERE cName='bZYXS';"
    "INSERT INTO accinformation (cSysID, cName, cValue) VALUES ('SA', 'bMustSO_zyxs', 'True')";
const char* const kLatestCharge =
    "UPDATE accinformation SET cValue='最新价格' WHERE cName='cOtherCostEditMode';"
    "INSERT INTO OM_ProductPO (ID, cVenCode) VALUES (1, 'V001');"
    "INSERT INTO OM_POMain (MainID, ID, cInvCode, iMakeCharge) VALUES (1, 1, 'P02', 2)";
const std::string kTaxLine = "第[5]行税额录入超出容差范围！";
const std::string kExpenseOnly = "非费用发票不能只录入费用和折扣型存货！";
constexpr UseMode BS = UseMode::BS;
constexpr int kItemPairs = 34;  // the item list's 31 columns, iCost, bExBill and iNum

void PrintTo(const LineCase& c, std::ostream* os) { *os << c.name; }

const LineCase kLineCases[] = {
    // The exact code wins over the item whose name is the same text.
    {"ItemByCode", "cInvCode", {line({{"cinvcode", "A01"}})}, "", {{"cInvCode", "A01"}}, kItemPairs},
    {"ItemByName", "cinvcode", {line({{"cinvcode", "螺栓"}})}, "", {{"cInvCode", "A01"}}, kItemPairs},
    {"ItemByAdditionalCode", "cinvcode", {line({{"cinvcode", "ADD1"}})}, "", {{"cInvCode", "A01"}}, kItemPairs},
    {"ItemByVendorsCode", "cinvcode", {line({{"cinvcode", "VA-1"}})}, "", {{"cVenInvCode", "VA-1"}}, kItemPairs},
    {"ServiceOnAnOrdinaryInvoice", "cinvcode", {line({{"cinvcode", "S01"}})}, "", {{"cInvCode", "S01"}}, kItemPairs},
    {"DiscountOnAnOrdinaryInvoice", "cinvcode", {line({{"cinvcode", "D01"}})}, "", {{"cInvCode", "D01"}}, kItemPairs},
    {"ConsignmentItem", "cinvcode", {line({{"cinvcode", "E01"}})}, "第[7]行存货录入不正确或已经停用，请检查！", {}, -1, {}, {}, "",
     UseMode::CS, 7},
    {"StoppedItem", "cinvcode", {line({{"cinvcode", "X01"}})}, kItemWrong},
    {"ItemInjection", "cinvcode", {line({{"cinvcode", "x' OR '1'='1"}})}, kItemWrong},
    {"FreightInvoiceTakesFreight", "cinvcode", {line({{"cinvcode", "F01"}})}, "", {{"cInvCode", "F01"}, {"bExBill", "1"}},
     kItemPairs, {{"cpbvbilltype", "13"}}},
    {"FreightInvoiceRefusesGoods", "cinvcode", {line({{"cinvcode", "A01"}})}, kItemWrong, {}, -1, {{"cpbvbilltype", "委外运费发票"}}},
    {"DirectShipmentTakesGoods", "cinvcode", {line({{"cinvcode", "A01"}})}, "", {}, kItemPairs, {{"cbustype", "直运采购"}}},
    {"DirectShipmentRefusesServices", "cinvcode", {line({{"cinvcode", "S01"}})}, kItemWrong, {}, -1, {{"cbustype", "直运采购"}}},
    {"OutsourcingTakesOutsourced", "cinvcode", {line({{"cinvcode", "W01"}})}, "", {}, kItemPairs, {{"csource", "委外"}}},
    {"OutsourcingRefusesGoods", "cinvcode", {line({{"cinvcode", "A01"}})}, kItemWrong, {}, -1, {{"csource", "委外"}}},
    {"ItemCleared", "cinvcode", {line({{"cinvcode", ""}})}, "", {{"cInvCode", ""}, {"cInvName", ""}, {"itaxrate", ""}}, 31},
    // The item has no tax rate: the invoice's stands in.
    {"ItemPriced", "cinvcode", {line(kP02)}, "",
     {{"itaxrate", "17"}, {"iCost", "0"}, {"bExBill", "0"}, {"iNum", "-3"}, {"ioricost", "6.8"}, {"iTaxRate", "13"}}, 36},
    {"ItemFromAnOrder", "cinvcode", {line(with(kP02, {{"iposid", "5"}}))}, "", {{"iNum", "-3"}}, kItemPairs},
    {"ItemFromAReceipt", "cinvcode", {line(with(kP02, {{"rdsid", "8"}, {"ipbvquantity", "0"}}))}, "", {{"iNum", ""}}, kItemPairs},
    {"ItemFromAnOutsourcingOrder", "cinvcode", {line(with(kP02, {{"iomautoid", "9"}}))}, "", {}, kItemPairs},
    {"ItemLatestChargeInLocalCurrency", "cinvcode", {line(with(kP02, {{"iposid", "5"}}))}, "",
     {{"ioricost", "2"}, {"itaxrate", "0"}, {"iCost", "15"}}, kItemPairs, {}, {}, kLatestCharge},
    {"ItemRight", "cinvcode", {line({{"cinvcode", "A01"}})}, "对不起，您没有录入该存货的权限！", {}, -1, {}, {"bCheckInvAuth"}, "",
     UseMode::CS, 4},
    {"ItemRightHeld", "cinvcode", {line({{"cinvcode", "A01"}})}, "", {}, kItemPairs, {}, {"bCheckInvAuth"},
     "INSERT INTO tw_data_right VALUES ('demo', 'Inventory', 'A01', 'W')"},
    {"OrdinaryNeedsAnOrder", "cinvcode", {line({{"cinvcode", "A01"}})}, kOrdinary, {}, -1, {{"cbustype", "普通采购"}}, {"bPTHavePO"}},
    {"OrdinaryNeedsAnOrderFoundOrNot", "cinvcode", {line({{"cinvcode", "无此"}})}, kOrdinary, {}, -1, {{"cbustype", "普通采购"}},
     {"bPTHavePO"}},
    {"OrdinaryOpeningInvoice", "cinvcode", {line({{"cinvcode", "A01"}})}, "", {}, kItemPairs, {{"cbustype", "普通采购"}},
     {"bPTHavePO", "bOriginal"}},
    {"OrdinaryOnThePayablesScreen", "cinvcode", {line({{"cinvcode", "A01"}})}, "", {}, kItemPairs, {{"cbustype", "普通采购"}},
     {"bPTHavePO"}, "", UseMode::CS, 1, "APPURZ"},
    {"OrdinaryFreight", "cinvcode", {line({{"cinvcode", "F01"}})}, "", {}, kItemPairs,
     {{"cbustype", "普通采购"}, {"cpbvbilltype", "13"}}, {"bPTHavePO"}},
    {"OrdinaryWholePass", "all", {line(kGoods)}, "", {}, -1, {{"cbustype", "普通采购"}}, {"bPTHavePO"}},
    {"DirectNeedsAnOrder", "cinvcode", {line({{"cinvcode", "A01"}})}, "设置了“直运业务必有订单”选项后，只能参照录入存货，请检查！",
     {}, -1, {{"cbustype", "直运采购"}}, {}, kDirectOn},
    {"DirectOneOptionOnly", "cinvcode", {line({{"cinvcode", "A01"}})}, "", {}, kItemPairs, {{"cbustype", "直运采购"}}, {},
     "INSERT INTO accinformation (cSysID, cName, cValue) VALUES ('SA', 'bMustSO_zyxs', 'True')"},
    {"Unit", "cinva_unit", {line({{"cinvcode", "P02"}, {"cinva_unit", "箱"}})}, "",
     {{"cUnitId", "0202"}, {"cInvA_Unit", "箱"}, {"iInvExchRate", "10"}}},
    {"UnitOfAnotherItem", "cinva_unit", {line({{"cinvcode", "A01"}, {"cinva_unit", "箱"}})}, "第[2]行单位录入不正确，请检查！", {}, -1,
     {}, {}, "", UseMode::CS, 2},
    {"UnitCleared", "cinva_unit", {line({{"cinvcode", "P02"}})}, "", {{"cUnitId", ""}, {"cInvA_Unit", ""}, {"iInvExchRate", ""}}},
    {"Project", "citemcode", {line({{"citem_class", "97"}, {"citemcode", "RD1"}})}, "", {{"cItemName", "轻量化"}}},
    {"ProjectOfTheItemsClass", "citemcode", {line({{"citem_class", "00"}, {"citemcode", "A01"}})}, "", {{"cItemName", "螺栓"}}},
    {"ProjectClosed", "citemcode", {line({{"citem_class", "97"}, {"citemcode", "RD0"}})}, "第[1]行项目录入不正确，请检查！"},
    {"ProjectCleared", "citemcode", {line({{"citem_class", "97"}})}, "", {{"cItemName", ""}}},
    {"ProjectClass", "citem_class", {line({{"citem_class", "97"}})}, "", {{"cItem_Class", "97"}, {"cItem_Name", "研发项目"}}},
    {"ProjectClassClearsTheProject", "citem_class", {line({{"citem_class", "97"}, {"citemcode", "RD1"}})}, "",
     {{"cItem_Class", "97"}, {"cItem_Name", "研发项目"}, {"cItemCode", ""}, {"cItemName", ""}}},
    {"ProjectClassUnknown", "citem_class", {line({{"citem_class", "99"}})}, "第[1]行项目大类录入不正确，请检查！"},
    {"ProjectClassCleared", "citem_class", {line({{"citemcode", "RD1"}})}, "",
     {{"cItem_Class", ""}, {"cItem_Name", ""}, {"cItemCode", ""}, {"cItemName", ""}}},
    {"Quantity", "iPBVQuantity", {line({{"cinvcode", "P02"}, {"ipbvquantity", "10"}})}, "", {{"ioricost", "6.8"}, {"iTaxRate", "13"}}},
    {"QuantityFromAReceipt", "ipbvquantity", {line({{"cinvcode", "P02"}, {"rdsid", "3"}})}, "", {}, 0},
    {"FreeItemMissing", "cfree3", {line(kFree)}, "第[3]行有自由项3设置，必须输入！", {}, -1, {}, {}, "", UseMode::CS, 3},
    {"FreeItemNotUsed", "cfree2", {line(kFree)}, "第[3]行没有自由项2设置，不能输入！", {}, -1, {}, {}, "", UseMode::CS, 3},
    {"FreeItemMissingBS", "cFree3", {line(kFree), line(kFree)}, "第[3]行有自由项3设置，必须输入！\r第[3]行有自由项3设置，必须输入！\r",
     {}, -1, {}, {}, "", BS, 3},
    {"FreeItemsWholePassBS", "all", {line(with(kFree, {{"cfree3", "99度"}}))},
     "第[1]行没有自由项2设置，不能输入！\r第[1]行自由项2录入不正确，请检查！\r第[1]行自由项3录入不正确，请检查！\r", {}, -1, {}, {}, "", BS},
    {"FreeItemByAlias", "all", {line(with(kFree, {{"cfree2", ""}, {"cfree3", "70A"}}))}, "", {}, -1, {}, {}, "", BS},
    {"FreeItemsFromPayables", "all", {line(kFree)}, "", {}, -1, {{"csource", "应付"}}, {}, "", BS},
    {"LineTaxWithin", "ioritaxprice", {line(taxed("1", "170.04"))}, "", {}, -1, {}, {}, "", UseMode::CS, 5},
    {"LineTaxBeyond", "ioritaxprice", {line(taxed("1", "170.2"))}, kTaxLine, {}, -1, {}, {}, "", UseMode::CS, 5},
    {"SpecialInvoiceTaxesTheNetAmount", "ioritaxprice", {line(taxed("170.04", "999"))}, "", {}, -1, {{"cpbvbilltype", "01"}}},
    {"SpecialInvoiceByName", "ioritaxprice", {line(taxed("170.2", "170.04"))}, kTaxLine, {}, -1, {{"cpbvbilltype", "委外专用发票"}},
     {}, "", UseMode::CS, 5},
    {"LineWithoutAmount", "ioritaxprice", {line(taxed("", "999"))}, ""},
    {"TaxNotControlled", "ioritaxprice", {line(taxed("1", "999"))}, "", {}, -1, {}, {},
     "UPDATE accinformation SET cValue='True' WHERE cName='bControlTax'"},
    // Each line is within the line's tolerance; together they are two cents off.
    {"TotalTaxCS", "all", {line(kOff), kept(kOff)}, "税额合计容差超出范围！"},
    {"TotalTaxBS", "all", {line(kOff), kept(kOff)}, "税额合计容差超出范围！\r", {}, -1, {}, {}, "", BS},
    {"RatesDiffer", "all", {line(kOff), line(with(kOff, {{"itaxrate", "13"}, {"ioritaxprice", "13.01"}}))}, ""},
    // Even in BS mode the message stands alone.
    {"ServicesOnly", "all", {line(kService), line(with(kService, {{"cinvcode", "无此"}}))}, kExpenseOnly, {}, -1, {}, {}, "", BS},
    {"ServicesOnAFreightInvoice", "all", {line(with(kService, {{"cinvcode", "F01"}}))}, "", {}, -1, {{"cpbvbilltype", "13"}}},
    {"FlagThatDoesNotRead", "all", {line(with(kGoods, {{"bservice", ""}}))}, kExpenseOnly},
    // Unchanged lines count towards the goods of the invoice as well.
    {"UnchangedGoods", "all", {kept(kGoods), kept(kGoods)}, ""},
    {"UnchangedServices", "all", {kept(kService), line(kService)}, kExpenseOnly, {}, -1, {}, {}, "", BS},
    {"NoLine", "all", {line(kService, "D"), kService}, "", {}, -1, {}, {}, "", BS},
    // A rate that is not a number leaves the tax computed on the line before (17, as entered).
    {"RateNotANumber", "all", {line(kGoods), line(with(kGoods, {{"itaxrate", "x"}}))}, ""},
    {"RateNotANumberOff", "all", {line(kGoods), line(with(kGoods, {{"itaxrate", "x"}, {"ioritaxprice", "16"}}))},
     "第[2]行税额录入超出容差范围！"},
};

class BillhBody : public BillhTest, public ::testing::WithParamInterface<LineCase> {
 protected:
  BillhBody() {
    sql(R"(
      INSERT INTO ComputationUnit (cComUnitCode, cComUnitName, cGroupCode, iChangRate, bMainUnit) VALUES
        ('0101', '千克', '01', 1, 1), ('0201', '个', '02', 1, 1), ('0202', '箱', '02', 10, 0);
      INSERT INTO Inventory (cInvCode, cInvName, cInvAddCode, cGroupCode, iGroupType, cComUnitCode, cPUComUnitCode,
                             iTaxRate, bfree3, bProxyForeign, bInvEntrust, bService, bInvType, dEDate) VALUES
        ('A01', '螺栓', 'ADD1', '01', 0, '0101', NULL, 13, 1, 0, 0, 0, 0, NULL),
        ('B02', 'A01', NULL, '01', 0, '0101', NULL, 13, 0, 0, 0, 0, 0, NULL),
        ('P02', '端盖', NULL, '02', 1, '0201', '0202', NULL, 0, 0, 0, 0, 0, NULL),
        ('F01', '运费', NULL, '01', 0, '0101', NULL, 9, 0, 1, 0, 1, 0, NULL),
        ('W01', '外协件', NULL, '01', 0, '0101', NULL, 13, 0, 1, 0, 0, 0, NULL),
        ('S01', '服务费', NULL, '01', 0, '0101', NULL, 6, 0, 0, 0, 1, 0, NULL),
        ('D01', '折扣', NULL, '01', 0, '0101', NULL, 13, 0, 0, 0, 0, 1, NULL),
        ('E01', '代销油', NULL, '01', 0, '0101', NULL, 13, 0, 0, 1, 0, 0, NULL),
        ('X01', '旧轴承', NULL, '01', 0, '0101', NULL, 13, 0, 0, 0, 0, 0, '2025-06-30 00:00:00');
      INSERT INTO venandinv (cInvCode, cVenCode, cVenInvCode) VALUES ('A01', 'V001', 'VA-1');
      INSERT INTO fItem (cItem_Class, cItem_Name, cTable) VALUES ('97', '研发项目', 'fitemss97'), ('00', '存货核算', 'Inventory');
      INSERT INTO fitemss97 (cItemCode, cItemName, bclose) VALUES ('RD1', '轻量化', 0), ('RD0', '旧项目', 1);
      INSERT INTO UserDefine (cID, cValue, cAlias) VALUES ('28', '70度', '70A');
      INSERT INTO tw_price (cVenCode, cInvCode, cexch_name, fMinQuantity, iUnitPrice, iTaxRate) VALUES
        ('V001', 'P02', '人民币', 0, 6.8, 13);
    )");
  }

  std::string check(const std::string& key, const std::vector<Attributes>& lines, long R = 1) {
    body = voucher(lines);
    hd = head(headRow);
    return billh.VerifyBody(key, *body, hd.get(), static_cast<int32_t>(R));
  }

  Attributes headRow{{"cvencode", "V001"}, {"dpbvdate", "2026-03-02T00:00:00"}, {"cexch_name", "人民币"},
                     {"cexchrate", "7.5"}, {"ipbvtaxrate", "17"}, {"cpbvbilltype", "02"}, {"cbustype", "委外加工"}};
  std::shared_ptr<Document> body, hd;
};

TEST_P(BillhBody, Case) {
  const LineCase& c = GetParam();
  for (const char* s : c.on) info->set(s, true);
  if (*c.sql) sql(c.sql);
  billh.m_UseMode = c.mode;
  billh.sBillType = c.billType;
  headRow = with(headRow, c.invoice);
  EXPECT_EQ(check(c.key, c.lines, c.R), c.verdict);
  expectReply(*body, c.reply, c.pairs);
}

INSTANTIATE_TEST_SUITE_P(Invoice, BillhBody, ::testing::ValuesIn(kLineCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(BillhBody, FailingStepsAreSkippedAndTheCallGoesOn) {
  // No head document: its values read as empty, and the item is still looked up.
  body = voucher({line({{"cinvcode", "A01"}})});
  EXPECT_EQ(billh.VerifyBody("cinvcode", *body, nullptr, 1), "");
  EXPECT_EQ(pairsOf(*body).front(), (Pair{"cInvCode", "A01"}));
  // No connection: a look-up that cannot be made does not accept the entry.
  billh.m_Cnn.reset();
  EXPECT_EQ(check("cinvcode", {line({{"cinvcode", "A01"}})}), kItemWrong);
}

}  // namespace
}  // namespace tallyward::test
