// The frame of a whole-voucher check: a head table run on the head's first row, a line table run on
// each selected row of the body, under the reporting ways of the call.
#pragma once

#include <string>

#include "whole/rules.h"
#include "rows/row_batches.h"
#include "rows/voucher.h"
#include "tallyward/document.h"
#include "tallyward/error.h"

namespace tallyward {

// What the conditions of a rule read: the values of the head or of one line, the class's switches
// and the kind of call.
template <class Self>
struct Fields {
  const Self& self;
  RowValues values;
  bool wholePass = false;

  std::string_view text(size_t f) const { return values.text(f); }
  bool is(size_t f, std::string_view literal) const { return values.is(f, literal); }
  bool empty(size_t f) const { return values.empty(f); }
  double num(size_t f) const { return values.number(f); }  // StrToDbl

  // A date field that is filled but whose date part (before the first capital T) is no date; an
  // empty one is left to the rule that asks for it.
  bool badDate(size_t f) const { return !empty(f) && !datePartIsDate(text(f)); }
};

// Tax rates are percentages from 0 up to, not including, 100.
inline bool taxRateOutOfRange(double rate) { return rate < 0 || rate >= 100; }

// A voucher without a totals step.
struct NoTotals {
  template <class Ctx>
  void add(const Ctx&) {}
  void finish(Call&) {}
};

template <class Self, const auto& Rules>
std::string checkHead(const Self& self, const Variant& sKey, const Variant& domHead, const FieldIndex& index) {
  using Table = RuleTable<Rules>;
  Call call(toText(sKey), self.m_UseMode);
  const Document& doc = documentOf(domHead);
  pugi::xml_node row = firstRow(doc.dom());
  Fields<Self> ctx{self, RowValues(index), call.wholePass()};
  if (!row) {
    // Every value read from a head without rows fails; a key that no rule reads reads nothing.
    for (const auto& rule : Rules)
      if (rule.keys.match(call))
        throwError(err::ObjectNotSet, "Object variable not set: the head document has no z:row");
    return "";
  }
  ctx.values.read(row, doc.parseBuffer());
  Table::run(Table::plan(call, ctx), ctx, call, 0);
  return call.take();
}

// Walks the selected rows: in a whole pass unchanged rows are counted but not checked; every row,
// checked or not, goes to the totals unless the call has ended; the totals close a whole pass.
template <class Self, const auto& Rules, class Totals = NoTotals>
std::string checkBody(const Self& self, const Variant& sKey, const Variant& domBody, const Variant& R,
                      const FieldIndex& index, Totals totals = {}) {
  using Table = RuleTable<Rules>;
  Call call(toText(sKey), self.m_UseMode);
  const BodyRows rows(domBody);
  const long row = call.wholePass() ? 0 : toLong(R);  // a single-field check needs R
  Fields<Self> ctx{self, RowValues(index), call.wholePass()};
  const uint64_t planned = Table::plan(call, ctx);
  auto visit = [&](const BodyRow& r) {
    ctx.values.read(r.node, r.parseBuffer);
    if (!r.unchanged && !Table::run(planned, ctx, call, r.number)) return false;
    totals.add(ctx);
    return true;
  };
  rows.walk(call.wholePass(), row, visit);
  if (call.wholePass() && !call.ended()) totals.finish(call);
  return call.take();
}

}  // namespace tallyward
