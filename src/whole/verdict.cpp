#include "whole/verdict.h"

#include "rows/voucher.h"

namespace tallyward {

Call::Call(std::string_view sKey, UseMode mode)
    : key_(lowerCase(sKey)), wholePass_(key_ == "all"), mode_(mode) {}

Call::Action Call::actionFor(Way way) const {
  const bool bs = mode_ == UseMode::BS;
  if (!wholePass_) {
    switch (way) {
      case Way::AtOnceOrCollected:
      case Way::AtOnceOrAppended: return Action::AtOnce;
      case Way::CollectedInPass:
      case Way::CollectedInBsPass:
      case Way::PassEndsInCs: return Action::None;  // these rules belong to the whole pass
      case Way::AtOnceInCsCollectedInBs: return bs ? Action::Collect : Action::AtOnce;
      case Way::AtOnceInCsAppendedInBs: return bs ? Action::AppendNoCR : Action::AtOnce;
    }
  }
  switch (way) {
    case Way::AtOnceOrCollected:
    case Way::AtOnceInCsCollectedInBs: return bs ? Action::Collect : Action::AtOnce;
    case Way::AtOnceOrAppended:
    case Way::AtOnceInCsAppendedInBs: return bs ? Action::AppendNoCR : Action::AtOnce;
    case Way::CollectedInPass: return Action::Collect;
    case Way::CollectedInBsPass: return bs ? Action::Collect : Action::None;
    case Way::PassEndsInCs: return bs ? Action::Collect : Action::AloneWithCR;
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
