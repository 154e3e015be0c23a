// The shape of a statement: its text with the typed values taken out of their string literals,
// so that look-ups which differ only in what the user typed share one compiled statement.
//
//   select cInvName from Inventory where cInvCode='P1001'     (as the component writes it)
//   select cInvName from Inventory where cInvCode='<mark>1<mark>'   values: {"P1001"}
//
// The marks are string literals of their own, so the dialect translation and the joined-OR
// rewrite treat the shape exactly as they treat the statement (both only ever copy a literal);
// afterwards each mark becomes the numbered parameter ?1, ?2, ... and the values are bound to it.
// A rewrite that copies a literal copies its mark, and both copies read the same parameter.
//
// Only literals whose place is certain are lifted: an operand of a comparison (=, <>, !=, <, >,
// <=, >=, LIKE) whose other side is a complete expression, and an item of an IN (...) list. A
// literal in a select list (where it names or is a result column), in ORDER BY or GROUP BY (even
// inside a comparison there), after AS, in CASE ... THEN or ELSE, after ESCAPE, next to an
// arithmetic operator or COLLATE, or anywhere else stays in the shape as written. A bound value compares exactly like the literal
// it replaces: neither has an affinity or a collation of its own, so the column's apply.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tallyward::sqlite {

struct Shape {
  std::string text;                 // the statement with marks in place of the lifted literals
  std::vector<std::string> values;  // the lifted literals' values (quotes removed, '' read as ')
};

// The shape of a statement; nothing when no literal can be lifted or when the text is not one
// that can be shaped safely (an unterminated literal, quoted name or comment, a NUL or the mark's
// own byte in the text): such a statement is run as written.
std::optional<Shape> shapeOf(std::string_view sql);

// shapeOf, remembering its answers: a statement met again is answered from memory, and one that
// differs from a statement met before only inside its literals (a look-up typed with another
// text) is not read token by token again, since both lift the same literals. Its answers are
// shapeOf's; the shape answered stays valid until the next call. Not safe for use by two threads
// at once.
class ShapeCache {
 public:
  const Shape* shapeOf(std::string_view sql);

 private:
  std::optional<Shape> shapeAnew(std::string_view sql);

  struct TextHash {
    using is_transparent = void;
    size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
  };
  template <class V>
  using ByText = std::unordered_map<std::string, V, TextHash, std::equal_to<>>;

  // Statements and statement forms kept; all of a kind go when it is full. Few statements come
  // again word for word (the settings a check reads); many forms do.
  static constexpr size_t kStatements = 32, kForms = 256;
  ByText<std::optional<Shape>> shapes_;                        // by the statement's text
  ByText<std::optional<std::vector<size_t>>> lifted_;          // by its text with literals emptied
};

// The shape's text after translation and rewriting, with each mark turned into its numbered
// parameter ?N. Nothing when a mark was altered on the way (never expected; the caller then runs
// the statement as written).
std::optional<std::string> withParameters(std::string_view translatedShape, size_t values);

}  // namespace tallyward::sqlite
