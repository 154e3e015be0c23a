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
#include "tallyward/host.h"

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

// The stand-in host's session information object with these members, read late-bound by name.
inline std::shared_ptr<SessionInformation> session(const std::vector<std::pair<std::string, Variant>>& members) {
  auto info = std::make_shared<SessionInformation>();
  for (const auto& [name, value] : members) info->set(name, value);
  return info;
}

}  // namespace tallyward::test
