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

namespace {

// The literals of a statement that are lifted, as their numbers in the order the literals stand
// (the first literal 0); nothing when the statement cannot be shaped.
std::optional<std::vector<size_t>> liftedLiterals(const std::vector<Tok>& t) {
  std::vector<size_t> lifted;
  std::vector<Scope> scopes(1);
  size_t literal = 0;
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
    } else if (tok.kind == Kind::String) {
      const size_t number = literal++;
      if (scopes.back().asWritten || lifted.size() >= kMostValues) continue;
      const bool rightOperand =
          before && (isComparison(*before) || isWord(*before, "like")) && endsOperand(after);
      const bool leftOperand = after && isComparison(*after) && startsOperand(before);
      const bool listItem = scopes.back().inList && before && (isPunct(*before, "(") || isPunct(*before, ",")) &&
                            after && (isPunct(*after, ",") || isPunct(*after, ")"));
      if (rightOperand || leftOperand || listItem) lifted.push_back(number);
    }
  }
  if (scopes.size() != 1 || lifted.empty()) return std::nullopt;
  return lifted;
}

// A literal's place in the statement, quotes included.
struct Span {
  size_t pos, size;
};

Shape shapeFrom(std::string_view sql, const std::vector<Span>& literals, const std::vector<size_t>& lifted) {
  Shape shape;
  shape.text.reserve(sql.size());
  shape.values.reserve(lifted.size());
  size_t at = 0;
  for (size_t k : lifted) {
    const Span& literal = literals[k];
    shape.text.append(sql.substr(at, literal.pos - at));
    shape.values.push_back(valueOf(sql.substr(literal.pos, literal.size)));
    shape.text += '\'';
    shape.text += kMark;
    shape.text += std::to_string(shape.values.size());
    shape.text += kMark;
    shape.text += '\'';
    at = literal.pos + literal.size;
  }
  shape.text.append(sql.substr(at));
  return shape;
}

// Whether the text can hold no quote that is not a string literal's: no comment, no quoted or
// bracketed name, nothing the shaping refuses. Then every quote opens or closes a literal.
bool quotesAreLiterals(std::string_view sql) {
  // 1: a byte that rules the text out; 2: one that may open a comment.
  static constexpr auto kLook = [] {
    std::array<unsigned char, 256> look{};
    for (unsigned char c : {'\0', static_cast<char>(kMark), '"', '[', ']', '`'}) look[c] = 1;
    look['-'] = look['/'] = 2;
    return look;
  }();
  for (size_t i = 0; i < sql.size(); ++i) {
    const unsigned char look = kLook[static_cast<unsigned char>(sql[i])];
    if (look == 0) continue;
    if (look == 1) return false;
    if (i + 1 < sql.size() && (sql[i + 1] == '-' || sql[i + 1] == '*')) return false;
  }
  return true;
}

}  // namespace

std::optional<Shape> shapeOf(std::string_view sql) {
  // Anywhere in the text, comments included: the translation keeps comments.
  if (sql.find('\0') != std::string_view::npos || sql.find(kMark) != std::string_view::npos) return std::nullopt;
  const std::optional<std::vector<Tok>> parsed = tokenize(sql);
  if (!parsed) return std::nullopt;
  const std::optional<std::vector<size_t>> lifted = liftedLiterals(*parsed);
  if (!lifted) return std::nullopt;
  std::vector<Span> literals;
  for (const Tok& t : *parsed)
    if (t.kind == Kind::String) literals.push_back({t.pos, t.text.size()});
  return shapeFrom(sql, literals, *lifted);
}

const Shape* ShapeCache::shapeOf(std::string_view sql) {
  auto it = shapes_.find(sql);
  if (it == shapes_.end()) {
    std::optional<Shape> shape = shapeAnew(sql);
    if (shapes_.size() >= kStatements) shapes_.clear();
    it = shapes_.emplace(std::string(sql), std::move(shape)).first;
  }
  return it->second ? &*it->second : nullptr;
}

std::optional<Shape> ShapeCache::shapeAnew(std::string_view sql) {
  if (!quotesAreLiterals(sql)) return sqlite::shapeOf(sql);
  // The text with every literal emptied: statements that differ only inside their literals read
  // as the same tokens, so they lift the same literals.
  std::string skeleton;
  skeleton.reserve(sql.size());
  std::vector<Span> literals;
  size_t at = 0;
  for (size_t open = sql.find('\''); open != std::string_view::npos; open = sql.find('\'', at)) {
    size_t close = open + 1;
    for (;; ++close) {
      close = sql.find('\'', close);
      if (close == std::string_view::npos) return sqlite::shapeOf(sql);  // unterminated: refused there
      if (close + 1 < sql.size() && sql[close + 1] == '\'') {
        ++close;  // a quote written twice stays inside
        continue;
      }
      break;
    }
    skeleton.append(sql.substr(at, open - at)).append("''");
    literals.push_back({open, close + 1 - open});
    at = close + 1;
  }
  if (literals.empty()) return std::nullopt;  // nothing to lift
  skeleton.append(sql.substr(at));

  auto it = lifted_.find(skeleton);
  if (it == lifted_.end()) {
    if (lifted_.size() >= kForms) lifted_.clear();
    std::optional<std::vector<size_t>> lifted;
    if (const std::optional<std::vector<Tok>> parsed = tokenize(sql)) lifted = liftedLiterals(*parsed);
    it = lifted_.emplace(std::move(skeleton), std::move(lifted)).first;
  }
  if (!it->second) return std::nullopt;
  return shapeFrom(sql, literals, *it->second);
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
