#include "tallyward/variant.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

#include "tallyward/error.h"
#include "tallyward/object.h"

namespace tallyward {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view trim(std::string_view s) {
  while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
  return s;
}

bool equalsNoCase(std::string_view a, std::string_view b) {
  return DispatchTable<Object>::equalsNoCase(a, b);
}

[[noreturn]] void mismatch(const char* target) {
  throwError(err::TypeMismatch, std::string("Type mismatch: cannot convert to ") + target);
}

// The same error, saying what was wrong with the value where that helps the caller.
[[noreturn]] void mismatch(const char* target, const Variant& v) {
  if (v.isMissing())
    throwError(err::TypeMismatch, std::string("Type mismatch: a required argument is missing (") + target + ")");
  if (v.isNull()) throwError(err::TypeMismatch, std::string("Type mismatch: Null cannot convert to ") + target);
  mismatch(target);
}

// Days from 30 December 1899 to the given civil date (proleptic Gregorian).
long daysFromCivil(long y, unsigned m, unsigned d) {
  y -= m <= 2;
  const long era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<long>(doe) - 719468 + 25569;  // 25569: 1899-12-30 to 1970-01-01
}

void civilFromDays(long z, long& y, unsigned& m, unsigned& d) {
  z += 719468 - 25569;
  const long era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  y = static_cast<long>(yoe) + era * 400;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  d = doy - (153 * mp + 2) / 5 + 1;
  m = mp < 10 ? mp + 3 : mp - 9;
  y += m <= 2;
}

bool readUnsigned(std::string_view& s, unsigned& out, size_t maxDigits) {
  size_t n = 0;
  unsigned v = 0;
  while (n < s.size() && n < maxDigits && s[n] >= '0' && s[n] <= '9') v = v * 10 + (s[n++] - '0');
  if (n == 0) return false;
  s.remove_prefix(n);
  out = v;
  return true;
}

}  // namespace

namespace {

// Whether a decimal text that std::from_chars finds out of range is too large (rather than too
// small) for a Double: the decimal exponent of its first significant digit is positive. Out of
// range means beyond 1.8e308 or below 4.9e-324, so the sign of that exponent settles it.
bool decimalTooLarge(std::string_view s) {
  size_t i = 0;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
  long long exponent = 0;  // of the first significant digit, before the written exponent
  bool significant = false, afterPoint = false;
  for (; i < s.size() && s[i] != 'e' && s[i] != 'E'; ++i) {
    if (s[i] == '.') {
      afterPoint = true;
    } else if (!significant && s[i] != '0') {
      significant = true;
      if (afterPoint) --exponent;
    } else if (significant && !afterPoint) {
      ++exponent;
    } else if (!significant && afterPoint) {
      --exponent;
    }
  }
  if (!significant) return false;  // zero is never too large
  long long written = 0;
  bool negative = false;
  if (i < s.size()) {
    ++i;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    for (; i < s.size(); ++i) written = std::min<long long>(written * 10 + (s[i] - '0'), 1'000'000'000);
  }
  return exponent + (negative ? -written : written) > 0;
}

}  // namespace

NumberText readNumber(std::string_view text, double& out) {
  std::string_view s = trim(text);
  if (s.empty()) return NumberText::NotANumber;
  // Keep sign, digits, one decimal point and an exponent; thousands separators may stand between
  // digits of the integer part.
  std::string clean;
  clean.reserve(s.size());
  size_t i = 0;
  if (s[i] == '+' || s[i] == '-') clean.push_back(s[i++]);
  size_t digits = 0;
  while (i < s.size() && ((s[i] >= '0' && s[i] <= '9') || (s[i] == ',' && digits > 0))) {
    if (s[i] != ',') { clean.push_back(s[i]); ++digits; }
    ++i;
  }
  if (i < s.size() && s[i] == '.') {
    clean.push_back(s[i++]);
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') { clean.push_back(s[i++]); ++digits; }
  }
  if (digits == 0) return NumberText::NotANumber;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    clean.push_back('e');
    ++i;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) clean.push_back(s[i++]);
    size_t expDigits = 0;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') { clean.push_back(s[i++]); ++expDigits; }
    if (expDigits == 0) return NumberText::NotANumber;
  }
  if (i != s.size()) return NumberText::NotANumber;
  const char* first = clean.data();
  if (*first == '+') ++first;
  double v = 0;
  auto [ptr, ec] = std::from_chars(first, clean.data() + clean.size(), v);
  if (ec == std::errc::result_out_of_range) {
    if (decimalTooLarge(clean)) return NumberText::Overflow;
    v = clean.front() == '-' ? -0.0 : 0.0;  // below the smallest Double: zero
  } else if (ec != std::errc() || ptr != clean.data() + clean.size() || !std::isfinite(v)) {
    return NumberText::NotANumber;
  }
  out = v;
  return NumberText::Number;
}

