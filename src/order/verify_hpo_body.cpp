// Order line entry: the item, auxiliary unit, project, project class, free items, quantity and
// tax of the lines of an outsourcing order, looked up and checked as the user leaves a field, and
// again in the whole pass before saving (with the arrival date, the free-item values and the tax
// tolerance of each line and of the whole order).
//
// Run-time errors do not end the call: each fallible step is left out and the check goes on.
#include <array>
#include <cmath>
#include <string>

#include "entry/field_entry.h"
#include "entry/lookup.h"
#include "erp/reference_sql.h"
#include "erp/settings.h"
#include "platform/db/sql_text.h"
#include "rows/voucher.h"
#include "tallyward/classes.h"

namespace tallyward {

namespace {

using voucher_kind::Order;

constexpr DataRight kItemRight{&Session::bCheckInvAuth, rightkind::Inventory, "cInvCode",
                               "对不起，您没有录入该存货的权限！"};

// Only purchasable items that are neither services nor discounts and are not stopped; typed by
// name, code, additional code or the vendor's own code. The list itself is composed per line.
const LookupRule kItemLookup{
    .key = "cinvcode", .field = "cInvCode",
    .where = " WHERE (cInvName='{0}' OR Inventory.cInvCode='{0}' OR cInvAddCode='{0}' OR "
             "cVenInvCode='{0}') "
             " AND (bPurchase=1 AND bService=0  AND bInvtype=0) AND dEDate IS NULL ",
    .right = &kItemRight, .notFound = "]行存货录入不正确，请检查！", .rowMessage = true};

// A unit of the item's unit group, by code or name; {1} is the line's item.
const LookupRule kUnitLookup{
    .key = "cinva_unit", .field = "cinva_unit", .voucherKind = Order,
    .referenceKind = reference_kind::Unit,
    .where = " WHERE cGroupCode in (select cGroupCode from Inventory where cinvcode='{1}') and "
             "(cComUnitCode='{0}' OR cComUnitName='{0}')",
    .notFound = "]行单位录入不正确或已经停用，请检查！", .rowMessage = true};

// A project of the line's project class, in the table the class names; the statement up to the
// code's literal is composed from that table.
const LookupRule kProjectLookup{.key = "citemcode", .field = "cItemCode", .where = "{0}'",
                                .notFound = "]行项目录入不正确，请检查！", .rowMessage = true};

// Clearing the project class clears the project too.
constexpr std::string_view kProjectFields[] = {"cItemCode", "cItemName"};
const LookupRule kProjectClassLookup{
    .key = "citem_class", .field = "cItem_class",
    .where = "SELECT cItem_Class,fItem.cItem_Name From fItem  WHERE cItem_Class='{0}'",
    .notFound = "]行项目大类录入不正确，请检查！", .rowMessage = true,
    .alsoClear = kProjectFields};

constexpr std::string_view kFreightInvoice = "委外运费发票";
constexpr std::string_view kDirectShipping = "直运采购";

// The number of the free item a key such as cfree3 names; 0 when it names none of 1 to 10.
int freeItemNumber(std::string_view key) {
  const std::string_view digits = key.substr(5);
  if (digits.empty() || digits.size() > 2) return 0;
  int n = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return 0;
    n = n * 10 + (c - '0');
  }
  return n >= 1 && n <= 10 ? n : 0;
}

// The list of user-defined values that free item n takes its values from.
int freeItemList(int n) { return n <= 2 ? n + 19 : n + 25; }

// A table name taken from the project classes: a plain name (letters, digits, underscores, parts
// joined by dots), since it is placed in the statement as a name and not as a value.
std::string_view projectTable(std::string_view table) {
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

std::string textOf(const Variant& v) { return v.isNull() ? std::string() : toText(v); }

class OrderLines {
 public:
  OrderLines(ClsS_VerifyHPO& self, FieldEntry& fe, Document& body, Document* head, long R)
      : self_(self), fe_(fe), body_(body), head_(head), R_(R) {}

  std::string run() {
    const bool sameRates = fe_.wholePass() && allLinesSameRate();
    walkRows(body_, fe_.wholePass(), R_, [&](const BodyRow& r) {
      if (!r.unchanged) {
        if (fe_.wholePass()) arrivalDate(r);
        if (!fe_.ended() && (fe_.wholePass() || fe_.key().starts_with("cfree"))) freeItems(r);
        if (!fe_.ended() && fe_.runs(kItemLookup.key)) item(r);
        if (!fe_.ended() && fe_.runs(kUnitLookup.key)) unit(r);
        if (!fe_.ended() && fe_.runs(kProjectLookup.key)) project(r);
        if (!fe_.ended() && fe_.runs(kProjectClassLookup.key)) projectClass(r);
        if (!fe_.ended() && fe_.key() == "iquantity") quantity(r);
      }
      if (!fe_.ended() && fe_.runs("itax")) lineTax(r);
      return !fe_.ended();
    });
    if (fe_.wholePass() && !fe_.ended() && sameRates) totalTax();
    return fe_.verdict();
  }

 private:
  // A head value; "" when there is no head to read it from.
  std::string head(std::string_view key) {
    std::string value;
    fe_.step([&] {
      if (!head_) throwError(err::ObjectNotSet, "Object variable not set: no head document (domHead)");
      value = GetHeadValue(*head_, key);
    });
    return value;
  }

  // Whether every selected line carries the tax rate of the body's first row (whatever that
  // row's edit state): only then is the tax of the whole order checked.
  bool allLinesSameRate() {
    auto rateOf = [](const pugi::xml_node& row) {
      const pugi::xml_attribute a = row.attribute("ipertaxrate");
      return a ? leadingNumber(a.value()) : 0.0;
    };
    const pugi::xml_node first = firstRow(body_.dom());
    const double reference = first ? rateOf(first) : 0.0;
    for (const pugi::xml_node row : SelectedRows(body_.dom()))
      if (rateOf(row) != reference) return false;
    return true;
  }

  void arrivalDate(const BodyRow& r) {
    const std::string arrival(datePart(GetRowValue(r.node, "dArriveDate")));
    if (arrival.empty()) return;
    const std::string ordered(datePart(head("dPODate")));
    // Dates that do not read are the whole-order check's to report.
    double arrivalDay = 0, orderDay = 0;
    if (!parseDate(arrival, arrivalDay) || !parseDate(ordered, orderDay)) return;
    if (arrivalDay < orderDay)
      fe_.call().report(Way::A, rowPrefix(r.number), "]行到货日期不能在订货日期之前，请检查！");
  }

  void freeItems(const BodyRow& r) {
    // The switches stay from the line before when this line's item has no inventory record.
    fe_.step([&] { LoadFreeItemFlags(fe_.cnn(), GetRowValue(r.node, "cInvCode"), freeFlags_); });
    int first = 1, last = 10;
    if (!fe_.wholePass()) {
      first = last = freeItemNumber(fe_.key());
      if (first == 0) return;
    }
    const std::string prefix = rowPrefix(r.number);
    for (int n = first; n <= last; ++n) {
      const std::string value = GetRowValue(r.node, "cfree" + std::to_string(n));
      if (!freeFlags_[static_cast<size_t>(n - 1)] && !trimBlanks(value).empty() &&
          fe_.call().report(Way::G, prefix, "]行没有自由项" + std::to_string(n) + "设置，不能输入！"))
        return;
      if (fe_.wholePass() && fe_.mode() == UseMode::BS && !value.empty() && !userDefined(n, value))
        fe_.call().report(Way::D, prefix, "]行自由项" + std::to_string(n) + "录入不正确，请检查！");
    }
  }

  // Whether a free-item value is in its user-defined list (by value or alias). A list that
  // cannot be read confirms nothing.
  bool userDefined(int n, std::string_view value) {
    bool found = false;
    fe_.step([&] {
      const std::string v = escapeSql(value);
      std::shared_ptr<Recordset> rs = fe_.cnn().execute(
          BuildReferenceSql(voucher_kind::Invoice, reference_kind::UserDefine, nullptr, "", "", "",
                            "", "") +
          " WHERE cID= '" + std::to_string(freeItemList(n)) + "' AND (cValue='" + v +
          "' OR cAlias='" + v + "')");
      found = hasRow(*rs);
      rs->close();
    });
    return found;
  }

  void item(const BodyRow& r) {
    const std::string typed = GetRowValue(r.node, "cInvCode");
    const std::string busType = head("cBusType");
    const std::string_view typeFilter = busType == "受托代销"   ? " AND bInvEntrust=1 "
                                        : busType == "普通采购" ? " AND bInvEntrust=0 "
                                                                : "";
    const std::string vendor = head("cVenCode");
    std::string resolved, unitMode;
    fe_.step([&] { resolved = ResolveInvCode(fe_.cnn(), typed); });
    fe_.step([&] { unitMode = GetGroupType(fe_.cnn(), resolved, vendor); });
    runLookup(fe_, kItemLookup,
              {.value = typed,
               .row = r.number,
               .target = &body_,
               .base = [&] {
                 return BuildReferenceSql(Order, reference_kind::Inventory, &fe_.cnn(), vendor,
                                          unitMode, resolved, "", "");
               },
               .tail = typeFilter,
               // An exact code wins over a match by name, additional code or vendor's code.
               .narrow = [&](Recordset& rs) {
                 rs.setFilter("cInvCode='" + escapeSql(typed) + "'");
                 if (!hasRow(rs)) rs.setFilter("");
               },
               .guard = [&] { return directShipmentRefused(); },
               .valueReply = [&](FillInReply& reply, const Recordset* rs) { valueReply(reply, rs, r); }});
  }

  // Direct-shipment orders take their items from sales orders only: typing one is refused.
  bool directShipmentRefused() {
    if (fe_.wholePass()) return false;
    bool refused = false;
    fe_.step([&] {
      refused = head("cPBVBillType") != kFreightInvoice && head("cBusType") == kDirectShipping &&
                IsDirectShipSalesOn(fe_.cnn());
    });
    if (refused) fe_.call().report(Way::A, "", "直运业务采购订单只能参照销售订单录入存货！");
    return refused;
  }

  void unit(const BodyRow& r) {
    const std::string typed = GetRowValue(r.node, "cinva_unit");
    const std::string item = GetRowValue(r.node, "cinvcode");
    runLookup(fe_, kUnitLookup,
              {.value = typed,
               .more = {item},
               .row = r.number,
               .target = &body_,
               .valueReply = [&](FillInReply& reply, const Recordset* rs) { valueReply(reply, rs, r); }});
  }

  void project(const BodyRow& r) {
    const std::string typed = GetRowValue(r.node, "cItemCode");
    std::string table;
    fe_.step([&] {
      std::shared_ptr<Recordset> rs = fe_.cnn().execute(
          "Select cTable from fItem Where cItem_Class='" +
          escapeSql(GetRowValue(r.node, "cItem_class")) + "'");
      if (hasRow(*rs)) table = textOf(rs->field("cTable"));
      rs->close();
    });
    runLookup(fe_, kProjectLookup,
              {.value = typed,
               .row = r.number,
               .target = &body_,
               .base = [&] {
                 // Projects of the inventory class are the items themselves.
                 const bool items = lowerCase(table) == "inventory";
                 return std::string("SELECT ") + (items ? "cInvName" : "cItemName") +
                        " AS cItemName  FROM " + std::string(projectTable(table)) + " WHERE " +
                        (items ? "cInvCode" : "cItemCode") + " ='";
               },
               .valueReply = [&](FillInReply& reply, const Recordset* rs) { valueReply(reply, rs, r); }});
  }

  void projectClass(const BodyRow& r) {
    const std::string typed = GetRowValue(r.node, "cItem_class");
    runLookup(fe_, kProjectClassLookup,
              {.value = typed,
               .row = r.number,
               .target = &body_,
               .valueReply = [&](FillInReply& reply, const Recordset* rs) { valueReply(reply, rs, r); }});
  }

  // A new quantity: the price proposed for it, nothing else.
  void quantity(const BodyRow& r) {
    FillInReply reply(ReplyTag::Body);
    valueReply(reply, nullptr, r);
    fe_.answer(reply, body_);
  }

  void lineTax(const BodyRow& r) {
    const std::string money = GetRowValue(r.node, "iMoney");
    if (money.empty()) return;
    bool uncontrolled = false;  // a setting that cannot be read leaves the line unchecked
    fe_.step([&] { uncontrolled = !GetControlTax(fe_.cnn()); });
    if (!uncontrolled) return;
    const std::string rate = GetRowValue(r.node, "iPerTaxRate");
    const std::string tax = GetRowValue(r.node, "itax");
    fe_.step([&] { computedTax_ += textToDouble(money) * textToDouble(rate) / 100; });
    enteredTax_ += StrToDbl(tax);
    const double deviation = std::fabs(std::fabs(StrToDbl(money) * StrToDbl(rate) / 100) -
                                       std::fabs(StrToDbl(tax)));
    double tolerance = 0;
    if (!fe_.step([&] { tolerance = GetSingleTaxTolerance(fe_.cnn()); })) return;
    if (roundCents(tolerance) < roundCents(deviation))
      fe_.call().report(Way::A, rowPrefix(r.number), "]行税额录入超出容差范围！");
  }

  void totalTax() {
    const double deviation = roundCents(std::fabs(computedTax_ - enteredTax_));
    double tolerance = 0;
    if (!fe_.step([&] { tolerance = GetSumTaxTolerance(fe_.cnn()); })) return;
    if (tolerance < deviation) fe_.call().report(Way::A, "", "税额合计容差超出范围！");
  }

  // The value reply of a line: the columns found, then for an item its local price, piece count
  // and quality flag, then for an item or a quantity the price the price service proposes.
  void valueReply(FillInReply& reply, const Recordset* rs, const BodyRow& r) {
    if (rs && rs->isOpen()) {
      for (size_t i = 0; i < rs->fieldCount(); ++i) {
        const std::string& column = rs->columns()[i];
        std::string value = textOf(rs->field(i));
        // An item without a tax rate of its own takes the order's.
        if (value.empty() && lowerCase(column) == "ipertaxrate") value = head("iTaxRate");
        reply.add(column, value);
      }
    }
    if (fe_.key() == "cinvcode") {
      const std::string nflat = head("nflat");
      if (rs && !nflat.empty())
        fe_.step([&] {
          const Variant& price = rs->field("iUnitPrice");
          if (price.isNull()) return;  // no latest price to convert
          reply.add("iNatUnitPrice", formatNumber(leadingNumber(toText(price)) * leadingNumber(nflat)));
        });
      if (rs)
        fe_.step([&] {
          const double rate = StrToDbl(textOf(rs->field("iInvExchRate")));
          const double quantity = StrToDbl(GetRowValue(r.node, "iQuantity"));
          if (rate == 0 || quantity == 0)
            reply.clear("iNum");
          else
            reply.add("iNum", formatNumber(quantity / rate));
        });
      fe_.step([&] {
        if (!IsGspStarted(fe_.cnn()) && !fe_.session().bQMStart()) return;
        const std::string item = ResolveInvCode(fe_.cnn(), GetRowValue(r.node, "cinvcode"));
        const bool inspected = askGspIsTrue(head("cVenCode"), item, fe_.connection());
        reply.add("bGsp", inspected ? "是" : "否");
      });
    }
    if ((fe_.key() == "cinvcode" || fe_.key() == "iquantity") &&
        leadingNumber(GetRowValue(r.node, "iappids")) == 0) {
      PriceQuery query{.vendorCode = head("cVenCode"),
                       .itemCode = GetRowValue(r.node, "cInvCode"),
                       .date = XmlDateValue(head("dPODate")),
                       .quantity = std::fabs(StrToDbl(GetRowValue(r.node, "iquantity"))),
                       .currency = head("cexch_name")};
      fe_.step([&] {
        const std::optional<PriceProposal> price =
            askPrice(self_.m_login, fe_.context(), fe_.connection(), query);
        if (!price) return;
        reply.add("iUnitPrice", formatNumber(price->unitPrice));
        reply.add("iPerTaxRate", formatNumber(price->taxRate));
        reply.add("bTaxCost", "0");
      });
    }
  }

  ClsS_VerifyHPO& self_;
  FieldEntry& fe_;
  Document& body_;
  Document* head_;
  long R_;
  std::array<bool, 10> freeFlags_{};  // all off when the call starts, kept from line to line
  double computedTax_ = 0;
  double enteredTax_ = 0;
};

}  // namespace

std::string ClsS_VerifyHPO::VerifyBody(const std::string& sKey, Document& domBody, Document* domHead,
                                       int32_t R) {
  FieldEntry fe(sKey, m_UseMode, m_Cnn, clsInfor, ReplyTag::Body, FieldEntry::OnError::Skip);
  return OrderLines(*this, fe, domBody, domHead, R).run();
}

}  // namespace tallyward
