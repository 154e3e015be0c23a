// The run-time error of a call, for tests that expect one.
#pragma once

#include <functional>
#include <string>

#include "tallyward/error.h"

namespace tallyward::test {

// The number of the run-time error that f raises (0: none), and its description.
inline int errorNumber(const std::function<void()>& f, std::string* description = nullptr) {
  try {
    f();
  } catch (const Error& e) {
    if (description) *description = e.description();
    return e.number();
  }
  return 0;
}

}  // namespace tallyward::test
