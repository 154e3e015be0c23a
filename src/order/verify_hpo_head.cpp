// Order head entry: the vendor, department, payment terms, purchase type, salesman, shipping
// method and currency typed into the head of an outsourcing order, looked up by name or code,
// and the exchange rate of the order date; and the check of a purchase order code.
#include "entry/head_entry.h"
#include "erp/settings.h"
#include "platform/db/sql_text.h"
#include "rows/voucher.h"
#include "tallyward/classes.h"

namespace tallyward {

namespace {

// The head look-ups, in the order they run.
constexpr auto kHeadLookups =
    orderListHeadLookups(" WHERE (cVenAbbName='{0}' OR cVenCode='{0}') and (dEndDate IS NULL)");

// The order's exchange rate is its nflat, of the order date.
constexpr CurrencyRate kRate{.dateKey = "dpodate", .dateField = "dPODate", .rateAlias = "nflat"};

}  // namespace

std::string ClsS_VerifyHPO::VerifyHead(const std::string& sKey, Document& domHead) {
  FieldEntry fe(sKey, m_UseMode, m_Cnn, clsInfor, ReplyTag::Head, FieldEntry::OnError::Raise, skipped_);
  return runHeadEntry(fe, domHead, kHeadLookups, kRate);
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
