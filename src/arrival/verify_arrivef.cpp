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

const Rule<Ctx> kHeadRules[] = {
    {on("all"), nullptr, {}, [](const Ctx& h) { return h.empty(H("ccode")); },
     "到货单号不能为空，请检查！", Way::AtOnceOrCollected},
    {on("all"), nullptr, {}, [](const Ctx& h) { return h.empty(H("cexch_name")); },
     "到货单币种不能为空，请检查！", Way::AtOnceOrCollected},
    {on("all"), nullptr, {}, [](const Ctx& h) { return h.empty(H("iexchrate")); },
     "到货单汇率不能为空，请检查！", Way::AtOnceOrCollected},
    {on("all"), nullptr, {}, [](const Ctx& h) { return h.empty(H("ddate")); },
     "到货单日期不能为空，请检查！", Way::AtOnceOrCollected},
    {on("all"), nullptr, {}, vendorMissing,
     "供应商不能为空，请检查！", Way::AtOnceOrCollected},
    {on("all"), nullptr, {}, departmentMissing,
     "部门不能为空，请检查！", Way::AtOnceOrCollected},
    {on("ddate all"), nullptr, H("ddate"),
     [](const Ctx& h) { return h.badDate(H("ddate")); },
     "到货单日期录入错误，请检查！", Way::AtOnceOrCollected},
    {on("iexchrate all"), nullptr, H("iexchrate"),
     [](const Ctx& h) { return !h.empty(H("iexchrate")) && h.num(H("iexchrate")) <= 0; },
     "汇率必须大于零，请检查！", Way::AtOnceOrCollected},
    // The screen names the head's tax rate column ioritaxrate.
    {on("ioritaxrate all"), nullptr, H("itaxrate"),
     [](const Ctx& h) { return !h.empty(H("itaxrate")) && taxRateOutOfRange(h.num(H("itaxrate"))); },
     "税率必须在 0 到 100 之间，请检查！", Way::AtOnceOrCollected},
    // An empty business type is refused even while the user is typing.
    {on("cbustype all"), nullptr, {}, [](const Ctx& h) { return h.empty(H("cbustype")); },
     "业务类型不能为空，请检查！", Way::AtOnceInCsCollectedInBs},
    {on("cbustype all"), nullptr, {},
     [](const Ctx& h) { return !h.empty(H("cbustype")) && !knownBusinessType(h.text(H("cbustype"))); },
     "业务类型录入错误，请检查！", Way::AtOnceOrCollected},
};

// ---- Lines ------------------------------------------------------------------------------------------

constexpr auto L = fieldList("cinvcode", "citemcode", "citem_class", "iquantity", "inum",
                             "igrouptype", "sysname", "iinvexchrate", "cunitid", "ioricost",
                             "ioritaxcost", "icost", "iorimoney", "imoney", "iorisum", "isum",
                             "itaxrate", "dpdate", "dvdate");

std::string_view groupType(const Ctx& l) { return l.text(L("igrouptype")); }
double quantity(const Ctx& l) { return l.num(L("iquantity")); }
bool hasQuantity(const Ctx& l) { return !l.empty(L("iquantity")); }

// Positive notes carry quantities and amounts above zero, negative notes below.
bool positiveNote(const Ctx& l) { return l.self.m_bPositive; }
bool negativeNote(const Ctx& l) { return !l.self.m_bPositive; }

// Lines from the integration interface bring their own conversion rate.
bool notFromInterface(const Ctx& l) { return l.text(L("sysname")) != "eai"; }

template <size_t F>
bool belowZero(const Ctx& l) { return l.num(F) < 0; }
template <size_t F>
bool aboveZero(const Ctx& l) { return l.num(F) > 0; }


