// The whole-order check: the head and the lines of an outsourcing order before it is saved, or one
// field as the user leaves it. No database.
#include <array>

#include "whole/whole_voucher.h"
#include "tallyward/classes.h"

namespace tallyward {

namespace {

using Ctx = Fields<ClsS_VerifyFPO>;

constexpr auto on = Keys::on;
constexpr auto anyExcept = Keys::anyExcept;

// The business types an order may carry.
bool knownBusinessType(std::string_view t) {
  return t == "普通采购" || t == "委外发票" || t == "受托代销" || t == "直运采购";
}

// ---- Head -------------------------------------------------------------------------------------------

constexpr auto H = fieldList("cpoid", "cexch_name", "nflat", "dpodate", "sysname", "cvencode",
                             "cvenabbname", "cdepname", "ibargain", "itaxrate", "cbustype");

// Orders from the integration interface name their vendor by code.
bool vendorMissing(const Ctx& h) {
  return lowerCase(h.text(H("sysname"))) == "eai" ? h.empty(H("cvencode")) : h.empty(H("cvenabbname"));
}

constexpr Rule<Ctx> kHeadRules[] = {
    {.keys = on("all"), .refused = [](const Ctx& h) { return h.empty(H("cpoid")); },
     .message = "订单编号不能为空，请检查！", .way = Way::AtOnceOrCollected},
    {.keys = on("all"), .refused = [](const Ctx& h) { return h.empty(H("cexch_name")); },
     .message = "订单币种不能为空，请检查！", .way = Way::AtOnceOrCollected},
    {.keys = on("all"), .refused = [](const Ctx& h) { return h.empty(H("nflat")); },
     .message = "订单汇率不能为空，请检查！", .way = Way::AtOnceOrCollected},
    {.keys = on("all"), .refused = [](const Ctx& h) { return h.empty(H("dpodate")); },
     .message = "订单日期不能为空，请检查！", .way = Way::AtOnceOrCollected},
    {.keys = on("all"), .refused = vendorMissing,
     .message = "供应商不能为空，请检查！", .way = Way::AtOnceOrCollected},
    {.keys = on("all"), .refused = [](const Ctx& h) { return h.empty(H("cdepname")); },
     .message = "部门不能为空，请检查！", .way = Way::CollectedInBsPass},
    {.keys = on("dpodate all"), .emptyEnds = H("dpodate"),
     .refused = [](const Ctx& h) { return h.badDate(H("dpodate")); },
     .message = "订单日期录入错误，请检查！", .way = Way::AtOnceOrCollected},
    {.keys = on("nflat all"), .emptyEnds = H("nflat"),
     .refused = [](const Ctx& h) { return !h.empty(H("nflat")) && h.num(H("nflat")) <= 0; },
     .message = "汇率必须大于零，请检查！", .way = Way::AtOnceOrCollected},
    {.keys = on("ibargain all"), .emptyEnds = H("ibargain"),
     .refused = [](const Ctx& h) { return !h.empty(H("ibargain")) && h.num(H("ibargain")) < 0; },
     .message = "定金不能录入负数，请检查！", .way = Way::AtOnceOrCollected},
    {.keys = on("itaxrate all"), .emptyEnds = H("itaxrate"),
     .refused = [](const Ctx& h) { return !h.empty(H("itaxrate")) && taxRateOutOfRange(h.num(H("itaxrate"))); },
     .message = "税率必须在 0 到 100 之间，请检查！", .way = Way::AtOnceOrCollected},
    {.keys = on("cbustype all"),
     .refused = [](const Ctx& h) { return !h.empty(H("cbustype")) && !knownBusinessType(h.text(H("cbustype"))); },
     .message = "业务类型录入错误，请检查！", .way = Way::AtOnceOrCollected},
};

// ---- Lines ------------------------------------------------------------------------------------------

constexpr auto L = fieldList("editprop", "cinvcode", "citemcode", "citem_class", "iquantity",
                             "ireceivedqty", "iinvqty", "iarrqty", "igrouptype", "sysname",
                             "iinvexchrate", "cunitid", "inum", "iunitprice", "inatunitprice",
                             "itaxprice", "imoney", "inatmoney", "isum", "inatsum", "darrivedate",
                             "ipertaxrate");

bool groupIs(const Ctx& l, std::string_view type) { return l.is(L("igrouptype"), type); }
bool altering(const Ctx& l) { return l.self.m_bAlterPO; }
double quantity(const Ctx& l) { return l.num(L("iquantity")); }

// Of the three cumulative quantities only the first that exceeds the ordered quantity is told.
bool receivedExceeds(const Ctx& l) { return l.num(L("ireceivedqty")) > quantity(l); }
bool invoicedExceeds(const Ctx& l) { return l.num(L("iinvqty")) > quantity(l); }
bool arrivedExceeds(const Ctx& l) { return l.num(L("iarrqty")) > quantity(l); }

bool notFromInterface(const Ctx& l) { return !l.is(L("sysname"), "eai"); }

bool negative(const Ctx& l, size_t field) { return l.num(field) < 0; }

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
    {.keys = on("iquantity all"), .emptyEnds = L("iquantity"),
     .refused = [](const Ctx& l) { return l.empty(L("iquantity")) && !groupIs(l, "2"); },
     .message = "]行数量不能为空，请检查！", .way = Way::CollectedInPass},
    {.keys = on("iquantity all"),
     .refused = [](const Ctx& l) {
       return !altering(l) && !l.empty(L("iquantity")) && groupIs(l, "2") && quantity(l) < 0;
     },
     .message = "]行数量必须大于等于零，请检查！", .way = Way::AtOnceOrCollected},
    {.keys = on("iquantity all"),
     .refused = [](const Ctx& l) {
       return !altering(l) && !l.empty(L("iquantity")) && !groupIs(l, "2") && quantity(l) <= 0;
     },
     .message = "]行数量必须大于零，请检查！", .way = Way::AtOnceOrCollected},
    {.keys = on("iquantity all"),
     .refused = [](const Ctx& l) { return altering(l) && !l.empty(L("iquantity")) && receivedExceeds(l); },
     .message = "]行数量不能小于累计入库数量，请检查！", .way = Way::AtOnceOrCollected},
    {.keys = on("iquantity all"),
     .refused = [](const Ctx& l) {
       return altering(l) && !l.empty(L("iquantity")) && !receivedExceeds(l) && invoicedExceeds(l);
     },
     .message = "]行数量不能小于累计开票数量，请检查！", .way = Way::AtOnceOrCollected},
    {.keys = on("iquantity all"),
     .refused = [](const Ctx& l) {
       return altering(l) && !l.empty(L("iquantity")) && !receivedExceeds(l) && !invoicedExceeds(l) &&
              arrivedExceeds(l);
     },
     .message = "]行数量不能小于累计到货数量，请检查！", .way = Way::AtOnceOrCollected},
    {.keys = on("iinvexchrate all"), .applies = notFromInterface, .emptyEnds = L("iinvexchrate"),
     .refused = [](const Ctx& l) { return l.empty(L("iinvexchrate")) && groupIs(l, "1"); },
     .message = "]行换算率不能为空，请检查！", .way = Way::CollectedInPass},
    {.keys = on("iinvexchrate all"), .applies = notFromInterface,
     .refused = [](const Ctx& l) {
       return !l.empty(L("iinvexchrate")) && negative(l, L("iinvexchrate")) && !groupIs(l, "0");
     },
     .message = "]行换算率必须大于等于 0，请检查！", .way = Way::AtOnceOrCollected},
    {.keys = on("cunitid all"), .emptyEnds = L("cunitid"),
     .refused = [](const Ctx& l) { return l.empty(L("cunitid")) && !groupIs(l, "0"); },
     .message = "]行计量单位不能为空，请检查！", .way = Way::CollectedInPass},
    {.keys = on("inum all"), .emptyEnds = L("inum"),
     .refused = [](const Ctx& l) { return l.empty(L("inum")) && groupIs(l, "1"); },
     .message = "]行件数不能为空，请检查！", .way = Way::CollectedInPass},
    {.keys = on("inum all"),
     .refused = [](const Ctx& l) {
       return groupIs(l, "2") && quantity(l) == 0 && l.num(L("inum")) == 0;
     },
     .message = "]行数量和件数不能同时为零，请检查！", .way = Way::CollectedInPass},
    // The piece count is converted plainly here: a text that is no number fails the call.
    {.keys = on("inum all"),
     .refused = [](const Ctx& l) {
       return !l.empty(L("inum")) && groupIs(l, "1") && textToDouble(l.text(L("inum"))) <= 0;
     },
     .message = "]行件数必须大于 0，请检查！", .way = Way::AtOnceOrCollected},
    {.keys = on("iunitprice all"), .refused = [](const Ctx& l) { return negative(l, L("iunitprice")); },
     .message = "]行原币单价必须大于 0，请检查！", .way = Way::AtOnceOrCollected},
    {.keys = on("inatunitprice all"),
     .refused = [](const Ctx& l) { return negative(l, L("inatunitprice")); },
     .message = "]行本币单价必须大于 0，请检查！", .way = Way::AtOnceOrCollected},
    {.keys = on("itaxprice all"), .refused = [](const Ctx& l) { return negative(l, L("itaxprice")); },
     .message = "]行含税单价不能小于 0，请检查！", .way = Way::AtOnceOrCollected},
    {.keys = on("imoney all"), .refused = [](const Ctx& l) { return negative(l, L("imoney")); },
     .message = "]行原币金额必须大于零，请检查！", .way = Way::AtOnceOrCollected},
    {.keys = on("inatmoney all"), .refused = [](const Ctx& l) { return negative(l, L("inatmoney")); },
     .message = "]行本币金额必须大于零，请检查！", .way = Way::AtOnceOrCollected},
    {.keys = on("isum all"), .refused = [](const Ctx& l) { return negative(l, L("isum")); },
     .message = "]行原币价税合计必须大于零，请检查！", .way = Way::AtOnceOrCollected},
    {.keys = on("inatsum all"), .refused = [](const Ctx& l) { return negative(l, L("inatsum")); },
     .message = "]行本币价税合计必须大于零，请检查！", .way = Way::AtOnceOrCollected},
    {.keys = on("darrivedate all"), .emptyEnds = L("darrivedate"),
     .refused = [](const Ctx& l) {
       return l.badDate(L("darrivedate"));
     },
     .message = "]行到货日期录入错误，请检查！", .way = Way::AtOnceOrCollected},
    {.keys = on("ipertaxrate all"), .emptyEnds = L("ipertaxrate"),
     .refused = [](const Ctx& l) {
       return !l.empty(L("ipertaxrate")) && taxRateOutOfRange(l.num(L("ipertaxrate")));
     },
     .message = "]行税率必须在 0 到 100 之间，请检查！", .way = Way::AtOnceOrCollected},
    {.keys = on("itax inattax isum inatsum all"),
     .refused = [](const Ctx& l) { return l.empty(L("ipertaxrate")); },
     .message = "]行税率未输入，请检查！！", .way = Way::AtOnceOrCollected},
    {.keys = on("citemcode all"), .emptyEnds = L("citemcode"),
     .refused = [](const Ctx& l) { return !l.empty(L("citemcode")) && l.empty(L("citem_class")); },
     .message = "]行在没有输入项目大类之前，请参照输入项目！", .way = Way::AtOnceOrCollected},
};

}  // namespace

std::string ClsS_VerifyFPO::VerifyHead(const Variant& sKey, const Variant& domHead) {
  return checkHead<ClsS_VerifyFPO, kHeadRules>(*this, sKey, domHead, indexOf<H>());
}

std::string ClsS_VerifyFPO::VerifyBody(const Variant& sKey, const Variant& domBody, const Variant& R) {
  return checkBody<ClsS_VerifyFPO, kLineRules>(*this, sKey, domBody, R, indexOf<L>());
}

}  // namespace tallyward
