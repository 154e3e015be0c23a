// Arrival line entry: the free items, batch, production and expiry dates, item, inspection flag,
// warehouse, auxiliary unit, project, project class, quantity and tax of the lines of an
// outsourcing arrival note, looked up and checked as the user leaves a field, and again in the
// whole pass before saving (with the free-item values, the batch and expiry date that quality
// control needs, and the tax tolerance of each line and of the whole note).
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

constexpr VoucherKind Arrival = VoucherKind::Arrival;

constexpr LookupRule kItemLookup = purchasableItemLookup("]行存货录入不正确或已经停用，请检查！");

const LookupRule kWarehouseLookup{.key = "cwhname", .field = "cWhName", .voucherKind = Arrival,
                                  .list = ReferenceKind::Warehouse,
                                  .where = " WHERE (cWhName='{0}' OR cWhCode='{0}') ",
                                  .notFound = "]行仓库录入不正确，请检查！", .rowMessage = true};

constexpr LookupRule kUnitLookup = unitLookup(Arrival, "]行单位录入不正确，请检查！");

// A used free item must be entered and an unused one left empty; both refusals as the mode says.
constexpr FreeItemRules kFreeItems{.way = Way::AtOnceInCsAppendedInBs, .mustEnter = true};

// The tax of a line: the amount in the note's currency times the rate, against the tax entered.
// The single-line tolerance is taken as it is set.
constexpr LineTaxFields kLineTax{.base = "iOriMoney", .rate = "iTaxRate", .tax = "ioritaxprice",
                                 .computedAsText = true, .roundTolerance = false};

// The price the price service proposes for a line.
constexpr PricePairs kPricePairs{.unitPrice = "ioricost", .taxRate = "iTaxRate"};

constexpr std::string_view kInspected = "是";
constexpr std::string_view kNotInspected = "否";

class ArrivalLines : public LineEntry {
 public:
  ArrivalLines(ClsS_VerifyArriveH& self, FieldEntry& fe, Document& body, Document* head, long R)
      : LineEntry(fe, body, head, R), self_(self) {}

  std::string run();

 private:
  // The value reply of a line look-up.
  LineReply replies(const BodyRow& r) {
    return [this, &r](FillInReply& reply, const Recordset* rs) { valueReply(reply, rs, r); };
  }

  void freeItems(const BodyRow& r) { checkFreeItems(fe_, r, freeFlags_, kFreeItems); }
  void batch(const BodyRow& r);
  void productionDate(const BodyRow& r);
  void expiryDate(const BodyRow& r);
  void item(const BodyRow& r);
  void floatingRateInspection(const BodyRow& r);
  void warehouse(const BodyRow& r) {
    runLookup(fe_, kWarehouseLookup,
              {.value = GetRowValue(r.node, "cWhName"), .row = r.number, .target = &body_, .valueReply = replies(r)});
  }
  void unit(const BodyRow& r) { lookUpUnit(fe_, kUnitLookup, r, body_, replies(r)); }
  // A project class without a table has no projects to check against.
  void project(const BodyRow& r) { lookUpProject(fe_, r, body_, replies(r), {.uncheckedWithoutTable = true}); }
  void projectClass(const BodyRow& r) { lookUpProjectClass(fe_, r, body_, replies(r)); }
  // A new quantity: the price proposed for it, nothing else.
  void quantity(const BodyRow& r) { answerQuantity(fe_, body_, replies(r)); }
  void lineTax(const BodyRow& r) { checkTaxOfLine(fe_, r, tax_, kLineTax); }

  bool qualityControlled();
  bool managed(const char* what, bool (*probe)(Connection&, std::string_view), const BodyRow& r, bool& is);
  void datesInOrder(const BodyRow& r);
  bool orderRequired(std::string_view busType);
  void valueReply(FillInReply& reply, const Recordset* rs, const BodyRow& r);
  void inspectionFlag(FillInReply& reply, const BodyRow& r);
  bool negativeNote();

  static const LineStep<ArrivalLines> kSteps[];

  ClsS_VerifyArriveH& self_;
  TaxTotals tax_;
};

// The line steps, in the order they run on each line.
const LineStep<ArrivalLines> ArrivalLines::kSteps[] = {
    {.keys = "cfree* all", .run = &ArrivalLines::freeItems},
    {.keys = "cbatch all", .run = &ArrivalLines::batch},
    {.keys = "dpdate all", .run = &ArrivalLines::productionDate},
    {.keys = "dvdate all", .run = &ArrivalLines::expiryDate},
    {.keys = "cinvcode all", .run = &ArrivalLines::item},
    {.keys = "bgsp all", .run = &ArrivalLines::floatingRateInspection},
    {.keys = "cwhname all", .run = &ArrivalLines::warehouse},
    {.keys = "cinva_unit all", .run = &ArrivalLines::unit},
    {.keys = "citemcode all", .run = &ArrivalLines::project},
    {.keys = "citem_class all", .run = &ArrivalLines::projectClass},
    {.keys = "iquantity", .run = &ArrivalLines::quantity},
    {.keys = "ioritaxprice all", .run = &ArrivalLines::lineTax, .unchangedRows = true},
};

