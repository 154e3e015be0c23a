// Test doubles of the host's classes, a factory that hands them out, and the date of a text.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "support/run_time_error.h"
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

}  // namespace tallyward::test
