// Invoice line entry: the free items, item, unit, project, project class, quantity and tax of the
// lines of an outsourcing invoice, looked up and checked as the user leaves a field, and again in
// the whole pass before saving, which also asks whether an invoice of goods holds goods at all
// and checks the tax of the whole invoice.
//
// Run-time errors do not end the call: each fallible step is left out and the check goes on.
#include <cmath>
#include <string>
#include <string_view>

#include "entry/line_entry.h"
#include "erp/reference_sql.h"
#include "erp/settings.h"
#include "tallyward/classes.h"

namespace tallyward {

namespace {

constexpr VoucherKind Invoice = VoucherKind::Invoice;

// Invoice types, by name or code.
bool isFreight(std::string_view billType) { return billType == "委外运费发票" || billType == "13"; }
bool isSpecial(std::string_view billType) { return billType == "委外专用发票" || billType == "01"; }

// Items typed by name, code, additional code or the vendor's own code, not stopped; which items an
// invoice takes depends on the invoice (itemFilter). The list itself is composed per line.
const LookupRule kItemLookup{
    .key = "cinvcode", .field = "cInvCode",
    .where = " WHERE (cInvName='{0}' OR Inventory.cInvCode='{0}' OR cInvAddCode='{0}' OR cVenInvCode='{0}') "
             " AND dEDate IS NULL ",
    .right = &kInventoryRight, .notFound = "]行存货录入不正确或已经停用，请检查！", .rowMessage = true};

// The items an invoice takes: freight on a freight invoice, purchased goods on a direct-shipment
// invoice, outsourced items on an invoice from outsourcing, else goods, services and discounts.
std::string_view itemFilter(std::string_view billType, std::string_view busType, std::string_view source) {
  if (isFreight(billType)) return " AND  bproxyforeign=1 ";
  if (busType == "直运采购") return " AND (bService=0 AND bInvEntrust=0 and bPurchase=1) ";
  if (source == "委外") return " AND (bProxyForeign=1) ";
  return " AND (bService=1 or bInvType=1 or (bInvEntrust=0 and bPurchase=1)) ";
}

// Business types whose items must be taken from an order when a purchasing option says so: typing
// one is refused (opening invoices excepted).
struct OrderRequired {
  std::string_view busType;
  bool (*optionOn)(FieldEntry& fe);
  std::string_view refusal;
};
const OrderRequired kOrderRequired[] = {
    {"普通采购", [](FieldEntry& fe) { return fe.session().bPTHavePO(); },
     "设置了“普通业务必有订单”选项后，只能参照录入存货，请检查！"},
    {"直运采购",
     [](FieldEntry& fe) { return IsSalesOrderRequiredForDirectShip(fe.cnn()) && IsDirectShipSalesOn(fe.cnn()); },
     "设置了“直运业务必有订单”选项后，只能参照录入存货，请检查！"},
};
// Screens of accounts payable enter their items as they like.
constexpr std::string_view kPayableBills[] = {"appurz", "appurp"};

constexpr LookupRule kUnitLookup = unitLookup(Invoice, "]行单位录入不正确，请检查！");

// A free item the item uses must be entered, one it does not use must stay empty.
constexpr FreeItemRules kFreeItems{.way = Way::AtOnceInCsCollectedInBs, .mustEnter = true};

class InvoiceLines : public LineEntry {
 public:
  InvoiceLines(ClsS_VerifyBillH& self, FieldEntry& fe, Document& body, Document* head, long R)
      : LineEntry(fe, body, head, R), self_(self) {}

  std::string run();

 private:
  void expenseOnly(const BodyRow& r);
  void freeItems(const BodyRow& r);
  void item(const BodyRow& r);
  void unit(const BodyRow& r);
  void project(const BodyRow& r);
  void projectClass(const BodyRow& r);
  void quantity(const BodyRow& r);
  void lineTax(const BodyRow& r);

  bool orderRequired();
  void valueReply(FillInReply& reply, const Recordset* rs, const BodyRow& r);
  // The value reply of a line look-up.
  auto replies(const BodyRow& r) {
    return [this, &r](FillInReply& reply, const Recordset* rs) { valueReply(reply, rs, r); };
  }

  static const LineStep<InvoiceLines> kSteps[];

