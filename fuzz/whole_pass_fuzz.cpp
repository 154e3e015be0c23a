// A voucher document parsed and checked by a whole-voucher class, as a screen calls it: the class,
// the method, the key, the mode, the switches and the row number chosen by the fuzzer (see
// fuzz_input.h). A run-time error is an answer; anything else that escapes, or a sanitizer's
// report, is a finding.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz_input.h"
#include "tallyward/classes.h"
#include "tallyward/registry.h"

using namespace tallyward;

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
    const Variant verdict = check->call(body ? "VerifyBody" : "VerifyHead", std::span<Variant>(args));
    (void)toText(verdict);
  } catch (const Error&) {
  }
  return 0;
}
