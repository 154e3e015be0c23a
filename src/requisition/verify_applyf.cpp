// The whole-requisition check: the head and the lines of a requisition before it is saved, or one
// field as the user leaves it. No database.
#include <cmath>

#include "whole/whole_voucher.h"
#include "tallyward/classes.h"

namespace tallyward {

namespace {

using Ctx = Fields<ClsS_VerifyApplyF>;

constexpr auto on = Keys::on;
constexpr auto anyExcept = Keys::anyExcept;

// The business types a requisition may carry, exactly as written (no trimming).
bool knownBusinessType(std::string_view t) {
  return t == "受托代销" || t == "普通采购" || t == "委外发票";
}

// Tax rates are percentages: 0 up to, but not including, 100.
// ---- Head -------------------------------------------------------------------------------------------

constexpr auto H = fieldList("ccode", "ddate", "cdepname", "ipertaxrate", "cbustype");

// The head tax rate is converted plainly: a text that is no number fails the call.
bool headTaxRateOutOfRange(const Ctx& h) {
  return !h.empty(H("ipertaxrate")) && taxRateOutOfRange(textToDouble(h.text(H("ipertaxrate"))));
}

constexpr Rule<Ctx> kHeadRules[] = {
    {.keys = on("all"), .refused = [](const Ctx& h) { return h.empty(H("ccode")); },
     .message = "请购单号不能为空，请检查！", .way = Way::AtOnceOrCollected},
    {.keys = on("all"), .refused = [](const Ctx& h) { return h.empty(H("ddate")); },
     .message = "请购单日期不能为空，请检查！", .way = Way::AtOnceOrCollected},
    {.keys = on("all"), .refused = [](const Ctx& h) { return h.empty(H("cdepname")); },
     .message = "部门不能为空，请检查！", .way = Way::CollectedInBsPass},
    {.keys = on("ddate all"), .emptyEnds = H("ddate"),
     .refused = [](const Ctx& h) { return h.badDate(H("ddate")); },
     .message = "请购单日期录入错误，请检查！", .way = Way::AtOnceOrCollected},
    {.keys = on("ipertaxrate all"), .emptyEnds = H("ipertaxrate"), .refused = headTaxRateOutOfRange,
     .message = "税率必须在 0 到 100 之间，请检查！", .way = Way::AtOnceOrCollected},
    {.keys = on("cbustype all"),
     .refused = [](const Ctx& h) { return !h.empty(H("cbustype")) && !knownBusinessType(h.text(H("cbustype"))); },
     .message = "业务类型录入错误，请检查！", .way = Way::AtOnceOrCollected},
};

// ---- Lines ------------------------------------------------------------------------------------------

constexpr auto L = fieldList("cinvcode", "citemcode", "citem_class", "fquantity", "funitprice",
                             "ftaxprice", "fmoney", "ipertaxrate", "itax", "binvtype");

bool negative(const Ctx& l, size_t field) { return l.num(field) < 0; }

// The line's tax may exceed rate x amount / 100 by any amount but may not fall short of it by a
// unit or more. Discount items are not checked. The discount flag and the rate are converted
// plainly, and only once the tax and the amount are both present: then an unreadable flag (or, on
// an ordinary item, an unreadable rate) fails the call.
bool taxShort(const Ctx& l) {
  if (l.empty(L("itax")) || l.empty(L("fmoney"))) return false;
  if (textToBoolean(l.text(L("binvtype")))) return false;
  const double computed = textToDouble(l.text(L("ipertaxrate"))) * l.num(L("fmoney")) / 100;
  return std::abs(computed) - std::abs(l.num(L("itax"))) >= 1;
}

constexpr Rule<Ctx> kLineRules[] = {
    {.keys = on("all"), .refused = [](const Ctx& l) { return l.empty(L("cinvcode")); },
     .message = "]行存货不能为空，请检查！", .way = Way::AtOnceOrCollected},
    {.keys = on("all"),
     .refused = [](const Ctx& l) { return l.empty(L("citemcode")) && !l.empty(L("citem_class")); },
     .message = "]行有项目大类，必须录入项目！", .way = Way::AtOnceOrCollected},
    // The item comes before any other field of the line (single-field checks only).
    {.keys = anyExcept("all cinvcode cvenabbname"),
     .refused = [](const Ctx& l) { return l.empty(L("cinvcode")); },
     .message = "]行请先录入存货！", .way = Way::AtOnceOrCollected},
    // An empty quantity is collected in a whole pass; while typing it ends the check.
    {.keys = on("fquantity all"), .emptyEnds = L("fquantity"),
     .refused = [](const Ctx& l) { return l.empty(L("fquantity")); },
     .message = "]行数量不能为空，请检查！", .way = Way::CollectedInPass},
    {.keys = on("fquantity all"),
     .refused = [](const Ctx& l) { return !l.empty(L("fquantity")) && l.num(L("fquantity")) <= 0; },
     .message = "]行数量必须大于零，请检查！", .way = Way::AtOnceOrCollected},
    // Empty prices and amounts read as 0 and pass.
    {.keys = on("funitprice all"), .refused = [](const Ctx& l) { return negative(l, L("funitprice")); },
     .message = "]行单价不能小于 0，请检查！", .way = Way::AtOnceOrCollected},
    {.keys = on("ftaxprice all"), .refused = [](const Ctx& l) { return negative(l, L("ftaxprice")); },
     .message = "]行含税单价不能小于 0，请检查！", .way = Way::AtOnceOrCollected},
    {.keys = on("fmoney all"), .refused = [](const Ctx& l) { return negative(l, L("fmoney")); },
     .message = "]行金额必须大于零，请检查！", .way = Way::AtOnceOrCollected},
    {.keys = on("ipertaxrate all"),
     .refused = [](const Ctx& l) {
       return !l.empty(L("ipertaxrate")) && taxRateOutOfRange(l.num(L("ipertaxrate")));
     },
     .message = "]行税率必须在 0 到 100 之间，请检查！", .way = Way::AtOnceOrCollected},
    // The tax is checked when the price with tax is left, not the tax itself.
    {.keys = on("ftaxprice all"), .refused = taxShort,
     .message = "]行: 税额录入不合法！", .way = Way::AtOnceOrCollected},
    {.keys = on("citemcode all"),
     .refused = [](const Ctx& l) { return !l.empty(L("citemcode")) && l.empty(L("citem_class")); },
     .message = "]行在没有输入项目大类之前，请参照输入项目！", .way = Way::AtOnceOrCollected},
};

}  // namespace

std::string ClsS_VerifyApplyF::VerifyHead(const Variant& sKey, const Variant& domHead) {
  return checkHead<ClsS_VerifyApplyF, kHeadRules>(*this, sKey, domHead, indexOf<H>());
}

std::string ClsS_VerifyApplyF::VerifyBody(const Variant& sKey, const Variant& domBody,
                                          const Variant& R) {
  return checkBody<ClsS_VerifyApplyF, kLineRules>(*this, sKey, domBody, R, indexOf<L>());
}

}  // namespace tallyward