std::string ArrivalLines::run() {
  runStepsAndTaxTotal<ArrivalLines>(*this, kSteps, "itaxrate", tax_);
  return fe_.verdict();
}

// Whether GSP or quality management is in use; a setting that cannot be read counts as off.
bool ArrivalLines::qualityControlled() {
  const bool gsp = fe_.valueOr("reading the setting dGspStartDate", false, [&] { return IsGspStarted(fe_.cnn()); });
  return gsp || fe_.valueOr("reading the session member bQMStart", false, [&] { return fe_.session().bQMStart(); });
}

// Asks an item probe about the line's item; false when it cannot be asked (the rule is skipped).
bool ArrivalLines::managed(const char* what, bool (*probe)(Connection&, std::string_view), const BodyRow& r,
                           bool& is) {
  return fe_.step(what, "cInvCode", [&] { is = probe(fe_.cnn(), GetRowValue(r.node, "cInvCode")); });
}

void ArrivalLines::batch(const BodyRow& r) {
  bool batches = false;
  if (!managed("reading the batch management of", IsBatchManaged, r, batches)) return;
  const bool entered = !GetRowValue(r.node, "cBatch").empty();
  if (!batches) {
    if (entered) fe_.call().report(Way::AtOnceOrCollected, rowPrefix(r.number), "]行没有批次管理，不能录入批号！");
    return;
  }
  // Goods to be inspected need their batch before the note is saved.
  if (fe_.wholePass() && !entered && GetRowValue(r.node, "bgsp") == kInspected && qualityControlled())
    fe_.call().report(Way::AtOnceOrCollected, rowPrefix(r.number), "]行有批次管理，且已启用GSP或质量管理，必须录入批号！");
}

void ArrivalLines::productionDate(const BodyRow& r) {
  bool shelfLife = false;
  if (!managed("reading the shelf-life management of", IsShelfLifeManaged, r, shelfLife)) return;
  if (shelfLife) {
    datesInOrder(r);
  } else if (!GetRowValue(r.node, "dPDate").empty()) {
    fe_.call().report(Way::AtOnceOrCollected, rowPrefix(r.number), "]行没有保质期管理，不能录入生产日期！",
                      "]行没有批次保质期管理，不能录入生产日期！");
  }
}

void ArrivalLines::expiryDate(const BodyRow& r) {
  bool shelfLife = false;
  if (!managed("reading the shelf-life management of", IsShelfLifeManaged, r, shelfLife)) return;
  const bool entered = !GetRowValue(r.node, "dvdate").empty();
  if (!shelfLife) {
    if (entered)
      fe_.call().report(Way::AtOnceOrCollected, rowPrefix(r.number), "]行没有保质期管理，不能录入失效日期！",
                        "]行没有批次保质期管理，不能录入失效日期！");
    return;
  }
  if (fe_.wholePass() && !entered && qualityControlled() &&
      fe_.call().report(Way::AtOnceOrCollected, rowPrefix(r.number),
                        "]行有保质期管理，且已启用GSP或质量管理，必须录入失效日期！"))
    return;
  datesInOrder(r);
}

// The production date may not fall after the expiry date (the days of their first ten characters).
void ArrivalLines::datesInOrder(const BodyRow& r) {
  const std::string made = GetRowValue(r.node, "dPDate");
  const std::string expires = GetRowValue(r.node, "dvdate");
  if (made.empty() || expires.empty()) return;
  bool later = false;
  if (!fe_.step("comparing the dates", "dPDate dvdate", [&] {
        later = toDate(Variant(made.substr(0, 10))).value > toDate(Variant(expires.substr(0, 10))).value;
      }))
    return;
  if (later) fe_.call().report(Way::AtOnceOrCollected, rowPrefix(r.number), "]行生产日期不能大于失效日期！");
}

void ArrivalLines::item(const BodyRow& r) {
  const std::string typed = GetRowValue(r.node, "cInvCode");
  const std::string vendor = head("cVenCode");
  const std::string busType = head("cBusType");
  const ResolvedItem resolved = resolveItem(fe_, typed, vendor);
  runLookup(fe_, kItemLookup,
            {.value = typed,
             .row = r.number,
             .target = &body_,
             .base = [&] { return itemList(fe_, Arrival, vendor, resolved); },
             .tail = consignmentFilter(busType),
             .narrow = exactCodeFirst(typed),
             .guard = [&] { return orderRequired(busType); },
             .valueReply = replies(r)});
}

