// The whole-invoice check: the head and the lines of an outsourcing invoice before it is saved, or
// one field as the user leaves it; a whole pass over the lines also checks the invoice totals.
// No database.
#include <cfloat>
#include <cmath>

#include "whole/whole_voucher.h"
#include "tallyward/classes.h"

namespace tallyward {

namespace {

using Ctx = Fields<ClsS_VerifyBillF>;

constexpr auto on = Keys::on;
constexpr auto anyExcept = Keys::anyExcept;

// The kinds of invoice that sBillType tells apart (compared exactly; any other text, empty
// included, is the third kind).
enum class BillKind { Outsourcing, Freight, Other };

BillKind kindOf(const ClsS_VerifyBillF& self) {
  if (self.sBillType == std::string_view("wwpurbill")) return BillKind::Outsourcing;
  if (self.sBillType == std::string_view("wwypurbill")) return BillKind::Freight;
  return BillKind::Other;
}

// ---- Head -------------------------------------------------------------------------------------------

constexpr auto H = fieldList("csource", "cbustype", "sysname", "cunitcode", "cvenabbname",
                             "cpbvbilltype", "cpbvcode", "cexch_name", "cexchrate", "dpbvdate",
                             "cvencode", "cvenabbname_1", "cdepname", "dvoudate", "ipbvtaxrate");

// Invoices from the integration interface name the advancing unit and the vendor by code.
bool fromInterface(const Ctx& h) { return lowerCase(h.text(H("sysname"))) == "eai"; }

bool fromPurchasing(const Ctx& h) { return h.text(H("csource")) == "采购"; }
bool fromOutsourcing(const Ctx& h) { return h.text(H("csource")) == "委外"; }


constexpr Rule<Ctx> kHeadRules[] = {
    {.keys = on("all"),
     .refused = [](const Ctx& h) { return fromPurchasing(h) && h.empty(H("cbustype")); },
     .message = "业务类型不能为空，请检查！", .way = Way::AtOnceOrCollected},
    {.keys = on("all"),
     .refused = [](const Ctx& h) { return fromOutsourcing(h) && h.empty(H("cbustype")); },
     .message = "业务类型不能为空，请检查！", .way = Way::AtOnceOrCollected},
    {.keys = on("all"),
     .refused = [](const Ctx& h) { return h.empty(fromInterface(h) ? H("cunitcode") : H("cvenabbname")); },
     .message = "代垫单位不能为空，请检查！", .way = Way::AtOnceOrCollected},
    {.keys = on("all"), .refused = [](const Ctx& h) { return h.empty(H("cpbvbilltype")); },
     .message = "发票类别不能为空，请检查！", .way = Way::AtOnceOrCollected},
    {.keys = on("all"), .refused = [](const Ctx& h) { return h.empty(H("cpbvcode")); },
     .message = "发票号不能为空，请检查！", .way = Way::AtOnceOrCollected},
    {.keys = on("all"), .refused = [](const Ctx& h) { return h.empty(H("cexch_name")); },
     .message = "发票币种不能为空，请检查！", .way = Way::AtOnceOrCollected},
    {.keys = on("all"), .refused = [](const Ctx& h) { return h.empty(H("cexchrate")); },
     .message = "发票汇率不能为空，请检查！", .way = Way::AtOnceOrCollected},
    {.keys = on("all"), .refused = [](const Ctx& h) { return h.empty(H("dpbvdate")); },
     .message = "录入日期不能为空，请检查！", .way = Way::AtOnceOrCollected},
    {.keys = on("all"),
     .refused = [](const Ctx& h) { return h.empty(fromInterface(h) ? H("cvencode") : H("cvenabbname_1")); },
     .message = "供应商不能为空，请检查！", .way = Way::AtOnceOrCollected},
    {.keys = on("all"), .refused = [](const Ctx& h) { return h.empty(H("cdepname")); },
     .message = "部门不能为空，请检查！", .way = Way::CollectedInBsPass},
    {.keys = on("dpbvdate all"), .emptyEnds = H("dpbvdate"), .refused = [](const Ctx& h) { return h.badDate(H("dpbvdate")); },
     .message = "录入日期录入错误，请检查！", .way = Way::AtOnceOrCollected},
    {.keys = on("dvoudate all"), .emptyEnds = H("dvoudate"), .refused = [](const Ctx& h) { return h.badDate(H("dvoudate")); },
     .message = "发票日期录入错误，请检查！", .way = Way::AtOnceOrCollected},
    {.keys = on("cbustype all"), .applies = fromPurchasing, .emptyEnds = H("cbustype"),
     .refused = [](const Ctx& h) {
       const std::string_view t = h.text(H("cbustype"));
       return !t.empty() && t != "直运采购" && t != "普通采购";
     },
     .message = "业务类型录入错误，请检查！", .way = Way::AtOnceOrCollected},
    {.keys = on("cbustype all"), .applies = fromOutsourcing, .emptyEnds = H("cbustype"),
     .refused = [](const Ctx& h) { return !h.empty(H("cbustype")) && h.text(H("cbustype")) != "委外发票"; },
     .message = "业务类型录入错误，请检查！", .way = Way::AtOnceOrCollected},
    {.keys = on("cexchrate all"), .emptyEnds = H("cexchrate"),
     .refused = [](const Ctx& h) { return !h.empty(H("cexchrate")) && h.num(H("cexchrate")) <= 0; },
     .message = "汇率必须大于零，请检查！", .way = Way::AtOnceOrCollected},
    {.keys = on("ipbvtaxrate all"), .emptyEnds = H("ipbvtaxrate"),
     .refused = [](const Ctx& h) {
       return !h.empty(H("ipbvtaxrate")) && taxRateOutOfRange(h.num(H("ipbvtaxrate")));
     },
     .message = "税率必须在 0 到 100 之间，请检查！", .way = Way::AtOnceOrCollected},
};

// ---- Lines ------------------------------------------------------------------------------------------

constexpr auto L = fieldList("editprop", "cinvcode", "ipbvquantity", "iorimoney", "citemcode",
                             "citem_class", "sysname", "iinvexchrate", "igrouptype", "cunitid",
                             "binvtype", "bservice", "ioricost", "icost", "itaxrate", "iorisum",
                             "isum", "imoney");

bool groupIs(const Ctx& l, std::string_view type) { return l.is(L("igrouptype"), type); }

// Lines from the integration interface carry no conversion rate of their own.
bool notFromInterface(const Ctx& l) { return !l.is(L("sysname"), "eai"); }

// Discount and service items may carry negative prices. Both flags are converted plainly: an
// empty or non-Boolean text in either fails the call.
bool discountOrService(const Ctx& l) {
  const bool discount = textToBoolean(l.text(L("binvtype")));
  const bool service = textToBoolean(l.text(L("bservice")));
  return discount || service;
}
bool ordinaryItem(const Ctx& l) { return !discountOrService(l); }

// The line tax rate is converted plainly: a text that is no number fails the call.
double lineTaxRate(const Ctx& l) { return textToDouble(l.text(L("itaxrate"))); }

// An amount and its tax-inclusive total of opposite signs. The two are compared by sign rather than
// multiplied, so that tiny amounts cannot underflow to a product of zero. Both are read as VarToDbl
// reads a field text, which is what StrToDbl gives: the number, or 0 for a text that is none.
bool oppositeSigns(const Ctx& l, size_t total, size_t amount) {
  const double a = l.num(total);
  const double b = l.num(amount);
  return (a < 0 && b > 0) || (a > 0 && b < 0);
}

bool outsourcingBill(const Ctx& l) { return kindOf(l.self) == BillKind::Outsourcing; }
bool freightBill(const Ctx& l) { return kindOf(l.self) == BillKind::Freight; }
bool otherBill(const Ctx& l) { return kindOf(l.self) == BillKind::Other; }

constexpr Rule<Ctx> kLineRules[] = {
    {.keys = on("all"), .refused = [](const Ctx& l) { return l.empty(L("cinvcode")); },
     .message = "]行存货不能为空，请检查！", .way = Way::AtOnceOrCollected},
    {.keys = on("all"),
     .refused = [](const Ctx& l) { return l.num(L("ipbvquantity")) == 0 && l.num(L("iorimoney")) == 0; },
     .message = "]行数量和金额不能同时为空或为零，请检查！", .way = Way::AtOnceOrCollected},
    {.keys = on("all"),
     .refused = [](const Ctx& l) { return l.empty(L("citemcode")) && !l.empty(L("citem_class")); },
     .message = "]行有项目大类，必须录入项目！", .way = Way::AtOnceOrCollected},
    // The item comes before any other field of the line.
    {.keys = anyExcept("all cinvcode cvenabbname"),
     .refused = [](const Ctx& l) { return l.empty(L("cinvcode")); },
     .message = "]行请先录入存货！", .way = Way::AtOnceOrCollected},
    {.keys = on("iinvexchrate all"), .applies = notFromInterface, .emptyEnds = L("iinvexchrate"),
     .refused = [](const Ctx& l) { return l.empty(L("iinvexchrate")) && groupIs(l, "1"); },
     .message = "]行换算率不能为空，请检查！", .way = Way::CollectedInPass},
    {.keys = on("iinvexchrate all"), .applies = notFromInterface,
     .refused = [](const Ctx& l) {
       return !l.empty(L("iinvexchrate")) && l.num(L("iinvexchrate")) < 0 && !groupIs(l, "0");
     },
     .message = "]行换算率必须大于等于 0，请检查！", .way = Way::AtOnceOrCollected},
    {.keys = on("cunitid all"), .emptyEnds = L("cunitid"),
     .refused = [](const Ctx& l) { return l.empty(L("cunitid")) && !groupIs(l, "0"); },
     .message = "]行计量单位不能为空，请检查！", .way = Way::CollectedInPass},
    // The flags are read whenever this rule runs, before the price is looked at.
    {.keys = on("ioricost all"), .applies = ordinaryItem, .emptyEnds = L("ioricost"),
     .refused = [](const Ctx& l) { return !l.empty(L("ioricost")) && l.num(L("ioricost")) < 0; },
     .message = "]行原币单价必须大于等于 0，请检查！", .way = Way::AtOnceOrCollected},
    // Here the flags are read only for a negative price.
    {.keys = on("icost all"),
     .refused = [](const Ctx& l) { return l.num(L("icost")) < 0 && ordinaryItem(l); },
     .message = "]行本币单价必须大于等于 0，请检查！", .way = Way::AtOnceOrCollected},
    {.keys = on("itaxrate all"), .emptyEnds = L("itaxrate"),
     .refused = [](const Ctx& l) { return !l.empty(L("itaxrate")) && taxRateOutOfRange(lineTaxRate(l)); },
     .message = "]行税率必须在 0 到 100 之间，请检查！", .way = Way::AtOnceOrCollected},
    {.keys = on("ioritax itax iorisum isum all"),
     .refused = [](const Ctx& l) { return l.empty(L("itaxrate")); },
     .message = "]行税率未输入，请检查！！", .way = Way::AtOnceOrCollected},
    {.keys = on("citemcode all"), .emptyEnds = L("citemcode"),
     .refused = [](const Ctx& l) { return !l.empty(L("citemcode")) && l.empty(L("citem_class")); },
     .message = "]行在没有输入项目大类之前，请参照输入项目！", .way = Way::AtOnceOrCollected},

    // Amounts, by kind of invoice.
    {.keys = on("iorimoney all"), .setting = outsourcingBill,
     .refused = [](const Ctx& l) {
       return !l.empty(L("iorimoney")) && oppositeSigns(l, L("iorisum"), L("iorimoney"));
     },
     .message = "]行原币金额必须与原币税价合计符号相同，请检查！", .way = Way::AtOnceOrAppended},
    {.keys = on("iorimoney all"), .setting = outsourcingBill, .refused = [](const Ctx& l) { return l.empty(L("iorimoney")); },
     .message = "]行原币金额不能为空(可以为零)，请检查！", .way = Way::AtOnceOrAppended},
    {.keys = on("imoney all"), .setting = outsourcingBill,
     .refused = [](const Ctx& l) { return !l.empty(L("imoney")) && oppositeSigns(l, L("isum"), L("imoney")); },
     .message = "]行本币金额必须与本币税价合计符号相同，请检查！", .way = Way::AtOnceOrAppended},
    {.keys = on("imoney all"), .setting = outsourcingBill, .refused = [](const Ctx& l) { return l.empty(L("imoney")); },
     .message = "]行本币金额不能为空(可以为零)，请检查！", .way = Way::AtOnceOrAppended},
    {.keys = on("iorisum all"), .setting = freightBill, .refused = [](const Ctx& l) { return l.empty(L("iorisum")); },
     .message = "]行本币金额不能为空或者为零，请检查！", .way = Way::AtOnceOrAppended},
    {.keys = on("isum all"), .setting = freightBill, .refused = [](const Ctx& l) { return l.empty(L("isum")); },
     .message = "]行本币金额不能为空或者为零，请检查！", .way = Way::AtOnceOrAppended},
    {.keys = on("iorisum all"), .setting = otherBill, .refused = [](const Ctx& l) { return l.empty(L("iorisum")); },
     .message = "]行原币金额不能为空(可以为零)，请检查！", .way = Way::AtOnceOrAppended},
    {.keys = on("isum all"), .setting = otherBill, .refused = [](const Ctx& l) { return l.empty(L("isum")); },
     .message = "]行本币金额不能为空(可以为零)，请检查！", .way = Way::AtOnceOrAppended},
};

// ---- Totals -----------------------------------------------------------------------------------------

enum class Sign { Positive, Negative, Either };   // of the invoice (m_bPositive)
enum class Kinds { Freight, AllButFreight, Every };

struct TotalsRule {
  Kinds kinds;
  Sign sign;
  bool (*accepted)(double quantity, double amount);
  std::string_view message;
};

const TotalsRule kTotalsRules[] = {
    {Kinds::Freight, Sign::Positive, [](double q, double a) { return q >= 0 && a > 0; },
     "正运费发票金额合计必须大于0！"},
    {Kinds::Freight, Sign::Negative, [](double q, double a) { return q <= 0 && a < 0; },
     "负运费发票金额合计必须小于0！"},
    {Kinds::AllButFreight, Sign::Positive, [](double q, double a) { return q >= 0 && a >= 0; },
     "正发票的数量合计不能小于0，金额合计必须大于0！"},
    {Kinds::AllButFreight, Sign::Negative, [](double q, double a) { return q <= 0 && a <= 0; },
     "负发票的数量合计不能大于零，金额合计必须小于0！"},
    {Kinds::Every, Sign::Either, [](double q, double a) { return q != 0 || a != 0; },
     "发票的数量和金额合计不能同时为零！"},
};

// A running sum of decimal texts. Their binary sum can miss an exact zero by rounding noise
// (0.3 - 0.1 - 0.2 is not 0 in doubles), which would turn a balanced invoice into a negative one;
// a sum within the rounding error of its addends counts as zero.
// A sum beyond the range of a Double is error 6, as the platform raises it: never an infinity
// that passes the totals rules.
class DecimalSum {
 public:
  void add(double v) {
    sum_ += v;
    if (!std::isfinite(sum_)) throwError(err::Overflow, "Overflow: a total is beyond the range of a Double");
    rounding_ += std::fabs(v) * DBL_EPSILON;  // scaled first, so that it cannot overflow itself
    ++count_;
  }
  double value() const {
    const double noise = 4.0 * static_cast<double>(count_ + 1) * rounding_;
    return std::fabs(sum_) <= noise ? 0.0 : sum_;
  }

