// Invoice field entry on a real ERP database, one case per line: the invoice's own head look-ups,
// due dates and date rules; its item filters, order options, replies and tax rules of lines.
#include "support/erp_fixture.h"

namespace tallyward::test {
namespace {

// Accounting periods 1 to 12 of 2026 in the session, January and February closed for outsourcing,
// the stand-in login for due dates, and the master data of heads and lines.
class BillhTest : public EntryTest<ClsS_VerifyBillH> {
 protected:
  BillhTest() {
    obj.m_login = std::make_shared<StandInLogin>(cnn);
    auto day = [](const std::string& text) { double d = 0; parseDate(text, d); return Date{d}; };
    info->set("startdate", day("2026-01-01"));
    for (int m = 1; m <= 12; ++m)
      info->setPeriod(m, day("2026-" + std::to_string(m) + "-1"),
                      Date{day(m == 12 ? "2027-1-1" : "2026-" + std::to_string(m + 1) + "-1").value - 1});
    for (const char* s : {"bPTHavePO", "bOriginal"}) info->set(s, false);
    headMasterData();
    lineMasterData();
    sql(R"(
      INSERT INTO gl_mend (iperiod, bflag_om) VALUES (1, 1), (2, 1), (3, 0), (4, 0);
      UPDATE PayCondition SET iPayCreDays = 0;
      INSERT INTO PayCondition (cPayCode, cPayName, iPayCreDays) VALUES ('02', '月结30天', 30);
      INSERT INTO WareHouse (cWhCode, cWhName) VALUES ('01', '原材料库');
      INSERT INTO AccountPeriod (cAccountPID, cAccountPName) VALUES ('A1', '票到30天');
      INSERT INTO Vendor (cVenCode, cVenAbbName, cVenHeadCode, cVenDepart, cVenPPerson, cVenPayCond, cVenWhCode, cAccountPID) VALUES
        ('V001', '华东精工', NULL, '01', '0001', '02', '01', 'A1'), ('V003', '精工昆山', 'V001', NULL, NULL, NULL, NULL, NULL);
      INSERT INTO Vendor (cVenCode, cVenAbbName, dEndDate) VALUES ('V009', '东方五金', '2025-12-31');
      INSERT INTO Inventory (cInvCode, cInvName, cInvAddCode, cGroupCode, iGroupType, cComUnitCode, cPUComUnitCode,
                             iTaxRate, bfree3, bProxyForeign, bInvEntrust, bService, bInvType, dEDate) VALUES
        ('A01', '螺栓', 'ADD1', '01', 0, '0101', NULL, 13, 1, 0, 0, 0, 0, NULL),
        ('B02', 'A01', NULL, '01', 0, '0101', NULL, 13, 0, 0, 0, 0, 0, NULL),
        ('P02', '端盖', NULL, '02', 1, '0201', '0202', NULL, 0, 0, 0, 0, 0, NULL),
        ('F01', '运费', NULL, '01', 0, '0101', NULL, 9, 0, 1, 0, 1, 0, NULL),
        ('S01', '服务费', NULL, '01', 0, '0101', NULL, 6, 0, 0, 0, 1, 0, NULL),
        ('E01', '代销油', NULL, '01', 0, '0101', NULL, 13, 0, 0, 1, 0, 0, NULL);
      INSERT INTO fitemss97 (cItemCode, cItemName, bclose) VALUES ('RD0', '旧项目', 1);
      INSERT INTO UserDefine (cID, cValue, cAlias) VALUES ('28', '70度', '70A');
    )");
  }
};

class BillhHead : public BillhTest {
 protected:
  BillhHead() { headRow = {{"dpbvdate", "2026-03-02T00:00:00"}, {"boriginal", "False"}, {"caccountpid", "A1"}, {"cpayname", "月结30天"}}; }
};

const std::string kVenRight = grant("Vendor", "V003");
const std::string kClosed = "单据日期所在月份已经结账，请重新填写录入日期！";
const Attributes kDate{{"caccountpdate", "2026-05-01"}};  // a head that has the field
const Pair kDue{"caccountpdate", "2026-04-01"};

const EntryCase kHeadCases[] = {
    {"VendorByName", "cVenAbbName_1", {{"cvenabbname_1", "华东精工"}, {"cpayname", "货到付款"}}, {}, "",
     {{"cVenCode", "V001"}, {"cUnitCode", "V001"}, {"cWhName", "原材料库"}, {"cPersonName", "王磊"}, {"cPayName", "月结30天"}, {"caccountpname", "票到30天"}, kDue},
     39},
    {"BranchAdvancesThroughItsHeadOffice", "cvenabbname_1", {{"cvenabbname_1", "V003"}, {"cpayname", "货到付款"}}, {}, "",
     {{"cVenCode", "V003"}, {"cUnitCode", "V001"}, {"caccountpdate", "2026-03-02"}}, 39},
    {"VendorCleared", "cvenabbname_1", {{"cvenabbname_1", ""}}, {}, "", {{"cVenCode", ""}, {"caccountpname", ""}}, 38},
    {"VendorClearedWithDate", "cvenabbname_1", with(kDate, {{"cvenabbname_1", ""}}), {}, "", {{"caccountpdate", ""}}, 39},
    {"UnitByName", "cVenAbbName", {{"cvenabbname", "华东精工"}}, {}, "", {{"cUnitCode", "V001"}, {"cVenAbbName", "华东精工"}}},
    {"UnitRight", "cvenabbname", {{"cvenabbname", "V001"}}, {}, "对不起，您没有录入该代垫单位的权限！", {}, -1, CS, 1, {"bCheckVendorAuth"}, kVenRight},
    {"PeriodByCode", "cAccountPName", {{"caccountpname", "A1"}}, {}, "", {{"cAccountPID", "A1"}, {"cAccountPName", "票到30天"}, kDue}},
    {"PeriodClearedPayCounts", "caccountpname", with(kDate, {{"caccountpname", ""}, {"cpayname", "02"}}), {}, "",
     {{"cAccountPID", ""}, {"cAccountPName", ""}, kDue}},
    {"PeriodClearedNoPay", "caccountpname", with(kDate, {{"caccountpname", ""}, {"cpayname", "无"}}), {}, "",
     {{"cAccountPName", ""}, {"caccountpdate", "2026-03-02T00:00:00"}}, 3},
    // The head holds the name typed, which is not a code: the condition the look-up found counts.
    {"PayByName", "cPayName", {}, {}, "", {{"cPayCode", "02"}, {"cPayName", "月结30天"}, kDue}},
    {"PayCleared", "cpayname", with(kDate, {{"cpayname", ""}}), {}, "", {{"cPayCode", ""}, {"cPayName", ""}, {"caccountpdate", "2026-03-02"}}},
    {"NewDateRate", "dPBVDate", {{"cexch_name", "USD"}}, {}, "", {{"cExchRate", "7.0156"}, kDue}},
    // No rate that day gives 1; February is closed, but the reply ends the call.
    {"NewDateNoRate", "dpbvdate", {{"cexch_name", "美元"}, {"dpbvdate", "2026-02-10"}}, {}, "",
     {{"cExchRate", "1"}, {"caccountpdate", "2026-03-12"}}},
    {"NewDateUnknownCurrency", "dpbvdate", {{"cexch_name", "英镑"}, {"dpbvdate", "2026-02-10"}}, {}, kClosed},
    {"OpeningOnStartDate", "dpbvdate", {{"boriginal", "True"}, {"dpbvdate", "2026-01-01T00:00:00"}}, {}, "期初发票录入日期应该是启用日期 [2026-01-01]以前的日期！"},
    {"OpeningBeforeStart", "dpbvdate", {{"boriginal", "1"}, {"dpbvdate", "2025-12-31"}}},
    {"ClosedMonth", "dpbvdate", {{"dpbvdate", "2026-02-28T00:00:00"}}, {}, kClosed},
    {"ClosedMonthFromPayables", "dpbvdate", {{"dpbvdate", "2026-02-10"}, {"csource", "应付"}}},
    {"PayablesScreen", "dpbvdate", {{"dpbvdate", "2026-02-10"}}, {}, "", {}, -1, CS, 1, {}, "", {{"sBillType", "WWAPPURP"}}},
    {"PayablesScreenOpening", "all", {{"boriginal", "True"}}, {}, "", {}, -1, CS, 1, {}, "", {{"sBillType", "wwappurz"}}},
    {"NoDateNothingToCompare", "dpbvdate", {{"dpbvdate", ""}, {"boriginal", ""}}},
    {"WholePassBS", "all", {{"cvenabbname_1", "V009"}, {"cvenabbname", "无名"}, {"cdepname", "03"}, {"caccountpname", "无"}, {"cpayname", "无"},
                            {"cptname", ""}, {"dpbvdate", "2026-02-10"}}, {},
     "供应商录入不正确或已经停用，请检查！\r代垫单位录入不正确或已经停用，请检查！\r账期录入不正确，请检查！\r部门录入不正确或是非末级，请检查！\r"
     "付款条件录入不正确，请检查！\r" + kClosed + "\r", {}, -1, BS},
    {"WholePassFillsNothing", "all", {{"cvenabbname_1", "V001"}, {"cdepname", "01"}, {"cexch_name", "USD"}}},
};

TEST_P(BillhHead, Case) { run(GetParam()); }
INSTANTIATE_TEST_SUITE_P(Invoice, BillhHead, ::testing::ValuesIn(kHeadCases), entryName);

TEST_F(BillhHead, RunTimeErrorsReachTheCaller) {
  headRow.clear();
  EXPECT_EQ(errorNumber([&] { verifyHead("dpbvdate", {{"boriginal", "abc"}, {"dpbvdate", "2026-03-02"}}); }), err::TypeMismatch);
  EXPECT_EQ(errorNumber([&] { verifyHead("all", {{"boriginal", "False"}, {"dpbvdate", "2026-02-30"}}); }), err::TypeMismatch);
}

class BillhBody : public BillhTest {
 protected:
  BillhBody() {
    headRow = {{"cvencode", "V001"}, {"dpbvdate", "2026-03-02T00:00:00"}, {"cexch_name", "人民币"}, {"cexchrate", "7.5"},
               {"ipbvtaxrate", "17"}, {"cpbvbilltype", "02"}, {"cbustype", "委外加工"}};
  }
};

// A goods line whose tax adds up, a service line.
const Attributes kGoods{{"cinvcode", "B02"}, {"bservice", "False"}, {"binvtype", "False"}, {"itaxrate", "17"},
                        {"iorimoney", "100"}, {"iorisum", "100"}, {"ioritaxprice", "17"}};
const Attributes kService = with(kGoods, {{"cinvcode", "S01"}, {"bservice", "True"}});
// Free items 2 and 3 on an item that uses free item 3 only.
const Attributes kFree = with(kGoods, {{"cinvcode", "A01"}, {"cfree2", "红"}, {"cfree3", ""}});
const Attributes kP02{{"cinvcode", "P02"}, {"ipbvquantity", "-30"}};
// Rate 10, entered tax 17.
Attributes taxed(const char* money, const char* sum) { return {{"iorimoney", money}, {"iorisum", sum}, {"itaxrate", "10"}, {"ioritaxprice", "17"}}; }

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
constexpr int kItemPairs = 34;  // the item list's 31 columns, iCost, bExBill and iNum

const EntryCase kLineCases[] = {
    // The exact code wins over the item whose name is the same text.
    {"ItemByCode", "cInvCode", {}, {line({{"cinvcode", "A01"}})}, "", {{"cInvCode", "A01"}}, kItemPairs},
    {"ServiceOnAnOrdinaryInvoice", "cinvcode", {}, {line({{"cinvcode", "S01"}})}, "", {{"cInvCode", "S01"}}, kItemPairs},
    {"ConsignmentItem", "cinvcode", {}, {line({{"cinvcode", "E01"}})}, "第[7]行存货录入不正确或已经停用，请检查！", {}, -1, CS, 7},
    {"FreightInvoiceTakesFreight", "cinvcode", {{"cpbvbilltype", "13"}}, {line({{"cinvcode", "F01"}})}, "",
     {{"cInvCode", "F01"}, {"bExBill", "1"}}, kItemPairs},
    {"FreightInvoiceRefusesGoods", "cinvcode", {{"cpbvbilltype", "委外运费发票"}}, {line({{"cinvcode", "A01"}})}, kItemWrong},
    {"DirectShipmentRefusesServices", "cinvcode", {{"cbustype", "直运采购"}}, {line({{"cinvcode", "S01"}})}, kItemWrong},
    {"OutsourcingRefusesGoods", "cinvcode", {{"csource", "委外"}}, {line({{"cinvcode", "A01"}})}, kItemWrong},
    {"ItemCleared", "cinvcode", {}, {line({{"cinvcode", ""}})}, "", {{"cInvCode", ""}, {"cInvName", ""}, {"itaxrate", ""}}, 31},
    // The item has no tax rate: the invoice's stands in.
    {"ItemPriced", "cinvcode", {}, {line(kP02)}, "",
     {{"itaxrate", "17"}, {"iCost", "0"}, {"bExBill", "0"}, {"iNum", "-3"}, {"ioricost", "6.8"}, {"iTaxRate", "13"}}, 36},
    {"ItemFromAReceipt", "cinvcode", {}, {line(with(kP02, {{"rdsid", "8"}, {"ipbvquantity", "0"}}))}, "", {{"iNum", ""}}, kItemPairs},
    {"ItemLatestChargeInLocalCurrency", "cinvcode", {}, {line(with(kP02, {{"iposid", "5"}}))}, "",
     {{"ioricost", "2"}, {"itaxrate", "0"}, {"iCost", "15"}}, kItemPairs, CS, 1, {}, kLatestCharge},
    {"OrdinaryNeedsAnOrder", "cinvcode", {{"cbustype", "普通采购"}}, {line({{"cinvcode", "A01"}})}, kOrdinary, {}, -1, CS, 1, {"bPTHavePO"}},
    {"OrdinaryOpeningInvoice", "cinvcode", {{"cbustype", "普通采购"}}, {line({{"cinvcode", "A01"}})}, "", {}, kItemPairs, CS, 1,
     {"bPTHavePO", "bOriginal"}},
    {"OrdinaryOnThePayablesScreen", "cinvcode", {{"cbustype", "普通采购"}}, {line({{"cinvcode", "A01"}})}, "", {}, kItemPairs, CS, 1,
     {"bPTHavePO"}, "", {{"sBillType", "APPURZ"}}},
    {"OrdinaryFreight", "cinvcode", {{"cbustype", "普通采购"}, {"cpbvbilltype", "13"}}, {line({{"cinvcode", "F01"}})}, "", {},
     kItemPairs, CS, 1, {"bPTHavePO"}},
    {"OrdinaryWholePass", "all", {{"cbustype", "普通采购"}}, {line(kGoods)}, "", {}, -1, CS, 1, {"bPTHavePO"}},
    {"DirectNeedsAnOrder", "cinvcode", {{"cbustype", "直运采购"}}, {line({{"cinvcode", "A01"}})}, "设置了“直运业务必有订单”选项后，只能参照录入存货，请检查！",
     {}, -1, CS, 1, {}, kDirectOn},
    {"DirectOneOptionOnly", "cinvcode", {{"cbustype", "直运采购"}}, {line({{"cinvcode", "A01"}})}, "", {}, kItemPairs, CS, 1, {},
     "INSERT INTO accinformation (cSysID, cName, cValue) VALUES ('SA', 'bMustSO_zyxs', 'True')"},
    {"UnitOfAnotherItem", "cinva_unit", {}, {line({{"cinvcode", "A01"}, {"cinva_unit", "箱"}})}, "第[2]行单位录入不正确，请检查！", {}, -1, CS, 2},
    {"ProjectClosed", "citemcode", {}, {line({{"citem_class", "97"}, {"citemcode", "RD0"}})}, "第[1]行项目录入不正确，请检查！"},
    {"Quantity", "iPBVQuantity", {}, {line({{"cinvcode", "P02"}, {"ipbvquantity", "10"}})}, "", {{"ioricost", "6.8"}, {"iTaxRate", "13"}}},
    {"QuantityFromAReceipt", "ipbvquantity", {}, {line({{"cinvcode", "P02"}, {"rdsid", "3"}})}, "", {}, 0},
    {"FreeItemMissingBS", "cFree3", {}, {line(kFree), line(kFree)}, "第[3]行有自由项3设置，必须输入！\r第[3]行有自由项3设置，必须输入！\r", {}, -1, BS, 3},
    {"FreeItemsWholePassBS", "all", {}, {line(with(kFree, {{"cfree3", "99度"}}))},
     "第[1]行没有自由项2设置，不能输入！\r第[1]行自由项2录入不正确，请检查！\r第[1]行自由项3录入不正确，请检查！\r", {}, -1, BS},
    {"FreeItemsFromPayables", "all", {{"csource", "应付"}}, {line(kFree)}, "", {}, -1, BS},
    {"LineTaxBeyond", "ioritaxprice", {}, {line(taxed("1", "170.2"))}, kTaxLine, {}, -1, CS, 5},
    {"SpecialInvoiceTaxesTheNetAmount", "ioritaxprice", {{"cpbvbilltype", "01"}}, {line(taxed("170.04", "999"))}},
    {"LineWithoutAmount", "ioritaxprice", {}, {line(taxed("", "999"))}},
    // Even in BS mode the message stands alone.
    {"ServicesOnly", "all", {}, {line(kService), line(with(kService, {{"cinvcode", "无此"}}))}, kExpenseOnly, {}, -1, BS},
    {"ServicesOnAFreightInvoice", "all", {{"cpbvbilltype", "13"}}, {line(with(kService, {{"cinvcode", "F01"}}))}},
    {"FlagThatDoesNotRead", "all", {}, {line(with(kGoods, {{"bservice", ""}}))}, kExpenseOnly},
    {"UnchangedGoods", "all", {}, {line(kGoods, ""), line(kGoods, "")}},
    {"NoLine", "all", {}, {line(kService, "D"), kService}, "", {}, -1, BS},
    // A rate that is not a number leaves the tax computed on the line before (17, as entered).
    {"RateNotANumber", "all", {}, {line(kGoods), line(with(kGoods, {{"itaxrate", "x"}}))}},
};

TEST_P(BillhBody, Case) { run(GetParam()); }
INSTANTIATE_TEST_SUITE_P(Invoice, BillhBody, ::testing::ValuesIn(kLineCases), entryName);

}  // namespace
}  // namespace tallyward::test
