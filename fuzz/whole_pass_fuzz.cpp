// A voucher document parsed and checked by a whole-voucher class, as a screen calls it: the class,
// the method, the key, the mode, the switches and the row number chosen by the fuzzer (see
// fuzz_input.h). A run-time error is an answer; anything else that escapes, or a sanitizer's
// report, is a finding. A body that splits into batches of rows must be answered in batches as it
// is whole: the same verdict or the same error, and every batch well-formed.
#include <cstddef>
#include <cstdlib>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz_input.h"
#include "rows/row_batches.h"
#include "tallyward/classes.h"
#include "tallyward/registry.h"

using namespace tallyward;

namespace {

// The verdict, or the number of the run-time error the call raised.
std::string answerOf(Object& check, std::vector<Variant> args) {
  try {
    return "verdict " + toText(check.call("VerifyBody", std::span<Variant>(args)));
  } catch (const Error& e) {
    return "error " + std::to_string(e.number());
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < fuzz::kWholeHeader) return 0;
  const uint8_t cls = data[0], call = data[1], key = data[2], row = data[3];
  const std::string_view text(reinterpret_cast<const char*>(data) + fuzz::kWholeHeader, size - fuzz::kWholeHeader);

  std::shared_ptr<Document> doc;
  try {
    doc = Document::parse(text);
  } catch (const Error&) {
    return 0;
  }
  const std::string_view className = fuzz::kWholeClasses[cls % fuzz::kWholeClasses.size()];
  std::shared_ptr<Object> check = createObject(className);
  try {
    // m_UseMode takes any Long; only 0 and 1 are defined, the rest must still be safe.
    check->put("m_UseMode", Variant((call >> 1 & 1) | (call >> 5) << 1));
    const bool on = call >> 2 & 1;
    if (className == "ClsS_VerifyFPO") check->put("m_bAlterPO", Variant(on));
    if (className == "ClsS_VerifyBillF" || className == "ClsS_VerifyArriveF") check->put("m_bPositive", Variant(on));
    if (className == "ClsS_VerifyBillF") check->put("sBillType", Variant(fuzz::kBillTypes[call >> 3 & 3]));
    if (className == "ClsS_VerifyArriveF") check->put("m_ConvertExchRate", Variant(1.5));

    std::vector<Variant> args{Variant(fuzz::kWholeKeys[key % fuzz::kWholeKeys.size()]), Variant(doc)};
    const bool body = call & 1;
    if (body) args.push_back(fuzz::rowArgument(row));
    if (body) {
      std::string copy(text);
      if (std::shared_ptr<RowBatches> batches = RowBatches::split(copy, 1 + row % 3)) {
        if (answerOf(*check, args) != answerOf(*check, {args[0], Variant(std::static_pointer_cast<Object>(batches)), args[2]}) ||
            !batches->wellFormed())
          std::abort();
        return 0;
      }
    }
    const Variant verdict = check->call(body ? "VerifyBody" : "VerifyHead", std::span<Variant>(args));
    (void)toText(verdict);
  } catch (const Error&) {
  }
  return 0;
}
