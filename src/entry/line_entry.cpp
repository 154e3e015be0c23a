#include "entry/line_entry.h"

#include <cmath>

#include "erp/reference_sql.h"
#include "erp/settings.h"
#include "platform/db/sql_text.h"
#include "tallyward/error.h"

namespace tallyward {

// ---- Steps ----------------------------------------------------------------------------------------------

bool stepRuns(std::string_view keys, const FieldEntry& fe) {
  const std::string_view key = fe.wholePass() ? std::string_view("all") : std::string_view(fe.key());
  while (!keys.empty()) {
    const size_t blank = keys.find(' ');
    const std::string_view entry = keys.substr(0, blank);
    if (entry == key) return true;
    if (!fe.wholePass() && entry.ends_with('*') && key.starts_with(entry.substr(0, entry.size() - 1)))
      return true;
    if (blank == std::string_view::npos) break;
    keys.remove_prefix(blank + 1);
  }
  return false;
}

std::string LineEntry::head(std::string_view key) {
  std::string value;
  fe_.step("reading the head field", key, [&] {
    if (!head_) throwError(err::ObjectNotSet, "Object variable not set: no head document (domHead)");
    value = GetHeadValue(*head_, key);
  });
  return value;
}

// ---- Free items ------------------------------------------------------------------------------------

namespace {

// The list of user-defined values that free item n takes its values from.
int freeItemList(int n) { return n <= 2 ? n + 19 : n + 25; }

// Whether a free-item value is in its user-defined list (by value or alias). A list that cannot be
// read confirms nothing.
bool userDefined(FieldEntry& fe, int n, std::string_view value) {
  bool found = false;
  fe.step("looking up the user-defined value of free item", std::to_string(n), [&] {
    const std::string v = escapeSql(value);
    std::shared_ptr<Recordset> rs = fe.cnn().execute(
        BuildReferenceSql({.voucher = VoucherKind::Invoice, .list = ReferenceKind::UserDefine}) +
        " WHERE cID= '" + std::to_string(freeItemList(n)) + "' AND (cValue='" + v + "' OR cAlias='" + v + "')");
    found = hasRow(*rs);
    rs->close();
  });
  return found;
}

}  // namespace

int freeItemNumber(std::string_view key) {
  if (!key.starts_with("cfree")) return 0;
  const std::string_view digits = key.substr(5);
  if (digits.empty() || digits.size() > 2) return 0;
  int n = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return 0;
    n = n * 10 + (c - '0');
  }
  return n >= 1 && n <= 10 ? n : 0;
}

void checkFreeItems(FieldEntry& fe, const BodyRow& r, std::array<bool, 10>& flags, const FreeItemRules& rules) {
  fe.step("reading the free-item switches of", "cInvCode",
          [&] { LoadFreeItemFlags(fe.cnn(), GetRowValue(r.node, "cInvCode"), flags); });
  int first = 1, last = 10;
  if (!fe.wholePass()) {
    first = last = freeItemNumber(fe.key());
    if (first == 0) return;
  }
  const std::string prefix = rowPrefix(r.number);
  for (int n = first; n <= last; ++n) {
    const std::string number = std::to_string(n);
    const std::string value = GetRowValue(r.node, "cfree" + number);
    const bool used = flags[static_cast<size_t>(n - 1)];
    const bool filled = !trimBlanks(value).empty();
    if (rules.mustEnter && used && !filled &&
        fe.call().report(rules.way, prefix, "]行有自由项" + number + "设置，必须输入！"))
      return;
    if (!used && filled && fe.call().report(rules.way, prefix, "]行没有自由项" + number + "设置，不能输入！"))
      return;
    if (fe.wholePass() && fe.mode() == UseMode::BS && !value.empty() && !userDefined(fe, n, value))
      fe.call().report(Way::CollectedInBsPass, prefix, "]行自由项" + number + "录入不正确，请检查！");
  }
}

// ---- Look-ups --------------------------------------------------------------------------------------------

