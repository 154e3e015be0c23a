#include "whole/verdict.h"

#include "rows/voucher.h"

namespace tallyward {

Call::Call(std::string_view sKey, UseMode mode)
    : key_(lowerCase(sKey)), wholePass_(key_ == "all"), mode_(mode) {}

Call::Action Call::actionFor(Way way) const {
  const bool bs = mode_ == UseMode::BS;
  if (!wholePass_) {
    switch (way) {
      case Way::A:
      case Way::B: return Action::AtOnce;
      case Way::C:
      case Way::D:
      case Way::E: return Action::None;  // these rules belong to the whole pass
      case Way::F: return bs ? Action::Collect : Action::AtOnce;
      case Way::G: return bs ? Action::AppendNoCR : Action::AtOnce;
    }
  }
  switch (way) {
    case Way::A:
    case Way::F: return bs ? Action::Collect : Action::AtOnce;
    case Way::B:
    case Way::G: return bs ? Action::AppendNoCR : Action::AtOnce;
    case Way::C: return Action::Collect;
    case Way::D: return bs ? Action::Collect : Action::None;
    case Way::E: return bs ? Action::Collect : Action::AloneWithCR;
  }
  return Action::None;
}

bool Call::report(Way way, std::string_view prefix, std::string_view text,
                  std::string_view collectedText) {
  switch (actionFor(way)) {
    case Action::AtOnce:
      verdict_.assign(prefix).append(text);
      ended_ = true;
      return true;
    case Action::AloneWithCR:
      verdict_.assign(prefix).append(text).push_back(kCR);
      ended_ = true;
      return true;
    case Action::Collect:
      verdict_.append(prefix).append(collectedText.empty() ? text : collectedText).push_back(kCR);
      return false;
    case Action::AppendNoCR:
      verdict_.append(prefix).append(collectedText.empty() ? text : collectedText);
      return false;
    case Action::None:
      return false;
  }
  return false;
}

std::string rowPrefix(long row) { return "第[" + std::to_string(row); }

}  // namespace tallyward
