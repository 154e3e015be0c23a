#include "entry/field_entry.h"


#include "erp/settings.h"

namespace tallyward {

FieldEntry::FieldEntry(std::string_view sKey, UseMode mode, std::shared_ptr<Connection>& cnn,
                       std::shared_ptr<Object>& clsInfor, ReplyTag tag, OnError onError,
                       std::vector<SkippedStep>& skipped)
    : call_(sKey, mode),
      cnn_(cnn),
      clsInfor_(clsInfor),
      tag_(tag),
      onError_(onError),
      skipped_(skipped),
      read_(cnn) {
  skipped_.clear();
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
    cnn->beginRead();
    cnn_ = cnn;
  } catch (const Error&) {
    // Each statement then reads on its own, and reports its own failure.
  }
}

FieldEntry::Read::~Read() {
  if (cnn_) cnn_->endRead();
}

const Session& FieldEntry::session() const {
  if (!session_) std::rethrow_exception(sessionError_);
  return *session_;
}

Connection& FieldEntry::cnn() const { return requireConnection(cnn_); }

bool FieldEntry::runs(std::string_view keys) const {
  if (wholePass()) return true;
  while (!keys.empty()) {
    const size_t blank = keys.find(' ');
    if (keys.substr(0, blank) == key()) return true;
    if (blank == std::string_view::npos) break;
    keys.remove_prefix(blank + 1);
  }
  return false;
}

void FieldEntry::answer(const FillInReply& reply, Document& target) {
  step("loading the fill-in reply into the voucher document", [&] { reply.deliverTo(target); });
  call_.end();
}

}  // namespace tallyward
