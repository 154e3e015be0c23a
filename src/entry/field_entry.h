// The field-entry frame: one call of VerifyHead or VerifyBody of a class that looks the typed text
// up in the ERP database and may answer with a fill-in reply.
//
// This layer (src/entry) holds the call frame (this file), the look-up rule and its one procedure
// (lookup.h), the fill-in reply (reply.h) and the toolkit of look-ups and reply pairs that several
// voucher kinds share (head_entry.h, line_entry.h). It may use the platform (src/platform), the row
// readers (src/rows), the verdict and its reporting ways (src/whole/verdict.h), the ERP queries
// (src/erp) and the host services (tallyward/host.h); the voucher folders use it, never the other way.
//
// A call reads the session information object once, when it starts, and holds one read of the
// database for its statements, so that they see one state of it. VerifyHead lets every
// run-time error out to its caller; VerifyBody goes on statement by statement: each fallible
// step runs through step(), which records a tallyward::Error as a skipped step and carries on
// with the next statement.
#pragma once

#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "entry/reply.h"
#include "whole/verdict.h"
#include "tallyward/classes.h"
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
  // in them, which the class then keeps. `skipped` receives the steps a call skips; it is cleared
  // when the call starts.
  FieldEntry(std::string_view sKey, UseMode mode, std::shared_ptr<Connection>& cnn,
             std::shared_ptr<Object>& clsInfor, ReplyTag tag, OnError onError,
             std::vector<SkippedStep>& skipped);

  Call& call() { return call_; }
  const std::string& key() const { return call_.key(); }
  bool wholePass() const { return call_.wholePass(); }
  bool ended() const { return call_.ended(); }
  UseMode mode() const { return call_.mode(); }
  ReplyTag tag() const { return tag_; }

  // Whether a rule of these keys runs in this call: a whole pass runs every rule. `keys` lists the
  // rule's keys separated by blanks ("accountperiod caccountpname").
  bool runs(std::string_view keys) const;

  // The session information object read when the call started; when it could not be read, the
  // error of that read again.
  const Session& session() const;
  // The connection; error 91 when the class has none.
  Connection& cnn() const;
  std::shared_ptr<Connection>& connection() { return cnn_; }
  std::shared_ptr<Object>& context() { return clsInfor_; }

  // Runs one fallible step; `what` says what it does, for the record of skipped steps. Answers
  // true when it completed; false when it failed and the call skips failures (the failure is then
  // recorded). With errors raised the failure leaves through here.
  template <class F>
  bool step(std::string_view what, F&& f) {
    return step(what, {}, std::forward<F>(f));
  }
  // The same, for a step about one field or setting: recorded as "what subject".
  template <class F>
  bool step(std::string_view what, std::string_view subject, F&& f) {
    if (onError_ == OnError::Raise) {
      f();
      return true;
    }
    try {
      f();
      return true;
    } catch (const Error& e) {
      std::string step(what);
      if (!subject.empty()) step.append(" ").append(subject);
      skipped_.push_back({std::move(step), e.number(), e.description()});
      return false;
    }
  }

  // The value a step gives, or `fallback` when the step fails (only when failures are skipped).
  template <class T, class F>
  T valueOr(std::string_view what, T fallback, F&& f) {
    step(what, [&] { fallback = f(); });
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
  std::vector<SkippedStep>& skipped_;
  std::optional<Session> session_;
  std::exception_ptr sessionError_;
  Read read_;
};

}  // namespace tallyward
