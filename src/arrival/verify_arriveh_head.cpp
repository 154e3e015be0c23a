// Arrival head entry: the vendor, department, payment condition, purchase type, salesman,
// shipping method and currency typed into the head of an outsourcing arrival note, looked up by
// name or code, and the exchange rate of the note's date. The head looks its entries up in the
// lists of the outsourcing order.
#include "entry/head_entry.h"
#include "tallyward/classes.h"

namespace tallyward {

namespace {

// The head look-ups, in the order they run.
constexpr auto kHeadLookups =
    orderListHeadLookups(" WHERE (cVenAbbName='{0}' OR cVenCode='{0}') AND (dEndDate IS NULL)");

// The note's exchange rate is its iExchRate, of the note's date.
constexpr CurrencyRate kRate{.dateKey = "ddate", .dateField = "dDate", .rateAlias = "iExchRate"};

}  // namespace

std::string ClsS_VerifyArriveH::VerifyHead(const std::string& sKey, Document& domHead) {
  FieldEntry fe(sKey, m_UseMode, m_Cnn, clsInfor, ReplyTag::Head, FieldEntry::OnError::Raise, skipped_);
  return runHeadEntry(fe, domHead, kHeadLookups, kRate);
}

}  // namespace tallyward
