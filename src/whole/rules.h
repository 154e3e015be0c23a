// Rule tables of the whole-voucher checks: each rule names the keys it runs for, its condition,
// its message and its reporting way, in the order the rules run.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

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

// The rules of a table that run in one call, in table order. Whether a rule runs for the call's
// key and the class's switches is settled once per call, not again on every line.
template <class Ctx>
class RulePlan {
 public:
  RulePlan(std::span<const Rule<Ctx>> rules, const Call& call, const Ctx& ctx) : wholePass_(call.wholePass()) {
    active_.reserve(rules.size());
    for (const Rule<Ctx>& rule : rules)
      if (rule.keys.match(call) && (!rule.setting || rule.setting(ctx))) active_.push_back(&rule);
  }

  std::span<const Rule<Ctx>* const> rules() const { return active_; }
  // An empty value ends only a single-field check.
  bool emptyEnds() const { return !wholePass_; }

 private:
  std::vector<const Rule<Ctx>*> active_;
  bool wholePass_;
};

// Runs the planned rules on one head (row 0: messages without a row part) or on one line (its row
// number). Answers false when the call has ended.
template <class Ctx>
bool runRules(const RulePlan<Ctx>& plan, const Ctx& ctx, Call& call, long row) {
  const bool emptyEnds = plan.emptyEnds();
  for (const Rule<Ctx>* rule : plan.rules()) {
    if (rule->applies && !rule->applies(ctx)) continue;
    if (emptyEnds && rule->emptyEnds && ctx.values.empty(*rule->emptyEnds)) {
      call.end();
      return false;
    }
    if (!rule->refused(ctx)) continue;
    const std::string prefix = row ? rowPrefix(row) : std::string();
    if (call.report(rule->way, prefix, rule->message, rule->collectedMessage)) return false;
  }
  return true;
}

template <class Ctx>
bool runRules(std::span<const Rule<Ctx>> rules, const Ctx& ctx, Call& call, long row) {
  return runRules(RulePlan<Ctx>(rules, call, ctx), ctx, call, row);
}

}  // namespace tallyward
