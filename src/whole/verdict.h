// The verdict of a check and the ways a failed rule reports into it.
#pragma once

#include <string>
#include <string_view>

#include "tallyward/usemode.h"
#include "tallyward/variant.h"

namespace tallyward {

// How a failed rule reports its message, by kind of call and mode:
//
//   way                        single-field check          whole pass, CS        whole pass, BS
//   AtOnceOrCollected          at once                     at once               collected
//   AtOnceOrAppended           at once                     at once               appended without CR
//   CollectedInPass            (whole pass only)           collected             collected
//   CollectedInBsPass          (whole pass only)           not applied           collected
//   PassEndsInCs               (whole pass only)           message + CR alone;   collected
//                                                          the call ends
//   AtOnceInCsCollectedInBs    CS: at once; BS: collected  at once               collected
//   AtOnceInCsAppendedInBs     CS: at once; BS: no CR      at once               appended without CR
//
// "At once" makes the message alone the verdict and ends the call; "collected" appends the message
// and a carriage return and goes on; "appended" adds the message alone and goes on.
enum class Way {
  AtOnceOrCollected,
  AtOnceOrAppended,
  CollectedInPass,
  CollectedInBsPass,
  PassEndsInCs,
  AtOnceInCsCollectedInBs,
  AtOnceInCsAppendedInBs,
};

inline constexpr char kCR = '\r';

// One call of VerifyHead or VerifyBody: the lower-cased key, the kind of call, the mode and the
// verdict built so far.
class Call {
 public:
  Call(std::string_view sKey, UseMode mode);

  const std::string& key() const { return key_; }
  bool wholePass() const { return wholePass_; }
  UseMode mode() const { return mode_; }
  bool ended() const { return ended_; }
  const std::string& verdict() const { return verdict_; }

  // Reports a failed rule. The message is prefix + text; where a rule words its collected message
  // differently, collectedText replaces text when the message is collected. Answers true when the
  // call ends here.
  bool report(Way way, std::string_view prefix, std::string_view text,
              std::string_view collectedText = {});

  // Reports a message at once whatever the kind of call and the mode (a finding about the whole
  // voucher that no other message may hide): the message alone becomes the verdict, and the call
  // ends.
  void reportAtOnce(std::string_view text) {
    verdict_.assign(text);
    ended_ = true;
  }

  // Appends a message as it stands, with no separator (the totals of a voucher).
  void append(std::string_view text) { verdict_ += text; }

  // Ends the call with the verdict built so far (an empty value while the user is still typing).
  void end() { ended_ = true; }

  // The verdict to return.
  std::string take() { return std::move(verdict_); }

 private:
  enum class Action { AtOnce, Collect, AppendNoCR, AloneWithCR, None };
  Action actionFor(Way way) const;

  std::string key_;
  bool wholePass_;
  UseMode mode_;
  bool ended_ = false;
  std::string verdict_;
};

// The text of a row number as the row messages write it: "第[" and the number; the rule's own text,
// which begins with "]行", follows.
std::string rowPrefix(long row);

}  // namespace tallyward
