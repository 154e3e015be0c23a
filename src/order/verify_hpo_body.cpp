// Order line entry: the item, auxiliary unit, project, project class, free items, quantity and
// tax of the lines of an outsourcing order, looked up and checked as the user leaves a field, and
// again in the whole pass before saving (with the arrival date, the free-item values and the tax
// tolerance of each line and of the whole order).
//
// Run-time errors do not end the call: each fallible step is left out and the check goes on.
#include <cmath>
#include <string>

#include "entry/line_entry.h"
#include "erp/reference_sql.h"
#include "erp/settings.h"
#include "tallyward/classes.h"

namespace tallyward {

namespace {

// Only purchasable items that are neither services nor discounts and are not stopped; typed by
// name, code, additional code or the vendor's own code. The list itself is composed per line.
constexpr LookupRule kItemLookup = purchasableItemLookup("]行存货录入不正确，请检查！");

constexpr LookupRule kUnitLookup = unitLookup(VoucherKind::Order, "]行单位录入不正确或已经停用，请检查！");

// Free items without the item's switch are refused as the mode says.
constexpr FreeItemRules kFreeItems{.way = Way::AtOnceInCsAppendedInBs};

// The tax of a line: money times rate, against the tax entered.
constexpr LineTaxFields kLineTax{.base = "iMoney", .rate = "iPerTaxRate", .tax = "itax"};

// The price the price service proposes for a line.
constexpr PricePairs kPricePairs{.unitPrice = "iUnitPrice", .taxRate = "iPerTaxRate"};

class OrderLines : public LineEntry {
 public:
  OrderLines(ClsS_VerifyHPO& self, FieldEntry& fe, Document& body, Document* head, long R)
      : LineEntry(fe, body, head, R), self_(self) {}

  std::string run();

 private:
  void arrivalDate(const BodyRow& r);
  void freeItems(const BodyRow& r) { checkFreeItems(fe_, r, freeFlags_, kFreeItems); }
  void item(const BodyRow& r);
  void unit(const BodyRow& r);
  void project(const BodyRow& r);
  void projectClass(const BodyRow& r);
  void quantity(const BodyRow& r);
  void lineTax(const BodyRow& r) { checkTaxOfLine(fe_, r, tax_, kLineTax); }

  bool directShipmentRefused();
  void valueReply(FillInReply& reply, const Recordset* rs, const BodyRow& r);
  // The value reply of a line look-up.
  auto replies(const BodyRow& r) {
    return [this, &r](FillInReply& reply, const Recordset* rs) { valueReply(reply, rs, r); };
  }

  static const LineStep<OrderLines> kSteps[];

