// Checks that this build does not carry yet. Each answers with a run-time error, never a verdict.
#include "tallyward/classes.h"

namespace tallyward {

namespace {
[[noreturn]] void notAvailable(const char* member) {
  throwError(err::NotSupported, std::string(member) + " is not available in this build of Tallyward");
}
}  // namespace

std::string ClsS_VerifyApplyF::VerifyBody(const Variant&, const Variant&, const Variant&) { notAvailable("ClsS_VerifyApplyF.VerifyBody"); }
std::string ClsS_VerifyApplyF::VerifyHead(const Variant&, const Variant&) { notAvailable("ClsS_VerifyApplyF.VerifyHead"); }

}  // namespace tallyward
