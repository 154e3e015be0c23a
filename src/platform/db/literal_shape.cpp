#include "platform/db/literal_shape.h"
#include "platform/db/sql_tokens.h"

#include <algorithm>
#include <array>
#include <charconv>

namespace tallyward::sqlite {

namespace {

// The byte around a mark's number. A statement that holds it is never shaped, so a mark cannot
// be confused with anything the component wrote.
constexpr char kMark = '\x1f';

// More parameters than SQLite's default limit are never needed by a look-up; literals beyond it
// stay in the shape.
constexpr size_t kMostValues = 999;

using sqltokens::isPunct;
using sqltokens::isWord;
using sqltokens::same;
using Kind = sqltokens::TokenKind;
using Tok = sqltokens::SqlToken;

// The significant tokens, read as the dialect translation reads them (a closing quote written
// twice stays inside). Nothing for a text that is not safe to shape: a backtick, or ]] inside
// brackets, which the joined-OR rewrite reads differently from the translation.
std::optional<std::vector<Tok>> tokenize(std::string_view sql) {
  sqltokens::TokenRules rules;
  rules.doubledBracket = sqltokens::DoubledBracket::Unreadable;
  return sqltokens::tokenize(sql, rules);
}

bool anyWord(const Tok& t, std::initializer_list<std::string_view> words) {
  return t.kind == Kind::Word && std::any_of(words.begin(), words.end(), [&](std::string_view w) {
           return same(t.text, w);
         });
}

bool isComparison(const Tok& t) {
  static constexpr std::array<std::string_view, 8> kOps = {"=", "==", "<>", "!=", "<", ">", "<=", ">="};
  return t.kind == Kind::Punct && std::find(kOps.begin(), kOps.end(), t.text) != kOps.end();
}

// A token after which a comparison's right operand has ended: nothing binds the literal to what
// follows.
bool endsOperand(const Tok* t) {
  if (!t) return true;
  if (isPunct(*t, ")") || isPunct(*t, ",") || isPunct(*t, ";")) return true;
  return anyWord(*t, {"and", "or", "then", "when", "else", "end", "where", "group", "order", "having", "union",
                      "except", "intersect", "join", "left", "right", "inner", "full", "cross"});
}

// A token before which a comparison's left operand starts: nothing binds the literal to what
// precedes.
bool startsOperand(const Tok* t) {
  if (!t) return false;
  if (isPunct(*t, "(")) return true;
  return anyWord(*t, {"where", "and", "or", "not", "on", "having", "when"});
}

// The value a literal stands for.
std::string valueOf(std::string_view literal) {
  std::string out;
  const std::string_view body = literal.substr(1, literal.size() - 2);
  out.reserve(body.size());
  for (size_t i = 0; i < body.size(); ++i) {
    out += body[i];
    if (body[i] == '\'' && i + 1 < body.size() && body[i + 1] == '\'') ++i;
  }
  return out;
}

struct Scope {
  bool asWritten = false;  // in a select list, GROUP BY or ORDER BY: literals stay as written
  bool inList = false;     // the parentheses of IN (...)
};

}  // namespace

std::optional<Shape> shapeOf(std::string_view sql) {
  // Anywhere in the text, comments included: the translation keeps comments.
  if (sql.find('\0') != std::string_view::npos || sql.find(kMark) != std::string_view::npos) return std::nullopt;
  const std::optional<std::vector<Tok>> parsed = tokenize(sql);
  if (!parsed) return std::nullopt;
  const std::vector<Tok>& t = *parsed;
  std::vector<size_t> lifted;
  std::vector<Scope> scopes(1);
  for (size_t k = 0; k < t.size(); ++k) {
    const Tok* before = k > 0 ? &t[k - 1] : nullptr;
    const Tok* after = k + 1 < t.size() ? &t[k + 1] : nullptr;
    const Tok& tok = t[k];
    if (isPunct(tok, "(")) {
      scopes.push_back({scopes.back().asWritten, before && isWord(*before, "in")});
    } else if (isPunct(tok, ")")) {
      if (scopes.size() == 1) return std::nullopt;
      scopes.pop_back();
    } else if (anyWord(tok, {"select", "group", "order"})) {
      // Result columns and the expressions that group or sort them keep their literals, so that
      // an expression repeated there still reads the same as in the select list.
      scopes.back().asWritten = true;
    } else if (anyWord(tok, {"from", "where", "having", "union", "except", "intersect"})) {
      scopes.back().asWritten = false;
    } else if (tok.kind == Kind::String && !scopes.back().asWritten && lifted.size() < kMostValues) {
      const bool rightOperand =
          before && (isComparison(*before) || isWord(*before, "like")) && endsOperand(after);
      const bool leftOperand = after && isComparison(*after) && startsOperand(before);
      const bool listItem = scopes.back().inList && before && (isPunct(*before, "(") || isPunct(*before, ",")) &&
                            after && (isPunct(*after, ",") || isPunct(*after, ")"));
      if (rightOperand || leftOperand || listItem) lifted.push_back(k);
    }
  }
  if (scopes.size() != 1 || lifted.empty()) return std::nullopt;

  Shape shape;
  shape.text.reserve(sql.size());
  shape.values.reserve(lifted.size());
  size_t at = 0;
  for (size_t k : lifted) {
    const Tok& literal = t[k];
    shape.text.append(sql.substr(at, literal.pos - at));
    shape.values.push_back(valueOf(literal.text));
    shape.text += '\'';
    shape.text += kMark;
    shape.text += std::to_string(shape.values.size());
    shape.text += kMark;
    shape.text += '\'';
    at = literal.pos + literal.text.size();
  }
  shape.text.append(sql.substr(at));
  return shape;
}

std::optional<std::string> withParameters(std::string_view translated, size_t values) {
  std::string out;
  out.reserve(translated.size());
  std::vector<bool> seen(values + 1, false);
  size_t at = 0;
  for (;;) {
    const size_t mark = translated.find(kMark, at);
    if (mark == std::string_view::npos) break;
    // '<mark>N<mark>' with the quotes around it.
    if (mark == 0 || translated[mark - 1] != '\'') return std::nullopt;
    const size_t close = translated.find(kMark, mark + 1);
    if (close == std::string_view::npos || close + 1 >= translated.size() || translated[close + 1] != '\'')
      return std::nullopt;
    size_t number = 0;
    const char* first = translated.data() + mark + 1;
    const char* last = translated.data() + close;
    const auto [end, ec] = std::from_chars(first, last, number);
    if (ec != std::errc() || end != last || number == 0 || number > values) return std::nullopt;
    seen[number] = true;
    out.append(translated.substr(at, mark - 1 - at));
    out += '?';
    out.append(first, last);
    at = close + 2;
  }
  out.append(translated.substr(at));
  if (std::find(seen.begin() + 1, seen.end(), false) != seen.end()) return std::nullopt;
  return out;
}

}  // namespace tallyward::sqlite
