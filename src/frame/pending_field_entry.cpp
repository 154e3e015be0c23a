// Checks that this build does not carry yet. Each answers with a run-time error, never a verdict.
#include "tallyward/classes.h"

namespace tallyward {

namespace {
[[noreturn]] void notAvailable(const char* member) {
  throwError(err::NotSupported, std::string(member) + " is not available in this build of Tallyward");
}
}  // namespace

std::string ClsS_VerifyApplyH::VerifyBody(const std::string&, Document&, Document*, int32_t) { notAvailable("ClsS_VerifyApplyH.VerifyBody"); }
std::string ClsS_VerifyApplyH::VerifyHead(const std::string&, Document&) { notAvailable("ClsS_VerifyApplyH.VerifyHead"); }

}  // namespace tallyward
