// The toolkit of the line checks of the field-entry classes: the line steps as a table, and the
// look-ups, readings and reply pairs that the lines of several voucher kinds share (free items,
// item, unit, project and project class, tax tolerance, local price, piece count, quality flag,
// proposed price).
//
// A class's line check derives from LineEntry, lists its steps in a LineStep table and runs them
// with runLineSteps; what differs between voucher kinds (keys, fields, messages, reporting ways)
// is passed in as data.
#pragma once

#include <array>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "entry/field_entry.h"
#include "entry/lookup.h"
#include "rows/voucher.h"
#include "tallyward/document.h"
#include "tallyward/host.h"

namespace tallyward {

// ---- Steps as a table ---------------------------------------------------------------------------

// One step of a line check. `keys` lists, separated by blanks, the keys of the single-field checks
// that run it; "all" in the list makes a whole pass run it too, and an entry ending in '*' stands
// for every key that begins with it ("cfree*").
template <class Lines>
struct LineStep {
  std::string_view keys;
  void (Lines::*run)(const BodyRow&);
  bool unchangedRows = false;  // a whole pass runs it on unchanged lines too (all others skip them)
};

// Whether a step of these keys runs in the call.
bool stepRuns(std::string_view keys, const FieldEntry& fe);

struct TaxTotals;

// What every line check holds: the call, the documents, the row of a single-field check, and the
// state that lives for one call (free-item switches, tax totals).
class LineEntry {
 public:
  LineEntry(FieldEntry& fe, Document& body, Document* head, long R)
      : fe_(fe), body_(body), head_(head), R_(R) {}

  // Runs the steps the call's key names on every selected line (in a whole pass, unchanged
  // lines run only the steps marked for them) until the call ends.
  template <class Lines>
  void runSteps(Lines& self, std::span<const LineStep<Lines>> steps) {
    std::vector<const LineStep<Lines>*> active;
    for (const LineStep<Lines>& s : steps)
      if (stepRuns(s.keys, fe_)) active.push_back(&s);
    if (active.empty()) return;
    walkRows(body_, fe_.wholePass(), R_, [&](const BodyRow& r) {
      for (const LineStep<Lines>* s : active) {
        if (r.unchanged && !s->unchangedRows) continue;
        (self.*(s->run))(r);
        if (fe_.ended()) return false;
      }
      return true;
    });
  }

  // runSteps, and after the last line of a whole pass that the steps did not end, the check of the
  // tax totals they added up (checkTotalTax), when every line carries the first row's rate in the
  // attribute `rateAttribute` (sameRateOnEveryLine).
  template <class Lines>
  void runStepsAndTaxTotal(Lines& self, std::span<const LineStep<Lines>> steps, std::string_view rateAttribute,
                           const TaxTotals& totals);

 protected:
  // A head value; "" when there is no head to read it from (the step is skipped).
  std::string head(std::string_view key);

