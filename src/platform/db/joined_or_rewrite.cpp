#include "platform/db/joined_or_rewrite.h"
#include "platform/db/sql_tokens.h"
#include "platform/db/tsql_dialect.h"

#include <sqlite3.h>

#include <algorithm>
#include <array>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <vector>

namespace tallyward::sqlite {

namespace {

using sqltokens::isName;
using sqltokens::isPunct;
using sqltokens::isWord;
using sqltokens::lower;
using sqltokens::same;
using Kind = sqltokens::TokenKind;
using Tok = sqltokens::SqlToken;

std::string lowered(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = lower(c);
  return out;
}

// The significant tokens of a statement (blanks and comments dropped), read as SQLite reads
// them: `name` is a quoted name, ]] ends a bracketed name, == and || are operators. Nothing when
// the text cannot be read, in which case the statement is left to the database to judge.
std::optional<std::vector<Tok>> tokenize(std::string_view sql) {
  sqltokens::TokenRules rules;
  rules.backtickQuotes = true;
  rules.doubledBracket = sqltokens::DoubledBracket::Closes;
  return sqltokens::tokenize(sql, rules);
}

bool isEquals(const Tok& t) { return isPunct(t, "=") || isPunct(t, "=="); }

// Words that end a table reference in FROM or cannot be an alias.
bool isReserved(const Tok& t) {
  static constexpr std::array<std::string_view, 22> kWords = {
      "left", "right", "full",  "inner", "outer",  "cross", "natural", "join",
      "on",   "using", "where", "group", "order",  "having", "limit",  "window",
      "union", "except", "intersect", "as", "indexed", "not"};
  return t.kind == Kind::Word &&
         std::any_of(kWords.begin(), kWords.end(), [&](std::string_view w) { return same(t.text, w); });
}

// The name a plain or quoted identifier stands for.
std::string unquote(const Tok& t) {
  if (t.kind == Kind::Word) return std::string(t.text);
  const char close = t.text.front() == '[' ? ']' : t.text.front();
  std::string out;
  const std::string_view body = t.text.substr(1, t.text.size() - 2);
  for (size_t i = 0; i < body.size(); ++i) {
    out += body[i];
    if (body[i] == close && close != ']' && i + 1 < body.size() && body[i + 1] == close) ++i;
  }
  return out;
}

// A left-joined table's key: the earlier table's column and the joined table's column that its
// ON clause makes equal.
struct Link {
  std::string_view outerColumn;  // as written, with its qualifier: Inventory.cInvCode
  std::string_view innerColumn;  // as written: cInvCode
};

struct Table {
  std::string_view name;  // as written
  std::string alias;      // the name the statement refers to it by
  bool leftJoined = false;
  std::optional<Link> link;
};

// Ranges of tokens [first, last).
struct Range {
  size_t first, last;
};

// The pieces of a range separated by a word at parenthesis depth 0; nothing when the range's
// parentheses do not balance.
std::optional<std::vector<Range>> splitAt(const std::vector<Tok>& t, Range r, std::string_view word) {
  std::vector<Range> parts;
  int depth = 0;
  size_t start = r.first;
  for (size_t i = r.first; i < r.last; ++i) {
    if (isPunct(t[i], "(")) ++depth;
    if (isPunct(t[i], ")") && --depth < 0) return std::nullopt;
    if (depth == 0 && isWord(t[i], word)) {
      parts.push_back({start, i});
      start = i + 1;
    }
  }
  if (depth != 0) return std::nullopt;
  parts.push_back({start, r.last});
  return parts;
}

// Whether a word occurs at parenthesis depth 0 of a range.
bool hasTopLevel(const std::vector<Tok>& t, Range r, std::string_view word) {
  int depth = 0;
  for (size_t i = r.first; i < r.last; ++i) {
    if (isPunct(t[i], "(")) ++depth;
    if (isPunct(t[i], ")")) --depth;
    if (depth == 0 && isWord(t[i], word)) return true;
  }
  return false;
}

const Table* tableNamed(const std::vector<Table>& tables, std::string_view alias) {
  for (const Table& tb : tables)
    if (same(tb.alias, alias)) return &tb;
  return nullptr;
}

class Rewriter {
 public:
  Rewriter(std::string_view sql, std::vector<Tok> tokens, const ColumnLookup& hasColumn)
      : sql_(sql), t_(std::move(tokens)), hasColumn_(hasColumn) {}

