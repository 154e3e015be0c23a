// Invoice head entry: the vendor, advancing unit, account period, department, payment condition,
// purchase type, salesman and currency typed into the head of an outsourcing invoice, looked up
// by name or code; the invoice's account-period date that the due-date calculator reckons for the
// vendor, account period, payment condition or invoice date chosen; the exchange rate of a new
// invoice date; and the two date rules (opening invoices, closed months).
//
// Run-time errors end the call: the screen learns of a failing statement or service at once.
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "entry/head_entry.h"
#include "erp/settings.h"
#include "platform/db/sql_text.h"
#include "rows/voucher.h"
#include "tallyward/classes.h"

namespace tallyward {

namespace {

constexpr VoucherKind Invoice = VoucherKind::Invoice;

// The advancing unit (代垫单位) is a vendor, entered under the vendors' data right.
constexpr DataRight kAdvancingUnitRight{&Session::bCheckVendorAuth, rightkind::Vendor, "cUnitCode",
                                        "对不起，您没有录入该代垫单位的权限！"};

// The head look-ups, in the order they run. Stopped vendors (an end date) cannot be entered; the
// vendor brings its head office as the advancing unit, and its account period.
const LookupRule kHeadLookups[] = {
    {.key = "cvenabbname_1", .field = "cVenAbbName_1", .voucherKind = Invoice, .list = ReferenceKind::VendorAsUnit,
     .where = " WHERE (Vendor.cVenAbbName='{0}' OR Vendor.cVenCode='{0}') and (Vendor.dEndDate IS NULL)",
     .right = &kVendorRight, .notFound = "供应商录入不正确或已经停用，请检查！"},
    {.key = "cvenabbname", .field = "cVenAbbName", .voucherKind = Invoice, .list = ReferenceKind::Vendor,
     .where = " WHERE (cVenAbbName='{0}' OR cVenCode='{0}') and (dEndDate IS NULL)",
     .right = &kAdvancingUnitRight, .notFound = "代垫单位录入不正确或已经停用，请检查！"},
    {.key = "accountperiod caccountpname", .field = "cAccountPName", .voucherKind = VoucherKind::Order,
     .list = ReferenceKind::AccountPeriod, .where = " WHERE cAccountPName='{0}' or cAccountPID='{0}'",
     .notFound = "账期录入不正确，请检查！"},
    departmentLookup(Invoice),
    payConditionLookup(Invoice),
    purchaseTypeLookup(Invoice),
    personLookup(Invoice),
};

// The invoice's exchange rate is its cExchRate, of the invoice date.
constexpr CurrencyRate kRate{.dateKey = "dpbvdate", .dateField = "dPBVDate", .rateAlias = "cExchRate"};

// Screens that enter invoices of accounts payable take their dates from there: no date rule.
constexpr std::string_view kPayableBills[] = {"wwappurz", "wwappurp"};
// Invoices that come from accounts payable or from outsourcing may fall into a closed month.
constexpr std::string_view kClosedMonthExempt[] = {"应付", "委外"};

template <size_t N>
bool oneOf(std::string_view value, const std::string_view (&list)[N]) {
  for (std::string_view v : list)
    if (v == value) return true;
  return false;
}

// The invoice's account-period date (caccountpdate): the due-date calculator reckons it from the
// account period, the invoice date and the payment condition. A reply carries it after its
// columns when the vendor, the account period, the payment condition or the invoice date was
// entered; a clearing reply clears it or falls back on the invoice date, but only on a head that
// has the field. The head's fields are read as the row's attributes: one the row lacks is Null.
class AccountPeriodDate {
 public:
  AccountPeriodDate(FieldEntry& fe, Document& head, std::shared_ptr<Object>& login)
      : fe_(fe), head_(head), login_(login) {}

  // The pair a reply of the call's key carries; `found` is the record set of the look-up.
  void addTo(FillInReply& reply, const Recordset* found, bool cleared) {
    const std::string& key = fe_.key();
    if (cleared) {
      if (attribute("caccountpdate").isNull()) return;
      if (key == "cvenabbname_1") {
        reply.clear(kPair);
      } else if (key == "caccountpname") {
        // The account period is gone: the payment condition alone sets the date.
        const std::string pay = text("cpayname");
        const std::optional<std::string> name =
            payConditionName("select cPayName from dbo.PayCondition where cPayCode='" + escapeSql(pay) +
                             "' or cPayName='" + escapeSql(pay) + "'");
        reply.add(kPair, name ? due("", *name) : text("dpbvdate"));
      } else if (key == "cpayname") {
        const std::string period = text("caccountpid");
        // The payment condition is gone: the account period alone sets the date.
        reply.add(kPair, period.empty() ? text("dpbvdate") : due(period, ""));
      }
      return;
    }
    if (key == "cvenabbname_1" && found) {
      std::string pay = columnText(*found, "cPayName");
      if (pay.empty()) pay = text("cpayname");
      reply.add(kPair, due(columnText(*found, "caccountpid"), pay));
    } else if (key == "caccountpname" && found) {
      reply.add(kPair, due(columnText(*found, "cAccountPID"), text("cpayname")));
    } else if (key == "cpayname" && found) {
      // The head holds the code typed; a name typed finds no row there, and the condition the
      // look-up found is the one meant.
      const std::optional<std::string> name = payConditionName(
          "select cPayName from dbo.PayCondition where cPayCode='" + escapeSql(text("cpayname")) + "'");
      reply.add(kPair, due(text("caccountpid"), name ? *name : columnText(*found, "cPayName")));
    } else if (key == kRate.dateKey) {
      reply.add(kPair, due(text("caccountpid"), text("cpayname")));
    }
  }

