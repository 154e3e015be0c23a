// Test doubles of the host's classes, a factory that hands them out, and small helpers.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "tallyward/host.h"

namespace tallyward::test {

// A factory whose classes are whatever the test puts in `classes` (by identifier as written).
class FakeHost : public HostFactory {
 public:
  std::shared_ptr<Object> create(std::string_view id) override {
    created.emplace_back(id);
    auto it = classes.find(std::string(id));
    return it == classes.end() ? nullptr : it->second();
  }
  std::map<std::string, std::function<std::shared_ptr<Object>()>> classes;
  std::vector<std::string> created;
};

// The date of a text such as "2026-03-05".
inline Date day(const char* text) {
  double d = 0;
  parseDate(text, d);
  return Date{d};
}

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