  std::string run() {
    if (t_.empty() || !isWord(t_[0], "select")) return std::string(sql_);
    size_t from = npos, where = npos, whereEnd = t_.size();
    int depth = 0;
    for (size_t i = 0; i < t_.size(); ++i) {
      if (isPunct(t_[i], "(")) ++depth;
      if (isPunct(t_[i], ")") && --depth < 0) return std::string(sql_);
      if (depth != 0 || t_[i].kind != Kind::Word) continue;
      if (isWord(t_[i], "union") || isWord(t_[i], "except") || isWord(t_[i], "intersect"))
        return std::string(sql_);
      if (from == npos && isWord(t_[i], "from")) {
        from = i;
      } else if (from != npos && where == npos && isWord(t_[i], "where")) {
        where = i;
      } else if (where != npos && whereEnd == t_.size() &&
                 (isWord(t_[i], "group") || isWord(t_[i], "order") || isWord(t_[i], "having") ||
                  isWord(t_[i], "limit") || isWord(t_[i], "window"))) {
        whereEnd = i;
      }
    }
    if (from == npos || where == npos || depth != 0) return std::string(sql_);
    if (!readFrom({from + 1, where})) return std::string(sql_);
    if (std::none_of(tables_.begin(), tables_.end(), [](const Table& tb) { return tb.link.has_value(); }))
      return std::string(sql_);
    addCompanions({where + 1, whereEnd});
    return output();
  }

 private:
  static constexpr size_t npos = static_cast<size_t>(-1);

  bool readRef(size_t& i, size_t end, Table& tb) {
    if (i >= end || t_[i].kind != Kind::Word || isReserved(t_[i])) return false;
    tb.name = t_[i].text;
    ++i;
    if (i < end && isPunct(t_[i], ".")) return false;  // a schema-qualified name
    if (i < end && isWord(t_[i], "as")) {
      if (++i >= end || !isName(t_[i])) return false;
      tb.alias = unquote(t_[i++]);
    } else if (i < end && isName(t_[i]) && !isReserved(t_[i])) {
      tb.alias = unquote(t_[i++]);
    } else {
      tb.alias = std::string(tb.name);
    }
    return true;
  }

  // The FROM clause: plain tables joined with [INNER] JOIN or LEFT [OUTER] JOIN ... ON.
  bool readFrom(Range r) {
    size_t i = r.first;
    Table first;
    if (!readRef(i, r.last, first)) return false;
    tables_.push_back(first);
    while (i < r.last) {
      bool left = false;
      if (isWord(t_[i], "left")) {
        left = true;
        if (++i < r.last && isWord(t_[i], "outer")) ++i;
      } else if (isWord(t_[i], "inner")) {
        ++i;
      }
      if (i >= r.last || !isWord(t_[i], "join")) return false;
      ++i;
      Table tb;
      tb.leftJoined = left;
      if (!readRef(i, r.last, tb)) return false;
      if (i >= r.last || !isWord(t_[i], "on")) return false;
      const size_t onStart = ++i;
      int depth = 0;
      for (; i < r.last; ++i) {
        if (isPunct(t_[i], "(")) ++depth;
        if (isPunct(t_[i], ")")) --depth;
        if (depth == 0 && (isWord(t_[i], "left") || isWord(t_[i], "inner") || isWord(t_[i], "join") ||
                           isWord(t_[i], "cross") || isWord(t_[i], "natural") ||
                           isWord(t_[i], "right") || isWord(t_[i], "full")))
          break;
      }
      if (left) tb.link = findLink({onStart, i}, tb);
      tables_.push_back(std::move(tb));
    }
    return true;
  }

