// The look-up rule of the field-entry checks: the typed text of one field is looked up in a
// reference list of the ERP database, and the rule ends in one of four ways:
//
//   empty text      single-field check: a clearing reply (every column of the list, plus the
//                   rule's own fields to clear); whole pass: the rule passes
//   found, allowed  single-field check: a value reply (every column of the first row found);
//                   whole pass: the rule passes
//   found, no right the rule's refusal for missing rights (no row part, unless the right names
//                   the row); a rights check that cannot be made refuses as well
//   not found       the rule's refusal for a wrong entry
//
// Both refusals report in the rule's way (at once, or collected in a BS whole pass, unless the
// rule says otherwise).
//
// A rule is data (LookupRule); runLookup is the one procedure that carries every rule out.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "entry/field_entry.h"
#include "entry/reply.h"
#include "erp/reference_sql.h"
#include "whole/verdict.h"
#include "tallyward/database.h"
#include "tallyward/document.h"
#include "tallyward/host.h"

namespace tallyward {

// The data right that an entry found must pass when the session's switch is on.
struct DataRight {
  bool (Session::*enforced)() const;  // the session's switch, such as &Session::bCheckVendorAuth
  std::string_view kind;              // the data-right service's object kind ("Vendor")
  std::string_view codeColumn;        // the column of the found row that holds the entry's code
  std::string_view refusal;           // the message when the right is missing
  // A refusal that names the row of the look-up: this text, then "第[" and the row number, then
  // `refusal` (which then begins with "]行"). Empty: the refusal has no row part.
  std::string_view beforeRow = {};
};

// The data rights that the look-ups of several voucher kinds share.
inline constexpr DataRight kVendorRight{&Session::bCheckVendorAuth, rightkind::Vendor, "cVenCode",
                                        "对不起，您没有录入该供应商的权限！"};
inline constexpr DataRight kDepartmentRight{&Session::bCheckDepartAuth, rightkind::Department, "cDepCode",
                                            "对不起，您没有录入该部门的权限！"};
inline constexpr DataRight kPersonRight{&Session::bCheckPersonAuth, rightkind::Person, "cPersonCode",
                                        "对不起，您没有录入该业务员的权限！"};
inline constexpr DataRight kInventoryRight{&Session::bCheckInvAuth, rightkind::Inventory, "cInvCode",
                                           "对不起，您没有录入该存货的权限！"};

// A look-up described as data.
struct LookupRule {
  std::string_view key;     // the lower-case field keys that run the rule, separated by blanks (a
                            // whole pass runs every rule)
  std::string_view field;   // the field that holds the typed text
  VoucherKind voucherKind = VoucherKind::Order;  // the reference list: BuildReferenceSql(voucherKind,
  std::optional<ReferenceKind> list = {};        // list); none: `where` alone (or built by the caller)
  bool valueAsDepartment = false;  // the typed text is also the list's department-code argument
  // The text appended to the list's statement. {0} stands for the typed text and {1}, {2}... for
  // the further values the caller passes; each is placed escaped, inside the literal the text
  // writes around it.
  std::string_view where;
  const DataRight* right = nullptr;  // nullptr: no data right
  std::string_view notFound;         // the refusal for a wrong entry
  bool rowMessage = false;           // the refusal carries the row part "第[" row
  Way way = Way::AtOnceOrCollected;  // how the refusals report
  std::span<const std::string_view> alsoClear = {};  // fields the clearing reply clears as well
};

// How a look-up ended.
enum class LookupEnd {
  Passed,   // a whole pass goes on
  Replied,  // a reply was delivered and the call ended
  Refused,  // a refusal was reported (the call may have ended, by the reporting way)
  Stopped,  // the caller's guard ended the call
};

// What one look-up works on, besides its rule.
struct LookupInput {
  std::string_view value;                   // the typed text
  std::vector<std::string_view> more = {};  // the values {1}, {2}... of the WHERE text
  long row = 0;                             // the row number of a row message
  Document* target = nullptr;               // the document a reply replaces
  // The list's statement when the caller composes it (the inventory list, the rate look-up);
  // the rule's WHERE text is appended to it.
  std::function<std::string()> base = {};
  // Statement text the caller adds after the WHERE text, as it stands (a filter of its own).
  std::string_view tail = {};
  // Narrows the opened record set (such as preferring an exact code).
  std::function<void(Recordset&)> narrow = {};
  // Runs after the empty-text test; answers true when it ended the call.
  std::function<bool()> guard = {};
  // Builds the value reply from the record set found (nullptr when it could not be opened).
  // Without it the reply carries every column of the first row.
  std::function<void(FillInReply&, const Recordset*)> valueReply = {};
  // Pairs a reply carries after the columns: `cleared` tells a clearing reply from a value reply
  // (which the caller's valueReply, when given, builds whole).
  std::function<void(FillInReply&, const Recordset*, bool cleared)> morePairs = {};
};

// The statement of a rule: its list (or the caller's base) and its WHERE text with the values
// placed escaped. A fixed list is built without a connection, as the field-entry checks ask it.
std::string lookupStatement(const LookupRule& rule, const LookupInput& in);

// The WHERE text of a rule with {0}, {1}... replaced by the escaped values.
std::string fillWhere(std::string_view where, std::string_view value,
                      std::span<const std::string_view> more = {});

// Carries one look-up out. Statements run on the call's connection; with failures skipped, a
// statement that cannot be run leaves the rule without a record set: an empty text still gets
// its clearing reply (with the rule's own fields only), any other text is refused as not found,
// and a data right that cannot be checked (the service fails, the session cannot be read) is
// refused with the rule's refusal for missing rights.
LookupEnd runLookup(FieldEntry& fe, const LookupRule& rule, const LookupInput& in);

// The pairs of a value reply: every column of the record set's current row, the value as text
// (Null as empty).
void addColumns(FillInReply& reply, const Recordset& rs);
// The pairs of a clearing reply: every column of the record set, with an empty value.
void addClearedColumns(FillInReply& reply, const Recordset& rs);

// Whether the record set has a current row (it is not at both its beginning and its end).
bool hasRow(const Recordset& rs);

}  // namespace tallyward