bool parseNumber(std::string_view text, double& out) {
  return readNumber(text, out) == NumberText::Number;
}

namespace {
// A value that is an infinity or a NaN is never read as a number.
double finite(double d) {
  if (!std::isfinite(d)) throwError(err::Overflow, "Overflow: the value is not a finite number");
  return d;
}
}  // namespace

void throwOverflow(std::string_view text) {
  constexpr size_t kShown = 40;
  const std::string shown = text.size() <= kShown ? std::string(text) : std::string(text.substr(0, kShown)) + "...";
  throwError(err::Overflow, "Overflow: " + shown + " is beyond the range of a Double");
}

bool parseDate(std::string_view text, double& out) {
  std::string_view s = trim(text);
  unsigned y = 0, m = 0, d = 0;
  if (!readUnsigned(s, y, 4) || s.empty()) return false;
  const char sep = s.front();
  if (sep != '-' && sep != '/' && sep != '.') return false;
  s.remove_prefix(1);
  if (!readUnsigned(s, m, 2) || s.empty() || s.front() != sep) return false;
  s.remove_prefix(1);
  if (!readUnsigned(s, d, 2)) return false;
  if (y < 100 || m < 1 || m > 12 || d < 1) return false;
  static constexpr unsigned kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
  if (d > kDays[m - 1] + (m == 2 && leap ? 1 : 0)) return false;
  double fraction = 0;
  if (!s.empty()) {
    if (!isBlank(s.front())) return false;
    s = trim(s);
    unsigned hh = 0, mm = 0, ss = 0;
    if (!readUnsigned(s, hh, 2) || s.empty() || s.front() != ':') return false;
    s.remove_prefix(1);
    if (!readUnsigned(s, mm, 2)) return false;
    if (!s.empty() && s.front() == ':') {
      s.remove_prefix(1);
      if (!readUnsigned(s, ss, 2)) return false;
      // Fractions of a second, as some persisted date-times carry them, are dropped.
      if (!s.empty() && s.front() == '.') {
        s.remove_prefix(1);
        while (!s.empty() && s.front() >= '0' && s.front() <= '9') s.remove_prefix(1);
      }
    }
    if (!s.empty() || hh > 23 || mm > 59 || ss > 59) return false;
    fraction = (hh * 3600.0 + mm * 60.0 + ss) / 86400.0;
  }
  out = static_cast<double>(daysFromCivil(y, m, d)) + fraction;
  return true;
}

std::string formatNumber(double d) {
  if (finite(d) == 0) return "0";
  // Fifteen significant digits, as printf's %.15G writes them (to_chars with a precision is
  // printf's conversion, without its cost).
  char buf[40];
  const char* end = std::to_chars(buf, buf + sizeof buf, d, std::chars_format::general, 15).ptr;
  std::string_view s(buf, static_cast<size_t>(end - buf));
  const size_t e = s.find('e');
  std::string_view mant = s.substr(0, e);
  if (mant.find('.') != std::string_view::npos) {
    while (mant.back() == '0') mant.remove_suffix(1);
    if (mant.back() == '.') mant.remove_suffix(1);
  }
  std::string out(mant);
  if (e == std::string_view::npos) return out;
  // Exponent form as the platform writes it: 1E+16, 1.5E-07.
  std::string_view exp = s.substr(e + 2);
  while (exp.size() > 2 && exp[0] == '0') exp.remove_prefix(1);
  return out.append(1, 'E').append(1, s[e + 1]).append(exp);
}