  ClsS_VerifyHPO& self_;
  TaxTotals tax_;
};

// The line steps, in the order they run on each line.
const LineStep<OrderLines> OrderLines::kSteps[] = {
    {.keys = "all", .run = &OrderLines::arrivalDate},
    {.keys = "cfree* all", .run = &OrderLines::freeItems},
    {.keys = "cinvcode all", .run = &OrderLines::item},
    {.keys = "cinva_unit all", .run = &OrderLines::unit},
    {.keys = "citemcode all", .run = &OrderLines::project},
    {.keys = "citem_class all", .run = &OrderLines::projectClass},
    {.keys = "iquantity", .run = &OrderLines::quantity},
    {.keys = "itax all", .run = &OrderLines::lineTax, .unchangedRows = true},
};

std::string OrderLines::run() {
  runStepsAndTaxTotal<OrderLines>(*this, kSteps, "ipertaxrate", tax_);
  return fe_.verdict();
}

void OrderLines::arrivalDate(const BodyRow& r) {
  const std::string arrival(datePart(GetRowValue(r.node, "dArriveDate")));
  if (arrival.empty()) return;
  const std::string ordered(datePart(head("dPODate")));
  // Dates that do not read are the whole-order check's to report.
  double arrivalDay = 0, orderDay = 0;
  if (!parseDate(arrival, arrivalDay) || !parseDate(ordered, orderDay)) return;
  if (arrivalDay < orderDay)
    fe_.call().report(Way::AtOnceOrCollected, rowPrefix(r.number), "]行到货日期不能在订货日期之前，请检查！");
}

void OrderLines::item(const BodyRow& r) {
  const std::string typed = GetRowValue(r.node, "cInvCode");
  const std::string busType = head("cBusType");
  const std::string_view typeFilter = busType == "受托代销"   ? " AND bInvEntrust=1 "
                                      : busType == "普通采购" ? " AND bInvEntrust=0 "
                                                              : "";
  const std::string vendor = head("cVenCode");
  const ResolvedItem resolved = resolveItem(fe_, typed, vendor);
  runLookup(fe_, kItemLookup,
            {.value = typed,
             .row = r.number,
             .target = &body_,
             .base = [&] { return itemList(fe_, VoucherKind::Order, vendor, resolved); },
             .tail = typeFilter,
             .narrow = exactCodeFirst(typed),
             .guard = [&] { return directShipmentRefused(); },
             .valueReply = replies(r)});
}

// Direct-shipment orders take their items from sales orders only: typing one is refused.
bool OrderLines::directShipmentRefused() {
  if (fe_.wholePass()) return false;
  bool refused = false;
  fe_.step("reading the setting", "bZYXS", [&] {
    refused = head("cPBVBillType") != "委外运费发票" && head("cBusType") == "直运采购" &&
              IsDirectShipSalesOn(fe_.cnn());
  });
  if (refused) fe_.call().report(Way::AtOnceOrCollected, "", "直运业务采购订单只能参照销售订单录入存货！");
  return refused;
}

void OrderLines::unit(const BodyRow& r) { lookUpUnit(fe_, kUnitLookup, r, body_, replies(r)); }
void OrderLines::project(const BodyRow& r) { lookUpProject(fe_, r, body_, replies(r)); }
void OrderLines::projectClass(const BodyRow& r) { lookUpProjectClass(fe_, r, body_, replies(r)); }
// A new quantity: the price proposed for it, nothing else.
void OrderLines::quantity(const BodyRow& r) { answerQuantity(fe_, body_, replies(r)); }

// The value reply of a line: the columns found (an item without a tax rate of its own takes the
// order's), then for an item its local price, piece count and quality flag, then for an item or
// a quantity the price the price service proposes.
void OrderLines::valueReply(FillInReply& reply, const Recordset* rs, const BodyRow& r) {
  if (rs && rs->isOpen())
    addRecordPairs(reply, *rs, [&](std::string_view column, std::string& value) {
      if (value.empty() && column == "ipertaxrate") value = head("iTaxRate");
    });
  if (fe_.key() == "cinvcode") {
    if (rs) addLocalPrice(fe_, reply, *rs, "iNatUnitPrice", "iUnitPrice", head("nflat"));
    if (rs) addPieceCount(fe_, reply, *rs, GetRowValue(r.node, "iQuantity"));
    const bool quality = fe_.valueOr("reading the quality-control settings", false, [&] {
      return IsGspStarted(fe_.cnn()) || fe_.session().bQMStart();
    });
    if (quality) addQualityFlag(fe_, reply, head("cVenCode"), GetRowValue(r.node, "cinvcode"));
  }
  if (fe_.key() != "cinvcode" && fe_.key() != "iquantity") return;
  if (!madeFromNothing(fe_, r, {"iappids"})) return;
  if (const std::optional<double> quantity = priceQuantity(fe_, r, "iquantity"))
    addProposedPrice(fe_, reply, self_.m_login,
                     {.vendorCode = head("cVenCode"),
                      .itemCode = GetRowValue(r.node, "cInvCode"),
                      .date = XmlDateValue(head("dPODate")),
                      .quantity = *quantity,
                      .currency = head("cexch_name")},
                     kPricePairs);
}

}  // namespace

std::string ClsS_VerifyHPO::VerifyBody(const std::string& sKey, Document& domBody, Document* domHead,
                                       int32_t R) {
  FieldEntry fe(sKey, m_UseMode, m_Cnn, clsInfor, ReplyTag::Body, FieldEntry::OnError::Skip, skipped_);
  return OrderLines(*this, fe, domBody, domHead, R).run();
}

}  // namespace tallyward
