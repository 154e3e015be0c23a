// The base SELECT of every reference list that a field-entry check looks typed text up in. The
// caller appends its own WHERE text. Most lists are fixed texts; the inventory list is composed
// from the purchasing settings (how costs are entered, where latest prices come from), the kind of
// voucher, the item's unit mode and, for invoices, the bill type.
#pragma once

#include <string>
#include <string_view>

#include "tallyward/database.h"

namespace tallyward {

// The voucher whose screen asks for the list.
enum class VoucherKind {
  Order = 0,        // outsourcing order
  Invoice = 1,      // outsourcing invoice (2 behaves the same)
  InvoiceAlt = 2,
  Arrival = 3,      // arrival note
  Requisition = 4,  // requisition
};

// The list asked for. Numbers without a list (7, 10, 13, 14, 18 and above, negative) give the
// empty text.
enum class ReferenceKind {
  Inventory = 0,
  Warehouse = 1,
  Vendor = 2,          // columns depend on the voucher kind
  VendorAsUnit = 3,    // vendors with their head office as the unit
  Department = 4,
  Person = 5,          // with the department when a department code is given
  PurchaseType = 6,
  ShippingChoice = 8,
  PayCondition = 9,
  Currency = 11,
  UserDefine = 12,
  PlanState = 15,
  Unit = 16,
  AccountPeriod = 17,
};

// What a reference list is asked with. cnn is only used by the inventory list of voucher kinds 0
// to 3, which reads two settings and may probe the item's latest invoice and the per-vendor price
// setting; any other list may be built without a connection (an inventory list that needs it then
// fails with error 91). venCode and invCode are placed inside literals with their apostrophes
// doubled. unitMode is a text holding 0, 1 or 2 (another number gives ""; text that is not a
// number is error 13). billType matters to invoices only, depCode to the person list only.
struct ReferenceQuery {
  VoucherKind voucher = VoucherKind::Order;
  ReferenceKind list = ReferenceKind::Inventory;
  Connection* cnn = nullptr;
  std::string_view venCode = {};
  std::string_view unitMode = {};
  std::string_view invCode = {};
  std::string_view billType = {};
  std::string_view depCode = {};
};

// The statement of a reference list, or "" for a combination that has none.
//
// Nothing is trapped: a missing cost setting (error 3021), a failing statement or a value that does
// not convert leaves as a tallyward::Error.
std::string BuildReferenceSql(const ReferenceQuery& query);

}  // namespace tallyward