ResolvedItem resolveItem(FieldEntry& fe, std::string_view typed, std::string_view vendor) {
  ResolvedItem item;
  fe.step("resolving the item code of", "cInvCode", [&] { item.code = ResolveInvCode(fe.cnn(), typed); });
  fe.step("reading the unit mode of", "cInvCode",
          [&] { item.unitMode = GetGroupType(fe.cnn(), item.code, vendor); });
  return item;
}

std::string itemList(FieldEntry& fe, VoucherKind voucher, std::string_view vendor, const ResolvedItem& item) {
  return BuildReferenceSql({.voucher = voucher,
                            .list = ReferenceKind::Inventory,
                            .cnn = &fe.cnn(),
                            .venCode = vendor,
                            .unitMode = item.unitMode,
                            .invCode = item.code});
}

std::function<void(Recordset&)> exactCodeFirst(std::string_view typed) {
  return [filter = "cInvCode='" + escapeSql(typed) + "'"](Recordset& rs) {
    rs.setFilter(filter);
    if (!hasRow(rs)) rs.setFilter("");
  };
}

std::string_view consignmentFilter(std::string_view busType) {
  if (busType.empty()) return {};
  return busType == "受托代销" ? " AND bInvEntrust=1 " : " AND bInvEntrust=0 ";
}

const LookupRule kProjectLookup{.key = "citemcode", .field = "cItemCode", .where = "{0}'",
                                .notFound = "]行项目录入不正确，请检查！", .rowMessage = true};

namespace {
constexpr std::string_view kProjectFields[] = {"cItemCode", "cItemName"};
}  // namespace

const LookupRule kProjectClassLookup{
    .key = "citem_class", .field = "cItem_class",
    .where = "SELECT cItem_Class,fItem.cItem_Name From fItem  WHERE cItem_Class='{0}'",
    .notFound = "]行项目大类录入不正确，请检查！", .rowMessage = true, .alsoClear = kProjectFields};

std::optional<std::string> projectTableOf(FieldEntry& fe, std::string_view itemClass) {
  std::optional<std::string> table;
  fe.step("reading the project table of", "cItem_class", [&] {
    std::shared_ptr<Recordset> rs =
        fe.cnn().execute("Select cTable from fItem Where cItem_Class='" + escapeSql(itemClass) + "'");
    if (hasRow(*rs)) table = replyText(rs->field("cTable"));
    rs->close();
  });
  return table;
}

bool isInventoryTable(std::string_view table) { return lowerCase(table) == "inventory"; }

namespace {

// A table name taken from the project classes: a plain name (letters, digits, underscores, parts
// joined by dots), since it is placed in the statement as a name and not as a value.
std::string_view plainTableName(std::string_view table) {
  bool partStart = true;
  for (char c : table) {
    const bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
    const bool digit = c >= '0' && c <= '9';
    if (c == '.' && !partStart) {
      partStart = true;
    } else if (letter || (digit && !partStart)) {
      partStart = false;
    } else {
      partStart = true;
      break;
    }
  }
  if (table.empty() || partStart)
    throwError(err::Database, "The project class names no usable table: '" + std::string(table) + "'");
  return table;
}

}  // namespace

std::string projectList(std::string_view table) {
  const bool items = isInventoryTable(table);
  return std::string("SELECT ") + (items ? "cInvName" : "cItemName") + " AS cItemName  FROM " +
         std::string(plainTableName(table)) + " WHERE " + (items ? "cInvCode" : "cItemCode") + " ='";
}

void lookUpUnit(FieldEntry& fe, const LookupRule& rule, const BodyRow& r, Document& body, const LineReply& reply) {
  const std::string typed = GetRowValue(r.node, "cinva_unit");
  const std::string item = GetRowValue(r.node, "cinvcode");
  runLookup(fe, rule, {.value = typed, .more = {item}, .row = r.number, .target = &body, .valueReply = reply});
}

