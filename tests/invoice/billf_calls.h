// Calls of the whole-invoice check for the tests: early-bound on a fresh object, documents handed
// over as Variants holding the document, as the invoice screen does.
#pragma once

#include <string>
#include <vector>

#include "common/verdict.h"
#include "support/voucher_builder.h"
#include "tallyward/classes.h"
#include "tallyward/error.h"

namespace tallyward::test::billf {

// A head that passes every rule: an outsourcing invoice entered by abbreviation.
inline const Attributes kBillHead{
    {"csource", "委外"},          {"cbustype", "委外发票"},     {"cvenabbname", "华东精工"},
    {"cpbvbilltype", "专用发票"}, {"cpbvcode", "FP0001"},       {"cexch_name", "人民币"},
    {"cexchrate", "1"},           {"dpbvdate", "2026-11-20T00:00:00"},
    {"cvenabbname_1", "华东精工"}, {"cdepname", "采购部"},      {"dvoudate", "2026-11-20T00:00:00"},
    {"ipbvtaxrate", "13"}};

// A line that passes every rule of every kind of invoice: 10 at 10, 13 % tax.
inline const Attributes kBillLine{
    {"cinvcode", "P1001"}, {"ipbvquantity", "10"}, {"iorimoney", "100"}, {"igrouptype", "0"},
    {"cunitid", "个"},     {"binvtype", "False"},  {"bservice", "0"},     {"ioricost", "10"},
    {"icost", "10"},       {"itaxrate", "13"},     {"iorisum", "113"},    {"isum", "113"},
    {"imoney", "100"}};

// The switches of one call.
struct Bill {
  UseMode mode = UseMode::CS;
  std::string billType = "wwpurbill";
  bool positive = true;
};

inline ClsS_VerifyBillF billCheck(const Bill& b) {
  ClsS_VerifyBillF check;
  check.m_UseMode = b.mode;
  check.sBillType = b.billType;
  check.m_bPositive = b.positive;
  return check;
}

inline std::string billHead(UseMode mode, const std::string& key, const Attributes& row) {
  return billCheck({mode}).VerifyHead(Variant(key), Variant(head(row)));
}

inline std::string billBody(const Bill& b, const std::string& key,
                            const std::vector<Attributes>& rows, Variant R = Variant::missing()) {
  return billCheck(b).VerifyBody(Variant(key), Variant(voucher(rows)), R);
}

// A row message: "第[", the row number, the rule's text.
inline std::string rowMessage(long row, const std::string& text) {
  return "第[" + std::to_string(row) + text;
}

// The run-time error number a call fails with; 0 when it returned a verdict instead.
template <class F>
int errorOf(F&& call) {
  try {
    call();
  } catch (const Error& e) {
    return e.number();
  }
  return 0;
}

}  // namespace tallyward::test::billf
