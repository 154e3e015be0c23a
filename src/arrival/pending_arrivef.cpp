// Checks that this build does not carry yet. Each answers with a run-time error, never a verdict.
#include "tallyward/classes.h"

namespace tallyward {

namespace {
[[noreturn]] void notAvailable(const char* member) {
  throwError(err::NotSupported, std::string(member) + " is not available in this build of Tallyward");
}
}  // namespace

std::string ClsS_VerifyArriveF::VerifyBody(const Variant&, const Variant&, const Variant&) { notAvailable("ClsS_VerifyArriveF.VerifyBody"); }
std::string ClsS_VerifyArriveF::VerifyHead(const Variant&, const Variant&) { notAvailable("ClsS_VerifyArriveF.VerifyHead"); }

}  // namespace tallyward
