#include "erp/settings.h"

#include <optional>

#include "platform/db/sql_text.h"
#include "tallyward/error.h"

namespace tallyward {

namespace {

using RecordsetPtr = std::shared_ptr<Recordset>;

// A freshly opened result has no row when it stands at both its beginning and its end.
bool noRow(const Recordset& rs) { return rs.bof() && rs.eof(); }

// The first row's value of one column, or nothing when the statement gives no row. The recordset
// is closed before the value is handed back.
std::optional<Variant> firstValue(Connection& cnn, const std::string& sql, std::string_view column) {
  RecordsetPtr rs = cnn.execute(sql);
  if (noRow(*rs)) {
    rs->close();
    return std::nullopt;
  }
  Variant v = rs->field(column);
  rs->close();
  return v;
}

bool settingFlag(Connection& cnn, const std::string& sql, std::string_view column) {
  auto v = firstValue(cnn, sql, column);
  return v ? toBoolean(*v) : false;
}

double settingNumber(Connection& cnn, const std::string& sql) {
  auto v = firstValue(cnn, sql, "cValue");
  return v ? toDouble(*v) : 0.0;
}

}  // namespace

Connection& requireConnection(const std::shared_ptr<Connection>& cnn) {
  if (!cnn) throwError(err::ObjectNotSet, "Object variable not set: no database connection (m_Cnn)");
  return *cnn;
}

void LoadFreeItemFlags(Connection& cnn, std::string_view invCode, std::array<bool, 10>& flags) {
  RecordsetPtr rs = cnn.execute(
      "Select bfree1,bfree2,bfree3,bfree4,bfree5,bfree6,bfree7,bfree8,bfree9,bfree10 from Inventory "
      "where cInvCode='" + escapeSql(invCode) + "'");
  if (!noRow(*rs))
    for (size_t i = 0; i < flags.size(); ++i) flags[i] = toBoolean(rs->field(i));
  rs->close();
}

bool GetControlTax(Connection& cnn) {
  return settingFlag(cnn, "Select cValue from accinformation where cSysID='PU' and cName='bControlTax'",
                     "cValue");
}

double GetSingleTaxTolerance(Connection& cnn) {
  return settingNumber(cnn, "Select cValue from accinformation where cSysID='PU' and cName='iSingleTax'");
}

double GetSumTaxTolerance(Connection& cnn) {
  return settingNumber(cnn, "Select cValue from accinformation where cSysID='PU' and cName='iSumTax'");
}

bool IsBatchManaged(Connection& cnn, std::string_view invCode) {
  return settingFlag(cnn, "Select bInvBatch from Inventory where cInvCode= '" + escapeSql(invCode) + "'",
                     "bInvBatch");
}

bool IsShelfLifeManaged(Connection& cnn, std::string_view invCode) {
  return settingFlag(cnn,
                     "Select bInvQuality from Inventory where cInvCode= '" + escapeSql(invCode) + "'",
                     "bInvQuality");
}

bool IsGspStarted(Connection& cnn) {
  auto v = firstValue(cnn, "Select cValue from accinformation where cName='dGspStartDate'", "cValue");
  if (!v || v->isNull()) return false;
  return !toText(*v).empty();
}

std::string GetGroupType(Connection& cnn, std::string_view code, std::string_view venCode) {
  const std::string c = escapeSql(code);
  RecordsetPtr rs = cnn.execute("Select iGroupType from Inventory where cInvCode='" + c + "'");
  if (noRow(*rs)) {
    // Not an item code: try it as the vendor's own code for one of its items.
    if (rs->isOpen()) rs->close();
    rs = cnn.execute(
        "Select iGroupType from Inventory where cInvCode=(select cinvcode from venandinv where "
        "cVenInvCode='" + c + "' and cVenCode='" + escapeSql(venCode) + "')");
    if (noRow(*rs)) {
      rs->close();
      return "0";
    }
  }
  std::string type = toText(rs->field("iGroupType"));
  rs->close();
  return type;
}

int16_t GetFirstOpenPeriod(Connection& cnn) {
  RecordsetPtr rs = cnn.execute("select top 1 iperiod from gl_mend where bflag_om=0");
  if (noRow(*rs)) {
    rs->close();
    return 0;
  }
  int16_t period = toInteger(rs->field(size_t{0}));
  rs->close();
  return period;
}

bool IsDirectShipSalesOn(Connection& cnn) {
  return settingFlag(cnn, "select cValue from accinformation where csysid='sa' and cname='bZYXS'",
                     "cValue");
}

bool IsSalesOrderRequiredForDirectShip(Connection& cnn) {
  return settingFlag(cnn, "select cValue from accinformation where csysid='sa' and cname='bMustSO_zyxs'",
                     "cValue");
}

bool IsAccordVendor(Connection& cnn) {
  return settingFlag(cnn, "select cValue from accinformation where csysid='pu' and cname='bAccordVen'",
                     "cValue");
}

std::string ResolveInvCode(Connection& cnn, std::string_view text) {
  const std::string t = escapeSql(text);
  auto v = firstValue(cnn,
                      "select cInvCode from inventory where cinvcode='" + t + "' or  cinvname='" + t +
                          "' or cinvaddcode='" + t + "'",
                      "cInvCode");
  return v ? toText(*v) : std::string();
}

Variant GetPeriodIdOfDate(std::string_view date, Object& sessionInfo, Connection& cnn) {
  const Variant account = sessionInfo.get("CurAccountID");
  const Variant year = sessionInfo.get("TheYear");
  RecordsetPtr rs = cnn.execute("select dBegin,dEnd,iID from OrrerySystem..ua_period where cacc_id = '" +
                                escapeSqlValue(account) + "' and iyear = " + sqlNumber(year) +
                                " order by iid");
  if (noRow(*rs)) return Variant();
  for (rs->moveFirst(); !rs->eof(); rs->moveNext()) {
    double day = 0;
    if (!parseDate(date, day))
      throwError(err::TypeMismatch, "Type mismatch: '" + std::string(date) + "' is not a date");
    if (day >= toDate(rs->field("dBegin")).value && day <= toDate(rs->field("dEnd")).value)
      return rs->field("iID");
  }
  return Variant();
}

}  // namespace tallyward
