#include "platform/db/connection_string.h"

#include <filesystem>
#include <system_error>

#include "platform/db/sql_tokens.h"
#include "tallyward/error.h"

namespace tallyward::connstr {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view trimmed(std::string_view s) {
  while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
  return s;
}

bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

bool isKeyword(std::string_view key) {
  if (key.empty() || !isLetter(key.front())) return false;
  for (char c : key)
    if (!isLetter(c) && !(c >= '0' && c <= '9') && !isBlank(c) && c != '_' && c != '-') return false;
  return true;
}

// The '}' that closes the braced value opening at `open`; "}}" inside stands for a '}'.
size_t closingBrace(std::string_view text, size_t open) {
  for (size_t i = open + 1; i < text.size(); ++i) {
    if (text[i] != '}') continue;
    if (i + 1 < text.size() && text[i + 1] == '}') {
      ++i;
      continue;
    }
    return i;
  }
  return std::string_view::npos;
}

bool isSecret(std::string_view key) { return sameKey(key, "PWD") || sameKey(key, "Password"); }

}  // namespace

bool sameKey(std::string_view a, std::string_view b) { return sqlite::sqltokens::same(a, b); }

std::optional<std::vector<Pair>> pairsOf(std::string_view text) {
  text = trimmed(text);
  const size_t eq = text.find('=');
  if (eq == std::string_view::npos || !isKeyword(trimmed(text.substr(0, eq)))) return std::nullopt;
  std::vector<Pair> pairs;
  size_t at = 0;
  while (at < text.size()) {
    const size_t keyEnd = text.find('=', at);
    if (keyEnd == std::string_view::npos) {
      if (trimmed(text.substr(at)).empty()) break;
      throwError(err::Database, "Connection string part without '=': " + std::string(text.substr(at)));
    }
    Pair pair{std::string(trimmed(text.substr(at, keyEnd - at))), {}};
    size_t valueStart = keyEnd + 1;
    while (valueStart < text.size() && isBlank(text[valueStart])) ++valueStart;
    if (valueStart < text.size() && text[valueStart] == '{') {
      const size_t close = closingBrace(text, valueStart);
      if (close == std::string_view::npos)
        throwError(err::Database, "Connection string value not closed with '}': " + withoutSecrets(text));
      for (size_t i = valueStart + 1; i < close; ++i) {
        pair.value += text[i];
        if (text[i] == '}') ++i;  // a doubled '}' stands for one
      }
      at = close + 1;
      while (at < text.size() && isBlank(text[at])) ++at;
      if (at < text.size() && text[at] != ';')
        throwError(err::Database, "Unexpected text after '}' in connection string: " + withoutSecrets(text));
    } else {
      const size_t semi = text.find(';', valueStart);
      const size_t end = semi == std::string_view::npos ? text.size() : semi;
      pair.value = std::string(trimmed(text.substr(valueStart, end - valueStart)));
      at = end;
    }
    if (at < text.size()) ++at;  // the ';'
    pairs.push_back(std::move(pair));
  }
  return pairs;
}

std::optional<std::string> valueOf(const std::vector<Pair>& pairs, std::string_view key) {
  std::optional<std::string> found;
  for (const Pair& p : pairs)
    if (sameKey(p.key, key)) found = p.value;
  return found;
}

std::string withoutSecrets(std::string_view text) {
  // Read leniently: a string that pairsOf refuses is still shown without its password.
  std::string out;
  size_t at = 0;
  while (at < text.size()) {
    const size_t eq = text.find('=', at);
    if (eq == std::string_view::npos) {
      out += text.substr(at);
      break;
    }
    const std::string_view key = trimmed(text.substr(at, eq - at));
    size_t end = text.find(';', eq);
    size_t valueStart = eq + 1;
    while (valueStart < text.size() && isBlank(text[valueStart])) ++valueStart;
    if (valueStart < text.size() && text[valueStart] == '{') {
      const size_t close = closingBrace(text, valueStart);
      end = close == std::string_view::npos ? text.size() : text.find(';', close);
    }
    if (end == std::string_view::npos) end = text.size();
    out += text.substr(at, eq + 1 - at);
    out += isSecret(key) ? std::string_view("***") : text.substr(eq + 1, end - eq - 1);
    if (end < text.size()) out += ';';
    at = end + 1;
  }
  return out;
}

Target targetOf(const std::string& connectionString) {
  const std::string_view text = trimmed(connectionString);
  // A file that exists is the database whatever its name looks like.
  std::error_code ec;
  if (!text.empty() && std::filesystem::is_regular_file(std::filesystem::path(std::string(text)), ec))
    return {true, std::string(text)};
  const std::optional<std::vector<Pair>> pairs = pairsOf(text);
  if (!pairs) return {true, std::string(text)};
  const std::optional<std::string> driver = valueOf(*pairs, "Driver");
  const bool embeddedDriver = driver && sameKey(*driver, "SQLite");
  if (!embeddedDriver) {
    bool onlyDatabase = !driver;
    for (const Pair& p : *pairs)
      if (!sameKey(p.key, "Database") && !sameKey(p.key, "Data Source")) onlyDatabase = false;
    if (!onlyDatabase) return {false, {}};
  }
  std::optional<std::string> database;
  for (const Pair& p : *pairs) {
    if (sameKey(p.key, "Database") || sameKey(p.key, "Data Source"))
      database = p.value;
    else if (!sameKey(p.key, "Driver"))
      throwError(err::Database, "Unknown key in connection string of the embedded database: " + p.key);
  }
  if (!database || database->empty())
    throwError(err::Database, "Connection string names no Database: " + withoutSecrets(connectionString));
  return {true, *database};
}

}  // namespace tallyward::connstr
