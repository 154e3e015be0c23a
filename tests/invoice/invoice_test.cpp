// Invoices: the whole-voucher check, and the field entry on a real ERP database (head look-ups, due
// dates and date rules; item filters, order options, replies and tax rules of lines); a case per line.
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

// An outsourcing invoice head entered by abbreviation, and a line (10 at 10, 13 % tax) that pass
// every rule of every kind of invoice.
const Attributes kHead{{"csource", "委外"}, {"cbustype", "委外发票"}, {"cvenabbname", "华东精工"},
                       {"cpbvbilltype", "专用发票"}, {"cpbvcode", "FP0001"}, {"cexch_name", "人民币"},
                       {"cexchrate", "1"}, {"dpbvdate", "2026-11-20T00:00:00"}, {"cvenabbname_1", "华东精工"},
                       {"cdepname", "采购部"}, {"dvoudate", "2026-11-20"}, {"ipbvtaxrate", "13"}};
const Attributes kLine{{"cinvcode", "P1001"}, {"ipbvquantity", "10"}, {"iorimoney", "100"}, {"igrouptype", "0"},
                       {"cunitid", "个"}, {"binvtype", "False"}, {"bservice", "0"}, {"ioricost", "10"},
                       {"icost", "10"}, {"itaxrate", "13"}, {"iorisum", "113"}, {"isum", "113"}, {"imoney", "100"}};

Doc h(const Attributes& changes) { return H(with(kHead, changes)); }
// The changed line after an unchanged one whose faults (and unreadable flag) are not looked at.
Doc second(const Attributes& changes) {
  return B({line(with(kLine, {{"cinvcode", ""}, {"binvtype", ""}}), ""), line(with(kLine, changes))});
}
// The line alone, left unchanged, for a single-field check with R = 7.
Doc seven(const Attributes& changes) { return B({line(with(kLine, changes), "")}, 7); }
// Unchanged lines holding a quantity and an amount: counted in the totals, not checked.
Doc amounts(std::initializer_list<std::pair<const char*, const char*>> lines) {
  Doc d = B({});
  for (const auto& [quantity, amount] : lines) d.rows.push_back(line({{"ipbvquantity", quantity}, {"iorimoney", amount}}, ""));
  return d;
}
Props kind(const char* type, bool positive = true) { return {{"sBillType", type}, {"m_bPositive", positive}}; }
const Props kOut = kind("wwpurbill"), kFreight = kind("wwypurbill");

const std::string kNoItem = "]行存货不能为空，请检查！", kNoUnit = "]行计量单位不能为空，请检查！";
const std::string kNegRate = "]行换算率必须大于等于 0，请检查！", kNoTax = "]行税率未输入，请检查！！";
const std::string kOriPrice = "]行原币单价必须大于等于 0，请检查！", kPrice = "]行本币单价必须大于等于 0，请检查！";
const std::string kTaxRange = "]行税率必须在 0 到 100 之间，请检查！";
const std::string kOriSign = "]行原币金额必须与原币税价合计符号相同，请检查！";
const std::string kSign = "]行本币金额必须与本币税价合计符号相同，请检查！";
const std::string kNoOriMoney = "]行原币金额不能为空(可以为零)，请检查！", kNoMoney = "]行本币金额不能为空(可以为零)，请检查！";
const std::string kNoBoth = "]行数量和金额不能同时为空或为零，请检查！";
const std::string kPositive = "正发票的数量合计不能小于0，金额合计必须大于0！";
const std::string kNegative = "负发票的数量合计不能大于零，金额合计必须小于0！";
const std::string kPosFreight = "正运费发票金额合计必须大于0！", kNegFreight = "负运费发票金额合计必须小于0！";
const std::string kBothZero = "发票的数量和金额合计不能同时为零！";
const std::string kMismatch = errorText(err::TypeMismatch);

