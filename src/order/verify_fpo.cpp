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

const Rule<Ctx> kHeadRules[] = {
    {on("all"), nullptr, {}, [](const Ctx& h) { return h.empty(H("cpoid")); },
     "订单编号不能为空，请检查！", Way::AtOnceOrCollected},
    {on("all"), nullptr, {}, [](const Ctx& h) { return h.empty(H("cexch_name")); },
     "订单币种不能为空，请检查！", Way::AtOnceOrCollected},
    {on("all"), nullptr, {}, [](const Ctx& h) { return h.empty(H("nflat")); },
     "订单汇率不能为空，请检查！", Way::AtOnceOrCollected},
    {on("all"), nullptr, {}, [](const Ctx& h) { return h.empty(H("dpodate")); },
     "订单日期不能为空，请检查！", Way::AtOnceOrCollected},
    {on("all"), nullptr, {}, vendorMissing,
     "供应商不能为空，请检查！", Way::AtOnceOrCollected},
    {on("all"), nullptr, {}, [](const Ctx& h) { return h.empty(H("cdepname")); },
     "部门不能为空，请检查！", Way::CollectedInBsPass},
    {on("dpodate all"), nullptr, H("dpodate"),
     [](const Ctx& h) { return h.badDate(H("dpodate")); },
     "订单日期录入错误，请检查！", Way::AtOnceOrCollected},
    {on("nflat all"), nullptr, H("nflat"),
     [](const Ctx& h) { return !h.empty(H("nflat")) && h.num(H("nflat")) <= 0; },
     "汇率必须大于零，请检查！", Way::AtOnceOrCollected},
    {on("ibargain all"), nullptr, H("ibargain"),
     [](const Ctx& h) { return !h.empty(H("ibargain")) && h.num(H("ibargain")) < 0; },
     "定金不能录入负数，请检查！", Way::AtOnceOrCollected},
    {on("itaxrate all"), nullptr, H("itaxrate"),
     [](const Ctx& h) { return !h.empty(H("itaxrate")) && taxRateOutOfRange(h.num(H("itaxrate"))); },
     "税率必须在 0 到 100 之间，请检查！", Way::AtOnceOrCollected},
    {on("cbustype all"), nullptr, {},
     [](const Ctx& h) { return !h.empty(H("cbustype")) && !knownBusinessType(h.text(H("cbustype"))); },
     "业务类型录入错误，请检查！", Way::AtOnceOrCollected},
};

// ---- Lines ------------------------------------------------------------------------------------------

constexpr auto L = fieldList("editprop", "cinvcode", "citemcode", "citem_class", "iquantity",
                             "ireceivedqty", "iinvqty", "iarrqty", "igrouptype", "sysname",
                             "iinvexchrate", "cunitid", "inum", "iunitprice", "inatunitprice",
                             "itaxprice", "imoney", "inatmoney", "isum", "inatsum", "darrivedate",
                             "ipertaxrate");

std::string_view groupType(const Ctx& l) { return l.text(L("igrouptype")); }
bool altering(const Ctx& l) { return l.self.m_bAlterPO; }
double quantity(const Ctx& l) { return l.num(L("iquantity")); }

// Of the three cumulative quantities only the first that exceeds the ordered quantity is told.
bool receivedExceeds(const Ctx& l) { return l.num(L("ireceivedqty")) > quantity(l); }
bool invoicedExceeds(const Ctx& l) { return l.num(L("iinvqty")) > quantity(l); }
bool arrivedExceeds(const Ctx& l) { return l.num(L("iarrqty")) > quantity(l); }

bool notFromInterface(const Ctx& l) { return l.text(L("sysname")) != "eai"; }