void lookUpProject(FieldEntry& fe, const BodyRow& r, Document& body, const LineReply& reply,
                   const ProjectTable& where) {
  std::optional<std::string> named = projectTableOf(fe, GetRowValue(r.node, "cItem_class"));
  if (where.keptTable && named) *where.keptTable = std::move(*named);
  const std::string table = where.keptTable ? *where.keptTable : named.value_or("");
  if (table.empty() && where.uncheckedWithoutTable) return;
  const bool closable = where.openProjectsOnly && !isInventoryTable(table);
  runLookup(fe, kProjectLookup,
            {.value = GetRowValue(r.node, "cItemCode"),
             .row = r.number,
             .target = &body,
             .base = [&] { return projectList(table); },
             .tail = closable ? " and isnull(bclose,0)=0 " : "",
             .valueReply = reply});
}

void lookUpProjectClass(FieldEntry& fe, const BodyRow& r, Document& body, const LineReply& reply) {
  runLookup(fe, kProjectClassLookup,
            {.value = GetRowValue(r.node, "cItem_class"), .row = r.number, .target = &body, .valueReply = reply});
}

void answerQuantity(FieldEntry& fe, Document& body, const LineReply& reply) {
  FillInReply pairs(ReplyTag::Body);
  reply(pairs, nullptr);
  fe.answer(pairs, body);
}

// ---- Tax ---------------------------------------------------------------------------------------------------

bool sameRateOnEveryLine(const Document& body, std::string_view rateAttribute) {
  const std::string attribute(rateAttribute);
  auto rateOf = [&](const pugi::xml_node& row) {
    const pugi::xml_attribute a = row.attribute(attribute.c_str());
    return a ? leadingNumber(a.value()) : 0.0;
  };
  const pugi::xml_node first = firstRow(body.dom());
  const double reference = first ? rateOf(first) : 0.0;
  for (const pugi::xml_node row : SelectedRows(body.dom()))
    if (rateOf(row) != reference) return false;
  return true;
}

bool taxChecked(FieldEntry& fe) {
  bool checked = false;  // a setting that cannot be read leaves the line unchecked
  fe.step("reading the setting", "bControlTax", [&] { checked = !GetControlTax(fe.cnn()); });
  return checked;
}

void checkLineTax(FieldEntry& fe, const BodyRow& r, double deviation, bool roundTolerance) {
  double tolerance = 0;
  if (!fe.step("reading the setting", "iSingleTax", [&] { tolerance = GetSingleTaxTolerance(fe.cnn()); }))
    return;
  if (roundTolerance) tolerance = roundCents(tolerance);
  // A deviation that does not read (an overflow) is beyond any tolerance.
  if (!std::isfinite(deviation) || tolerance < roundCents(deviation))
    fe.call().report(Way::AtOnceOrCollected, rowPrefix(r.number), "]行税额录入超出容差范围！");
}

void checkTotalTax(FieldEntry& fe, const TaxTotals& totals) {
  const double deviation = roundCents(std::fabs(totals.computed - totals.entered));
  double tolerance = 0;
  if (!fe.step("reading the setting", "iSumTax", [&] { tolerance = GetSumTaxTolerance(fe.cnn()); })) return;
  if (!(deviation <= tolerance)) fe.call().report(Way::AtOnceOrCollected, "", "税额合计容差超出范围！");
}

void checkTaxOfLine(FieldEntry& fe, const BodyRow& r, TaxTotals& totals, const LineTaxFields& fields) {
  const std::string base = GetRowValue(r.node, fields.base);
  if (base.empty() || !taxChecked(fe)) return;
  const std::string rate = GetRowValue(r.node, fields.rate);
  const std::string tax = GetRowValue(r.node, fields.tax);
  fe.step("computing the tax of", fields.base, [&] {
    const double computed = textToDouble(base) * textToDouble(rate) / 100;
    totals.computed += fields.computedAsText ? StrToDbl(formatNumber(computed)) : computed;
  });
  fe.step("reading the tax", fields.tax, [&] { totals.entered += StrToDbl(tax); });
  // Numbers that do not read (an overflow) put the line beyond any tolerance.
  const double deviation = fe.valueOr("computing the deviation of", HUGE_VAL, [&] {
    return std::fabs(std::fabs(StrToDbl(base) * StrToDbl(rate) / 100) - std::fabs(StrToDbl(tax)));
  });
  checkLineTax(fe, r, deviation, fields.roundTolerance);
}

