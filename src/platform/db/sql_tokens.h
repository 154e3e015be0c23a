#pragma once

// One reader of SQL Server statement text, shared by the dialect translation, the joined-OR
// rewrite and the literal shaping. The three read the same tokens but differ in a few places;
// those differences are the fields of TokenRules, chosen by each caller.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tallyward::sqlite::sqltokens {

enum class TokenKind { Space, Word, Quoted, String, Number, Punct };

struct SqlToken {
  TokenKind kind;
  size_t pos;  // offset of the token in the statement
  std::string_view text;
  size_t end() const { return pos + text.size(); }
};

// What "]]" inside a [bracketed name] means.
enum class DoubledBracket {
  Escapes,     // a ] inside the name, as SQL Server reads it
  Closes,      // the first ] closes the name; the second is a separate token
  Unreadable,  // the text is refused
};

struct TokenRules {
  // Blanks and comments come back as Space tokens (otherwise they are dropped).
  bool keepSpace = false;
  // `name` is a quoted name; otherwise a backtick makes the text unreadable.
  bool backtickQuotes = false;
  DoubledBracket doubledBracket = DoubledBracket::Escapes;
  // SQL Server's own reading, refusing what SQLite would read differently: a number has at most
  // one decimal point and no letters after it, a '.' right after a name is a qualifier dot even
  // before a digit, == and || are not operators, and N'..', variables, parameters, !<, !>, *=,
  // =*, ^ and a few stray characters are refused. Otherwise digits and dots run together into one
  // number, == and || are operators, and other characters are single punctuation tokens.
  bool strictTsql = false;
};

// The tokens of a statement; nothing when the text cannot be read under the rules, with the
// reason in *why when given.
std::optional<std::vector<SqlToken>> tokenize(std::string_view sql, const TokenRules& rules,
                                              std::string* why = nullptr);

char lower(char c);
bool same(std::string_view a, std::string_view b);  // equal ignoring ASCII case
bool isDigit(char c);
bool isWordStart(unsigned char c);
bool isWordChar(unsigned char c);
bool isWord(const SqlToken& t, std::string_view w);  // a word, ignoring case
bool isPunct(const SqlToken& t, std::string_view p);
bool isName(const SqlToken& t);  // a plain or quoted identifier

}  // namespace tallyward::sqlite::sqltokens
