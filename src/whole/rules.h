// Rule tables of the whole-voucher checks: each rule names the keys it runs for, its condition,
// its message and its reporting way, in the order the rules run.
#pragma once

#include <cstdint>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "whole/verdict.h"

namespace tallyward {

// The sKey values a rule runs for, written as the rule tables write them: "iquantity all",
// "all" (whole pass only), or every key except some ("all cinvcode cvenabbname").
class Keys {
 public:
  static constexpr Keys on(std::string_view list) { return Keys(list, false); }
  static constexpr Keys anyExcept(std::string_view list) { return Keys(list, true); }

  bool match(const Call& call) const {
    if (call.wholePass()) return hasAll_ != except_;
    return listed(call.key()) != except_;
  }

 private:
  constexpr Keys(std::string_view list, bool except)
      : list_(list), except_(except), hasAll_(contains(list, "all")) {}

  static constexpr bool contains(std::string_view list, std::string_view key) {
    while (!list.empty()) {
      const size_t sp = list.find(' ');
      if (list.substr(0, sp) == key) return true;
      if (sp == std::string_view::npos) break;
      list.remove_prefix(sp + 1);
    }
    return false;
  }
  bool listed(std::string_view key) const { return contains(list_, key); }

  std::string_view list_;
  bool except_;
  bool hasAll_;
};

// One rule of a voucher's table. Ctx is what the conditions read: the row's values and the
// class's switches.
template <class Ctx>
struct Rule {
  Keys keys = Keys::on("");                   // the keys it runs for
  // A condition on the class's switches alone, settled once per call: the rule is left out of
  // the call when false. nullptr: always.
  bool (*setting)(const Ctx&) = nullptr;
  bool (*applies)(const Ctx&) = nullptr;      // nullptr: always; else the rule is skipped when false
  std::optional<size_t> emptyEnds = {};       // a field whose empty value ends a single-field check
  bool (*refused)(const Ctx&) = nullptr;      // the condition for the message
  std::string_view message = {};              // line messages begin with "]行"
  Way way = Way::AtOnceOrCollected;
  std::string_view collectedMessage = {};     // the wording when collected, where it differs
};

// A rule table known when compiling, run by the frame: which of its rules run in a call (the key,
// the class's switches) is settled once per call as one bit per rule; on each line the planned
// rules are called directly, not through their pointers, so that the compiler can inline the
// conditions and share what several of them read.
template <const auto& Table>
struct RuleTable {
  static constexpr size_t kSize = std::size(Table);
  static_assert(kSize <= 64, "a rule table plans at most 64 rules");

  template <class Ctx>
  static uint64_t plan(const Call& call, const Ctx& ctx) {
    uint64_t planned = 0;
    for (size_t i = 0; i < kSize; ++i)
      if (Table[i].keys.match(call) && (!Table[i].setting || Table[i].setting(ctx))) planned |= uint64_t{1} << i;
    return planned;
  }

  // Runs the planned rules on one head (row 0: messages without a row part) or one line (its row
  // number). An empty value ends only a single-field check. Answers false when the call has ended.
  template <class Ctx>
  static bool run(uint64_t planned, const Ctx& ctx, Call& call, long row) {
    return runEach(planned, ctx, call, row, !call.wholePass(), std::make_index_sequence<kSize>());
  }

 private:
  template <class Ctx, size_t... I>
  static bool runEach(uint64_t planned, const Ctx& ctx, Call& call, long row, bool emptyEnds,
                      std::index_sequence<I...>) {
    return ((!(planned >> I & 1) || runOne<I>(ctx, call, row, emptyEnds)) && ...);
  }

  template <size_t I, class Ctx>
  static bool runOne(const Ctx& ctx, Call& call, long row, bool emptyEnds) {
    constexpr const auto& rule = Table[I];
    if constexpr (rule.applies != nullptr)
      if (!rule.applies(ctx)) return true;
    if constexpr (rule.emptyEnds.has_value())
      if (emptyEnds && ctx.values.empty(*rule.emptyEnds)) {
        call.end();
        return false;
      }
    if (!rule.refused(ctx)) return true;
    const std::string prefix = row ? rowPrefix(row) : std::string();
    return !call.report(rule.way, prefix, rule.message, rule.collectedMessage);
  }
};

}  // namespace tallyward