  FieldEntry& fe_;
  Document& body_;
  Document* head_;
  long R_;
  std::array<bool, 10> freeFlags_{};  // all off when the call starts, kept from line to line
};

// ---- Free items -----------------------------------------------------------------------------------

// How a voucher kind checks the free items (user-defined item attributes 1 to 10) of a line.
struct FreeItemRules {
  Way way;                    // how the switch refusals report
  bool mustEnter = false;     // an item that uses free item n needs a value for it
};

// The number of the free item a key such as cfree3 names; 0 when it names none of 1 to 10.
int freeItemNumber(std::string_view key);

// Checks the free items of a line (keys cfree1 .. cfree10 one at a time, all ten in a whole pass)
// against the switches of the line's item, and in a BS whole pass each value against its
// user-defined list. The switches stay from the line before when the item has no inventory record.
void checkFreeItems(FieldEntry& fe, const BodyRow& r, std::array<bool, 10>& flags,
                    const FreeItemRules& rules);

// ---- Look-ups -----------------------------------------------------------------------------------------

// A typed item resolved to its code, and the unit mode of that code for the vendor; either stays
// "" when its probe fails.
struct ResolvedItem {
  std::string code;
  std::string unitMode;
};
ResolvedItem resolveItem(FieldEntry& fe, std::string_view typed, std::string_view vendor);

// A purchasable item that is neither a service nor a discount and is not stopped, typed by name,
// code, additional code or the vendor's own code; the caller passes the inventory list (itemList)
// as the look-up's base.
constexpr LookupRule purchasableItemLookup(std::string_view notFound) {
  return {.key = "cinvcode", .field = "cInvCode",
          .where = " WHERE (cInvName='{0}' OR Inventory.cInvCode='{0}' OR cInvAddCode='{0}' OR "
                   "cVenInvCode='{0}') "
                   " AND (bPurchase=1 AND bService=0  AND bInvtype=0) AND dEDate IS NULL ",
          .right = &kInventoryRight, .notFound = notFound, .rowMessage = true};
}

// The inventory list that a voucher kind (not the invoice, whose list depends on its bill type)
// offers for the vendor, with the resolved item's latest prices and the columns of its unit mode.
std::string itemList(FieldEntry& fe, VoucherKind voucher, std::string_view vendor, const ResolvedItem& item);

// Narrows an item look-up to the item whose code is the typed text, when there is one: an exact
// code wins over a match by name, additional code or vendor's code.
std::function<void(Recordset&)> exactCodeFirst(std::string_view typed);

// The item filter of a business type: consignment items for "受托代销", others for any other
// type, no filter without one.
std::string_view consignmentFilter(std::string_view busType);

// A unit of the line's item's unit group, by code or name; the caller passes the line's item as
// value {1}.
constexpr LookupRule unitLookup(VoucherKind voucher, std::string_view notFound) {
  return {.key = "cinva_unit", .field = "cinva_unit", .voucherKind = voucher, .list = ReferenceKind::Unit,
          .where = " WHERE cGroupCode in (select cGroupCode from Inventory where cinvcode='{1}') and "
                   "(cComUnitCode='{0}' OR cComUnitName='{0}')",
          .notFound = notFound, .rowMessage = true};
}

// A project of the line's project class, in the table the class names (projectList composes the
// statement up to the code's literal).
extern const LookupRule kProjectLookup;
// A project class; clearing it clears the project too.
extern const LookupRule kProjectClassLookup;

// The table that holds the projects of a project class (fItem.cTable); nullopt when the class has
// no row, or the read failed (the step is then skipped).
std::optional<std::string> projectTableOf(FieldEntry& fe, std::string_view itemClass);

// The project statement up to the literal of the typed code: the name column as cItemName from the
// project table, by its code column. Projects of the inventory class are the items themselves.
// Error 3001 for a table name that is not a plain name (it is placed in the statement as a name).
std::string projectList(std::string_view table);
bool isInventoryTable(std::string_view table);

// The value reply a line check builds from the record set its look-up found (nullptr: none).
using LineReply = std::function<void(FillInReply&, const Recordset*)>;

// The unit of the line's item, by the voucher kind's rule (unitLookup), answering with `reply`.
void lookUpUnit(FieldEntry& fe, const LookupRule& rule, const BodyRow& r, Document& body, const LineReply& reply);
// The project of the line's project class, answering with `reply`; with `openProjectsOnly` the
// closed projects of a class's own table are not found (`openProjectsOnly`). With `keptTable`, the
// call keeps the table of the last line whose class named one there: a line whose class names none
// (or whose table cannot be read) looks in it. A project still without a table is left unchecked
// with `uncheckedWithoutTable`, and otherwise refused as not found.
struct ProjectTable {
  bool openProjectsOnly = false;
  std::string* keptTable = nullptr;
  bool uncheckedWithoutTable = false;
};
void lookUpProject(FieldEntry& fe, const BodyRow& r, Document& body, const LineReply& reply,
                   const ProjectTable& where = {});
// The line's project class, answering with `reply`.
void lookUpProjectClass(FieldEntry& fe, const BodyRow& r, Document& body, const LineReply& reply);
// A new quantity: a reply without record columns, with only the pairs `reply` adds.
void answerQuantity(FieldEntry& fe, Document& body, const LineReply& reply);

// ---- Tax -----------------------------------------------------------------------------------------------

// Whether every selected line carries the tax rate of the body's first row (whatever that row's
// edit state), read from the rate attribute as a leading number: only then is the tax of the whole
// voucher checked.
bool sameRateOnEveryLine(const Document& body, std::string_view rateAttribute);

// The computed and the entered tax of the lines walked so far.
struct TaxTotals {
  double computed = 0;
  double entered = 0;
};

// Whether line tax amounts are checked against the tolerances (bControlTax off). A setting that
// cannot be read leaves the lines unchecked.
bool taxChecked(FieldEntry& fe);

// Reports "]行税额录入超出容差范围！" when the deviation of a line's tax exceeds the single-line
// tolerance (both rounded to cents when `roundTolerance`, the deviation always). A tolerance that
// cannot be read checks nothing.
void checkLineTax(FieldEntry& fe, const BodyRow& r, double deviation, bool roundTolerance);

// After the last line of a whole pass: "税额合计容差超出范围！" when the difference of the totals,
// rounded to cents, exceeds the whole-voucher tolerance.
void checkTotalTax(FieldEntry& fe, const TaxTotals& totals);

// The tax fields of a line.
struct LineTaxFields {
  std::string_view base;        // the amount the tax is computed on ("iMoney")
  std::string_view rate;        // the tax rate in percent ("iPerTaxRate")
  std::string_view tax;         // the tax entered ("itax")
  bool computedAsText = false;  // the computed tax enters the total as its text reads back
  bool roundTolerance = true;   // the single-line tolerance is rounded to cents
};

// The tax of one line, when its base amount is not empty and tax amounts are checked (taxChecked):
// the computed tax (base times rate / 100, plain number conversions; a base or rate that is no
// number leaves it out) and the entered tax (StrToDbl) add to the totals, and the deviation
// | |base * rate / 100| - |tax| | (StrToDbl readings) is checked with checkLineTax.
void checkTaxOfLine(FieldEntry& fe, const BodyRow& r, TaxTotals& totals, const LineTaxFields& fields);

// ---- Reply pairs ---------------------------------------------------------------------------------------

// The text of a column value in a reply (Null as empty).
std::string replyText(const Variant& v);

// The record pairs of a value reply: every column of the current row. `adjust`, when given, may
// change a value; it receives the lower-cased column name.
using ColumnAdjust = std::function<void(std::string_view column, std::string& value)>;
void addRecordPairs(FillInReply& reply, const Recordset& rs, const ColumnAdjust& adjust = {});

// pairKey = the leading number of the record's priceColumn times the leading number of rate, when
// rate is not empty; left out when the record has no such column or its value is Null.
void addLocalPrice(FieldEntry& fe, FillInReply& reply, const Recordset& rs, std::string_view pairKey,
                   std::string_view priceColumn, std::string_view rate);

// iNum = the quantity divided by the record's iInvExchRate; empty when either reads 0.
void addPieceCount(FieldEntry& fe, FillInReply& reply, const Recordset& rs, std::string_view quantity);

// bGsp = 是 or 否, as the quality-control component answers for the vendor and the typed item
// (resolved to its code); left out when it cannot be asked.
void addQualityFlag(FieldEntry& fe, FillInReply& reply, std::string_view vendor, std::string_view typedItem);

// The pairs of the price the price service proposes; none when it has no price or fails.
struct PricePairs {
  std::string_view unitPrice;  // the key of the unit price pair ("iUnitPrice")
  std::string_view taxRate;    // the key of the tax rate pair ("iPerTaxRate")
  bool taxCost = true;         // also "bTaxCost" = 0
};
void addProposedPrice(FieldEntry& fe, FillInReply& reply, const std::shared_ptr<Object>& login,
                      const PriceQuery& query, const PricePairs& pairs);

// Whether a line asks the price service for a price: none of its source ids (the lines of other
// vouchers it was made from) is set. An id that does not read (an overflow) counts as set.
bool madeFromNothing(FieldEntry& fe, const BodyRow& r, std::initializer_list<std::string_view> idFields);
// The absolute value of a line's quantity for a price query; nothing (the step skipped, no price
// asked) when it does not read.
std::optional<double> priceQuantity(FieldEntry& fe, const BodyRow& r, std::string_view field);

// The price the price service proposes for a line, asked as one step (the service may leave
// another context object in the class's clsInfor); nothing when it has no price or fails.
std::optional<PriceProposal> proposedPrice(FieldEntry& fe, const std::shared_ptr<Object>& login,
                                           const PriceQuery& query);

// ---- Definitions of the templates above -------------------------------------------------------------

template <class Lines>
void LineEntry::runStepsAndTaxTotal(Lines& self, std::span<const LineStep<Lines>> steps,
                                    std::string_view rateAttribute, const TaxTotals& totals) {
  // Rates that do not read (an overflow) are not the same: each line's tax is still checked.
  const bool sameRates = fe_.wholePass() && fe_.valueOr("reading the tax rates", false, [&] {
    return sameRateOnEveryLine(body_, rateAttribute);
  });
  runSteps(self, steps);
  if (fe_.wholePass() && !fe_.ended() && sameRates) checkTotalTax(fe_, totals);
}

}  // namespace tallyward
