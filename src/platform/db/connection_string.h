// Connection strings as ADO and ODBC write them: Key=Value pairs separated by ';', a value in
// {braces} when it holds a ';' ("}}" in braces stands for a '}'). Which database a string names, and how to show one in a message.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tallyward::connstr {

struct Pair {
  std::string key;    // as written, blanks around it removed
  std::string value;  // blanks around it removed; braces removed from a braced value
};

// The pairs of a connection string. Nothing when the text is not a list of pairs but a file path:
// when the text before its first '=' is not a keyword (a letter, then letters, digits, blanks,
// '_' or '-'). Error 3001 for a list that cannot be read: a part without '=', a '{' not closed,
// text after a closing '}'.
std::optional<std::vector<Pair>> pairsOf(std::string_view text);

bool sameKey(std::string_view a, std::string_view b);  // keys compare without regard to case

// The value of a key (the last one when it is repeated); nothing when the key is absent.
std::optional<std::string> valueOf(const std::vector<Pair>& pairs, std::string_view key);

// The text with the values of PWD and Password hidden, for messages and logs.
std::string withoutSecrets(std::string_view text);

// Where a connection string leads.
struct Target {
  bool embedded = false;  // the embedded SQLite database
  std::string path;       // embedded: the database file
};

// A path (or Driver=SQLite;Database=PATH, or Database=PATH alone) names the embedded database;
// any other list of pairs (DSN=..., Driver={...};Server=...) is for the ODBC driver manager.
// Error 3001 for a string that names the embedded database wrongly: no database, or a key
// other than Driver, Database and Data Source.
Target targetOf(const std::string& connectionString);

}  // namespace tallyward::connstr
