// The base SELECT of every reference list that a field-entry check looks typed text up in. The
// caller appends its own WHERE text. Most lists are fixed texts; the inventory list is composed
// from the purchasing settings (how costs are entered, where latest prices come from), the kind of
// voucher, the item's unit mode and, for invoices, the bill type.
#pragma once

#include <string>
#include <string_view>

#include "tallyward/database.h"

namespace tallyward {

// Voucher kinds: the voucher whose screen asks for the list.
namespace voucher_kind {
inline constexpr int Order = 0;        // outsourcing order
inline constexpr int Invoice = 1;      // outsourcing invoice (2 behaves the same)
inline constexpr int InvoiceAlt = 2;
inline constexpr int Arrival = 3;      // arrival note
inline constexpr int Requisition = 4;  // requisition
}  // namespace voucher_kind

// Reference kinds: the list asked for. Kinds without a list (7, 10, 13, 14, 18 and above,
// negative) give the empty text.
namespace reference_kind {
inline constexpr int Inventory = 0;
inline constexpr int Warehouse = 1;
inline constexpr int Vendor = 2;          // columns depend on the voucher kind
inline constexpr int VendorAsUnit = 3;    // vendors with their head office as the unit
inline constexpr int Department = 4;
inline constexpr int Person = 5;          // with the department when a department code is given
inline constexpr int PurchaseType = 6;
inline constexpr int ShippingChoice = 8;
inline constexpr int PayCondition = 9;
inline constexpr int Currency = 11;
inline constexpr int UserDefine = 12;
inline constexpr int PlanState = 15;
inline constexpr int Unit = 16;
inline constexpr int AccountPeriod = 17;
}  // namespace reference_kind

// The statement of a reference list, or "" for a combination that has none.
//
// cnn is only used by the inventory list of voucher kinds 0 to 3, which reads two settings and may
// probe the item's latest invoice and the per-vendor price setting; any other list may be built
// with a null connection (an inventory list that needs it then fails with error 91). venCode and
// invCode are placed inside literals with their apostrophes doubled. unitMode is a text holding
// 0, 1 or 2 (another number gives ""; text that is not a number is error 13). billType matters to
// invoices only, depCode to the person list only.
//
// Nothing is trapped: a missing cost setting (error 3021), a failing statement or a value that does
// not convert leaves as a tallyward::Error.
std::string BuildReferenceSql(int voucherKind, int referenceKind, Connection* cnn,
                              std::string_view venCode, std::string_view unitMode,
                              std::string_view invCode, std::string_view billType,
                              std::string_view depCode);

}  // namespace tallyward