// ---- Reply pairs -----------------------------------------------------------------------------------------

std::string replyText(const Variant& v) { return v.isNull() ? std::string() : toText(v); }

void addRecordPairs(FillInReply& reply, const Recordset& rs, const ColumnAdjust& adjust) {
  for (size_t i = 0; i < rs.fieldCount(); ++i) {
    const std::string& column = rs.columns()[i];
    std::string value = replyText(rs.field(i));
    if (adjust) adjust(lowerCase(column), value);
    reply.add(column, value);
  }
}

void addLocalPrice(FieldEntry& fe, FillInReply& reply, const Recordset& rs, std::string_view pairKey,
                   std::string_view priceColumn, std::string_view rate) {
  if (rate.empty()) return;
  fe.step("computing the local price from", priceColumn, [&] {
    const Variant& price = rs.field(priceColumn);
    if (price.isNull()) return;  // no latest price to convert
    reply.add(pairKey, formatNumber(leadingNumber(toText(price)) * leadingNumber(rate)));
  });
}

void addPieceCount(FieldEntry& fe, FillInReply& reply, const Recordset& rs, std::string_view quantity) {
  fe.step("computing the piece count from", "iInvExchRate", [&] {
    const double rate = StrToDbl(replyText(rs.field("iInvExchRate")));
    const double q = StrToDbl(quantity);
    if (rate == 0 || q == 0)
      reply.clear("iNum");
    else
      reply.add("iNum", formatNumber(q / rate));
  });
}

void addQualityFlag(FieldEntry& fe, FillInReply& reply, std::string_view vendor, std::string_view typedItem) {
  fe.step("asking the quality-control component about", "cInvCode", [&] {
    const std::string item = ResolveInvCode(fe.cnn(), typedItem);
    const bool inspected = askGspIsTrue(std::string(vendor), item, fe.connection());
    reply.add("bGsp", inspected ? "是" : "否");
  });
}

bool madeFromNothing(FieldEntry& fe, const BodyRow& r, std::initializer_list<std::string_view> idFields) {
  return fe.valueOr("reading the source lines of", false, [&] {
    for (std::string_view field : idFields)
      if (leadingNumber(GetRowValue(r.node, field)) != 0) return false;
    return true;
  });
}

std::optional<double> priceQuantity(FieldEntry& fe, const BodyRow& r, std::string_view field) {
  std::optional<double> quantity;
  fe.step("reading the quantity", field, [&] { quantity = std::fabs(StrToDbl(GetRowValue(r.node, field))); });
  return quantity;
}

std::optional<PriceProposal> proposedPrice(FieldEntry& fe, const std::shared_ptr<Object>& login,
                                           const PriceQuery& query) {
  std::optional<PriceProposal> price;
  fe.step("asking the price service about", "cInvCode",
          [&] { price = askPrice(login, fe.context(), fe.connection(), query); });
  return price;
}

void addProposedPrice(FieldEntry& fe, FillInReply& reply, const std::shared_ptr<Object>& login,
                      const PriceQuery& query, const PricePairs& pairs) {
  const std::optional<PriceProposal> price = proposedPrice(fe, login, query);
  if (!price) return;
  reply.add(pairs.unitPrice, formatNumber(price->unitPrice));
  reply.add(pairs.taxRate, formatNumber(price->taxRate));
  if (pairs.taxCost) reply.add("bTaxCost", "0");
}

}  // namespace tallyward