const Case kCases[] = {
    // Every mandatory field empty: each told once, in rule order; client mode stops at the first.
    {"head_bs_every_mandatory_empty", "all", BS,
     h({{"cbustype", ""}, {"cvenabbname", ""}, {"cpbvbilltype", ""}, {"cpbvcode", ""}, {"cexch_name", ""}, {"cexchrate", ""},
        {"dpbvdate", ""}, {"cvenabbname_1", ""}, {"cdepname", ""}}),
     "业务类型不能为空，请检查！\r代垫单位不能为空，请检查！\r发票类别不能为空，请检查！\r发票号不能为空，请检查！\r发票币种不能为空，请检查！\r"
     "发票汇率不能为空，请检查！\r录入日期不能为空，请检查！\r供应商不能为空，请检查！\r部门不能为空，请检查！\r"},
    {"head_cs_first_mandatory", "all", CS, h({{"cpbvcode", ""}, {"cvenabbname_1", ""}}), "发票号不能为空，请检查！"},
    {"head_interface_codes", "all", BS, h({{"sysname", "Eai"}, {"cunitcode", ""}, {"cvencode", ""}}),
     "代垫单位不能为空，请检查！\r供应商不能为空，请检查！\r"},
    {"head_interface_ignores_names", "all", CS,
     h({{"sysname", "EAI"}, {"cunitcode", "V"}, {"cvencode", "V"}, {"cvenabbname", ""}, {"cvenabbname_1", ""}}), ""},
    {"head_department_not_in_cs", "all", CS, h({{"cdepname", ""}}), ""},
    {"head_lower_t_does_not_cut", "all", CS, h({{"dpbvdate", "2026-11-20t00:00:00"}}), "录入日期录入错误，请检查！"},
    {"head_bad_invoice_date", "all", BS, h({{"dvoudate", "2026-13-01"}}), "发票日期录入错误，请检查！\r"},
    {"head_purchase_outsourcing_type", "cbustype", CS, h({{"csource", "采购"}, {"cbustype", "委外发票"}}), "业务类型录入错误，请检查！"},
    {"head_other_source_any_type", "all", CS, h({{"csource", "其他"}, {"cbustype", "随便"}}), ""},
    {"head_unreadable_rate", "all", CS, h({{"cexchrate", "abc"}}), "汇率必须大于零，请检查！"},
    {"head_edges_pass", "all", BS, h({{"dpbvdate", "2026-11-20T10:20:30"}, {"dvoudate", ""}, {"ipbvtaxrate", "0"}, {"cexchrate", "0.0001"}}), ""},
    {"head_unreadable_tax_reads_0", "ipbvtaxrate", CS, h({{"ipbvtaxrate", "abc"}}), ""},
    {"head_bs_all_in_order", "ALL", BS,
     H(with(without(kHead, {"cdepname"}), {{"ipbvtaxrate", "120"}, {"cvenabbname_1", ""}, {"dpbvdate", "2026-02-30"}})),
     "供应商不能为空，请检查！\r部门不能为空，请检查！\r录入日期录入错误，请检查！\r税率必须在 0 到 100 之间，请检查！\r"},
    {"head_mandatory_left_to_pass", "cpbvcode", BS, h({{"cpbvcode", ""}, {"cexchrate", ""}}), ""},
    {"head_first_row_only", "all", CS, {true, {kHead, with(kHead, {{"cpbvcode", ""}})}}, ""},
    {"head_without_rows", "ipbvtaxrate", CS, {true, {}}, errorText(err::ObjectNotSet)},
    {"no_item", "all", CS, second({{"cinvcode", ""}}), row(2, kNoItem), kOut},
    {"no_quantity_nor_money", "all", BS, second({{"ipbvquantity", ""}, {"iorimoney", "abc"}}), row(2, kNoBoth + CR), kOut},
    {"project_class_without_project", "all", CS, second({{"citem_class", "01"}}), row(2, "]行有项目大类，必须录入项目！"), kOut},
    {"fixed_no_rate_collected_in_cs", "all", CS, second({{"igrouptype", "1"}, {"sysname", "EAI"}}), row(2, "]行换算率不能为空，请检查！\r"), kOut},
    {"fixed_no_rate_not_while_typing", "iinvexchrate", CS, seven({{"igrouptype", "1"}}), "", kOut},
    {"interface_line_skips_rate", "all", BS, second({{"igrouptype", "1"}, {"sysname", "eai"}, {"iinvexchrate", "-1"}}), "", kOut},
    {"negative_rate_empty_group", "IINVEXCHRATE", BS, seven({{"igrouptype", ""}, {"iinvexchrate", "-0.5"}}), row(7, kNegRate), kOut},
    {"single_unit_ignores_rate", "all", CS, second({{"igrouptype", "0"}, {"iinvexchrate", "-0.5"}}), "", kOut},
    {"no_unit", "all", BS, second({{"cunitid", ""}, {"igrouptype", "2"}, {"iinvexchrate", "3"}}), row(2, kNoUnit + CR), kOut},
    {"negative_price", "ioricost", CS, seven({{"ioricost", "-0.01"}}), row(7, kOriPrice), kOut},
    {"service_negative_prices", "icost", CS, seven({{"ioricost", "-1"}, {"bservice", "-1"}, {"icost", "-1"}}), "", kOut},
    {"tax_100", "itaxrate", CS, seven({{"itaxrate", "100"}}), row(7, kTaxRange), kOut},
    {"no_tax_rate", "itax", CS, seven({{"itaxrate", ""}}), row(7, kNoTax), kOut},
    {"project_before_class", "citemcode", CS, seven({{"citemcode", "X01"}}), row(7, "]行在没有输入项目大类之前，请参照输入项目！"), kOut},
    {"empty_project_with_class_while_typing", "citemcode", BS, seven({{"citemcode", ""}, {"citem_class", "01"}}), "", kOut},
    {"opposite_money_appended", "all", BS, second({{"iorimoney", "-100"}}), row(2, kOriSign), kOut},
    {"opposite_money_at_once", "iorimoney", BS, seven({{"iorisum", "-1"}}), row(7, kOriSign), kOut},
    {"tiny_opposite_money", "all", CS, second({{"iorimoney", "1e-200"}, {"iorisum", "-1e-200"}}), row(2, kOriSign), kOut},
    {"opposite_local_money", "imoney", CS, seven({{"imoney", "-100"}}), row(7, kSign), kOut},
    {"zero_money_passes_sign", "imoney", CS, seven({{"iorimoney", "0"}, {"iorisum", "-5"}, {"imoney", "-5"}, {"isum", ""}}), "", kOut},
    {"freight_no_ori_sum", "all", BS, second({{"iorisum", ""}}), row(2, "]行本币金额不能为空或者为零，请检查！"), kFreight},
    {"freight_zero_sums_pass", "all", BS, second({{"iorisum", "0"}, {"isum", "0"}, {"iorimoney", "-50"}, {"imoney", ""}}), "", kFreight},
    {"other_kind_no_ori_money", "iorisum", CS, seven({{"iorisum", ""}}), row(7, kNoOriMoney), kind("")},
    {"kind_compared_exactly", "all", BS, second({{"isum", ""}}), row(2, kNoMoney), kind("WWYPURBILL")},
    {"bs_lines_in_order", "all", BS,
     B({line(with(kLine, {{"cinvcode", ""}, {"ipbvquantity", ""}, {"iorimoney", ""}, {"imoney", ""}, {"itaxrate", ""}})),
        line(with(kLine, {{"cunitid", ""}, {"igrouptype", "1"}, {"iinvexchrate", "2"}}))}),
     row(1, kNoItem + CR) + row(1, kNoBoth + CR) + row(1, kNoTax + CR) + row(1, kNoOriMoney) + row(1, kNoMoney) +
         row(2, kNoUnit + CR), kOut},
    {"cs_at_once_drops_collected", "all", CS,
     B({line(with(kLine, {{"cunitid", ""}, {"igrouptype", "1"}, {"iinvexchrate", "2"}})), line(with(kLine, {{"cinvcode", ""}}))}),
     row(2, kNoItem), kOut},
    {"deleted_and_unmarked_not_counted", "all", CS,
     B({line(with(kLine, {{"icost", "-1"}}), "D"), with(kLine, {{"icost", "-1"}}), line(with(kLine, {{"cinvcode", ""}}))}), row(1, kNoItem), kOut},
    {"unchanged_lines_counted", "all", CS,
     B({line(with(kLine, {{"cinvcode", ""}}), ""), line(with(kLine, {{"cinvcode", ""}}), ""), line(with(kLine, {{"cinvcode", ""}}), "M")}),
     row(3, kNoItem), kOut},
    {"missing_field_reads_empty", "all", CS, B({line(kLine), line(without(kLine, {"cinvcode"}))}), row(2, kNoItem), kOut},
    {"item_first", "iPBVQuantity", BS, seven({{"cinvcode", ""}}), row(7, "]行请先录入存货！"), kOut},
    {"item_key_itself", "cinvcode", BS, seven({{"cinvcode", ""}}), "", kOut},
    {"first_report_ends_single_field", "icost", BS,
     B({line(with(kLine, {{"icost", "-1"}})), line(with(kLine, {{"icost", "-1"}, {"cinvcode", ""}}))}, "4"), row(4, kPrice), kOut},
    {"no_lines_single_field", "icost", BS, B({}, 4), "", kOut},
    {"empty_price_ends_call", "ioricost", CS, B({line(with(kLine, {{"ioricost", ""}})), line(with(kLine, {{"ioricost", "-1"}}))}, 1), "", kOut},
    {"empty_local_price_passes_its_line", "icost", CS, B({line(with(kLine, {{"icost", ""}})), line(with(kLine, {{"icost", "-1"}}))}, 1), row(1, kPrice), kOut},
    {"empty_flag_fails", "all", BS, second({{"binvtype", ""}}), kMismatch, kOut},
    {"unreadable_tax_rate", "all", BS, second({{"itaxrate", "13%"}}), kMismatch, kOut},
    {"unreadable_flag_negative_price", "icost", BS, seven({{"icost", "-1"}, {"binvtype", "x"}}), kMismatch, kOut},
    {"flag_not_read_for_positive_price", "icost", BS, seven({{"icost", "1"}, {"binvtype", "x"}}), "", kOut},
    {"totals_negative_quantity", "all", BS, amounts({{"3", "30"}, {"-5", "10"}}), kPositive, kOut},
    {"totals_both_zero", "all", BS, amounts({{"0", ""}, {"", "abc"}}), kBothZero, kOut},
    {"totals_negative_positive_quantity", "all", CS, amounts({{"1", "-100"}}), kNegative, kind("wwpurbill", false)},
    {"totals_freight_negative_quantity", "all", BS, amounts({{"-1", "10"}}), kPosFreight, kFreight},
    {"totals_freight_all_zero", "all", CS, amounts({{"0", "0"}}), kPosFreight + kBothZero, kFreight},
    {"totals_no_lines", "all", CS, B({}), kNegFreight + kBothZero, kind("wwypurbill", false)},
    {"totals_tiny_amount_real", "all", CS, amounts({{"0", "0.000001"}}), "", kFreight},
    {"totals_count_every_line", "all", BS,
     B({line({{"ipbvquantity", "2"}, {"iorimoney", "20"}}, ""), line({{"ipbvquantity", "-50"}, {"iorimoney", "-500"}}, "D"),
        {{"ipbvquantity", "-50"}, {"iorimoney", "-500"}}, line(with(kLine, {{"imoney", ""}, {"iorimoney", "-30"}, {"iorisum", "-33.9"}}))}),
     row(2, kNoMoney) + kPositive, kOut},
    {"totals_follow_collected_in_cs", "all", CS,
     B({line(with(kLine, {{"cunitid", ""}, {"igrouptype", "1"}, {"iinvexchrate", "1"}}))}), row(1, kNoUnit + CR) + kNegative,
     kind("wwpurbill", false)},
    {"totals_not_after_at_once", "all", CS,
     B({line(with(kLine, {{"cunitid", ""}, {"igrouptype", "1"}, {"iinvexchrate", "1"}})), line(with(kLine, {{"itaxrate", "100"}}))}),
     row(2, kTaxRange), kind("wwpurbill", false)},
    {"totals_not_in_single_field", "ipbvquantity", CS, B({line(with(kLine, {{"ipbvquantity", "0"}, {"iorimoney", "0"}}), "")}, 1), "", kOut},
};

TW_WHOLE_VOUCHER_CASES(InvoiceBillF, "ClsS_VerifyBillF", kCases);

// The sample invoices give the verdicts the demo shows.
TEST(InvoiceBillFSamples, Verdicts) {
  const std::string lines = row(3, kNoItem + CR) + row(3, kNoOriMoney) + row(3, kNoMoney) + row(4, kNoUnit + CR) +
                            row(4, kOriPrice + CR) + row(4, kPrice + CR) + row(5, kNoTax + CR) + row(5, kSign);
  EXPECT_EQ(sampleVerdict("ClsS_VerifyBillF", "VerifyBody", "invoice_body.xml", {"sBillType=wwpurbill", "m_bPositive=true"}), lines);
  EXPECT_EQ(sampleVerdict("ClsS_VerifyBillF", "VerifyHead", "invoice_head.xml", {}),
            "发票号不能为空，请检查！\r部门不能为空，请检查！\r发票日期录入错误，请检查！\r业务类型录入错误，请检查！\r"
            "汇率必须大于零，请检查！\r税率必须在 0 到 100 之间，请检查！\r");
}

}  // namespace
}  // namespace tallyward::test
