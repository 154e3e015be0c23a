#pragma once

#include <cstdint>

namespace tallyward {

// How the voucher screen runs: client/server wants the first error at once, browser/server wants
// every error of a whole pass.
enum class UseMode : int32_t { CS = 0, BS = 1 };

}  // namespace tallyward
