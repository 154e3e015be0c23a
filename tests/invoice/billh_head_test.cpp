// Invoice head entry on a real ERP database, one case per line: the look-ups by name and code with
// their refusals, data rights and replies (the account-period date included), the rate of a new
// invoice date, the date rules, whole passes, and the errors the caller receives.
#include "billh_fixture.h"

namespace tallyward::test {
namespace {

struct HeadCase {
  const char* name;
  const char* key;
  Attributes head;       // over an invoice of 2 March 2026, account period A1, 30 days to pay
  std::string verdict;
  Pairs reply = {};      // in this order; none: the document is left as it was
  int pairs = -1;        // how many pairs the reply has, when `reply` lists only some of them
  const char* on = "";   // a session switch turned on
  const char* sql = "";  // statements run first (rights, settings)
  UseMode mode = UseMode::CS;
  const char* billType = "";
};

void PrintTo(const HeadCase& c, std::ostream* os) { *os << c.name; }

const char* const kVenRight = "INSERT INTO tw_data_right VALUES ('demo', 'Vendor', 'V003', 'W')";
const std::string kClosed = "单据日期所在月份已经结账，请重新填写录入日期！";
const Attributes kDate{{"caccountpdate", "2026-05-01"}};  // a head that has the field
const Pair kDue{"caccountpdate", "2026-04-01"};

const HeadCase kHeadCases[] = {
    {"VendorByName", "cVenAbbName_1", {{"cvenabbname_1", "华东精工"}, {"cpayname", "货到付款"}}, "",
     {{"cVenCode", "V001"}, {"cUnitCode", "V001"}, {"cWhName", "原材料库"}, {"cPersonName", "王磊"},
      {"cPayName", "月结30天"}, {"caccountpname", "票到30天"}, kDue}, 39},
    {"BranchAdvancesThroughItsHeadOffice", "cvenabbname_1", {{"cvenabbname_1", "V003"}, {"cpayname", "货到付款"}}, "",
     {{"cVenCode", "V003"}, {"cUnitCode", "V001"}, {"caccountpdate", "2026-03-02"}}, 39},
    {"VendorWithApostrophe", "cvenabbname_1", {{"cvenabbname_1", "O'Brien & <Co>"}}, "",
     {{"cVenAbbName_1", "O'Brien & <Co>"}}, 39},
    {"VendorInjection", "cvenabbname_1", {{"cvenabbname_1", "x' OR '1'='1"}}, "供应商录入不正确或已经停用，请检查！"},
    {"VendorStopped", "cvenabbname_1", {{"cvenabbname_1", "V009"}}, "供应商录入不正确或已经停用，请检查！"},
    {"VendorCleared", "cvenabbname_1", {{"cvenabbname_1", ""}}, "", {{"cVenCode", ""}, {"caccountpname", ""}}, 38},
    {"VendorClearedWithDate", "cvenabbname_1", with(kDate, {{"cvenabbname_1", ""}}), "", {{"caccountpdate", ""}}, 39},
    {"VendorRight", "cvenabbname_1", {{"cvenabbname_1", "V003"}}, "对不起，您没有录入该供应商的权限！", {}, -1,
     "bCheckVendorAuth"},
    {"VendorRightHeld", "cvenabbname_1", {{"cvenabbname_1", "V003"}}, "", {}, 39, "bCheckVendorAuth", kVenRight},
    {"UnitByName", "cVenAbbName", {{"cvenabbname", "华东精工"}}, "", {{"cUnitCode", "V001"}, {"cVenAbbName", "华东精工"}}},
    {"UnitUnknown", "cvenabbname", {{"cvenabbname", "无名"}}, "代垫单位录入不正确或已经停用，请检查！"},
    {"UnitRight", "cvenabbname", {{"cvenabbname", "V001"}}, "对不起，您没有录入该代垫单位的权限！", {}, -1,
     "bCheckVendorAuth", kVenRight},
    {"UnitRightHeld", "cvenabbname", {{"cvenabbname", "精工昆山"}}, "", {}, 2, "bCheckVendorAuth", kVenRight},
    {"PeriodByName", "accountperiod", {{"caccountpname", "票到30天"}}, "",
     {{"cAccountPID", "A1"}, {"cAccountPName", "票到30天"}}},
    {"PeriodByCode", "cAccountPName", {{"caccountpname", "A1"}}, "", {{"cAccountPID", "A1"}, {"cAccountPName", "票到30天"}, kDue}},
    {"PeriodUnknown", "caccountpname", {{"caccountpname", "无"}}, "账期录入不正确，请检查！"},
    {"PeriodCleared", "accountperiod", with(kDate, {{"caccountpname", ""}}), "", {{"cAccountPID", ""}, {"cAccountPName", ""}}},
    {"PeriodClearedPayCounts", "caccountpname", with(kDate, {{"caccountpname", ""}, {"cpayname", "02"}}), "",
     {{"cAccountPID", ""}, {"cAccountPName", ""}, kDue}},
    {"PeriodClearedNoPay", "caccountpname", with(kDate, {{"caccountpname", ""}, {"cpayname", "无"}}), "",
     {{"cAccountPName", ""}, {"caccountpdate", "2026-03-02T00:00:00"}}, 3},
    {"PeriodClearedNoDateField", "caccountpname", {{"caccountpname", ""}}, "", {{"cAccountPID", ""}, {"cAccountPName", ""}}},
    {"DepartmentByCode", "cdepname", {{"cdepname", "01"}}, "", {{"cDepCode", "01"}, {"cDepName", "采购部"}}},
    {"DepartmentNotALeaf", "cdepname", {{"cdepname", "生产中心"}}, "部门录入不正确或是非末级，请检查！"},
    {"DepartmentRight", "cdepname", {{"cdepname", "采购部"}}, "对不起，您没有录入该部门的权限！", {}, -1, "bCheckDepartAuth"},
    {"DepartmentCleared", "cdepname", {{"cdepname", ""}}, "", {{"cDepCode", ""}, {"cDepName", ""}}},
    {"PayByCode", "cpayname", {{"cpayname", "02"}}, "", {{"cPayCode", "02"}, {"cPayName", "月结30天"}, kDue}},
    // The head holds the name typed, which is not a code: the condition the look-up found counts.
    {"PayByName", "cPayName", {}, "", {{"cPayCode", "02"}, {"cPayName", "月结30天"}, kDue}},
    {"PayUnknown", "cpayname", {{"cpayname", "无"}}, "付款条件录入不正确，请检查！"},
    {"PayCleared", "cpayname", with(kDate, {{"cpayname", ""}}), "",
     {{"cPayCode", ""}, {"cPayName", ""}, {"caccountpdate", "2026-03-02"}}},
    {"PayClearedNoPeriod", "cpayname", with(kDate, {{"cpayname", ""}, {"caccountpid", ""}}), "",
     {{"cPayCode", ""}, {"cPayName", ""}, {"caccountpdate", "2026-03-02T00:00:00"}}},
    {"PurchaseTypeByCode", "cptname", {{"cptname", "01"}}, "", {{"cPTCode", "01"}, {"cPTName", "生产采购"}}},
    {"PurchaseTypeUnknown", "cptname", {{"cptname", "无"}}, "采购类型录入不正确，请检查！"},
    {"SalesmanByName", "cpersonname", {{"cpersonname", "王磊"}}, "",
     {{"cPersonCode", "0001"}, {"cPersonName", "王磊"}, {"cDepCode", "01"}, {"cDepName", "采购部"}}},
    {"SalesmanUnknown", "cpersonname", {{"cpersonname", "无"}}, "业务员录入不正确，请检查！"},
    {"SalesmanRight", "cpersonname", {{"cpersonname", "0001"}}, "对不起，您没有录入该业务员的权限！", {}, -1, "bCheckPersonAuth"},
    {"SalesmanCleared", "cpersonname", {{"cpersonname", ""}}, "", {{"cPersonCode", ""}, {"cPersonName", ""}}},
    {"NewDateRate", "dPBVDate", {{"cexch_name", "USD"}}, "", {{"cExchRate", "7.0156"}, kDue}},
    // No rate that day gives 1; February is closed, but the reply ends the call.
    {"NewDateNoRate", "dpbvdate", {{"cexch_name", "美元"}, {"dpbvdate", "2026-02-10"}}, "",
     {{"cExchRate", "1"}, {"caccountpdate", "2026-03-12"}}},
    {"NewDatePeriodRate", "dpbvdate", {{"cexch_name", "USD"}, {"dpbvdate", "2026-03-20"}}, "",
     {{"cExchRate", "7.02"}, {"caccountpdate", "2026-04-19"}}, -1, "", "UPDATE accinformation SET cValue='1' WHERE cName='iXchgRateStl'"},
    {"NewDateUnknownCurrency", "dpbvdate", {{"cexch_name", "英镑"}, {"dpbvdate", "2026-02-10"}}, kClosed},
    {"Currency", "cexch_name", {{"cexch_name", "USD"}}, "", {{"cexch_name", "美元"}, {"cexch_code", "USD"}, {"cExchRate", "7.0156"}}},
    {"CurrencyCleared", "cexch_name", {{"cexch_name", ""}}, "", {{"cexch_name", ""}, {"cexch_code", ""}, {"cExchRate", ""}}},
    {"CurrencyUnknown", "cexch_name", {{"cexch_name", "英镑"}}, "外币录入不正确，请检查！"},
    {"OpeningOnStartDate", "dpbvdate", {{"boriginal", "True"}, {"dpbvdate", "2026-01-01T00:00:00"}},
     "期初发票录入日期应该是启用日期 [2026-01-01]以前的日期！"},
    {"OpeningBeforeStart", "dpbvdate", {{"boriginal", "1"}, {"dpbvdate", "2025-12-31"}}, ""},
    {"ClosedMonth", "dpbvdate", {{"dpbvdate", "2026-02-28T00:00:00"}}, kClosed},
    {"FirstOpenMonth", "dpbvdate", {{"dpbvdate", "2026-03-01"}}, ""},
    {"ClosedMonthFromPayables", "dpbvdate", {{"dpbvdate", "2026-02-10"}, {"csource", "应付"}}, ""},
    {"ClosedMonthFromOutsourcing", "dpbvdate", {{"dpbvdate", "2026-02-10"}, {"csource", "委外"}}, ""},
    {"AfterTheYear", "dpbvdate", {{"dpbvdate", "2027-01-05"}}, ""},
    {"EveryMonthClosed", "dpbvdate", {{"dpbvdate", "2026-02-10"}}, "", {}, -1, "", "UPDATE gl_mend SET bflag_om=1"},
    {"PayablesScreen", "dpbvdate", {{"dpbvdate", "2026-02-10"}}, "", {}, -1, "", "", UseMode::CS, "WWAPPURP"},
    {"PayablesScreenOpening", "all", {{"boriginal", "True"}}, "", {}, -1, "", "", UseMode::CS, "wwappurz"},
    {"NoDateNothingToCompare", "dpbvdate", {{"dpbvdate", ""}, {"boriginal", ""}}, ""},
    {"WholePassBS", "all", {{"cvenabbname_1", "无名"}, {"cdepname", "03"}, {"cptname", ""}, {"dpbvdate", "2026-02-10"}},
     "供应商录入不正确或已经停用，请检查！\r部门录入不正确或是非末级，请检查！\r" + kClosed + "\r", {}, -1, "", "", UseMode::BS},
    {"WholePassCS", "ALL", {{"cvenabbname_1", "无名"}, {"cdepname", "03"}}, "供应商录入不正确或已经停用，请检查！"},
    {"WholePassRightBS", "all", {{"cpersonname", "王磊"}}, "对不起，您没有录入该业务员的权限！\r", {}, -1, "bCheckPersonAuth",
     "", UseMode::BS},
    {"WholePassFillsNothing", "all", {{"cvenabbname_1", "V001"}, {"cdepname", "01"}, {"cexch_name", "USD"}}, ""},
};

class BillhHead : public BillhTest, public ::testing::WithParamInterface<HeadCase> {
 protected:
  BillhHead() {
    sql(R"(
      INSERT INTO Department (cDepCode, cDepName, bDepEnd) VALUES ('01', '采购部', 1), ('03', '生产中心', 0);
      INSERT INTO Person (cPersonCode, cPersonName, cDepCode) VALUES ('0001', '王磊', '01');
      INSERT INTO PayCondition (cPayCode, cPayName, iPayCreDays) VALUES ('01', '货到付款', 0), ('02', '月结30天', 30);
      INSERT INTO PurchaseType (cPTCode, cPTName) VALUES ('01', '生产采购');
      INSERT INTO WareHouse (cWhCode, cWhName) VALUES ('01', '原材料库');
      INSERT INTO AccountPeriod (cAccountPID, cAccountPName) VALUES ('A1', '票到30天');
      INSERT INTO Vendor (cVenCode, cVenAbbName, cVenHeadCode, cVenDepart, cVenPPerson, cVenPayCond, cVenWhCode,
                          cAccountPID, dEndDate) VALUES
        ('V001', '华东精工', NULL, '01', '0001', '02', '01', 'A1', NULL), ('V003', '精工昆山', 'V001', NULL, NULL, NULL, NULL, NULL, NULL),
        ('V002', 'O''Brien & <Co>', NULL, NULL, NULL, NULL, NULL, NULL, NULL),
        ('V009', '东方五金', NULL, NULL, NULL, NULL, NULL, NULL, '2025-12-31 00:00:00');
      INSERT INTO ForeignCurrency (cexch_name, cexch_code) VALUES ('美元', 'USD');
      INSERT INTO exch (cexch_name, itype, cdate, nflat) VALUES ('美元', 1, '2026.03.02', 7.0156), ('美元', 2, '3', 7.02);
      INSERT INTO ua_period (cacc_id, iyear, iID, dBegin, dEnd) VALUES ('001', 2026, 3, '2026-03-01', '2026-03-31');
    )");
  }