// Where the business type must come from an order, an item may only be taken from one, not typed.
bool ArrivalLines::orderRequired(std::string_view busType) {
  if (fe_.wholePass()) return false;
  std::string_view refusal;
  fe_.step("reading the session's order settings", [&] {
    if (busType == "普通采购" && fe_.session().bPTHavePO())
      refusal = "设置了“普通业务必有订单”选项后，只能参照录入存货，请检查！";
    else if (busType == "受托代销" && fe_.session().bSTHavePO())
      refusal = "设置了“受托代销业务必有订单”选项后，只能参照录入存货，请检查！";
  });
  if (refusal.empty()) return false;
  fe_.call().reportAtOnce(refusal);
  return true;
}

// Under GSP an item of a floating conversion rate cannot be marked for inspection.
void ArrivalLines::floatingRateInspection(const BodyRow& r) {
  const std::string typed = GetRowValue(r.node, "cInvCode");
  if (typed.empty()) return;
  if (!fe_.valueOr("reading the setting dGspStartDate", false, [&] { return IsGspStarted(fe_.cnn()); })) return;
  bool floating = false;
  if (!fe_.step("reading the unit mode of", "cInvCode", [&] {
        floating = textToDouble(GetGroupType(fe_.cnn(), ResolveInvCode(fe_.cnn(), typed), "")) == 2;
      }))
    return;
  if (floating && GetRowValue(r.node, "bgsp") == kInspected)
    fe_.call().reportAtOnce("Gsp系统已启用，" + rowPrefix(r.number) + "]行存货为浮动换算率[是否检验]字段不能为[是]，请检查！");
}

// Whether the head marks a negative note (a return); false when it cannot tell.
bool ArrivalLines::negativeNote() {
  return fe_.valueOr("reading the head field bnegative", false, [&] { return textToBoolean(head("bnegative")); });
}

// The value reply of a line: the columns found (an item without a tax rate of its own takes the
// note's; a negative note inspects nothing), then for an item its local price, piece count,
// cleared batch dates and inspection flag, then for an item or a quantity the price the price
// service proposes, when the line is neither copied from an order nor corresponds to another line.
void ArrivalLines::valueReply(FillInReply& reply, const Recordset* rs, const BodyRow& r) {
  if (rs && rs->isOpen())
    addRecordPairs(reply, *rs, [&](std::string_view column, std::string& value) {
      if (column == "itaxrate" && value.empty())
        value = head("iTaxRate");
      else if (column == "bgsp" && negativeNote())
        value = kNotInspected;
    });
  if (fe_.key() == "cinvcode") {
    if (rs) addLocalPrice(fe_, reply, *rs, "iCost", "iOriCost", head("iexchrate"));
    if (rs) addPieceCount(fe_, reply, *rs, GetRowValue(r.node, "iQuantity"));
    reply.clear("dpdate").clear("dvdate");
    inspectionFlag(reply, r);
  }
  if (fe_.key() != "cinvcode" && fe_.key() != "iquantity") return;
  if (!madeFromNothing(fe_, r, {"icorid", "iposid"})) return;
  if (const std::optional<double> quantity = priceQuantity(fe_, r, "iquantity"))
    addProposedPrice(fe_, reply, self_.m_login,
                     {.vendorCode = head("cVenCode"),
                      .itemCode = GetRowValue(r.node, "cInvCode"),
                      .date = XmlDateValue(head("dDate")),
                      .quantity = *quantity,
                      .currency = head("cexch_name")},
                     kPricePairs);
}

// A negative note inspects nothing; a positive one asks quality control when it is in use.
void ArrivalLines::inspectionFlag(FillInReply& reply, const BodyRow& r) {
  if (!self_.m_bPositive) {
    reply.add("bGsp", kNotInspected);
    return;
  }
  if (fe_.valueOr("reading the session member bQMStart", false, [&] { return fe_.session().bQMStart(); }))
    addQualityFlag(fe_, reply, head("cVenCode"), GetRowValue(r.node, "cinvcode"));
}

}  // namespace

std::string ClsS_VerifyArriveH::VerifyBody(const std::string& sKey, Document& domBody, Document* domHead,
                                           int32_t R) {
  FieldEntry fe(sKey, m_UseMode, m_Cnn, clsInfor, ReplyTag::Body, FieldEntry::OnError::Skip, skipped_);
  return ArrivalLines(*this, fe, domBody, domHead, R).run();
}

}  // namespace tallyward
