#include "platform/db/tsql_dialect.h"

#include <algorithm>
#include <array>
#include <optional>
#include <vector>

#include "platform/db/sql_tokens.h"
#include "tallyward/error.h"

namespace tallyward::sqlite {

namespace {

using sqltokens::isDigit;
using sqltokens::isName;
using sqltokens::isPunct;
using sqltokens::isWord;
using sqltokens::same;
using Kind = sqltokens::TokenKind;

struct Token : sqltokens::SqlToken {
  // What the output carries for this token: the text unless replaced, then the additions.
  std::optional<std::string> replacement;
  std::string alias;  // " AS name" after the token
  std::string limit;  // " LIMIT n" after the token (after the alias)
};

[[noreturn]] void refuse(std::string_view why, std::string_view sql) {
  throwError(err::Database, "Statement cannot be run on SQLite (" + std::string(why) +
                                "): " + std::string(sql));
}

// SQL Server's reading of the text, blanks and comments kept as Space tokens so that the
// statement can be written back as it came; whatever SQLite would read differently is refused.
std::vector<Token> tokenize(std::string_view sql) {
  sqltokens::TokenRules rules;
  rules.keepSpace = true;
  rules.strictTsql = true;
  rules.doubledBracket = sqltokens::DoubledBracket::Escapes;
  std::string why;
  const std::optional<std::vector<sqltokens::SqlToken>> read = sqltokens::tokenize(sql, rules, &why);
  if (!read) refuse(why, sql);
  std::vector<Token> out;
  out.reserve(read->size());
  for (const sqltokens::SqlToken& t : *read) out.push_back({t, {}, {}, {}});
  return out;
}

// Words that the select list and the function check must not take for a name.
bool isKeyword(std::string_view w) {
  static constexpr std::array<std::string_view, 48> kWords = {
      "select", "from",   "where",  "and",    "or",      "not",       "in",      "is",
      "null",   "like",   "between", "exists", "case",   "when",      "then",    "else",
      "end",    "as",     "on",     "join",   "inner",   "left",      "right",   "full",
      "outer",  "cross",  "group",  "order",  "by",      "having",    "union",   "all",
      "distinct", "top",  "asc",    "desc",   "into",    "values",    "any",     "some",
      "escape", "collate", "percent", "with", "except",  "intersect", "apply",   "over"};
  return std::any_of(kWords.begin(), kWords.end(), [&](std::string_view k) { return same(k, w); });
}

// Functions that SQLite has with the meaning SQL Server gives them (after ISNULL becomes ifnull).
bool isKnownFunction(std::string_view w) {
  static constexpr std::array<std::string_view, 15> kFunctions = {
      "ifnull", "coalesce", "nullif", "upper", "lower", "ltrim", "rtrim", "abs",
      "count",  "sum",      "min",    "max",   "avg",   "round", "substring"};
  return std::any_of(kFunctions.begin(), kFunctions.end(), [&](std::string_view k) { return same(k, w); });
}

// The name a quoted or plain identifier stands for.
std::string unquote(const Token& t) {
  if (t.kind == Kind::Word) return std::string(t.text);
  const char close = t.text.front() == '[' ? ']' : t.text.front();
  std::string out;
  const std::string_view body = t.text.substr(1, t.text.size() - 2);
  for (size_t i = 0; i < body.size(); ++i) {
    out += body[i];
    if (body[i] == close && i + 1 < body.size() && body[i + 1] == close) ++i;
  }
  return out;
}

std::string quoteName(std::string_view name) {
  std::string out = "\"";
  for (char c : name) {
    out += c;
    if (c == '"') out += '"';
  }
  return out + "\"";
}

class Translator {
 public:
  explicit Translator(std::string_view sql) : sql_(sql), tokens_(tokenize(sql)) {
    for (size_t i = 0; i < tokens_.size(); ++i)
      if (tokens_[i].kind != Kind::Space) sig_.push_back(i);
  }

  std::string run() {
    dropFinalSemicolon();
    if (sig_.empty()) refuse("empty statement", sql_);
    if (!isWord(tok(0), "select")) refuse("only SELECT statements are run", sql_);
    checkWords();
    rewriteNames();
    placeLimits();
    nameColumns();
    std::string out;
    out.reserve(sql_.size() + 32);
    for (const Token& t : tokens_) {
      out += t.replacement ? std::string_view(*t.replacement) : t.text;
      out += t.alias;
      out += t.limit;
    }
    return out;
  }

 private:
  // The k-th significant token.
  Token& tok(size_t k) { return tokens_[sig_[k]]; }
  bool dropped(size_t k) { return tok(k).replacement && tok(k).replacement->empty(); }
  void drop(size_t k) { tok(k).replacement = std::string(); }