 private:
  static constexpr std::string_view kPair = "caccountpdate";

  Variant attribute(const char* name) const {
    const pugi::xml_node row = firstRow(head_.dom());
    if (!row) throwError(err::ObjectNotSet, "Object variable not set: the head document has no z:row");
    const pugi::xml_attribute a = row.attribute(name);
    return a ? Variant(a.value()) : Variant::null();
  }
  // A field as text: Null gives the empty text, as a joined text does.
  std::string text(const char* name) const {
    const Variant v = attribute(name);
    return v.isNull() ? std::string() : v.asString();
  }
  static std::string columnText(const Recordset& rs, std::string_view column) {
    const Variant& v = rs.field(column);
    return v.isNull() ? std::string() : toText(v);
  }

  std::optional<std::string> payConditionName(const std::string& sql) {
    std::shared_ptr<Recordset> rs = fe_.cnn().execute(sql);
    std::optional<std::string> name;
    if (hasRow(*rs)) name = columnText(*rs, "cPayName");
    rs->close();
    return name;
  }

  std::string due(const std::string& accountPeriodId, const std::string& payConditionName) {
    return askDueDate(calculator_, login_, accountPeriodId, attribute("dpbvdate"), payConditionName);
  }

  FieldEntry& fe_;
  Document& head_;
  std::shared_ptr<Object>& login_;
  std::shared_ptr<DueDateCalculator> calculator_;  // created on first use, for this call
};

// The date rules (the key dpbvdate and a whole pass): an opening invoice is dated before the
// module's start; any other may not fall into a month that outsourcing has closed, unless it
// comes from accounts payable or outsourcing. An invoice without a date has nothing to compare.
void checkInvoiceDate(FieldEntry& fe, Document& head, std::string_view billType) {
  if (oneOf(lowerCase(billType), kPayableBills) || !fe.runs(kRate.dateKey)) return;
  const std::string dated = GetHeadValue(head, "dPBVDate");
  const std::string_view day = datePart(dated);
  if (day.empty()) return;
  const double date = toDate(Variant(day)).value;
  const Session& session = fe.session();
  if (textToBoolean(GetHeadValue(head, "bOriginal"))) {
    const Variant start = session.startdate();
    if (date >= toDate(start).value)
      fe.call().report(Way::AtOnceOrCollected, "",
                       "期初发票录入日期应该是启用日期 [" + toText(start) + "]以前的日期！");
    return;
  }
  if (oneOf(GetHeadValue(head, "csource"), kClosedMonthExempt)) return;
  if (date > toDate(session.EndDate(12)).value) return;
  const int16_t open = GetFirstOpenPeriod(fe.cnn());
  if (open != 0 && date < toDate(session.BeginDate(open)).value)
    fe.call().report(Way::AtOnceOrCollected, "", "单据日期所在月份已经结账，请重新填写录入日期！");
}

}  // namespace

std::string ClsS_VerifyBillH::VerifyHead(const std::string& sKey, Document& domHead) {
  FieldEntry fe(sKey, m_UseMode, m_Cnn, clsInfor, ReplyTag::Head, FieldEntry::OnError::Raise, skipped_);
  AccountPeriodDate due(fe, domHead, m_login);
  const HeadPairs duePair = [&](const LookupRule&, FillInReply& reply, const Recordset* rs, bool cleared) {
    due.addTo(reply, rs, cleared);
  };
  if (!runHeadLookups(fe, domHead, kHeadLookups, duePair)) return fe.verdict();
  // The rate of a new invoice date is asked for that field alone; it ends the call.
  if (fe.key() == kRate.dateKey &&
      answerDateRate(fe, domHead, kRate, [&](FillInReply& reply) { due.addTo(reply, nullptr, false); }))
    return fe.verdict();
  if (fe.runs("cexch_name")) lookUpCurrency(fe, domHead, kRate);
  if (!fe.ended()) checkInvoiceDate(fe, domHead, sBillType);
  return fe.verdict();
}

}  // namespace tallyward
