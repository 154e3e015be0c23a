// A recording connection with scripted answers, for the probe and reference-list tests.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "support/recording_driver.h"
#include "tallyward/error.h"

namespace tallyward::test {

class ScriptedDb : public ::testing::Test {
 protected:
  void SetUp() override { std::tie(cnn, driver) = recordingConnection(); }

  // The statement that contains piece answers with these rows (the first matching rule wins; ""
  // matches every statement).
  void answer(std::string piece, std::vector<std::string> columns, std::vector<std::vector<Variant>> rows) {
    driver->answers.push_back({std::move(piece), {std::move(columns), std::move(rows)}, false});
  }
  void failOn(std::string piece) { driver->answers.push_back({std::move(piece), {}, true}); }
  const std::vector<std::string>& sent() const { return driver->sent; }

  std::shared_ptr<Connection> cnn;
  RecordingDriver* driver = nullptr;
};

// The number of the run-time error that f raises; 0 when it raises none.
inline int errorNumber(const std::function<void()>& f) {
  try {
    f();
  } catch (const Error& e) {
    return e.number();
  }
  return 0;
}

// A late-bound object whose members are plain values, as the host's session information object
// answers them. Names are matched without regard to case; an unknown name is error 438.
class ValueObject : public Object {
 public:
  explicit ValueObject(std::vector<std::pair<std::string, Variant>> members) : members_(std::move(members)) {}
  std::string_view typeName() const override { return "Information"; }
  DispId GetIDsOfNames(std::string_view name) const override {
    for (size_t i = 0; i < members_.size(); ++i)
      if (DispatchTable<ValueObject>::equalsNoCase(members_[i].first, name)) return static_cast<DispId>(i);
    throwError(err::NoSuchMember, "Object doesn't support this property or method: " + std::string(name));
  }
  Variant Invoke(DispId id, InvokeKind, std::span<Variant>) override { return members_.at(static_cast<size_t>(id)).second; }

 private:
  std::vector<std::pair<std::string, Variant>> members_;
};

}  // namespace tallyward::test
