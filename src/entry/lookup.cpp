#include "entry/lookup.h"

#include "erp/reference_sql.h"
#include "platform/db/sql_text.h"
#include "whole/verdict.h"
#include "tallyward/error.h"

namespace tallyward {

namespace {

// Closes a look-up's record set when the look-up is done, however it ends.
struct ClosesAfter {
  std::shared_ptr<Recordset>& rs;
  ~ClosesAfter() {
    if (rs && rs->isOpen()) rs->close();
  }
};

// Whether the operator may enter the entry found. A rights check that cannot be made (the service
// fails, the session cannot be read) refuses: an entry is never let through unchecked.
bool rightHeld(FieldEntry& fe, const LookupRule& rule, const Recordset& rs) {
  const DataRight& right = *rule.right;
  bool held = false;
  fe.step("checking the data right of", rule.field, [&] {
    const Session& session = fe.session();
    if (!(session.*right.enforced)()) {
      held = true;
      return;
    }
    const std::string code = toText(rs.field(right.codeColumn));
    held = askDataRight(fe.connection(), session.OperaterCode(), right.kind, code);
  });
  return held;
}

}  // namespace

bool hasRow(const Recordset& rs) { return !(rs.bof() && rs.eof()); }

std::string fillWhere(std::string_view where, std::string_view value,
                      std::span<const std::string_view> more) {
  std::string out;
  out.reserve(where.size() + 4 * value.size());
  size_t i = 0;
  while (i < where.size()) {
    const size_t open = where.find('{', i);
    if (open == std::string_view::npos) break;
    size_t close = open + 1;
    size_t index = 0;
    while (close < where.size() && where[close] >= '0' && where[close] <= '9')
      index = index * 10 + static_cast<size_t>(where[close++] - '0');
    if (close == open + 1 || close >= where.size() || where[close] != '}') {
      // Not a placeholder: the brace is text of the statement.
      out.append(where.substr(i, open + 1 - i));
      i = open + 1;
      continue;
    }
    if (index > more.size())
      throwError(err::InvalidArgument,
                 "The look-up's WHERE text names value {" + std::to_string(index) + "}, which was not given");
    out.append(where.substr(i, open - i));
    out += escapeSql(index == 0 ? value : more[index - 1]);
    i = close + 1;
  }
  out.append(where.substr(i));
  return out;
}

std::string lookupStatement(const LookupRule& rule, const LookupInput& in) {
  std::string sql;
  if (in.base)
    sql = in.base();
  else if (rule.list)
    sql = BuildReferenceSql({.voucher = rule.voucherKind,
                             .list = *rule.list,
                             .depCode = rule.valueAsDepartment ? in.value : std::string_view()});
  sql += fillWhere(rule.where, in.value, in.more);
  sql += in.tail;
  return sql;
}

void addColumns(FillInReply& reply, const Recordset& rs) {
  for (size_t i = 0; i < rs.fieldCount(); ++i) {
    const Variant& v = rs.field(i);
    reply.add(rs.columns()[i], v.isNull() ? std::string() : toText(v));
  }
}

void addClearedColumns(FillInReply& reply, const Recordset& rs) {
  for (const std::string& column : rs.columns()) reply.clear(column);
}

LookupEnd runLookup(FieldEntry& fe, const LookupRule& rule, const LookupInput& in) {
  if (!in.target) throwError(err::InvalidArgument, "A look-up needs the document its reply replaces");
  std::shared_ptr<Recordset> rs;
  ClosesAfter closes{rs};
  fe.step("running the look-up of", rule.field, [&] { rs = fe.cnn().execute(lookupStatement(rule, in)); });
  if (rs && in.narrow) fe.step("narrowing the look-up of", rule.field, [&] { in.narrow(*rs); });

  if (in.value.empty()) {
    if (fe.wholePass()) return LookupEnd::Passed;
    FillInReply reply(fe.tag());
    if (rs) addClearedColumns(reply, *rs);
    for (std::string_view field : rule.alsoClear) reply.clear(field);
    if (in.morePairs) in.morePairs(reply, rs.get(), true);
    fe.answer(reply, *in.target);
    return LookupEnd::Replied;
  }

  if (in.guard && in.guard()) return LookupEnd::Stopped;

  if (rs && hasRow(*rs)) {
    if (rule.right && !rightHeld(fe, rule, *rs)) {
      const DataRight& right = *rule.right;
      const std::string lead =
          right.beforeRow.empty() ? std::string() : std::string(right.beforeRow) + rowPrefix(in.row);
      fe.call().report(rule.way, lead, right.refusal);
      return LookupEnd::Refused;
    }
    if (fe.wholePass()) return LookupEnd::Passed;
    FillInReply reply(fe.tag());
    if (in.valueReply) {
      in.valueReply(reply, rs.get());
    } else {
      addColumns(reply, *rs);
      if (in.morePairs) in.morePairs(reply, rs.get(), false);
    }
    fe.answer(reply, *in.target);
    return LookupEnd::Replied;
  }

  fe.call().report(rule.way, rule.rowMessage ? rowPrefix(in.row) : std::string(), rule.notFound);
  return LookupEnd::Refused;
}

}  // namespace tallyward
