// A driver for tests that records every statement it is sent and answers from a script: the
// first rule whose text occurs in the statement gives the result; otherwise an empty result.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "tallyward/database.h"

namespace tallyward::test {

class RecordingDriver : public Driver {
 public:
  struct Answer {
    std::string whenContains;  // a piece of the statement
    ResultSet result;
    bool fail = false;         // answer with a database error instead
  };

  ResultSet query(std::string_view sql) override {
    sent.emplace_back(sql);
    for (const Answer& a : answers)
      if (std::string_view(sql).find(a.whenContains) != std::string_view::npos) {
        if (a.fail) throwError(err::Database, "scripted failure");
        return a.result;
      }
    return {};
  }

  std::vector<std::string> sent;
  std::vector<Answer> answers;
};

// A connection over a recording driver; the driver stays reachable through the returned pointer.
inline std::pair<std::shared_ptr<Connection>, RecordingDriver*> recordingConnection(
    std::string connectionString = "Driver=Recording") {
  auto driver = std::make_unique<RecordingDriver>();
  RecordingDriver* raw = driver.get();
  return {std::make_shared<Connection>(std::move(connectionString), std::move(driver)), raw};
}

}  // namespace tallyward::test
