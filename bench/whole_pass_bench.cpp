// A whole pass of each whole-voucher class over generated bodies, beside the bare cost of parsing
// the same text and selecting its rows. The ratio of the two is the price of the rules.
#include <benchmark/benchmark.h>

#include <malloc.h>

#include <map>
#include <string>

#include "rows/voucher.h"
#include "tallyward/classes.h"

namespace tallyward {
namespace {

// An order line as the order screen persists it: about twenty fields, all of them valid.
std::string orderLine(int i) {
  const std::string n = std::to_string(i);
  return "<z:row editprop='A' cinvcode='P" + n + "' cinvname='零件" + n +
         "' citemcode='' citem_class='' iquantity='" + std::to_string(10 + i % 7) +
         "' ireceivedqty='0' iinvqty='0' iarrqty='0' igrouptype='1' iinvexchrate='12' cunitid='箱' inum='3' "
         "iunitprice='12.5' inatunitprice='12.5' itaxprice='14.125' imoney='125' inatmoney='125' isum='141.25' "
         "inatsum='141.25' darrivedate='2026-12-01T00:00:00' ipertaxrate='13' itax='16.25' cbmemo=''/>\n";
}

std::string invoiceLine(int i) {
  const std::string n = std::to_string(i);
  return "<z:row editprop='A' cinvcode='P" + n + "' cinvname='零件" + n +
         "' ipbvquantity='10' iorimoney='100' imoney='100' citemcode='' citem_class='' igrouptype='0' "
         "cunitid='' binvtype='False' bservice='False' ioricost='10' icost='10' itaxrate='13' ioritax='13' "
         "itax='13' iorisum='113' isum='113' cbmemo=''/>\n";
}

std::string arrivalLine(int i) {
  const std::string n = std::to_string(i);
  return "<z:row editprop='A' cinvcode='P" + n + "' cinvname='零件" + n +
         "' citemcode='' citem_class='' iquantity='10' inum='' igrouptype='0' iinvexchrate='' cunitid='' "
         "ioricost='10' ioritaxcost='11.3' icost='10' iorimoney='100' imoney='100' iorisum='113' isum='113' "
         "itaxrate='13' dpdate='2026-11-01T00:00:00' dvdate='2027-11-01T00:00:00'/>\n";
}

std::string requisitionLine(int i) {
  const std::string n = std::to_string(i);
  return "<z:row editprop='A' cinvcode='P" + n + "' cinvname='零件" + n +
         "' citemcode='' citem_class='' fquantity='10' funitprice='10' ftaxprice='11.3' fmoney='100' "
         "ipertaxrate='13' itax='13' binvtype='False' drequirdate='2026-12-01T00:00:00' cbmemo=''/>\n";
}

std::string body(int lines, std::string (*line)(int)) {
  std::string xml =
      "<xml xmlns:s='uuid:BDC6E3F0-6DA3-11d1-A2A3-00AA00C14882' xmlns:rs='urn:schemas-microsoft-com:rowset' "
      "xmlns:z='#RowsetSchema'><s:Schema id='RowsetSchema'/><rs:data>\n";
  for (int i = 1; i <= lines; ++i) xml += line(i);
  return xml + "</rs:data></xml>";
}

enum Kind { Order, Invoice, Arrival, Requisition };

const std::string& generated(Kind kind, int lines) {
  static std::map<std::pair<Kind, int>, std::string> cache;
  static std::string (*const kLine[])(int) = {orderLine, invoiceLine, arrivalLine, requisitionLine};
  auto& text = cache[{kind, lines}];
  if (text.empty()) text = body(lines, kLine[kind]);
  return text;
}

// The bare cost: parse the text and walk the selected rows.
template <Kind kind>
void BM_ParseAndSelect(benchmark::State& state) {
  const std::string& text = generated(kind, static_cast<int>(state.range(0)));
  for (auto _ : state) {
    auto doc = Document::parse(text);
    size_t rows = 0;
    for (pugi::xml_node row : SelectedRows(doc->dom())) {
      benchmark::DoNotOptimize(row);
      ++rows;
    }
    benchmark::DoNotOptimize(rows);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

// The whole pass: parse the same text and run every line rule on every row.
template <class Class, Kind kind>
void BM_WholePass(benchmark::State& state) {
  const std::string& text = generated(kind, static_cast<int>(state.range(0)));
  Class check;
  check.m_UseMode = UseMode::BS;
  if constexpr (requires { check.m_bPositive; }) check.m_bPositive = true;
  if constexpr (requires { check.sBillType; }) check.sBillType = "wwpurbill";
  for (auto _ : state) {
    auto doc = Document::parse(text);
    std::string verdict = check.VerifyBody(Variant("all"), Variant(doc));
    if (!verdict.empty()) state.SkipWithError("the generated body should pass");
    benchmark::DoNotOptimize(verdict);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

// The row scan alone over an order body already parsed: the attribute records read directly
// against the same scan through the library's accessors.
template <RowValues::Scan scan>
void BM_RowScan(benchmark::State& state) {
  static constexpr auto F = fieldList("editprop", "cinvcode", "citemcode", "citem_class", "iquantity",
                                      "igrouptype", "cunitid", "inum", "iunitprice", "imoney", "isum",
                                      "darrivedate", "ipertaxrate");
  static const FieldIndex index(F);
  auto doc = Document::parse(generated(Order, static_cast<int>(state.range(0))));
  for (auto _ : state) {
    RowValues values(index, scan);
    size_t filled = 0;
    for (pugi::xml_node row : SelectedRows(doc->dom())) {
      values.read(row);
      filled += values.empty(F("cinvcode")) ? 0 : 1;
    }
    benchmark::DoNotOptimize(filled);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_RowScan<RowValues::Scan::Records>)->Arg(1000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RowScan<RowValues::Scan::Accessors>)->Arg(1000)->Unit(benchmark::kMicrosecond);

#define TW_PAIR(Class, kind)                                                                       \
  BENCHMARK(BM_ParseAndSelect<kind>)->Arg(10)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond); \
  BENCHMARK(BM_WholePass<Class, kind>)->Arg(10)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond);

TW_PAIR(ClsS_VerifyFPO, Order)
TW_PAIR(ClsS_VerifyBillF, Invoice)
TW_PAIR(ClsS_VerifyArriveF, Arrival)
TW_PAIR(ClsS_VerifyApplyF, Requisition)

}  // namespace
}  // namespace tallyward

// Freed documents stay with the allocator instead of going back to the system between iterations,
// so that each figure measures the work, not the page faults of mapping memory anew.
int main(int argc, char** argv) {
  mallopt(M_MMAP_THRESHOLD, 1 << 30);
  mallopt(M_TRIM_THRESHOLD, 1 << 30);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
