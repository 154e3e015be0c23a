// ADO-style recordset filters: which rows of a recordset stay visible.
#pragma once

#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "tallyward/variant.h"

namespace tallyward {

// A filter such as  cInvCode='A01'  or  (a='x' OR b<>'y') AND iQuantity>=2.5 :
//  - a comparison is a field name (plain or [bracketed]), an operator (= <> < > <= >=) and a
//    value: 'text' (quotes doubled inside), a number, #date#, Null (with = or <> only), or
//    True/False;
//  - comparisons join with AND and OR (AND binds closer) and group with parentheses, nested at
//    most 64 deep.
// A filter may join any number of comparisons: evaluating it takes no deeper a stack for ten
// thousand terms than for two (only parentheses nest).
// Text compares without regard to case; a number given as text compares as a number with a
// numeric field. A Null field matches only  = Null.  A filter that cannot be read, or that names
// a field the recordset lacks, is error 3001.
class RowFilter {
 public:
  RowFilter(std::string_view criteria, const std::vector<std::string>& columns);

  bool matches(const std::vector<Variant>& row) const;

 private:
  enum class Op { Eq, Ne, Lt, Gt, Le, Ge };
  struct Null {};
  struct Bool { bool value; };
  using Literal = std::variant<Null, double, std::string, Date, Bool>;
  struct Node {
    enum class Type { And, Or, Compare } type = Type::Compare;
    std::vector<int> terms;     // And, Or: the nodes joined, in order
    size_t column = 0;          // Compare
    Op op = Op::Eq;
    Literal value = Null{};
  };
  class Parser;

  bool eval(int node, const std::vector<Variant>& row) const;
  bool compare(const Node& n, const Variant& field) const;

  std::vector<Node> nodes_;
  int root_ = -1;
};

}  // namespace tallyward
