// Arrival notes for the tests of the whole-arrival check: a head and lines that pass, and calls of
// the class in either mode.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "support/voucher_builder.h"
#include "tallyward/classes.h"
#include "tallyward/error.h"

namespace tallyward::arrival_test {

using test::Attributes;
using test::CR;
using test::line;
using test::voucher;
using test::with;
using test::without;

inline Attributes goodHead() {
  return {{"ccode", "DH0001"},      {"cexch_name", "人民币"}, {"iexchrate", "1"},
          {"ddate", "2026-03-01T00:00:00"}, {"sysname", ""},  {"cvencode", ""},
          {"cvenabbname", "华东机加"}, {"cdepcode", ""},         {"cdepname", "采购部"},
          {"itaxrate", "13"},       {"cbustype", "普通采购"}};
}

// A line of a positive note in a single unit that every rule accepts (no edit state yet).
inline Attributes goodFields() {
  return {{"cinvcode", "P1001"},   {"citemcode", ""},     {"citem_class", ""},  {"iquantity", "10"},
          {"inum", ""},            {"igrouptype", "0"},   {"sysname", ""},      {"iinvexchrate", ""},
          {"cunitid", ""},         {"ioricost", "5"},     {"ioritaxcost", "5.65"}, {"icost", "5"},
          {"iorimoney", "50"},     {"imoney", "50"},      {"iorisum", "56.5"},  {"isum", "56.5"},
          {"itaxrate", "13"},      {"dpdate", "2026-03-01T00:00:00"}, {"dvdate", "2027-03-01T00:00:00"}};
}

// The same line on a negative note: quantities and amounts below zero, prices as before.
inline Attributes negativeFields() {
  return with(goodFields(), {{"iquantity", "-10"}, {"iorimoney", "-50"}, {"imoney", "-50"},
                             {"iorisum", "-56.5"}, {"isum", "-56.5"}});
}

// Pieces with a fixed conversion rate ("1") or a floating one ("2").
inline Attributes fixedRate(Attributes fields, const char* pieces = "2") {
  return with(std::move(fields),
              {{"igrouptype", "1"}, {"inum", pieces}, {"iinvexchrate", "5"}, {"cunitid", "箱"}});
}
inline Attributes floatingRate(Attributes fields, const char* pieces = "2") {
  return with(std::move(fields),
              {{"igrouptype", "2"}, {"inum", pieces}, {"iinvexchrate", "5"}, {"cunitid", "箱"}});
}

inline std::string verifyHead(const std::string& key, const Attributes& head, UseMode mode) {
  ClsS_VerifyArriveF check;
  check.m_UseMode = mode;
  return check.VerifyHead(Variant(key), Variant(test::head(head)));
}

struct Note {
  UseMode mode = UseMode::CS;
  bool positive = true;
  Variant R = Variant::missing();
};

inline std::string verifyBody(const std::string& key, const std::vector<Attributes>& lines,
                              const Note& note) {
  ClsS_VerifyArriveF check;
  check.m_UseMode = note.mode;
  check.m_bPositive = note.positive;
  return check.VerifyBody(Variant(key), Variant(voucher(lines)), note.R);
}

// The number of the run-time error the action fails with; 0 when it does not fail.
inline int errorNumber(const std::function<void()>& action) {
  try {
    action();
  } catch (const Error& e) {
    return e.number();
  }
  return 0;
}

}  // namespace tallyward::arrival_test
