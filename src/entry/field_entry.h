// The frame of a field-entry check: one call of VerifyHead or VerifyBody of a class that looks the
// typed text up in the ERP database and may answer with a fill-in reply.
//
// A call reads the session information object once, when it starts, and holds one read of the
// database for its statements, so that they see one state of it. VerifyHead lets every
// run-time error out to its caller; VerifyBody goes on statement by statement: each fallible
// step runs through step(), which swallows a tallyward::Error so that the check carries on with
// the next statement.
#pragma once

#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "entry/reply.h"
#include "whole/verdict.h"
#include "tallyward/database.h"
#include "tallyward/document.h"
#include "tallyward/error.h"
#include "tallyward/host.h"
#include "tallyward/usemode.h"

namespace tallyward {

class FieldEntry {
 public:
  // Raise: a run-time error ends the call (VerifyHead). Skip: the failing step is left out and
  // the check goes on (VerifyBody).
  enum class OnError { Raise, Skip };

  // The class's m_Cnn and clsInfor are taken by reference: host services may leave other objects
  // in them, which the class then keeps.
  FieldEntry(std::string_view sKey, UseMode mode, std::shared_ptr<Connection>& cnn,
             std::shared_ptr<Object>& clsInfor, ReplyTag tag, OnError onError);

  Call& call() { return call_; }
  const std::string& key() const { return call_.key(); }
  bool wholePass() const { return call_.wholePass(); }
  bool ended() const { return call_.ended(); }
  UseMode mode() const { return call_.mode(); }
  ReplyTag tag() const { return tag_; }
  bool skipsErrors() const { return onError_ == OnError::Skip; }

  // Whether a rule of this key runs in this call: a whole pass runs every rule.
  bool runs(std::string_view ruleKey) const { return wholePass() || key() == ruleKey; }

  // The session information object read when the call started; when it could not be read, the
  // error of that read again.
  const Session& session() const;
  // The connection; error 91 when the class has none.
  Connection& cnn() const;
  std::shared_ptr<Connection>& connection() { return cnn_; }
  std::shared_ptr<Object>& context() { return clsInfor_; }

  // Runs one fallible step. Answers true when it completed; false when it failed and the call
  // skips failures (with errors raised the failure leaves through here).
  template <class F>
  bool step(F&& f) {
    if (onError_ == OnError::Raise) {
      f();
      return true;
    }
    try {
      f();
      return true;
    } catch (const Error&) {
      return false;
    }
  }

  // The value a step gives, or `fallback` when the step fails (only when failures are skipped).
  template <class T, class F>
  T valueOr(T fallback, F&& f) {
    step([&] { fallback = f(); });
    return fallback;
  }

  // Loads the reply into the caller's document, replacing its content, and ends the call with
  // the verdict built so far.
  void answer(const FillInReply& reply, Document& target);

  // The verdict to return.
  std::string verdict() { return call_.take(); }

 private:
  // The read of the database that spans the call. A driver that cannot begin one leaves each
  // statement to read on its own.
  class Read {
   public:
    explicit Read(const std::shared_ptr<Connection>& cnn);
    ~Read();
    Read(const Read&) = delete;
    Read& operator=(const Read&) = delete;

   private:
    std::shared_ptr<Connection> cnn_;  // the connection the read began on, even if replaced later
  };

  Call call_;
  std::shared_ptr<Connection>& cnn_;
  std::shared_ptr<Object>& clsInfor_;
  ReplyTag tag_;
  OnError onError_;
  std::optional<Session> session_;
  std::exception_ptr sessionError_;
  Read read_;
};

}  // namespace tallyward
