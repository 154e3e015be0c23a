// A whole pass of each whole-voucher class over generated bodies, beside the bare cost of parsing
// the same text and selecting its rows. The ratio of the two is the price of the rules.
#include <benchmark/benchmark.h>

#include <map>
#include <string>

#include "common/voucher.h"
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

std::string body(int lines, std::string (*line)(int)) {
  std::string xml =
      "<xml xmlns:s='uuid:BDC6E3F0-6DA3-11d1-A2A3-00AA00C14882' xmlns:rs='urn:schemas-microsoft-com:rowset' "
      "xmlns:z='#RowsetSchema'><s:Schema id='RowsetSchema'/><rs:data>\n";
  for (int i = 1; i <= lines; ++i) xml += line(i);
  return xml + "</rs:data></xml>";
}

const std::string& orderBody(int lines) {
  static std::map<int, std::string> cache;
  auto& text = cache[lines];
  if (text.empty()) text = body(lines, orderLine);
  return text;
}

void BM_ParseAndSelect(benchmark::State& state) {
  const std::string& text = orderBody(static_cast<int>(state.range(0)));
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

template <class Class>
void wholePass(benchmark::State& state, const std::string& text) {
  Class check;
  check.m_UseMode = UseMode::BS;
  for (auto _ : state) {
    auto doc = Document::parse(text);
    std::string verdict = check.VerifyBody(Variant("all"), Variant(doc));
    if (!verdict.empty()) state.SkipWithError("the generated body should pass");
    benchmark::DoNotOptimize(verdict);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_OrderWholePass(benchmark::State& state) {
  wholePass<ClsS_VerifyFPO>(state, orderBody(static_cast<int>(state.range(0))));
}

BENCHMARK(BM_ParseAndSelect)->Arg(10)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_OrderWholePass)->Arg(10)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace tallyward

BENCHMARK_MAIN();