  // earlier.column = joined.column among the AND terms of an ON clause without OR.
  std::optional<Link> findLink(Range on, const Table& joined) {
    if (hasTopLevel(t_, on, "or")) return std::nullopt;
    const auto terms = splitAt(t_, on, "and");
    if (!terms) return std::nullopt;
    for (const Range& term : *terms) {
      const size_t a = term.first;
      if (term.last - a != 7) continue;
      if (!isName(t_[a]) || !isPunct(t_[a + 1], ".") || !isName(t_[a + 2]) || !isEquals(t_[a + 3]) ||
          !isName(t_[a + 4]) || !isPunct(t_[a + 5], ".") || !isName(t_[a + 6]))
        continue;
      if (!same(unquote(t_[a + 4]), joined.alias)) continue;
      if (!tableNamed(tables_, unquote(t_[a]))) continue;  // only the tables before it
      return Link{sql_.substr(t_[a].pos, t_[a + 2].end() - t_[a].pos), t_[a + 6].text};
    }
    return std::nullopt;
  }

  // The WHERE clause: AND terms, of which parenthesised ORs get companions for their branches.
  void addCompanions(Range where) {
    if (hasTopLevel(t_, where, "or") || hasTopLevel(t_, where, "between") ||
        hasTopLevel(t_, where, "case"))
      return;
    const auto conjuncts = splitAt(t_, where, "and");
    if (!conjuncts) return;
    for (const Range& c : *conjuncts) {
      if (c.last - c.first < 2 || !isPunct(t_[c.first], "(") || !isPunct(t_[c.last - 1], ")")) continue;
      const Range inside{c.first + 1, c.last - 1};
      // The parenthesis must close the group as a whole: (a) OR (b) is not one group.
      int depth = 0;
      bool whole = true;
      for (size_t i = inside.first; i < inside.last && whole; ++i) {
        if (isPunct(t_[i], "(")) ++depth;
        if (isPunct(t_[i], ")") && --depth < 0) whole = false;
      }
      if (!whole || depth != 0) continue;
      if (hasTopLevel(t_, inside, "and") || hasTopLevel(t_, inside, "between") ||
          hasTopLevel(t_, inside, "case") || hasTopLevel(t_, inside, "not"))
        continue;
      const auto branches = splitAt(t_, inside, "or");
      if (!branches || branches->size() < 2) continue;
      for (const Range& b : *branches) branch(b);
    }
  }

