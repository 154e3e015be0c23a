#include "entry/field_entry.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "erp/settings.h"

namespace tallyward {

FieldEntry::FieldEntry(std::string_view sKey, UseMode mode, std::shared_ptr<Connection>& cnn,
                       std::shared_ptr<Object>& clsInfor, ReplyTag tag, OnError onError)
    : call_(sKey, mode), cnn_(cnn), clsInfor_(clsInfor), tag_(tag), onError_(onError), read_(cnn) {
  if (onError_ == OnError::Raise) {
    session_.emplace(Session::of(clsInfor_));
    return;
  }
  try {
    session_.emplace(Session::of(clsInfor_));
  } catch (const Error&) {
    // Every later read of a session member fails the same way; each such step is skipped.
    sessionError_ = std::current_exception();
  }
}

FieldEntry::Read::Read(const std::shared_ptr<Connection>& cnn) {
  if (!cnn) return;
  try {
    cnn->driver().beginRead();
    cnn_ = cnn;
  } catch (const Error&) {
    // Each statement then reads on its own, and reports its own failure.
  }
}

FieldEntry::Read::~Read() {
  if (cnn_) cnn_->driver().endRead();
}

const Session& FieldEntry::session() const {
  if (!session_) std::rethrow_exception(sessionError_);
  return *session_;
}

Connection& FieldEntry::cnn() const { return requireConnection(cnn_); }

void FieldEntry::answer(const FillInReply& reply, Document& target) {
  step([&] { reply.deliverTo(target); });
  call_.end();
}

// ---- Readings ---------------------------------------------------------------------------------------

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

double leadingNumber(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  const size_t numberStart = i;
  size_t digits = 0;
  while (i < text.size() && isDigit(text[i])) ++i, ++digits;
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && isDigit(text[i])) ++i, ++digits;
  }
  if (digits == 0) return 0;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    size_t j = i + 1;
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
    if (j < text.size() && isDigit(text[j])) {
      while (j < text.size() && isDigit(text[j])) ++j;
      i = j;
    }
  }
  double value = 0;
  const char* first = text.data() + numberStart;
  const std::errc ec = std::from_chars(first, text.data() + i, value).ec;
  if (ec == std::errc::result_out_of_range) {
    // Beyond the range of a double: read it as strtod would (infinity or zero).
    value = std::strtod(std::string(first, text.data() + i).c_str(), nullptr);
  } else if (ec != std::errc()) {
    return 0;
  }
  return negative ? -value : value;
}

double roundCents(double value) {
  if (!std::isfinite(value) || value == 0) return value;
  // The 15 significant digits of the value and its decimal exponent: d.dddddddddddddde±x.
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.14e", std::fabs(value));
  char digits[15];
  digits[0] = buf[0];
  std::memcpy(digits + 1, buf + 2, 14);
  const int exponent = std::atoi(std::strchr(buf, 'e') + 1);
  const int kept = exponent + 1 + 2;  // digits before the point, and two after it
  if (kept >= 15) return value;       // no digit beyond the second decimal
  if (kept < 0) return 0;
  long long cents = 0;
  for (int k = 0; k < kept; ++k) cents = cents * 10 + (digits[k] - '0');
  if (digits[kept] >= '5') ++cents;
  const double rounded = static_cast<double>(cents) / 100.0;
  return value < 0 ? -rounded : rounded;
}

std::string_view datePart(std::string_view dateTime) {
  const size_t t = dateTime.find('T');
  return t == std::string_view::npos ? dateTime : dateTime.substr(0, t);
}

std::string rateDate(std::string_view date) {
  if (date.empty()) return {};
  double day = 0;
  if (!parseDate(date, day))
    throwError(err::TypeMismatch, "Type mismatch: '" + std::string(date) + "' is not a date");
  std::string text = formatDate(std::floor(day)).substr(0, 10);  // yyyy-mm-dd
  for (char& c : text)
    if (c == '-') c = '.';
  return text;
}

std::string_view trimBlanks(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

}  // namespace tallyward
