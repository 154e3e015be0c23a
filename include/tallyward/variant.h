// Variant: the automation value that late-bound calls pass around, with the ERP's conversions.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <variant>

namespace tallyward {

class Object;

enum class VarType { Empty, Null, Boolean, Long, Double, String, Date, Object, Missing };

// An automation date: days since 30 December 1899, the fraction being the time of day.
struct Date {
  double value = 0;
  friend bool operator==(Date, Date) = default;
};

class Variant {
 public:
  Variant() = default;
  Variant(bool b) : v_(b) {}
  Variant(int i) : v_(static_cast<int32_t>(i)) {}
  // A whole number beyond 32 bits is kept as a Double (a Long holds 32 bits), never cut short.
  Variant(long i) { setWhole(i); }
  Variant(long long i) { setWhole(i); }
  Variant(double d) : v_(d) {}
  Variant(Date d) : v_(d) {}
  Variant(const char* s) : v_(std::string(s)) {}
  Variant(std::string s) : v_(std::move(s)) {}
  Variant(std::string_view s) : v_(std::string(s)) {}
  Variant(std::shared_ptr<Object> o) : v_(std::move(o)) {}
  template <class T, class = std::enable_if_t<std::is_base_of_v<Object, T>>>
  Variant(std::shared_ptr<T> o) : v_(std::shared_ptr<Object>(std::move(o))) {}

  static Variant null() { Variant v; v.v_ = NullTag{}; return v; }
  // An optional argument that the caller left out.
  static Variant missing() { Variant v; v.v_ = MissingTag{}; return v; }

  VarType type() const { return static_cast<VarType>(v_.index()); }
  bool isEmpty() const { return type() == VarType::Empty; }
  bool isNull() const { return type() == VarType::Null; }
  bool isMissing() const { return type() == VarType::Missing; }
  bool isObject() const { return type() == VarType::Object; }
  bool isNumeric() const {
    auto t = type();
    return t == VarType::Boolean || t == VarType::Long || t == VarType::Double || t == VarType::Date;
  }

  bool asBool() const { return std::get<bool>(v_); }
  int32_t asLong() const { return std::get<int32_t>(v_); }
  double asDouble() const { return std::get<double>(v_); }
  Date asDate() const { return std::get<Date>(v_); }
  const std::string& asString() const { return std::get<std::string>(v_); }
  const std::shared_ptr<Object>& asObject() const { return std::get<std::shared_ptr<Object>>(v_); }

  friend bool operator==(const Variant&, const Variant&) = default;

 private:
  template <class I>
  void setWhole(I i) {
    if (i >= INT32_MIN && i <= INT32_MAX)
      v_ = static_cast<int32_t>(i);
    else
      v_ = static_cast<double>(i);
  }
  struct NullTag { friend bool operator==(NullTag, NullTag) = default; };
  struct MissingTag { friend bool operator==(MissingTag, MissingTag) = default; };
  std::variant<std::monostate, NullTag, bool, int32_t, double, std::string, Date,
               std::shared_ptr<Object>, MissingTag>
      v_;
};

// The conversions of the ERP's scripting platform. Each throws a run-time error (13, type
// mismatch; 6, overflow) where the platform's conversion would fail. A number never comes out
// as an infinity or a NaN: a text beyond the range of a Double, and a Double (or Date) that is
// not finite, are error 6.
bool toBoolean(const Variant& v);                   // True/False in any case, or a number
double toDouble(const Variant& v);                  // a number, or a text that reads as one
std::string toText(const Variant& v);               // numbers in their shortest form
int16_t toInteger(const Variant& v);                // a whole number within 16 bits
int32_t toLong(const Variant& v);                   // rounded half to even, within 32 bits
std::shared_ptr<Object> toObject(const Variant& v);  // Nothing gives a null pointer
Date toDate(const Variant& v);                      // a Date, a number of days or a date text;
                                                    // Empty is the zero date

// The building blocks of the conversions above, usable on plain text.
bool parseNumber(std::string_view text, double& out);   // locale-style number text; false beyond
                                                        // the range of a Double
// How a locale-style number text reads: as a (finite) number, as no number at all (words such
// as NaN and Infinity included), or as a number beyond the range of a Double. A number too
// small for a Double reads as 0.
enum class NumberText { Number, NotANumber, Overflow };
NumberText readNumber(std::string_view text, double& out);
// Error 6 for a number text beyond the range of a Double; the text is shown in the description.
[[noreturn]] void throwOverflow(std::string_view text);
bool parseDate(std::string_view text, double& out);     // y-m-d [h:m[:s]] to an automation date
std::string formatNumber(double d);                     // at most 15 significant digits;
                                                        // error 6 for a value not finite
std::string formatDate(double d);                       // yyyy-mm-dd[ hh:mm:ss]; error 6
                                                        // outside the years 100 to 9999

}  // namespace tallyward