  void dropFinalSemicolon() {
    for (size_t k = 0; k < sig_.size(); ++k) {
      if (!isPunct(tok(k), ";")) continue;
      if (k + 1 != sig_.size()) refuse("more than one statement", sql_);
      drop(k);
      sig_.pop_back();
    }
  }

  // Constructs that have no safe SQLite form, and ISNULL( which has one.
  void checkWords() {
    for (size_t k = 0; k < sig_.size(); ++k) {
      Token& t = tok(k);
      const bool callFollows = k + 1 < sig_.size() && isPunct(tok(k + 1), "(");
      if (t.kind == Kind::String) {
        if ((k > 0 && isPunct(tok(k - 1), "+")) || (k + 1 < sig_.size() && isPunct(tok(k + 1), "+")))
          refuse("text joined with + is not supported", sql_);
      } else if (t.kind == Kind::Word) {
        if (isWord(t, "with")) refuse("WITH (common table expressions, table hints) is not supported", sql_);
        if (isWord(t, "into")) refuse("SELECT INTO is not supported", sql_);
        if (isWord(t, "limit") || isWord(t, "offset") || isWord(t, "fetch") || isWord(t, "glob") ||
            isWord(t, "regexp"))
          refuse(std::string(t.text) + " is not part of this dialect", sql_);
        if (isWord(t, "isnull")) {
          if (!callFollows) refuse("ISNULL without an argument list", sql_);
          t.replacement = "ifnull";
        } else if (callFollows && !isKeyword(t.text) && !isKnownFunction(t.text)) {
          refuse("function " + std::string(t.text) + " is not supported", sql_);
        }
      }
    }
  }

  // Database prefixes (db..table, db.dbo.table) and the dbo schema are dropped: the tables live
  // in the one file. Names of more parts than table.column are refused.
  void rewriteNames() {
    for (size_t i = 0; i < tokens_.size(); ++i) {
      if (!isName(tokens_[i])) continue;
      // A chain: name ('.' | '..') name ... written without blanks.
      std::vector<size_t> parts{i};
      std::vector<std::vector<size_t>> seps;
      size_t j = i + 1;
      while (j < tokens_.size() && isPunct(tokens_[j], ".")) {
        std::vector<size_t> sep{j};
        if (j + 1 < tokens_.size() && isPunct(tokens_[j + 1], ".")) sep.push_back(++j);
        ++j;
        if (j >= tokens_.size() || !(isName(tokens_[j]) || isPunct(tokens_[j], "*"))) break;
        seps.push_back(sep);
        parts.push_back(j);
        ++j;
        if (isPunct(tokens_[parts.back()], "*")) break;
      }
      if (parts.size() < 2) continue;
      i = parts.back();
      size_t first = 0;  // first part kept
      for (size_t s = 0; s < seps.size(); ++s)
        if (seps[s].size() == 2) first = s + 1;
      for (size_t p = first; p + 1 < parts.size(); ++p)
        if (tokens_[parts[p]].kind != Kind::Punct && same(unquote(tokens_[parts[p]]), "dbo")) first = p + 1;
      for (size_t p = 0; p < first; ++p) {
        tokens_[parts[p]].replacement = std::string();
        for (size_t s : seps[p]) tokens_[s].replacement = std::string();
      }
      if (parts.size() - first > 2) refuse("names of more than two parts are not supported", sql_);
    }
  }

