// Settings and master-data probes: small questions that the field-entry checks ask the ERP
// database. Each sends its fixed statement on the caller's connection, reads the first row (a
// period look-up walks all rows) and turns it into one typed value. Nothing is trapped: a database
// error or a value that does not convert leaves the function as a tallyward::Error.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "tallyward/database.h"
#include "tallyward/object.h"

namespace tallyward {

// The connection a check was handed, or error 91 when none was set.
Connection& requireConnection(const std::shared_ptr<Connection>& cnn);

// The ten free-item switches of an item (bfree1 .. bfree10 into indices 0 .. 9). No row leaves the
// array as it was; a value that does not convert stops the fill there, the switches before it
// already written.
void LoadFreeItemFlags(Connection& cnn, std::string_view invCode, std::array<bool, 10>& flags);

// Purchasing tax settings: whether the tax amount is checked, and the tolerances of one line and
// of the whole voucher. A missing setting reads false / 0.
bool GetControlTax(Connection& cnn);
double GetSingleTaxTolerance(Connection& cnn);
double GetSumTaxTolerance(Connection& cnn);

// Whether an item is kept by batch / by shelf life; false when the item is unknown.
bool IsBatchManaged(Connection& cnn, std::string_view invCode);
bool IsShelfLifeManaged(Connection& cnn, std::string_view invCode);

// Whether the drug-quality (GSP) control has a start date set.
bool IsGspStarted(Connection& cnn);

// The unit-conversion group type of an item ("0" fixed single unit, "1" fixed rate, "2" floating
// rate), found by item code or else by the vendor's own code for it; "0" when neither finds one.
std::string GetGroupType(Connection& cnn, std::string_view code, std::string_view venCode);

// The first period not yet closed for the outsourcing module; 0 when all are closed.
int16_t GetFirstOpenPeriod(Connection& cnn);

// Sales settings of direct shipping: whether it is on, and whether it needs a sales order.
bool IsDirectShipSalesOn(Connection& cnn);
bool IsSalesOrderRequiredForDirectShip(Connection& cnn);

// Whether latest prices are taken per vendor.
bool IsAccordVendor(Connection& cnn);

// The item code of a typed text that is an item's code, name or additional code; "" when none.
std::string ResolveInvCode(Connection& cnn, std::string_view text);

// The iID of the accounting period of the session's account (CurAccountID) and year (TheYear)
// whose dBegin..dEnd (both inclusive) holds the date; Empty when no period holds it. The date is
// read anew for each period, so a text that is not a date is error 13 once there is a period to
// compare with.
Variant GetPeriodIdOfDate(std::string_view date, Object& sessionInfo, Connection& cnn);

}  // namespace tallyward