 private:
  double sum_ = 0;
  double rounding_ = 0;  // the rounding error each addend may carry: |v| * epsilon, summed
  size_t count_ = 0;
};

// The quantity and currency amount totals of every non-deleted line, unchanged lines included.
class InvoiceTotals {
 public:
  explicit InvoiceTotals(const ClsS_VerifyBillF& self) : self_(&self) {}

  void add(const Ctx& l) {
    quantity_.add(l.num(L("ipbvquantity")));
    amount_.add(l.num(L("iorimoney")));
  }

  // Every failing totals rule appends its message with no separator.
  void finish(Call& call) const {
    const bool freight = kindOf(*self_) == BillKind::Freight;
    const Sign sign = self_->m_bPositive ? Sign::Positive : Sign::Negative;
    const double q = quantity_.value(), a = amount_.value();
    for (const TotalsRule& rule : kTotalsRules) {
      if (rule.kinds == Kinds::Freight && !freight) continue;
      if (rule.kinds == Kinds::AllButFreight && freight) continue;
      if (rule.sign != Sign::Either && rule.sign != sign) continue;
      if (!rule.accepted(q, a)) call.append(rule.message);
    }
  }

 private:
  const ClsS_VerifyBillF* self_;
  DecimalSum quantity_, amount_;
};

}  // namespace

std::string ClsS_VerifyBillF::VerifyHead(const Variant& sKey, const Variant& domHead) {
  return checkHead<ClsS_VerifyBillF, kHeadRules>(*this, sKey, domHead, indexOf<H>());
}

std::string ClsS_VerifyBillF::VerifyBody(const Variant& sKey, const Variant& domBody,
                                         const Variant& R) {
  return checkBody<ClsS_VerifyBillF, kLineRules>(*this, sKey, domBody, R, indexOf<L>(),
                                     InvoiceTotals(*this));
}

}  // namespace tallyward
