#include "platform/db/row_filter.h"

#include <cstdlib>
#include <optional>

#include "tallyward/error.h"

namespace tallyward {

namespace {

[[noreturn]] void badFilter(std::string_view why, std::string_view criteria) {
  throwError(err::Database, "Filter cannot be applied (" + std::string(why) + "): " + std::string(criteria));
}

char fold(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool sameNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (fold(a[i]) != fold(b[i])) return false;
  return true;
}

int compareNoCase(std::string_view a, std::string_view b) {
  const size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    const auto x = static_cast<unsigned char>(fold(a[i])), y = static_cast<unsigned char>(fold(b[i]));
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

template <class T>
int order(T a, T b) { return a < b ? -1 : (b < a ? 1 : 0); }

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool isNameChar(char c) {
  const auto u = static_cast<unsigned char>(c);
  return (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || (u >= '0' && u <= '9') || u == '_' || u >= 0x80;
}
bool isDigit(char c) { return c >= '0' && c <= '9'; }

// A whole text as a number, in the plain form a filter writes: [-+]digits[.digits][e[-+]digits].
std::optional<double> plainNumber(std::string_view s) {
  std::string copy(s);
  if (copy.empty()) return std::nullopt;
  char* end = nullptr;
  const double d = std::strtod(copy.c_str(), &end);
  if (end != copy.c_str() + copy.size()) return std::nullopt;
  for (char c : copy)
    if (!(isDigit(c) || c == '.' || c == '-' || c == '+' || c == 'e' || c == 'E')) return std::nullopt;
  return d;
}

std::optional<double> numberIn(std::string_view s) {
  double d = 0;
  if (parseNumber(s, d)) return d;
  return std::nullopt;
}

}  // namespace

class RowFilter::Parser {
 public:
  Parser(std::string_view text, const std::vector<std::string>& columns, std::vector<Node>& nodes)
      : text_(text), columns_(columns), nodes_(nodes) {}

  int parse() {
    const int root = orExpr();
    skipBlanks();
    if (at_ < text_.size()) fail("unexpected text after a complete condition");
    return root;
  }

 private:
  [[noreturn]] void fail(std::string_view why) { badFilter(why, text_); }

  void skipBlanks() {
    while (at_ < text_.size() && isBlank(text_[at_])) ++at_;
  }

  // A keyword (AND, OR, Null, ...) as a whole word at the current place.
  bool takeWord(std::string_view word) {
    skipBlanks();
    if (text_.size() - at_ < word.size() || !sameNoCase(text_.substr(at_, word.size()), word)) return false;
    if (at_ + word.size() < text_.size() && isNameChar(text_[at_ + word.size()])) return false;
    at_ += word.size();
    return true;
  }

  bool take(char c) {
    skipBlanks();
    if (at_ < text_.size() && text_[at_] == c) {
      ++at_;
      return true;
    }
    return false;
  }

  int add(Node n) {
    nodes_.push_back(std::move(n));
    return static_cast<int>(nodes_.size()) - 1;
  }

  int orExpr() { return joined(Node::Type::Or, "or", &Parser::andExpr); }
  int andExpr() { return joined(Node::Type::And, "and", &Parser::primary); }

  // A run of terms joined by one operator becomes one node with all of them, so that neither
  // reading nor evaluating goes one level deeper per term.
  int joined(Node::Type type, std::string_view word, int (Parser::*term)()) {
    const int first = (this->*term)();
    if (!takeWord(word)) return first;
    Node n;
    n.type = type;
    n.terms.push_back(first);
    do n.terms.push_back((this->*term)());
    while (takeWord(word));
    return add(std::move(n));
  }

  int primary() {
    if (++depth_ > 64) fail("too deeply nested");
    int result;
    if (take('(')) {
      result = orExpr();
      if (!take(')')) fail("a parenthesis is not closed");
    } else {
      result = comparison();
    }
    --depth_;
    return result;
  }

  std::string fieldName() {
    skipBlanks();
    if (at_ >= text_.size()) fail("a field name is missing");
    if (text_[at_] == '[') {
      const size_t end = text_.find(']', at_ + 1);
      if (end == std::string_view::npos) fail("a [field name] is not closed");
      std::string name(text_.substr(at_ + 1, end - at_ - 1));
      at_ = end + 1;
      return name;
    }
    const size_t start = at_;
    while (at_ < text_.size() && isNameChar(text_[at_])) ++at_;
    if (at_ == start) fail("a field name is missing");
    return std::string(text_.substr(start, at_ - start));
  }

  Op op() {
    skipBlanks();
    const std::string_view rest = text_.substr(at_);
    static constexpr std::pair<std::string_view, Op> kOps[] = {
        {"<>", Op::Ne}, {"<=", Op::Le}, {">=", Op::Ge}, {"=", Op::Eq}, {"<", Op::Lt}, {">", Op::Gt}};
    for (const auto& [text, o] : kOps)
      if (rest.starts_with(text)) {
        at_ += text.size();
        return o;
      }
    fail("an operator (=, <>, <, >, <=, >=) is missing");
  }

  Literal value() {
    skipBlanks();
    if (at_ >= text_.size()) fail("a value is missing");
    const char c = text_[at_];
    if (c == '\'') {
      std::string out;
      for (++at_;; ++at_) {
        if (at_ >= text_.size()) fail("a text value is not closed");
        if (text_[at_] == '\'') {
          if (at_ + 1 < text_.size() && text_[at_ + 1] == '\'') {
            out += '\'';
            ++at_;
            continue;
          }
          ++at_;
          return out;
        }
        out += text_[at_];
      }
    }
    if (c == '#') {
      const size_t end = text_.find('#', at_ + 1);
      if (end == std::string_view::npos) fail("a #date# is not closed");
      double d = 0;
      if (!parseDate(text_.substr(at_ + 1, end - at_ - 1), d)) fail("a #date# is not a date");
      at_ = end + 1;
      return Date{d};
    }
    if (takeWord("null")) return Null{};
    if (takeWord("true")) return Bool{true};
    if (takeWord("false")) return Bool{false};
    const size_t start = at_;
    while (at_ < text_.size() && !isBlank(text_[at_]) && text_[at_] != ')' && text_[at_] != '(') ++at_;
    if (auto d = plainNumber(text_.substr(start, at_ - start))) return *d;
    fail("a value must be 'text', a number, #date#, Null, True or False");
  }

  int comparison() {
    const std::string name = fieldName();
    Node n;
    bool found = false;
    for (size_t i = 0; i < columns_.size() && !found; ++i)
      if (sameNoCase(columns_[i], name)) {
        n.column = i;
        found = true;
      }
    if (!found) fail("no field " + name);
    n.op = op();
    n.value = value();
    if (std::holds_alternative<Null>(n.value) && n.op != Op::Eq && n.op != Op::Ne)
      fail("Null compares only with = or <>");
    return add(std::move(n));
  }

  std::string_view text_;
  const std::vector<std::string>& columns_;
  std::vector<Node>& nodes_;
  size_t at_ = 0;
  int depth_ = 0;
};

RowFilter::RowFilter(std::string_view criteria, const std::vector<std::string>& columns) {
  root_ = Parser(criteria, columns, nodes_).parse();
}

bool RowFilter::matches(const std::vector<Variant>& row) const { return eval(root_, row); }

bool RowFilter::eval(int index, const std::vector<Variant>& row) const {
  const Node& n = nodes_[static_cast<size_t>(index)];
  switch (n.type) {
    case Node::Type::And:
      for (int term : n.terms)
        if (!eval(term, row)) return false;
      return true;
    case Node::Type::Or:
      for (int term : n.terms)
        if (eval(term, row)) return true;
      return false;
    case Node::Type::Compare:
      return n.column < row.size() ? compare(n, row[n.column]) : compare(n, Variant::null());
  }
  return false;
}

namespace {

// The order of a field value against a filter value, or nothing when they cannot be compared.
std::optional<int> orderOf(const Variant& field, double number) {
  switch (field.type()) {
    case VarType::Long: return order<double>(field.asLong(), number);
    case VarType::Double: return order(field.asDouble(), number);
    case VarType::Date: return order(field.asDate().value, number);
    case VarType::Boolean: return order(field.asBool(), number != 0);
    case VarType::String:
      if (auto d = numberIn(field.asString())) return order(*d, number);
      return std::nullopt;
    default: return std::nullopt;
  }
}

std::optional<bool> booleanOf(const Variant& v) {
  try {
    return toBoolean(v);
  } catch (const Error&) {
    return std::nullopt;
  }
}

std::optional<int> orderOf(const Variant& field, const std::string& text) {
  switch (field.type()) {
    case VarType::String: return compareNoCase(field.asString(), text);
    case VarType::Long:
    case VarType::Double:
      if (auto d = numberIn(text)) return orderOf(field, *d);
      return std::nullopt;
    case VarType::Boolean:
      if (auto b = booleanOf(Variant(text))) return order(field.asBool(), *b);
      return std::nullopt;
    case VarType::Date: {
      double d = 0;
      if (parseDate(text, d)) return order(field.asDate().value, d);
      return std::nullopt;
    }
    default: return std::nullopt;
  }
}

std::optional<int> orderOf(const Variant& field, Date date) {
  switch (field.type()) {
    case VarType::Date: return order(field.asDate().value, date.value);
    case VarType::Long:
    case VarType::Double: return order(toDouble(field), date.value);
    case VarType::String: {
      double d = 0;
      if (parseDate(field.asString(), d)) return order(d, date.value);
      return std::nullopt;
    }
    default: return std::nullopt;
  }
}

std::optional<int> orderOf(const Variant& field, bool value) {
  if (field.type() == VarType::Date) return std::nullopt;
  if (auto b = booleanOf(field)) return order(*b, value);
  return std::nullopt;
}

}  // namespace

bool RowFilter::compare(const Node& n, const Variant& field) const {
  const bool isNull = field.isNull() || field.isEmpty();
  if (std::holds_alternative<Null>(n.value)) return (n.op == Op::Eq) == isNull;
  if (isNull) return false;
  const std::optional<int> c = std::visit(
      [&](const auto& v) -> std::optional<int> {
        using T = std::decay_t<decltype(v)>;
        if constexpr (std::is_same_v<T, Null>) return std::nullopt;
        else if constexpr (std::is_same_v<T, Bool>) return orderOf(field, v.value);
        else return orderOf(field, v);
      },
      n.value);
  if (!c) return false;
  switch (n.op) {
    case Op::Eq: return *c == 0;
    case Op::Ne: return *c != 0;
    case Op::Lt: return *c < 0;
    case Op::Gt: return *c > 0;
    case Op::Le: return *c <= 0;
    case Op::Ge: return *c >= 0;
  }
  return false;
}

}  // namespace tallyward