  std::shared_ptr<Document> doc;
  const Attributes dated{{"dpbvdate", "2026-03-02T00:00:00"}, {"boriginal", "False"}, {"caccountpid", "A1"},
                         {"cpayname", "月结30天"}};
};

TEST_P(BillhHead, Case) {
  const HeadCase& c = GetParam();
  if (*c.on) info->set(c.on, true);
  if (*c.sql) sql(c.sql);
  billh.m_UseMode = c.mode;
  billh.sBillType = c.billType;
  doc = head(with(dated, c.head));
  EXPECT_EQ(billh.VerifyHead(c.key, *doc), c.verdict);
  expectReply(*doc, c.reply, c.pairs);
}

INSTANTIATE_TEST_SUITE_P(Invoice, BillhHead, ::testing::ValuesIn(kHeadCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(BillhTest, HeadRunTimeErrorsReachTheCaller) {
  auto errorOf = [&](const std::string& key, const Attributes& row) {
    try {
      billh.VerifyHead(key, *head(row));
    } catch (const Error& e) {
      return e.number();
    }
    return 0;
  };
  EXPECT_EQ(errorOf("dpbvdate", {{"boriginal", "abc"}, {"dpbvdate", "2026-03-02"}}), err::TypeMismatch);
  EXPECT_EQ(errorOf("all", {{"boriginal", "False"}, {"dpbvdate", "2026-02-30"}}), err::TypeMismatch);
  EXPECT_EQ(errorOf("somefield", {{"boriginal", "abc"}}), 0);  // a key no rule names asks nothing
  sql("DELETE FROM accinformation WHERE cName='iXchgRateStl'");
  EXPECT_EQ(errorOf("cexch_name", {{"cexch_name", "USD"}}), err::NoCurrentRecord);
  billh.m_Cnn.reset();
  EXPECT_EQ(errorOf("cdepname", {{"cdepname", "01"}}), err::ObjectNotSet);
}

}  // namespace
}  // namespace tallyward::test
