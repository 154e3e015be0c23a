// The whole-arrival check: the head and the lines of an outsourcing arrival note before it is saved,
// or one field as the user leaves it. No database.
#include <array>

#include "whole/whole_voucher.h"
#include "tallyward/classes.h"

namespace tallyward {

namespace {

using Ctx = Fields<ClsS_VerifyArriveF>;

constexpr auto on = Keys::on;
constexpr auto anyExcept = Keys::anyExcept;

// The business types an arrival note may carry (compared exactly).
bool knownBusinessType(std::string_view t) {
  return t == "受托代销" || t == "普通采购" || t == "委外发票";
}

// ---- Head -------------------------------------------------------------------------------------------

constexpr auto H = fieldList("ccode", "cexch_name", "iexchrate", "ddate", "sysname", "cvencode",
                             "cvenabbname", "cdepcode", "cdepname", "itaxrate", "cbustype");

// Notes from the integration interface name their vendor and department by code.
bool fromInterface(const Ctx& h) { return lowerCase(h.text(H("sysname"))) == "eai"; }

bool vendorMissing(const Ctx& h) {
  return h.empty(fromInterface(h) ? H("cvencode") : H("cvenabbname"));
}
bool departmentMissing(const Ctx& h) {
  return h.empty(fromInterface(h) ? H("cdepcode") : H("cdepname"));
}

constexpr Rule<Ctx> kHeadRules[] = {
    {.keys = on("all"), .refused = [](const Ctx& h) { return h.empty(H("ccode")); },
     .message = "到货单号不能为空，请检查！", .way = Way::AtOnceOrCollected},
    {.keys = on("all"), .refused = [](const Ctx& h) { return h.empty(H("cexch_name")); },
     .message = "到货单币种不能为空，请检查！", .way = Way::AtOnceOrCollected},
    {.keys = on("all"), .refused = [](const Ctx& h) { return h.empty(H("iexchrate")); },
     .message = "到货单汇率不能为空，请检查！", .way = Way::AtOnceOrCollected},
    {.keys = on("all"), .refused = [](const Ctx& h) { return h.empty(H("ddate")); },
     .message = "到货单日期不能为空，请检查！", .way = Way::AtOnceOrCollected},
    {.keys = on("all"), .refused = vendorMissing,
     .message = "供应商不能为空，请检查！", .way = Way::AtOnceOrCollected},
    {.keys = on("all"), .refused = departmentMissing,
     .message = "部门不能为空，请检查！", .way = Way::AtOnceOrCollected},
    {.keys = on("ddate all"), .emptyEnds = H("ddate"),
     .refused = [](const Ctx& h) { return h.badDate(H("ddate")); },
     .message = "到货单日期录入错误，请检查！", .way = Way::AtOnceOrCollected},
    {.keys = on("iexchrate all"), .emptyEnds = H("iexchrate"),
     .refused = [](const Ctx& h) { return !h.empty(H("iexchrate")) && h.num(H("iexchrate")) <= 0; },
     .message = "汇率必须大于零，请检查！", .way = Way::AtOnceOrCollected},
    // The screen names the head's tax rate column ioritaxrate.
    {.keys = on("ioritaxrate all"), .emptyEnds = H("itaxrate"),
     .refused = [](const Ctx& h) { return !h.empty(H("itaxrate")) && taxRateOutOfRange(h.num(H("itaxrate"))); },
     .message = "税率必须在 0 到 100 之间，请检查！", .way = Way::AtOnceOrCollected},
    // An empty business type is refused even while the user is typing.
    {.keys = on("cbustype all"), .refused = [](const Ctx& h) { return h.empty(H("cbustype")); },
     .message = "业务类型不能为空，请检查！", .way = Way::AtOnceInCsCollectedInBs},
    {.keys = on("cbustype all"),
     .refused = [](const Ctx& h) { return !h.empty(H("cbustype")) && !knownBusinessType(h.text(H("cbustype"))); },
     .message = "业务类型录入错误，请检查！", .way = Way::AtOnceOrCollected},
};

// ---- Lines ------------------------------------------------------------------------------------------

constexpr auto L = fieldList("cinvcode", "citemcode", "citem_class", "iquantity", "inum",
                             "igrouptype", "sysname", "iinvexchrate", "cunitid", "ioricost",
                             "ioritaxcost", "icost", "iorimoney", "imoney", "iorisum", "isum",
                             "itaxrate", "dpdate", "dvdate");

bool groupIs(const Ctx& l, std::string_view type) { return l.is(L("igrouptype"), type); }
double quantity(const Ctx& l) { return l.num(L("iquantity")); }
bool hasQuantity(const Ctx& l) { return !l.empty(L("iquantity")); }

// Positive notes carry quantities and amounts above zero, negative notes below.
bool positiveNote(const Ctx& l) { return l.self.m_bPositive; }
bool negativeNote(const Ctx& l) { return !l.self.m_bPositive; }

// Lines from the integration interface bring their own conversion rate.
bool notFromInterface(const Ctx& l) { return !l.is(L("sysname"), "eai"); }

template <size_t F>
bool belowZero(const Ctx& l) { return l.num(F) < 0; }
template <size_t F>
bool aboveZero(const Ctx& l) { return l.num(F) > 0; }


constexpr Rule<Ctx> kLineRules[] = {
    {.keys = on("all"), .refused = [](const Ctx& l) { return l.empty(L("cinvcode")); },
     .message = "]行存货不能为空，请检查！", .way = Way::AtOnceOrCollected},
    {.keys = on("all"),
     .refused = [](const Ctx& l) { return l.empty(L("citemcode")) && !l.empty(L("citem_class")); },
     .message = "]行有项目大类，必须录入项目！", .way = Way::AtOnceOrCollected},
    // The item comes before any other field of the line.
    {.keys = anyExcept("all cinvcode cvenabbname"),
     .refused = [](const Ctx& l) { return l.empty(L("cinvcode")); },
     .message = "]行请先录入存货！", .way = Way::AtOnceOrCollected},

    // Quantity: strictly signed, except with a floating conversion rate, where 0 may stand.
    {.keys = on("iquantity all"), .emptyEnds = L("iquantity"), .refused = [](const Ctx& l) { return !hasQuantity(l); },
     .message = "]行数量不能为空，请检查！", .way = Way::PassEndsInCs},
    {.keys = on("iquantity all"), .setting = positiveNote,
     .refused = [](const Ctx& l) { return hasQuantity(l) && !groupIs(l, "2") && quantity(l) <= 0; },
     .message = "]行数量必须大于零，请检查！", .way = Way::AtOnceOrCollected},
    {.keys = on("iquantity all"), .setting = negativeNote,
     .refused = [](const Ctx& l) { return hasQuantity(l) && !groupIs(l, "2") && quantity(l) >= 0; },
     .message = "]行数量必须小于零，请检查！", .way = Way::AtOnceOrCollected},
    {.keys = on("iquantity all"), .setting = positiveNote,
     .refused = [](const Ctx& l) { return hasQuantity(l) && groupIs(l, "2") && quantity(l) < 0; },
     .message = "]行数量必须大于等于零，请检查！", .way = Way::AtOnceOrCollected},
    {.keys = on("iquantity all"), .setting = negativeNote,
     .refused = [](const Ctx& l) { return hasQuantity(l) && groupIs(l, "2") && quantity(l) > 0; },
     .message = "]行数量必须小于等于零，请检查！", .way = Way::AtOnceOrCollected},

    // Pieces: required with a fixed conversion rate; with a floating one, quantity or pieces.
    {.keys = on("inum all"), .emptyEnds = L("inum"),
     .refused = [](const Ctx& l) { return l.empty(L("inum")) && groupIs(l, "1"); },
     .message = "]行件数不能为空，请检查！", .way = Way::CollectedInPass},
    {.keys = on("inum all"), .setting = positiveNote,
     .refused = [](const Ctx& l) { return !l.empty(L("inum")) && groupIs(l, "1") && l.num(L("inum")) <= 0; },
     .message = "]行件数必须大于零，请检查！", .way = Way::AtOnceOrCollected},
    {.keys = on("inum all"), .setting = negativeNote,
     .refused = [](const Ctx& l) { return !l.empty(L("inum")) && groupIs(l, "1") && l.num(L("inum")) >= 0; },
     .message = "]行件数必须小于零，请检查！", .way = Way::AtOnceOrCollected},
    {.keys = on("all"),
     .refused = [](const Ctx& l) { return groupIs(l, "2") && quantity(l) == 0 && l.num(L("inum")) == 0; },
     .message = "]行数量和件数不能同时为零，请检查！", .way = Way::CollectedInPass},

    {.keys = on("iinvexchrate all"), .applies = notFromInterface, .emptyEnds = L("iinvexchrate"),
     .refused = [](const Ctx& l) { return l.empty(L("iinvexchrate")) && groupIs(l, "1"); },
     .message = "]行换算率不能为空，请检查！", .way = Way::CollectedInPass},
    {.keys = on("iinvexchrate all"), .applies = notFromInterface,
     .refused = [](const Ctx& l) {
       return !l.empty(L("iinvexchrate")) && belowZero<L("iinvexchrate")>(l) && !groupIs(l, "0");
     },
     .message = "]行换算率必须大于等于 0，请检查！", .way = Way::AtOnceOrCollected},
    {.keys = on("cunitid all"), .emptyEnds = L("cunitid"),
     .refused = [](const Ctx& l) { return l.empty(L("cunitid")) && !groupIs(l, "0"); },
     .message = "]行计量单位不能为空，请检查！", .way = Way::CollectedInPass},

    // Prices.
    {.keys = on("ioricost all"), .refused = belowZero<L("ioricost")>,
     .message = "]行原币单价不能小于 0，请检查！", .way = Way::AtOnceOrCollected},
    // The screen words this one without the blank when it stops at it.
    {.keys = on("ioritaxcost all"),
     .refused = [](const Ctx& l) { return !l.empty(L("ioritaxcost")) && belowZero<L("ioritaxcost")>(l); },
     .message = "]行含税单价不能小于0，请检查！", .way = Way::AtOnceOrCollected, .collectedMessage = "]行含税单价不能小于 0，请检查！"},
    {.keys = on("icost all"), .refused = belowZero<L("icost")>,
     .message = "]行本单价不能小于 0，请检查！", .way = Way::AtOnceOrCollected},

    // Amounts: an amount of 0 passes on either kind of note.
    {.keys = on("iorimoney all"), .setting = positiveNote, .refused = belowZero<L("iorimoney")>,
     .message = "]行原币金额必须大于零，请检查！", .way = Way::AtOnceOrCollected},
    {.keys = on("iorimoney all"), .setting = negativeNote, .refused = aboveZero<L("iorimoney")>,
     .message = "]行原币金额必须小于零，请检查！", .way = Way::AtOnceOrCollected},
    {.keys = on("imoney all"), .setting = positiveNote, .refused = belowZero<L("imoney")>,
     .message = "]行本币金额必须大于零，请检查！", .way = Way::AtOnceOrCollected},
    {.keys = on("imoney all"), .setting = negativeNote, .refused = aboveZero<L("imoney")>,
     .message = "]行本币金额必须小于零，请检查！", .way = Way::AtOnceOrCollected},
    {.keys = on("iorisum all"), .setting = positiveNote, .refused = belowZero<L("iorisum")>,
     .message = "]行原币价税合计必须大于零，请检查！", .way = Way::AtOnceOrCollected},
    {.keys = on("iorisum all"), .setting = negativeNote, .refused = aboveZero<L("iorisum")>,
     .message = "]行原币价税合计必须小于零，请检查！", .way = Way::AtOnceOrCollected},
    {.keys = on("isum all"), .setting = positiveNote, .refused = belowZero<L("isum")>,
     .message = "]行本币价税合计必须大于零，请检查！", .way = Way::AtOnceOrCollected},
    {.keys = on("isum all"), .setting = negativeNote, .refused = aboveZero<L("isum")>,
     .message = "]行本币价税合计必须小于零，请检查！", .way = Way::AtOnceOrCollected},

    // The line's tax rate is converted plainly: a text that is no number fails the call.
    {.keys = on("itaxrate all"), .emptyEnds = L("itaxrate"),
     .refused = [](const Ctx& l) {
       return !l.empty(L("itaxrate")) && taxRateOutOfRange(textToDouble(l.text(L("itaxrate"))));
     },
     .message = "]行税率必须在 0 到 100 之间，请检查！", .way = Way::AtOnceOrCollected},
    {.keys = on("ioritax itax iorisum isum all"),
     .refused = [](const Ctx& l) { return l.empty(L("itaxrate")); },
     .message = "]行税率未输入，请检查！！", .way = Way::AtOnceOrCollected},

    {.keys = on("citemcode all"), .emptyEnds = L("citemcode"),
     .refused = [](const Ctx& l) { return !l.empty(L("citemcode")) && l.empty(L("citem_class")); },
     .message = "]行在没有输入项目大类之前，请参照输入项目！", .way = Way::AtOnceOrCollected},
    {.keys = on("dpdate all"), .emptyEnds = L("dpdate"), .refused = [](const Ctx& l) { return l.badDate(L("dpdate")); },
     .message = "]行生产日期录入错误，请检查！", .way = Way::AtOnceOrCollected},
    {.keys = on("dvdate all"), .emptyEnds = L("dvdate"), .refused = [](const Ctx& l) { return l.badDate(L("dvdate")); },
     .message = "]行失效日期录入错误，请检查！", .way = Way::AtOnceOrCollected},
};

}  // namespace

std::string ClsS_VerifyArriveF::VerifyHead(const Variant& sKey, const Variant& domHead) {
  return checkHead<ClsS_VerifyArriveF, kHeadRules>(*this, sKey, domHead, indexOf<H>());
}

std::string ClsS_VerifyArriveF::VerifyBody(const Variant& sKey, const Variant& domBody,
                                           const Variant& R) {
  return checkBody<ClsS_VerifyArriveF, kLineRules>(*this, sKey, domBody, R, indexOf<L>());
}

}  // namespace tallyward
