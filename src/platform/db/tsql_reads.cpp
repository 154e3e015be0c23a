#include "platform/db/tsql_reads.h"

#include <algorithm>
#include <array>
#include <string>

#include "platform/db/sql_tokens.h"
#include "tallyward/error.h"

namespace tallyward::tsql {

namespace {

namespace tok = sqlite::sqltokens;

[[noreturn]] void refuse(std::string_view why, std::string_view sql) {
  throwError(err::Database, "Only reading statements are run (" + std::string(why) + "): " + std::string(sql));
}

// Reserved words that begin or carry a statement other than a read.
bool isForbidden(std::string_view w) {
  static constexpr std::array<std::string_view, 37> kWords = {
      "insert",   "update",     "delete",    "merge",          "into",        "exec",        "execute",
      "create",   "alter",      "drop",      "truncate",       "grant",       "revoke",      "deny",
      "backup",   "restore",    "dbcc",      "bulk",           "writetext",   "updatetext",  "kill",
      "shutdown", "reconfigure", "set",      "setuser",        "use",         "declare",     "begin",
      "commit",   "rollback",   "save",      "waitfor",        "checkpoint",  "openquery",   "openrowset",
      "opendatasource", "revert"};
  return std::any_of(kWords.begin(), kWords.end(), [&](std::string_view k) { return tok::same(k, w); });
}

}  // namespace

void requireRead(std::string_view sql) {
  std::string why;
  const auto tokens = tok::tokenize(sql, tok::TokenRules{}, &why);
  if (!tokens) refuse(why, sql);
  size_t count = tokens->size();
  if (count > 0 && tok::isPunct((*tokens)[count - 1], ";")) --count;
  if (count == 0) refuse("empty statement", sql);
  if (!tok::isWord((*tokens)[0], "select")) refuse("not a SELECT statement", sql);
  for (size_t i = 0; i < count; ++i) {
    const tok::SqlToken& t = (*tokens)[i];
    if (tok::isPunct(t, ";")) refuse("more than one statement", sql);
    if (t.kind == tok::TokenKind::Word && isForbidden(t.text)) refuse(std::string(t.text) + " is not a read", sql);
  }
}

}  // namespace tallyward::tsql