  ClsS_VerifyBillH& self_;
  TaxTotals tax_;
  double lineTax_ = 0;      // the computed tax of the latest line whose tax could be computed
  bool expenseOnly_ = true;  // no line so far is goods (neither a service nor a discount)
};

// The line steps, in the order they run on each line. Unchanged lines of a whole pass still count
// towards the goods of the invoice and its tax.
const LineStep<InvoiceLines> InvoiceLines::kSteps[] = {
    {.keys = "all", .run = &InvoiceLines::expenseOnly, .unchangedRows = true},
    {.keys = "cfree* all", .run = &InvoiceLines::freeItems},
    {.keys = "cinvcode all", .run = &InvoiceLines::item},
    {.keys = "cinva_unit all", .run = &InvoiceLines::unit},
    {.keys = "citemcode all", .run = &InvoiceLines::project},
    {.keys = "citem_class all", .run = &InvoiceLines::projectClass},
    {.keys = "ipbvquantity", .run = &InvoiceLines::quantity},
    {.keys = "ioritaxprice all", .run = &InvoiceLines::lineTax, .unchangedRows = true},
};

std::string InvoiceLines::run() {
  // Rates that do not read (an overflow) are not the same: each line's tax is still checked.
  const bool sameRates = fe_.wholePass() && fe_.valueOr("reading the tax rates", false, [&] {
    return sameRateOnEveryLine(body_, "itaxrate");
  });
  runSteps<InvoiceLines>(*this, kSteps);
  // The whole invoice, when every line bears the same rate (a body without lines has nothing to
  // say): an invoice of goods must hold goods, and its tax must add up.
  const SelectedRows lines(body_.dom());
  if (fe_.wholePass() && !fe_.ended() && sameRates && lines.begin() != lines.end()) {
    if (expenseOnly_ && !isFreight(head("cPBVBillType")))
      fe_.call().reportAtOnce("非费用发票不能只录入费用和折扣型存货！");
    else
      checkTotalTax(fe_, tax_);
  }
  return fe_.verdict();
}

void InvoiceLines::expenseOnly(const BodyRow& r) {
  fe_.step("reading the service and discount flags of", "bService", [&] {
    if (!textToBoolean(GetRowValue(r.node, "bService")) && !textToBoolean(GetRowValue(r.node, "bInvType")))
      expenseOnly_ = false;
  });
}

void InvoiceLines::freeItems(const BodyRow& r) {
  // Invoices from accounts payable carry the free items as they were booked there.
  if (head("cSource") == "应付") return;
  checkFreeItems(fe_, r, freeFlags_, kFreeItems);
}

void InvoiceLines::item(const BodyRow& r) {
  const std::string typed = GetRowValue(r.node, "cInvCode");
  const std::string vendor = head("cVenCode");
  const std::string billType = head("cPBVBillType");
  const ResolvedItem resolved = resolveItem(fe_, typed, vendor);
  runLookup(fe_, kItemLookup,
            {.value = typed,
             .row = r.number,
             .target = &body_,
             .base = [&] {
               return BuildReferenceSql({.voucher = Invoice,
                                         .list = ReferenceKind::Inventory,
                                         .cnn = &fe_.cnn(),
                                         .venCode = vendor,
                                         .unitMode = resolved.unitMode,
                                         .invCode = resolved.code,
                                         .billType = billType});
             },
             .tail = itemFilter(billType, head("cBusType"), head("cSource")),
             .narrow = exactCodeFirst(typed),
             .guard = [&] { return orderRequired(); },
             .valueReply = replies(r)});
}

// While the user types, items of the business types that need an order may only be taken from
// one: typing one is refused, whether or not it exists.
bool InvoiceLines::orderRequired() {
  if (fe_.wholePass() || isFreight(head("cPBVBillType"))) return false;
  for (std::string_view bill : kPayableBills)
    if (lowerCase(self_.sBillType) == bill) return false;
  const std::string busType = head("cBusType");
  for (const OrderRequired& rule : kOrderRequired) {
    if (busType != rule.busType) continue;
    bool refused = false;
    fe_.step("reading the order-required options of", busType,
             [&] { refused = rule.optionOn(fe_) && !fe_.session().bOriginal(); });
    if (refused) {
      fe_.call().report(Way::AtOnceOrCollected, "", rule.refusal);
      return true;
    }
  }
  return false;
}

void InvoiceLines::unit(const BodyRow& r) { lookUpUnit(fe_, kUnitLookup, r, body_, replies(r)); }
// Projects of a class with a table of its own may be closed; closed projects are not found.
void InvoiceLines::project(const BodyRow& r) { lookUpProject(fe_, r, body_, replies(r), {.openProjectsOnly = true}); }
void InvoiceLines::projectClass(const BodyRow& r) { lookUpProjectClass(fe_, r, body_, replies(r)); }
// A new quantity: the price proposed for it, nothing else.
void InvoiceLines::quantity(const BodyRow& r) { answerQuantity(fe_, body_, replies(r)); }

// The tax of a line against the tax its rate gives: on the amount without tax of a special
// invoice, on the amount with tax of any other. A rate or amount that is not a number leaves the
// computed tax of the line before.
void InvoiceLines::lineTax(const BodyRow& r) {
  if (GetRowValue(r.node, "iOriMoney").empty() || !taxChecked(fe_)) return;
  double entered = 0;
  const bool readable =
      fe_.step("reading the tax", "ioritaxprice", [&] { entered = StrToDbl(GetRowValue(r.node, "ioritaxprice")); });
  tax_.entered += entered;
  const std::string base = GetRowValue(r.node, isSpecial(head("cPBVBillType")) ? "iOriMoney" : "iOriSum");
  const std::string rate = GetRowValue(r.node, "iTaxRate");
  fe_.step("computing the tax of", "iTaxRate",
           [&] { lineTax_ = StrToDbl(formatNumber(textToDouble(rate) * textToDouble(base) / 100)); });
  tax_.computed += lineTax_;
  // Numbers beyond the range of a Double (which StrToDbl refuses) are beyond any tolerance.
  const bool numbers = readable && fe_.valueOr("reading the tax rate and amount of", false, [&] {
    return std::isfinite(StrToDbl(rate) * StrToDbl(base));
  });
  checkLineTax(fe_, r, numbers ? std::fabs(std::fabs(lineTax_) - std::fabs(entered)) : HUGE_VAL, true);
}

// The value reply of a line: the columns found (an item without a tax rate of its own takes the
// invoice's), then for an item its local cost, freight flag and piece count, for a new project
// class the project cleared, and for an item or a quantity of a line not taken from an order or a
// receipt the price the price service proposes (kept only for a line not taken from an
// outsourcing order).
void InvoiceLines::valueReply(FillInReply& reply, const Recordset* rs, const BodyRow& r) {
  if (rs && rs->isOpen())
    addRecordPairs(reply, *rs, [&](std::string_view column, std::string& value) {
      if (value.empty() && column == "itaxrate") value = head("iPBVTaxRate");
    });
  const std::string& key = fe_.key();
  if (key == "cinvcode" && rs) {
    addLocalPrice(fe_, reply, *rs, "iCost", "iOriCost", head("cexchrate"));
    reply.add("bExBill", isFreight(head("cPBVBillType")) ? "1" : "0");
    addPieceCount(fe_, reply, *rs, GetRowValue(r.node, "iPBVQuantity"));
  }
  if (key == "citem_class" && !GetRowValue(r.node, "citem_class").empty() &&
      !GetRowValue(r.node, "citemcode").empty()) {
    reply.clear("cItemCode");
    reply.clear("cItemName");
  }
  if (key != "cinvcode" && key != "ipbvquantity") return;
  if (!madeFromNothing(fe_, r, {"iposid", "rdsid"})) return;
  if (const std::optional<double> quantity = priceQuantity(fe_, r, "ipbvquantity")) {
    const std::optional<PriceProposal> price =
        proposedPrice(fe_, self_.m_login,
                      {.vendorCode = head("cVenCode"),
                       .itemCode = GetRowValue(r.node, "cInvCode"),
                       .date = XmlDateValue(head("dPBVDate")),
                       .quantity = *quantity,
                       .currency = head("cexch_name")});
    if (price && GetRowValue(r.node, "iomautoid").empty() && GetRowValue(r.node, "iommainid").empty()) {
      reply.add("ioricost", formatNumber(price->unitPrice));
      reply.add("iTaxRate", formatNumber(price->taxRate));
    }
  }
}

}  // namespace

std::string ClsS_VerifyBillH::VerifyBody(const std::string& sKey, Document& domBody, Document* domHead,
                                         int32_t R) {
  FieldEntry fe(sKey, m_UseMode, m_Cnn, clsInfor, ReplyTag::Body, FieldEntry::OnError::Skip, skipped_);
  return InvoiceLines(*this, fe, domBody, domHead, R).run();
}

}  // namespace tallyward
