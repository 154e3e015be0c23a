// Test doubles of the host: a factory that hands out what a test puts in it, a connection that
// reaches no database, and the date of a text.
#pragma once

#include <map>
#include <memory>
#include "support/temp_database.h"
#include "tallyward/host.h"

namespace tallyward::test {

class FakeHost : public HostFactory {
 public:
  std::shared_ptr<Object> create(std::string_view id) override {
    created.emplace_back(id);
    auto it = classes.find(std::string(id));
    return it == classes.end() ? nullptr : it->second();
  }
  std::map<std::string, std::function<std::shared_ptr<Object>()>> classes;  // by identifier as written
  std::vector<std::string> created;
};

inline std::shared_ptr<Connection> nowhere(std::string connectionString = "Driver=Nowhere") {
  struct NoRows : Driver {
    ResultSet query(std::string_view) override { return {}; }
  };
  return std::make_shared<Connection>(std::move(connectionString), std::make_unique<NoRows>());
}

inline Date day(const char* text) {
  double d = 0;
  parseDate(text, d);
  return Date{d};
}

}  // namespace tallyward::test
