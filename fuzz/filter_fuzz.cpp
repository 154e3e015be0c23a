// An ADO-style filter, as a check or a host sets it on a recordset, applied to rows of every kind
// of value. A refused filter (error 3001) is an answer; anything else that escapes, or a
// sanitizer's report, is a finding.
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>

#include "tallyward/database.h"

using namespace tallyward;

namespace {

ResultSet rows() {
  ResultSet r;
  r.columns = {"cInvCode", "cInvName", "iQuantity", "bService", "dSDate", "cNote", "cPrice", "iCredit"};
  double day = 0;
  parseDate("2026-01-05", day);
  r.rows = {
      {"A01", "Bolt M6", 10, false, Date{day}, Variant::null(), "12.5", 3.0e9},
      {"a02", "bolt m8", 2.5, true, Date{day + 27.35}, "it's", "3", -2147483647},
      {"B01", "螺母", -1, false, Variant::null(), "", "abc", Variant()},
      {"C10", "Washer", 0, true, Date{-700000.5}, "note", Variant::null(), 1e308},
      {"", "*%", std::numeric_limits<double>::denorm_min(), Variant("True"), "2026-13-40", "#", "1e309", "0"},
  };
  return r;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const ResultSet kRows = rows();
  Recordset rs(kRows);
  try {
    rs.setFilter(std::string_view(reinterpret_cast<const char*>(data), size));
    for (rs.moveFirst(); !rs.eof(); rs.moveNext()) (void)rs.field(size_t{0});
    rs.setFilter("");
  } catch (const Error&) {
  }
  return 0;
}
