// Order head entry: the vendor, department, payment terms, purchase type, salesman, shipping
// method and currency typed into the head of an outsourcing order, looked up by name or code,
// and the exchange rate of the order date; and the check of a purchase order code.
#include <array>

#include "entry/lookup.h"
#include "erp/reference_sql.h"
#include "erp/settings.h"
#include "platform/db/sql_text.h"
#include "rows/voucher.h"
#include "tallyward/classes.h"

namespace tallyward {

namespace {

using voucher_kind::Order;

constexpr DataRight kVendorRight{&Session::bCheckVendorAuth, rightkind::Vendor, "cVenCode",
                                 "对不起，您没有录入该供应商的权限！"};
constexpr DataRight kDepartmentRight{&Session::bCheckDepartAuth, rightkind::Department, "cDepCode",
                                     "对不起，您没有录入该部门的权限！"};
constexpr DataRight kPersonRight{&Session::bCheckPersonAuth, rightkind::Person, "cPersonCode",
                                 "对不起，您没有录入该业务员的权限！"};

// The head look-ups, in the order they run. Stopped vendors (an end date) and departments that
// are not leaves cannot be entered.
const LookupRule kHeadLookups[] = {
    {.key = "cvenabbname", .field = "cVenAbbName", .voucherKind = Order,
     .referenceKind = reference_kind::Vendor,
     .where = " WHERE (cVenAbbName='{0}' OR cVenCode='{0}') and (dEndDate IS NULL)",
     .right = &kVendorRight, .notFound = "供应商录入不正确或已经停用，请检查！"},
    {.key = "cdepname", .field = "cDepName", .voucherKind = Order,
     .referenceKind = reference_kind::Department,
     .where = " WHERE (cDepName='{0}' OR cDepCode='{0}') and bDepEnd=1",
     .right = &kDepartmentRight, .notFound = "部门录入不正确或是非末级，请检查！"},
    {.key = "cpayname", .field = "cPayName", .voucherKind = Order,
     .referenceKind = reference_kind::PayCondition,
     .where = " WHERE cPayName='{0}' Or cPayCode='{0}'",
     .notFound = "付款条件录入不正确，请检查！"},
    {.key = "cptname", .field = "cPTName", .voucherKind = Order,
     .referenceKind = reference_kind::PurchaseType,
     .where = " WHERE cPTName='{0}'Or cPTCode='{0}'",
     .notFound = "采购类型录入不正确，请检查！"},
    // The typed text doubles as the department argument, so a salesman typed in comes back
    // with his department.
    {.key = "cpersonname", .field = "cPersonName", .voucherKind = Order,
     .referenceKind = reference_kind::Person, .valueAsDepartment = true,
     .where = " WHERE (cPersonName='{0}' Or cPersonCode='{0}') ",
     .right = &kPersonRight, .notFound = "业务员录入不正确，请检查！"},
    {.key = "cscname", .field = "cSCName", .voucherKind = Order,
     .referenceKind = reference_kind::ShippingChoice,
     .where = " WHERE cSCName='{0}' Or cSCCode='{0}'",
     .notFound = "发运方式录入不正确，请检查！"},
};

// The currency look-up: its statement is composed with the rate of the order date.
const LookupRule kCurrencyLookup{.key = "cexch_name", .field = "cexch_name", .where = "",
                                 .notFound = "外币录入不正确，请检查！"};

// Whether exchange rates are fixed per accounting period (else they are daily rates). The
// setting must exist: without it there is no telling which rate applies.
bool ratesPerPeriod(Connection& cnn) {
  std::shared_ptr<Recordset> rs = cnn.execute("select cValue from accinformation where cname= 'iXchgRateStl'");
  if (!hasRow(*rs))
    throwError(3021, "No current record: the setting iXchgRateStl is missing from accinformation");
  const bool perPeriod = toBoolean(rs->field("cValue"));
  rs->close();
  return perPeriod;
}

// The exchange rates of the order's date: the period rates of the period the date falls in, or
// the daily rates of that day. The text closes with the literal the caller's statement opened.
std::string rateSource(FieldEntry& fe, std::string_view orderDate) {
  Connection& cnn = fe.cnn();
  const bool perPeriod = ratesPerPeriod(cnn);
  const std::string_view day = datePart(orderDate);
  if (perPeriod) {
    const Variant period = GetPeriodIdOfDate(day, *fe.session().object(), cnn);
    return "(select cexch_name,nflat from exch WHERE itype= '2' AND cdate='" +
           escapeSqlValue(period);
  }
  return "(select cexch_name,nflat from exch WHERE itype= '1' AND cdate='" + rateDate(day);
}

// The currency typed (by name or code) with its rate on the order date, 1 when it has none:
// `columns` of the result, `currencyColumns` of the currency.
std::string currencyStatement(std::string_view columns, std::string_view currencyColumns,
                              std::string_view currency, const std::string& rates) {
  const std::string c = escapeSql(currency);
  std::string sql = "select ";
  sql.append(columns).append(" From ");
  sql.append("(SELECT ").append(currencyColumns);
  sql.append(" FROM ForeignCurrency Where cexch_name='" + c + "' Or cexch_Code='" + c + "') as t1 ");
  sql.append("Left Join " + rates + "') as t2 ");
  sql.append("on t1.cexch_name=t2.cexch_name");
  return sql;
}

// A new order date: the rate of the order's currency on that date.
void orderDateRate(FieldEntry& fe, Document& domHead) {
  const std::string orderDate = GetHeadValue(domHead, "dPODate");
  const std::string currency = GetHeadValue(domHead, "cexch_name");
  if (orderDate.empty() || currency.empty()) return;
  const std::string sql =
      currencyStatement("ISNULL(t2.nflat,1) AS nflat", "cexch_name", currency, rateSource(fe, orderDate));
  std::shared_ptr<Recordset> rs = fe.cnn().execute(sql);
  if (hasRow(*rs)) {
    FillInReply reply(ReplyTag::Head);
    addColumns(reply, *rs);
    fe.answer(reply, domHead);
  }
  rs->close();
}

void currency(FieldEntry& fe, Document& domHead) {
  const std::string currency = GetHeadValue(domHead, "cexch_name");
  const std::string orderDate = GetHeadValue(domHead, "dPODate");
  runLookup(fe, kCurrencyLookup,
            {.value = currency,
             .target = &domHead,
             .base = [&] {
               return currencyStatement("t1.cexch_name,t1.cexch_code,ISNULL(t2.nflat,1) AS nflat",
                                        "cexch_name,cexch_code", currency, rateSource(fe, orderDate));
             }});
}

}  // namespace

std::string ClsS_VerifyHPO::VerifyHead(const std::string& sKey, Document& domHead) {
  FieldEntry fe(sKey, m_UseMode, m_Cnn, clsInfor, ReplyTag::Head, FieldEntry::OnError::Raise);
  for (const LookupRule& rule : kHeadLookups) {
    if (!fe.runs(rule.key)) continue;
    const std::string value = GetHeadValue(domHead, rule.field);
    runLookup(fe, rule, {.value = value, .target = &domHead});
    if (fe.ended()) return fe.verdict();
  }
  // The rate of a new order date is asked for that field alone, never in a whole pass.
  if (fe.key() == "dpodate") {
    orderDateRate(fe, domHead);
    return fe.verdict();
  }
  if (fe.runs(kCurrencyLookup.key)) currency(fe, domHead);
  return fe.verdict();
}

bool ClsS_VerifyHPO::bVerifyPoCode(const std::string& sPoCode) {
  if (sPoCode.empty()) return false;
  try {
    std::shared_ptr<Recordset> rs = requireConnection(m_Cnn).execute(
        "SELECT cPoId FROM Po_Pomain WHERE ISNULL(cCloser,'')='' AND ISNULL(cVerifier,'')<>'' AND "
        "cPoid='" + escapeSql(sPoCode) + "'");
    const bool open = hasRow(*rs);
    rs->close();
    return open;
  } catch (const Error&) {
    return false;
  }
}

}  // namespace tallyward
