#include "entry/field_entry.h"


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

}  // namespace tallyward