const Rule<Ctx> kLineRules[] = {
    {on("all"), nullptr, {}, [](const Ctx& l) { return l.empty(L("cinvcode")); },
     "]行存货不能为空，请检查！", Way::AtOnceOrCollected},
    {on("all"), nullptr, {},
     [](const Ctx& l) { return l.empty(L("citemcode")) && !l.empty(L("citem_class")); },
     "]行有项目大类，必须录入项目！", Way::AtOnceOrCollected},
    // The item comes before any other field of the line.
    {anyExcept("all cinvcode cvenabbname"), nullptr, {},
     [](const Ctx& l) { return l.empty(L("cinvcode")); },
     "]行请先录入存货！", Way::AtOnceOrCollected},

    // Quantity: strictly signed, except with a floating conversion rate, where 0 may stand.
    {on("iquantity all"), nullptr, L("iquantity"), [](const Ctx& l) { return !hasQuantity(l); },
     "]行数量不能为空，请检查！", Way::PassEndsInCs},
    {on("iquantity all"), positiveNote, {},
     [](const Ctx& l) { return hasQuantity(l) && groupType(l) != "2" && quantity(l) <= 0; },
     "]行数量必须大于零，请检查！", Way::AtOnceOrCollected},
    {on("iquantity all"), negativeNote, {},
     [](const Ctx& l) { return hasQuantity(l) && groupType(l) != "2" && quantity(l) >= 0; },
     "]行数量必须小于零，请检查！", Way::AtOnceOrCollected},
    {on("iquantity all"), positiveNote, {},
     [](const Ctx& l) { return hasQuantity(l) && groupType(l) == "2" && quantity(l) < 0; },
     "]行数量必须大于等于零，请检查！", Way::AtOnceOrCollected},
    {on("iquantity all"), negativeNote, {},
     [](const Ctx& l) { return hasQuantity(l) && groupType(l) == "2" && quantity(l) > 0; },
     "]行数量必须小于等于零，请检查！", Way::AtOnceOrCollected},

    // Pieces: required with a fixed conversion rate; with a floating one, quantity or pieces.
    {on("inum all"), nullptr, L("inum"),
     [](const Ctx& l) { return l.empty(L("inum")) && groupType(l) == "1"; },
     "]行件数不能为空，请检查！", Way::CollectedInPass},
    {on("inum all"), positiveNote, {},
     [](const Ctx& l) { return !l.empty(L("inum")) && groupType(l) == "1" && l.num(L("inum")) <= 0; },
     "]行件数必须大于零，请检查！", Way::AtOnceOrCollected},
    {on("inum all"), negativeNote, {},
     [](const Ctx& l) { return !l.empty(L("inum")) && groupType(l) == "1" && l.num(L("inum")) >= 0; },
     "]行件数必须小于零，请检查！", Way::AtOnceOrCollected},
    {on("all"), nullptr, {},
     [](const Ctx& l) { return groupType(l) == "2" && quantity(l) == 0 && l.num(L("inum")) == 0; },
     "]行数量和件数不能同时为零，请检查！", Way::CollectedInPass},

    {on("iinvexchrate all"), notFromInterface, L("iinvexchrate"),
     [](const Ctx& l) { return l.empty(L("iinvexchrate")) && groupType(l) == "1"; },
     "]行换算率不能为空，请检查！", Way::CollectedInPass},
    {on("iinvexchrate all"), notFromInterface, {},
     [](const Ctx& l) {
       return !l.empty(L("iinvexchrate")) && belowZero<L("iinvexchrate")>(l) && groupType(l) != "0";
     },
     "]行换算率必须大于等于 0，请检查！", Way::AtOnceOrCollected},
    {on("cunitid all"), nullptr, L("cunitid"),
     [](const Ctx& l) { return l.empty(L("cunitid")) && groupType(l) != "0"; },
     "]行计量单位不能为空，请检查！", Way::CollectedInPass},

    // Prices.
    {on("ioricost all"), nullptr, {}, belowZero<L("ioricost")>,
     "]行原币单价不能小于 0，请检查！", Way::AtOnceOrCollected},
    // The screen words this one without the blank when it stops at it.
    {on("ioritaxcost all"), nullptr, {},
     [](const Ctx& l) { return !l.empty(L("ioritaxcost")) && belowZero<L("ioritaxcost")>(l); },
     "]行含税单价不能小于0，请检查！", Way::AtOnceOrCollected, "]行含税单价不能小于 0，请检查！"},
    {on("icost all"), nullptr, {}, belowZero<L("icost")>,
     "]行本单价不能小于 0，请检查！", Way::AtOnceOrCollected},

    // Amounts: an amount of 0 passes on either kind of note.
    {on("iorimoney all"), positiveNote, {}, belowZero<L("iorimoney")>,
     "]行原币金额必须大于零，请检查！", Way::AtOnceOrCollected},
    {on("iorimoney all"), negativeNote, {}, aboveZero<L("iorimoney")>,
     "]行原币金额必须小于零，请检查！", Way::AtOnceOrCollected},
    {on("imoney all"), positiveNote, {}, belowZero<L("imoney")>,
     "]行本币金额必须大于零，请检查！", Way::AtOnceOrCollected},
    {on("imoney all"), negativeNote, {}, aboveZero<L("imoney")>,
     "]行本币金额必须小于零，请检查！", Way::AtOnceOrCollected},
    {on("iorisum all"), positiveNote, {}, belowZero<L("iorisum")>,
     "]行原币价税合计必须大于零，请检查！", Way::AtOnceOrCollected},
    {on("iorisum all"), negativeNote, {}, aboveZero<L("iorisum")>,
     "]行原币价税合计必须小于零，请检查！", Way::AtOnceOrCollected},
    {on("isum all"), positiveNote, {}, belowZero<L("isum")>,
     "]行本币价税合计必须大于零，请检查！", Way::AtOnceOrCollected},
    {on("isum all"), negativeNote, {}, aboveZero<L("isum")>,
     "]行本币价税合计必须小于零，请检查！", Way::AtOnceOrCollected},

    // The line's tax rate is converted plainly: a text that is no number fails the call.
    {on("itaxrate all"), nullptr, L("itaxrate"),
     [](const Ctx& l) {
       return !l.empty(L("itaxrate")) && taxRateOutOfRange(textToDouble(l.text(L("itaxrate"))));
     },
     "]行税率必须在 0 到 100 之间，请检查！", Way::AtOnceOrCollected},
    {on("ioritax itax iorisum isum all"), nullptr, {},
     [](const Ctx& l) { return l.empty(L("itaxrate")); },
     "]行税率未输入，请检查！！", Way::AtOnceOrCollected},

    {on("citemcode all"), nullptr, L("citemcode"),
     [](const Ctx& l) { return !l.empty(L("citemcode")) && l.empty(L("citem_class")); },
     "]行在没有输入项目大类之前，请参照输入项目！", Way::AtOnceOrCollected},
    {on("dpdate all"), nullptr, L("dpdate"), [](const Ctx& l) { return l.badDate(L("dpdate")); },
     "]行生产日期录入错误，请检查！", Way::AtOnceOrCollected},
    {on("dvdate all"), nullptr, L("dvdate"), [](const Ctx& l) { return l.badDate(L("dvdate")); },
     "]行失效日期录入错误，请检查！", Way::AtOnceOrCollected},
};

}  // namespace

std::string ClsS_VerifyArriveF::VerifyHead(const Variant& sKey, const Variant& domHead) {
  return checkHead<ClsS_VerifyArriveF>(*this, sKey, domHead, indexOf<H>(), kHeadRules);
}

std::string ClsS_VerifyArriveF::VerifyBody(const Variant& sKey, const Variant& domBody,
                                           const Variant& R) {
  return checkBody<ClsS_VerifyArriveF>(*this, sKey, domBody, R, indexOf<L>(), kLineRules);
}

}  // namespace tallyward
