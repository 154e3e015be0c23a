// The look-ups that the heads of every voucher kind share: a table of look-up rules run in order,
// and the currency with its exchange rate on the voucher's date.
//
// Exchange rates are kept in `exch` per day (itype 1, dated yyyy.mm.dd) or per accounting period
// (itype 2, dated by the period's number), as the setting iXchgRateStl says. A currency without a
// rate for the day or period has the rate 1.
#pragma once

#include <array>
#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "entry/field_entry.h"
#include "entry/lookup.h"
#include "tallyward/document.h"

namespace tallyward {

// The head look-ups that the voucher kinds share, typed by name or code, for the voucher kind
// whose screen asks. Departments must be leaves; a salesman typed in comes back with his
// department (the typed text doubles as the list's department argument).
constexpr LookupRule departmentLookup(VoucherKind voucher) {
  return {.key = "cdepname", .field = "cDepName", .voucherKind = voucher, .list = ReferenceKind::Department,
          .where = " WHERE (cDepName='{0}' OR cDepCode='{0}') and bDepEnd=1",
          .right = &kDepartmentRight, .notFound = "部门录入不正确或是非末级，请检查！"};
}
constexpr LookupRule payConditionLookup(VoucherKind voucher) {
  return {.key = "cpayname", .field = "cPayName", .voucherKind = voucher, .list = ReferenceKind::PayCondition,
          .where = " WHERE cPayName='{0}' Or cPayCode='{0}'", .notFound = "付款条件录入不正确，请检查！"};
}
constexpr LookupRule purchaseTypeLookup(VoucherKind voucher) {
  return {.key = "cptname", .field = "cPTName", .voucherKind = voucher, .list = ReferenceKind::PurchaseType,
          .where = " WHERE cPTName='{0}'Or cPTCode='{0}'", .notFound = "采购类型录入不正确，请检查！"};
}
constexpr LookupRule personLookup(VoucherKind voucher) {
  return {.key = "cpersonname", .field = "cPersonName", .voucherKind = voucher, .list = ReferenceKind::Person,
          .valueAsDepartment = true, .where = " WHERE (cPersonName='{0}' Or cPersonCode='{0}') ",
          .right = &kPersonRight, .notFound = "业务员录入不正确，请检查！"};
}
constexpr LookupRule shippingLookup(VoucherKind voucher) {
  return {.key = "cscname", .field = "cSCName", .voucherKind = voucher, .list = ReferenceKind::ShippingChoice,
          .where = " WHERE cSCName='{0}' Or cSCCode='{0}'", .notFound = "发运方式录入不正确，请检查！"};
}

// The head look-ups of a voucher that takes its entries from the outsourcing order's lists (the
// order, the arrival note), in the order they run: the vendor by abbreviation or code, not stopped
// (`vendorWhere` is its WHERE text), then department, payment condition, purchase type, salesman
// and shipping method.
constexpr std::array<LookupRule, 6> orderListHeadLookups(std::string_view vendorWhere) {
  constexpr VoucherKind order = VoucherKind::Order;
  return {LookupRule{.key = "cvenabbname", .field = "cVenAbbName", .voucherKind = order,
                     .list = ReferenceKind::Vendor, .where = vendorWhere, .right = &kVendorRight,
                     .notFound = "供应商录入不正确或已经停用，请检查！"},
          departmentLookup(order),
          payConditionLookup(order),
          purchaseTypeLookup(order),
          personLookup(order),
          shippingLookup(order)};
}

// Pairs a head reply carries after the columns of the entry found or cleared (the invoice's
// account-period date); `rs` is the rule's record set, nullptr when it could not be opened.
using HeadPairs = std::function<void(const LookupRule& rule, FillInReply& reply, const Recordset* rs,
                                     bool cleared)>;

// Runs the rules of a head table that the call's key names, in table order, on the first row of
// the head. Answers false when the call has ended (a reply, or a refusal at once).
bool runHeadLookups(FieldEntry& fe, Document& domHead, std::span<const LookupRule> rules,
                    const HeadPairs& morePairs = {});

// How a voucher kind dates and names its exchange rate.
struct CurrencyRate {
  std::string_view dateKey;    // the key of a new voucher date ("dpodate")
  std::string_view dateField;  // the head field of the voucher's date ("dPODate")
  std::string_view rateAlias;  // the name of the rate column in the replies ("nflat")
};

// A new voucher date (the key dateKey alone, never a whole pass): when the head holds a date and a
// currency, answers with the pair of the currency's rate on that date, followed by the pairs that
// `morePairs` adds (the invoice's account-period date). An unknown currency answers nothing.
// Answers true when a reply ended the call.
bool answerDateRate(FieldEntry& fe, Document& domHead, const CurrencyRate& rate,
                    const std::function<void(FillInReply&)>& morePairs = {});

// The currency typed by name or code (key cexch_name, and a whole pass), with its rate on the
// voucher's date: the clearing reply for an empty field, the value reply (cexch_name,
// cexch_code and the rate) when found, "外币录入不正确，请检查！" otherwise.
void lookUpCurrency(FieldEntry& fe, Document& domHead, const CurrencyRate& rate);

// A head check of a voucher kind whose look-ups are a table, a new voucher date and the currency:
// the table's rules, then the rate of a new date (its key alone), then the currency. Answers the
// verdict.
std::string runHeadEntry(FieldEntry& fe, Document& domHead, std::span<const LookupRule> rules,
                         const CurrencyRate& rate);

}  // namespace tallyward
