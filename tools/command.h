// The tallyward command: verify a voucher from the shell, create an ERP database.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace tallyward::cli {

// Exit statuses of the command.
inline constexpr int kOk = 0;
inline constexpr int kUsage = 2;    // bad arguments, unreadable or malformed input
inline constexpr int kRunTime = 3;  // the call failed with a run-time error

// Runs the command with its arguments (without the program name).
int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace tallyward::cli
