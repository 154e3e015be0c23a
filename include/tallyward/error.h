// Run-time errors: what an automation caller would see as a failed call.
#pragma once

#include <stdexcept>
#include <string>

namespace tallyward {

// Error numbers follow the automation run-time errors that callers of the ERP know.
namespace err {
inline constexpr int InvalidArgument = 5;     // invalid procedure call or argument
inline constexpr int Overflow = 6;            // a number outside the target range
inline constexpr int SubscriptOutOfRange = 9; // an index that is not there
inline constexpr int TypeMismatch = 13;       // a conversion that cannot be made
inline constexpr int ObjectNotSet = 91;       // object variable not set
inline constexpr int NoSuchMember = 438;      // object does not support this property or method
inline constexpr int NotAnObject = 424;       // object required
inline constexpr int CannotCreate = 429;      // no class of that name is registered
inline constexpr int Database = 3001;         // the database driver refused the statement
inline constexpr int BadXml = 3002;           // a document that cannot be read
inline constexpr int NoCurrentRecord = 3021;  // either BOF or EOF: no current record (or setting row)
inline constexpr int NoSuchField = 3265;      // no column of that name in the record set
inline constexpr int ObjectClosed = 3704;     // the record set is closed
}  // namespace err

// A run-time error of a call: a number and a description. A call that throws it yields no verdict.
class Error : public std::runtime_error {
 public:
  Error(int number, std::string description)
      : std::runtime_error(std::move(description)), number_(number) {}
  int number() const noexcept { return number_; }
  std::string description() const { return what(); }

 private:
  int number_;
};

[[noreturn]] void throwError(int number, std::string description);

}  // namespace tallyward
