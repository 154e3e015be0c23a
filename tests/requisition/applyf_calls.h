// Calls of the whole-requisition check for the tests: early-bound on a fresh object, documents
// handed over as Variants holding the document, as a voucher screen does.
#pragma once

#include <string>

#include "support/voucher_builder.h"
#include "tallyward/classes.h"
#include "tallyward/error.h"

namespace tallyward::test {

inline const Attributes kGoodHead{{"ccode", "QG0001"},     {"ddate", "2008-05-01T00:00:00"},
                                  {"cdepname", "采购部"},  {"ipertaxrate", "17"},
                                  {"cbustype", "普通采购"}};

// A complete line whose tax matches its rate: 17 % of 50 is 8.5.
inline const Attributes kGoodLine{{"cinvcode", "P1001"}, {"citemcode", ""},    {"citem_class", ""},
                                  {"fquantity", "10"},   {"funitprice", "5"},  {"ftaxprice", "5.85"},
                                  {"fmoney", "50"},      {"ipertaxrate", "17"}, {"itax", "8.5"},
                                  {"binvtype", "False"}};

inline std::string verifyHead(UseMode mode, const std::string& key, const Attributes& row) {
  ClsS_VerifyApplyF check;
  check.m_UseMode = mode;
  return check.VerifyHead(Variant(key), Variant(head(row)));
}

inline std::string verifyBody(UseMode mode, const std::string& key,
                              const std::vector<Attributes>& rows, Variant R = Variant::missing()) {
  ClsS_VerifyApplyF check;
  check.m_UseMode = mode;
  return check.VerifyBody(Variant(key), Variant(voucher(rows)), R);
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

}  // namespace tallyward::test