bool negative(const Ctx& l, size_t field) { return l.num(field) < 0; }

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
    {on("iquantity all"), nullptr, L("iquantity"),
     [](const Ctx& l) { return l.empty(L("iquantity")) && groupType(l) != "2"; },
     "]行数量不能为空，请检查！", Way::CollectedInPass},
    {on("iquantity all"), nullptr, {},
     [](const Ctx& l) {
       return !altering(l) && !l.empty(L("iquantity")) && groupType(l) == "2" && quantity(l) < 0;
     },
     "]行数量必须大于等于零，请检查！", Way::AtOnceOrCollected},
    {on("iquantity all"), nullptr, {},
     [](const Ctx& l) {
       return !altering(l) && !l.empty(L("iquantity")) && groupType(l) != "2" && quantity(l) <= 0;
     },
     "]行数量必须大于零，请检查！", Way::AtOnceOrCollected},
    {on("iquantity all"), nullptr, {},
     [](const Ctx& l) { return altering(l) && !l.empty(L("iquantity")) && receivedExceeds(l); },
     "]行数量不能小于累计入库数量，请检查！", Way::AtOnceOrCollected},
    {on("iquantity all"), nullptr, {},
     [](const Ctx& l) {
       return altering(l) && !l.empty(L("iquantity")) && !receivedExceeds(l) && invoicedExceeds(l);
     },
     "]行数量不能小于累计开票数量，请检查！", Way::AtOnceOrCollected},
    {on("iquantity all"), nullptr, {},
     [](const Ctx& l) {
       return altering(l) && !l.empty(L("iquantity")) && !receivedExceeds(l) && !invoicedExceeds(l) &&
              arrivedExceeds(l);
     },
     "]行数量不能小于累计到货数量，请检查！", Way::AtOnceOrCollected},
    {on("iinvexchrate all"), notFromInterface, L("iinvexchrate"),
     [](const Ctx& l) { return l.empty(L("iinvexchrate")) && groupType(l) == "1"; },
     "]行换算率不能为空，请检查！", Way::CollectedInPass},
    {on("iinvexchrate all"), notFromInterface, {},
     [](const Ctx& l) {
       return !l.empty(L("iinvexchrate")) && negative(l, L("iinvexchrate")) && groupType(l) != "0";
     },
     "]行换算率必须大于等于 0，请检查！", Way::AtOnceOrCollected},
    {on("cunitid all"), nullptr, L("cunitid"),
     [](const Ctx& l) { return l.empty(L("cunitid")) && groupType(l) != "0"; },
     "]行计量单位不能为空，请检查！", Way::CollectedInPass},
    {on("inum all"), nullptr, L("inum"),
     [](const Ctx& l) { return l.empty(L("inum")) && groupType(l) == "1"; },
     "]行件数不能为空，请检查！", Way::CollectedInPass},
    {on("inum all"), nullptr, {},
     [](const Ctx& l) {
       return groupType(l) == "2" && quantity(l) == 0 && l.num(L("inum")) == 0;
     },
     "]行数量和件数不能同时为零，请检查！", Way::CollectedInPass},
    // The piece count is converted plainly here: a text that is no number fails the call.
    {on("inum all"), nullptr, {},
     [](const Ctx& l) {
       return !l.empty(L("inum")) && groupType(l) == "1" && textToDouble(l.text(L("inum"))) <= 0;
     },
     "]行件数必须大于 0，请检查！", Way::AtOnceOrCollected},
    {on("iunitprice all"), nullptr, {}, [](const Ctx& l) { return negative(l, L("iunitprice")); },
     "]行原币单价必须大于 0，请检查！", Way::AtOnceOrCollected},
    {on("inatunitprice all"), nullptr, {},
     [](const Ctx& l) { return negative(l, L("inatunitprice")); },
     "]行本币单价必须大于 0，请检查！", Way::AtOnceOrCollected},
    {on("itaxprice all"), nullptr, {}, [](const Ctx& l) { return negative(l, L("itaxprice")); },
     "]行含税单价不能小于 0，请检查！", Way::AtOnceOrCollected},
    {on("imoney all"), nullptr, {}, [](const Ctx& l) { return negative(l, L("imoney")); },
     "]行原币金额必须大于零，请检查！", Way::AtOnceOrCollected},
    {on("inatmoney all"), nullptr, {}, [](const Ctx& l) { return negative(l, L("inatmoney")); },
     "]行本币金额必须大于零，请检查！", Way::AtOnceOrCollected},
    {on("isum all"), nullptr, {}, [](const Ctx& l) { return negative(l, L("isum")); },
     "]行原币价税合计必须大于零，请检查！", Way::AtOnceOrCollected},
    {on("inatsum all"), nullptr, {}, [](const Ctx& l) { return negative(l, L("inatsum")); },
     "]行本币价税合计必须大于零，请检查！", Way::AtOnceOrCollected},
    {on("darrivedate all"), nullptr, L("darrivedate"),
     [](const Ctx& l) {
       return l.badDate(L("darrivedate"));
     },
     "]行到货日期录入错误，请检查！", Way::AtOnceOrCollected},
    {on("ipertaxrate all"), nullptr, L("ipertaxrate"),
     [](const Ctx& l) {
       return !l.empty(L("ipertaxrate")) && taxRateOutOfRange(l.num(L("ipertaxrate")));
     },
     "]行税率必须在 0 到 100 之间，请检查！", Way::AtOnceOrCollected},
    {on("itax inattax isum inatsum all"), nullptr, {},
     [](const Ctx& l) { return l.empty(L("ipertaxrate")); },
     "]行税率未输入，请检查！！", Way::AtOnceOrCollected},
    {on("citemcode all"), nullptr, L("citemcode"),
     [](const Ctx& l) { return !l.empty(L("citemcode")) && l.empty(L("citem_class")); },
     "]行在没有输入项目大类之前，请参照输入项目！", Way::AtOnceOrCollected},
};

}  // namespace

std::string ClsS_VerifyFPO::VerifyHead(const Variant& sKey, const Variant& domHead) {
  return checkHead<ClsS_VerifyFPO>(*this, sKey, domHead, indexOf<H>(), kHeadRules);
}

std::string ClsS_VerifyFPO::VerifyBody(const Variant& sKey, const Variant& domBody, const Variant& R) {
  return checkBody<ClsS_VerifyFPO>(*this, sKey, domBody, R, indexOf<L>(), kLineRules);
}

}  // namespace tallyward