std::string formatDate(double d) {
  // The dates of the platform: 1 January 100 to 31 December 9999.
  constexpr double kFirstDay = -657434, kDayAfterLast = 2958466;
  if (!(d >= kFirstDay && d < kDayAfterLast)) throwError(err::Overflow, "Overflow: the date is outside the years 100 to 9999");
  long days = static_cast<long>(std::floor(d));
  double frac = d - static_cast<double>(days);
  long secs = std::lround(frac * 86400.0);
  if (secs >= 86400) { ++days; secs -= 86400; }
  long y;
  unsigned m, dd;
  civilFromDays(days, y, m, dd);
  char buf[80];
  if (secs == 0)
    std::snprintf(buf, sizeof buf, "%04ld-%02u-%02u", y, m, dd);
  else
    std::snprintf(buf, sizeof buf, "%04ld-%02u-%02u %02ld:%02ld:%02ld", y, m, dd, secs / 3600,
                  (secs / 60) % 60, secs % 60);
  return buf;
}

bool toBoolean(const Variant& v) {
  switch (v.type()) {
    case VarType::Boolean: return v.asBool();
    case VarType::Long: return v.asLong() != 0;
    case VarType::Double: return finite(v.asDouble()) != 0;
    case VarType::Date: return finite(v.asDate().value) != 0;
    case VarType::Empty: return false;
    case VarType::String: {
      std::string_view s = trim(v.asString());
      if (equalsNoCase(s, "True")) return true;
      if (equalsNoCase(s, "False")) return false;
      double d;
      switch (readNumber(s, d)) {
        case NumberText::Number: return d != 0;
        case NumberText::Overflow: throwOverflow(s);
        case NumberText::NotANumber: break;
      }
      mismatch("Boolean");
    }
    default: mismatch("Boolean", v);
  }
}

double toDouble(const Variant& v) {
  switch (v.type()) {
    case VarType::Boolean: return v.asBool() ? -1.0 : 0.0;
    case VarType::Long: return v.asLong();
    case VarType::Double: return finite(v.asDouble());
    case VarType::Date: return finite(v.asDate().value);
    case VarType::Empty: return 0;
    case VarType::String: {
      double d;
      switch (readNumber(v.asString(), d)) {
        case NumberText::Number: return d;
        case NumberText::Overflow: throwOverflow(v.asString());
        case NumberText::NotANumber: break;
      }
      mismatch("Double");
    }
    default: mismatch("Double", v);
  }
}

std::string toText(const Variant& v) {
  switch (v.type()) {
    case VarType::Boolean: return v.asBool() ? "True" : "False";
    case VarType::Long: return std::to_string(v.asLong());
    case VarType::Double: return formatNumber(v.asDouble());
    case VarType::Date: return formatDate(v.asDate().value);
    case VarType::Empty: return "";
    case VarType::String: return v.asString();
    default: mismatch("String", v);
  }
}

namespace {
double roundHalfEven(double d) {
  double r = std::nearbyint(d);  // the default rounding mode rounds half to even
  return r;
}
}  // namespace

// The comparisons are written so that a NaN, should one ever get here, is out of range too.
int16_t toInteger(const Variant& v) {
  double d = roundHalfEven(toDouble(v));
  if (!(d >= std::numeric_limits<int16_t>::min() && d <= std::numeric_limits<int16_t>::max()))
    throwError(err::Overflow, "Overflow: the number does not fit a 16-bit integer");
  return static_cast<int16_t>(d);
}

int32_t toLong(const Variant& v) {
  double d = roundHalfEven(toDouble(v));
  if (!(d >= std::numeric_limits<int32_t>::min() && d <= std::numeric_limits<int32_t>::max()))
    throwError(err::Overflow, "Overflow: the number does not fit a 32-bit integer");
  return static_cast<int32_t>(d);
}

Date toDate(const Variant& v) {
  switch (v.type()) {
    case VarType::Date: return v.asDate();
    case VarType::Long:
    case VarType::Double: return Date{toDouble(v)};
    case VarType::Empty: return Date{};
    case VarType::String: {
      double d = 0;
      if (parseDate(v.asString(), d)) return Date{d};
      throwError(err::TypeMismatch, "Type mismatch: '" + v.asString() + "' is not a date");
    }
    default: mismatch("Date", v);
  }
}

std::shared_ptr<Object> toObject(const Variant& v) {
  if (v.isObject()) return v.asObject();
  if (v.isEmpty()) return nullptr;
  throwError(err::TypeMismatch, "Type mismatch: an object is required");
}

}  // namespace tallyward
