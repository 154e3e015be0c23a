#include "platform/db/sql_tokens.h"

namespace tallyward::sqlite::sqltokens {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v'; }

}  // namespace

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool same(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (lower(a[i]) != lower(b[i])) return false;
  return true;
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isWordStart(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c >= 0x80;
}
bool isWordChar(unsigned char c) { return isWordStart(c) || (c >= '0' && c <= '9') || c == '$'; }

bool isWord(const SqlToken& t, std::string_view w) { return t.kind == TokenKind::Word && same(t.text, w); }
bool isPunct(const SqlToken& t, std::string_view p) { return t.kind == TokenKind::Punct && t.text == p; }
bool isName(const SqlToken& t) { return t.kind == TokenKind::Word || t.kind == TokenKind::Quoted; }

std::optional<std::vector<SqlToken>> tokenize(std::string_view sql, const TokenRules& rules, std::string* why) {
  std::vector<SqlToken> out;
  auto fail = [&](std::string reason) -> std::optional<std::vector<SqlToken>> {
    if (why) *why = std::move(reason);
    return std::nullopt;
  };
  size_t i = 0;
  const size_t n = sql.size();
  auto push = [&](TokenKind k, size_t from) { out.push_back({k, from, sql.substr(from, i - from)}); };
  auto space = [&](size_t from) {
    if (rules.keepSpace) push(TokenKind::Space, from);
  };
  while (i < n) {
    const char c = sql[i];
    const size_t start = i;
    if (c == '`' && !rules.backtickQuotes) return fail("unexpected character `");
    if (isBlank(c)) {
      while (i < n && isBlank(sql[i])) ++i;
      space(start);
    } else if (c == '-' && i + 1 < n && sql[i + 1] == '-') {
      while (i < n && sql[i] != '\n') ++i;
      space(start);
    } else if (c == '/' && i + 1 < n && sql[i + 1] == '*') {
      const size_t end = sql.find("*/", i + 2);
      if (end == std::string_view::npos) return fail("unterminated comment");
      i = end + 2;
      space(start);
    } else if (c == '\'' || c == '"' || c == '[' || c == '`') {
      const char close = c == '[' ? ']' : c;
      ++i;
      for (;;) {
        if (i >= n) return fail(c == '\'' ? "unterminated string literal" : "unterminated quoted name");
        if (sql[i] == close) {
          const bool doubled = i + 1 < n && sql[i + 1] == close;
          if (doubled && close == ']' && rules.doubledBracket == DoubledBracket::Unreadable)
            return fail("]] inside a bracketed name");
          if (doubled && (close != ']' || rules.doubledBracket == DoubledBracket::Escapes)) {
            i += 2;  // a doubled closing mark stays inside
            continue;
          }
          ++i;
          break;
        }
        ++i;
      }
      push(c == '\'' ? TokenKind::String : TokenKind::Quoted, start);
    } else if (isDigit(c) ||
               (c == '.' && i + 1 < n && isDigit(sql[i + 1]) &&
                (!rules.strictTsql || out.empty() ||
                 (out.back().kind != TokenKind::Word && out.back().kind != TokenKind::Quoted)))) {
      if (rules.strictTsql) {
        while (i < n && isDigit(sql[i])) ++i;
        if (i < n && sql[i] == '.') {
          ++i;
          while (i < n && isDigit(sql[i])) ++i;
        }
      } else {
        while (i < n && (isDigit(sql[i]) || sql[i] == '.')) ++i;
      }
      if (i < n && (sql[i] == 'e' || sql[i] == 'E')) {
        size_t j = i + 1;
        if (j < n && (sql[j] == '+' || sql[j] == '-')) ++j;
        if (j < n && isDigit(sql[j])) {
          i = j;
          while (i < n && isDigit(sql[i])) ++i;
        }
      }
      if (rules.strictTsql && i < n && isWordChar(static_cast<unsigned char>(sql[i])))
        return fail("malformed number");
      push(TokenKind::Number, start);
    } else if (isWordStart(static_cast<unsigned char>(c))) {
      while (i < n && isWordChar(static_cast<unsigned char>(sql[i]))) ++i;
      if (rules.strictTsql && i < n && sql[i] == '\'' && i - start == 1 && (c == 'N' || c == 'n'))
        return fail("N'..' literals are not supported");
      push(TokenKind::Word, start);
    } else if (rules.strictTsql && (c == '@' || c == '#')) {
      return fail("variables and temporary tables are not supported");
    } else if (rules.strictTsql && (c == '?' || c == ':' || c == '$')) {
      return fail("parameters are not supported");
    } else if (rules.strictTsql && (c == '{' || c == '}' || c == '\\')) {
      return fail(std::string("unexpected character ") + c);
    } else {
      ++i;
      if (i < n) {
        const char d = sql[i];
        if ((c == '<' && (d == '=' || d == '>')) || (c == '>' && d == '=') || (c == '!' && d == '='))
          ++i;
        else if (!rules.strictTsql && ((c == '=' && d == '=') || (c == '|' && d == '|')))
          ++i;
        else if (rules.strictTsql && c == '!' && (d == '<' || d == '>'))
          return fail("the operators !< and !> are not supported");
        else if (rules.strictTsql && ((c == '*' && d == '=') || (c == '=' && d == '*')))
          return fail("old-style outer joins (*= and =*) are not supported");
        else if (rules.strictTsql && c == '|' && d == '|')
          return fail("|| is not an operator of this dialect");
      }
      if (rules.strictTsql && c == '^') return fail("the operator ^ is not supported");
      if (rules.strictTsql && c == '!' && i - start == 1) return fail("unexpected character !");
      push(TokenKind::Punct, start);
    }
  }
  return out;
}

}  // namespace tallyward::sqlite::sqltokens