  void branch(Range b) {
    // column = literal, or literal = column; a column is name or qualifier.name.
    auto isLiteral = [&](size_t i, size_t last) {
      if (i + 1 == last) return t_[i].kind == Kind::String || t_[i].kind == Kind::Number;
      return i + 2 == last && (isPunct(t_[i], "-") || isPunct(t_[i], "+")) && t_[i + 1].kind == Kind::Number;
    };
    auto columnAt = [&](size_t i, size_t last) -> std::optional<Range> {
      if (i + 1 == last && isName(t_[i])) return Range{i, last};
      if (i + 3 == last && isName(t_[i]) && isPunct(t_[i + 1], ".") && isName(t_[i + 2])) return Range{i, last};
      return std::nullopt;
    };
    size_t eq = npos;
    for (size_t i = b.first; i < b.last; ++i)
      if (isEquals(t_[i])) {
        if (eq != npos) return;
        eq = i;
      }
    if (eq == npos) return;
    std::optional<Range> column;
    bool columnFirst = true;
    if ((column = columnAt(b.first, eq)) && isLiteral(eq + 1, b.last)) {
      columnFirst = true;
    } else if ((column = columnAt(eq + 1, b.last)) && isLiteral(b.first, eq)) {
      columnFirst = false;
    } else {
      return;
    }
    const Tok& name = t_[column->last - 1];
    const Table* owner = nullptr;
    if (column->last - column->first == 3) {
      owner = tableNamed(tables_, unquote(t_[column->first]));
    } else {
      for (const Table& tb : tables_)
        if (hasColumn_(tb.name, unquote(name))) {
          if (owner) return;  // a name of two tables: not ours to resolve
          owner = &tb;
        }
    }
    if (!owner || !owner->leftJoined || !owner->link) return;

    const std::string alias = "tw_or_" + std::to_string(++companions_);
    const std::string_view literal = columnFirst ? sql_.substr(t_[eq + 1].pos, t_[b.last - 1].end() - t_[eq + 1].pos)
                                                 : sql_.substr(t_[b.first].pos, t_[eq - 1].end() - t_[b.first].pos);
    const std::string inner = alias + "." + std::string(name.text);
    std::string companion = " AND " + std::string(owner->link->outerColumn) + " IN (SELECT " + alias + "." +
                            std::string(owner->link->innerColumn) + " FROM " + std::string(owner->name) +
                            " AS " + alias + " WHERE ";
    companion += columnFirst ? inner + " " + std::string(t_[eq].text) + " " + std::string(literal)
                             : std::string(literal) + " " + std::string(t_[eq].text) + " " + inner;
    companion += "))";
    inserts_.push_back({t_[b.first].pos, "("});
    inserts_.push_back({t_[b.last - 1].end(), std::move(companion)});
  }

  std::string output() const {
    std::vector<std::pair<size_t, std::string>> inserts = inserts_;
    std::stable_sort(inserts.begin(), inserts.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::string out;
    out.reserve(sql_.size() + 160 * inserts.size());
    size_t at = 0;
    for (const auto& [pos, text] : inserts) {
      out.append(sql_.substr(at, pos - at));
      out += text;
      at = pos;
    }
    out.append(sql_.substr(at));
    return out;
  }

  std::string_view sql_;
  std::vector<Tok> t_;
  const ColumnLookup& hasColumn_;
  std::vector<Table> tables_;
  std::vector<std::pair<size_t, std::string>> inserts_;
  int companions_ = 0;
};

}  // namespace

std::string indexJoinedOr(std::string_view sql, const ColumnLookup& hasColumn) {
  std::optional<std::vector<Tok>> tokens = tokenize(sql);
  if (!tokens) return std::string(sql);
  return Rewriter(sql, std::move(*tokens), hasColumn).run();
}

ColumnLookup rememberedColumns(std::function<std::vector<std::string>(const std::string& table)> read) {
  auto known = std::make_shared<std::map<std::string, std::set<std::string>>>();
  return [read = std::move(read), known](std::string_view table, std::string_view column) {
    const std::string key = lowered(table);
    auto it = known->find(key);
    if (it == known->end()) {
      std::set<std::string> columns;
      for (const std::string& name : read(key)) columns.insert(lowered(name));
      it = known->emplace(key, std::move(columns)).first;
    }
    return it->second.count(lowered(column)) > 0;
  };
}

ColumnLookup columnsOf(sqlite3* db) {
  return rememberedColumns([db](const std::string& table) {
    std::vector<std::string> names;
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db, "SELECT name FROM pragma_table_info(?1)", -1, &stmt, nullptr) == SQLITE_OK) {
      sqlite3_bind_text(stmt, 1, table.data(), static_cast<int>(table.size()), SQLITE_TRANSIENT);
      while (sqlite3_step(stmt) == SQLITE_ROW)
        if (const auto* name = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0))) names.emplace_back(name);
    }
    sqlite3_finalize(stmt);
    return names;
  });
}

std::string runnableOnSqlite(std::string_view tsql, const ColumnLookup& hasColumn) {
  return indexJoinedOr(translate(tsql), hasColumn);
}

}  // namespace tallyward::sqlite