  // TOP n leaves the select list and comes back as LIMIT n before the end of its own SELECT:
  // the closing parenthesis of a sub-select or the end of the statement.
  void placeLimits() {
    struct Scope {
      int selects = 0;
      std::string limit;
      std::optional<size_t> last;  // last significant token of the scope
    };
    std::vector<Scope> scopes(1);
    auto finish = [&](const Scope& s) {
      if (s.limit.empty()) return;
      if (s.selects > 1) refuse("TOP in a SELECT combined with UNION is not supported", sql_);
      if (!s.last) refuse("TOP without a select list", sql_);
      tok(*s.last).limit = " LIMIT " + s.limit;
    };
    for (size_t k = 0; k < sig_.size(); ++k) {
      Token& t = tok(k);
      if (isPunct(t, "(")) {
        scopes.back().last = k;
        scopes.emplace_back();
        continue;
      }
      if (isPunct(t, ")")) {
        if (scopes.size() == 1) refuse("unbalanced parentheses", sql_);
        finish(scopes.back());
        scopes.pop_back();
        scopes.back().last = k;
        continue;
      }
      if (isWord(t, "top")) refuse("TOP outside the head of a SELECT", sql_);
      if (!dropped(k)) scopes.back().last = k;
      if (!isWord(t, "select")) continue;
      Scope& scope = scopes.back();
      ++scope.selects;
      size_t m = k + 1;
      if (m < sig_.size() && (isWord(tok(m), "all") || isWord(tok(m), "distinct"))) ++m;
      if (m >= sig_.size() || !isWord(tok(m), "top")) continue;
      if (!scope.limit.empty()) refuse("TOP in a SELECT combined with UNION is not supported", sql_);
      const size_t topAt = m++;
      const bool parenthesised = m < sig_.size() && isPunct(tok(m), "(");
      if (parenthesised) ++m;
      if (m >= sig_.size() || tok(m).kind != Kind::Number ||
          !std::all_of(tok(m).text.begin(), tok(m).text.end(), isDigit))
        refuse("TOP needs a whole number", sql_);
      scope.limit = std::string(tok(m).text);
      if (parenthesised) {
        if (m + 1 >= sig_.size() || !isPunct(tok(m + 1), ")")) refuse("TOP needs a whole number", sql_);
        ++m;
      }
      if (m + 1 < sig_.size() && (isWord(tok(m + 1), "percent") || isWord(tok(m + 1), "with")))
        refuse("TOP n PERCENT and WITH TIES are not supported", sql_);
      for (size_t d = topAt; d <= m; ++d) {
        drop(d);
        const size_t next = sig_[d] + 1;  // and the blank after it
        if (next < tokens_.size() && tokens_[next].kind == Kind::Space) tokens_[next].replacement = std::string();
      }
      k = m;
    }
    if (scopes.size() != 1) refuse("unbalanced parentheses", sql_);
    finish(scopes.back());
  }

  // Each item of the outer select list gets the name SQL Server reports for it.
  void nameColumns() {
    size_t k = 1;
    while (k < sig_.size() && dropped(k)) ++k;  // TOP n
    if (k < sig_.size() && (isWord(tok(k), "all") || isWord(tok(k), "distinct"))) ++k;
    while (k < sig_.size() && dropped(k)) ++k;
    std::vector<size_t> item;
    int depth = 0;
    for (; k <= sig_.size(); ++k) {
      if (k < sig_.size()) {
        const Token& t = tok(k);
        if (isPunct(t, "(")) ++depth;
        if (isPunct(t, ")")) --depth;
        const bool ends = depth == 0 && t.kind == Kind::Word &&
                          (isWord(t, "from") || isWord(t, "where") || isWord(t, "group") ||
                           isWord(t, "order") || isWord(t, "having") || isWord(t, "union") ||
                           isWord(t, "except") || isWord(t, "intersect"));
        if (!ends && !(depth == 0 && isPunct(t, ","))) {
          if (!dropped(k)) item.push_back(k);
          continue;
        }
        nameItem(item);
        item.clear();
        if (ends) return;
      } else {
        nameItem(item);
      }
    }
  }

  void nameItem(const std::vector<size_t>& item) {
    if (item.empty()) return;
    const Token& last = tok(item.back());
    if (item.size() >= 2 && isName(tok(item[0])) && isPunct(tok(item[1]), "="))
      refuse("the form name = expression in a select list is not supported", sql_);
    if (isPunct(last, "*")) return;  // * and t.* keep the declared names
    // An alias: AS name, or a name right after a complete expression.
    if (item.size() >= 2 && (isName(last) || last.kind == Kind::String)) {
      const Token& before = tok(item[item.size() - 2]);
      if (isWord(before, "as")) return;
      const bool endsExpression =
          (isName(before) && !(before.kind == Kind::Word && isKeyword(before.text) &&
                               !isWord(before, "end") && !isWord(before, "null"))) ||
          before.kind == Kind::String || before.kind == Kind::Number || isPunct(before, ")");
      const bool aliasLike =
          last.kind == Kind::String || (isName(last) && !(last.kind == Kind::Word && isKeyword(last.text)));
      if (aliasLike && endsExpression) return;
    }
    // A column as written, without its table prefix.
    bool chain = item.size() % 2 == 1;
    for (size_t p = 0; chain && p < item.size(); ++p)
      chain = p % 2 == 0 ? isName(tok(item[p])) && !(tok(item[p]).kind == Kind::Word && isKeyword(tok(item[p]).text))
                         : isPunct(tok(item[p]), ".");
    tok(item.back()).alias = " AS " + (chain ? quoteName(unquote(last)) : std::string("\"\""));
  }

  std::string_view sql_;
  std::vector<Token> tokens_;
  std::vector<size_t> sig_;
};

}  // namespace

std::string translate(std::string_view tsql) { return Translator(tsql).run(); }

}  // namespace tallyward::sqlite
