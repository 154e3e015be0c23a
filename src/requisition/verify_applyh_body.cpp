// Requisition line entry: the item, vendor, free items, project and project class of the lines of
// a requisition, looked up and checked as the user leaves a field, and again in the whole pass
// before saving, which also holds the line's dates against the requisition date.
//
// Run-time errors do not end the call: each fallible step is left out and the check goes on.
#include <string>

#include "entry/line_entry.h"
#include "erp/reference_sql.h"
#include "tallyward/classes.h"

namespace tallyward {

namespace {

// Only purchasable items that are neither services nor discounts and are not stopped; typed by
// name, code, additional code or the line vendor's own code for the item.
const LookupRule kItemLookup{
    .key = "cinvcode", .field = "cInvCode",
    .where = " WHERE (cInvName='{0}' OR Inventory.cInvCode='{0}' OR cInvAddCode='{0}' OR cVenInvCode='{0}')"
             " AND (bPurchase=1 AND bService=0  AND bInvtype=0) AND dEDate IS NULL ",
    .right = &kInventoryRight, .notFound = "]行存货录入不正确，请检查！", .rowMessage = true};

// The vendor of a line; its right refusal names the line.
constexpr DataRight kLineVendorRight{.enforced = &Session::bCheckVendorAuth, .kind = rightkind::Vendor,
                                     .codeColumn = "cVenCode", .refusal = "]行供应商的权限！",
                                     .beforeRow = "对不起，您没有录入"};
const LookupRule kVendorLookup{
    .key = "cvenabbname", .field = "cVenAbbName", .voucherKind = VoucherKind::Requisition,
    .list = ReferenceKind::Vendor, .where = " WHERE (cVenAbbName='{0}' OR cVenCode='{0}') AND (dEndDate IS NULL) ",
    .right = &kLineVendorRight, .notFound = "]行供应商录入不正确或已经停用，请检查！", .rowMessage = true};

// Free items without the item's switch are refused at once in client mode and appended without a
// carriage return in browser mode, while typing as in the whole pass.
constexpr FreeItemRules kFreeItems{.way = Way::AtOnceInCsAppendedInBs};

// A line date against the requisition date, or against the line's other date.
struct DateRule {
  std::string_view field;    // the line's date
  std::string_view bound;    // the date it may not precede: a field of the head, or of the line
  std::string_view message;  // after "第[" row
  bool boundOnLine = false;  // the bound is a field of the line, and the rule needs both dates
};
constexpr DateRule kDateRules[] = {
    {.field = "dArriveDate", .bound = "dDate", .message = "]行建议订货日期必须大于等于请购单日期！"},
    {.field = "dRequirdate", .bound = "dDate", .message = "]行需求日期必须大于等于请购单日期！"},
    {.field = "dRequirdate", .bound = "dArriveDate", .message = "]行建议订货日期不能大于需求日期！",
     .boundOnLine = true},
};

class RequisitionLines : public LineEntry {
 public:
  using LineEntry::LineEntry;

  std::string run();

 private:
  void dates(const BodyRow& r);
  void freeItems(const BodyRow& r) { checkFreeItems(fe_, r, freeFlags_, kFreeItems); }
  void item(const BodyRow& r);
  void vendor(const BodyRow& r);
  void project(const BodyRow& r);
  void projectClass(const BodyRow& r);

  static const LineStep<RequisitionLines> kSteps[];

  std::string projectTable_;  // the project table of the last line whose class named one
};

// The line steps, in the order they run on each line.
const LineStep<RequisitionLines> RequisitionLines::kSteps[] = {
    {.keys = "all", .run = &RequisitionLines::dates},
    {.keys = "cfree* all", .run = &RequisitionLines::freeItems},
    {.keys = "cinvcode all", .run = &RequisitionLines::item},
    {.keys = "cvenabbname all", .run = &RequisitionLines::vendor},
    {.keys = "citemcode all", .run = &RequisitionLines::project},
    {.keys = "citem_class all", .run = &RequisitionLines::projectClass},
};

std::string RequisitionLines::run() {
  runSteps<RequisitionLines>(*this, kSteps);
  return fe_.verdict();
}

// A date may not come before its bound. The dates are compared by their date parts; a comparison
// that cannot be made (a date that does not read, an empty requisition date) refuses as well, so
// that no unreadable date passes unnoticed.
void RequisitionLines::dates(const BodyRow& r) {
  for (const DateRule& rule : kDateRules) {
    const std::string date = GetRowValue(r.node, rule.field);
    if (date.empty()) continue;
    const std::string bound = rule.boundOnLine ? GetRowValue(r.node, rule.bound) : head(rule.bound);
    if (rule.boundOnLine && bound.empty()) continue;
    bool refused = true;
    fe_.step("comparing the date", rule.field, [&] {
      refused = toDate(Variant(datePart(date))).value < toDate(Variant(datePart(bound))).value;
    });
    if (refused && fe_.call().report(Way::AtOnceOrAppended, rowPrefix(r.number), rule.message)) return;
  }
}

void RequisitionLines::item(const BodyRow& r) {
  const std::string typed = GetRowValue(r.node, "cInvCode");
  const std::string lineVendor = GetRowValue(r.node, "cVenCode");
  const std::string busType = head("cBusType");
  runLookup(fe_, kItemLookup,
            {.value = typed,
             .row = r.number,
             .target = &body_,
             .base = [&] {
               return BuildReferenceSql(
                   {.voucher = VoucherKind::Requisition, .list = ReferenceKind::Inventory, .venCode = lineVendor});
             },
             .tail = consignmentFilter(busType),
             .narrow = exactCodeFirst(typed)});
}

void RequisitionLines::vendor(const BodyRow& r) {
  runLookup(fe_, kVendorLookup, {.value = GetRowValue(r.node, "cVenAbbName"), .row = r.number, .target = &body_});
}

// A class without a project table of its own leaves the table of an earlier line in use.
void RequisitionLines::project(const BodyRow& r) { lookUpProject(fe_, r, body_, {}, {.keptTable = &projectTable_}); }

void RequisitionLines::projectClass(const BodyRow& r) { lookUpProjectClass(fe_, r, body_, {}); }

}  // namespace

std::string ClsS_VerifyApplyH::VerifyBody(const std::string& sKey, Document& domBody, Document* domHead,
                                          int32_t R) {
  FieldEntry fe(sKey, m_UseMode, m_Cnn, clsInfor, ReplyTag::Body, FieldEntry::OnError::Skip, skipped_);
  return RequisitionLines(fe, domBody, domHead, R).run();
}

}  // namespace tallyward
