// The eight verification classes. Each can be used early-bound through its typed members or
// late-bound through the Object interface (members by name or dispatch identifier).
//
// Dispatch identifiers are fixed: the n-th property (from 0) is 0x40030000 + n, the n-th method
// 0x60030000 + n, in the order the members are declared below.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "tallyward/database.h"
#include "tallyward/document.h"
#include "tallyward/object.h"
#include "tallyward/usemode.h"

namespace tallyward {

inline constexpr DispId kFirstPropertyId = 0x40030000;
inline constexpr DispId kFirstMethodId = 0x60030000;

// ---- Whole-voucher checks: no database; documents and R arrive as Variants ---------------------

// Whole outsourcing order.
class ClsS_VerifyFPO final : public Object {
 public:
  UseMode m_UseMode = UseMode::CS;
  bool m_bAlterPO = false;  // an existing order is being altered

  std::string VerifyBody(const Variant& sKey, const Variant& domBody,
                         const Variant& R = Variant::missing());
  std::string VerifyHead(const Variant& sKey, const Variant& domHead);

  std::string_view typeName() const override { return "ClsS_VerifyFPO"; }
  DispId GetIDsOfNames(std::string_view name) const override;
  Variant Invoke(DispId id, InvokeKind kind, std::span<Variant> args) override;
};

// Whole outsourcing invoice.
class ClsS_VerifyBillF final : public Object {
 public:
  UseMode m_UseMode = UseMode::CS;
  bool m_bPositive = false;  // a positive invoice
  std::string sBillType;     // "wwpurbill", "wwypurbill" or another kind

  std::string VerifyBody(const Variant& sKey, const Variant& domBody,
                         const Variant& R = Variant::missing());
  std::string VerifyHead(const Variant& sKey, const Variant& domHead);

  std::string_view typeName() const override { return "ClsS_VerifyBillF"; }
  DispId GetIDsOfNames(std::string_view name) const override;
  Variant Invoke(DispId id, InvokeKind kind, std::span<Variant> args) override;
};

// Whole arrival note.
class ClsS_VerifyArriveF final : public Object {
 public:
  UseMode m_UseMode = UseMode::CS;
  double m_ConvertExchRate = 0;  // kept for the caller; no rule reads it
  bool m_bPositive = false;      // a positive note

  std::string VerifyBody(const Variant& sKey, const Variant& domBody,
                         const Variant& R = Variant::missing());
  std::string VerifyHead(const Variant& sKey, const Variant& domHead);

  std::string_view typeName() const override { return "ClsS_VerifyArriveF"; }
  DispId GetIDsOfNames(std::string_view name) const override;
  Variant Invoke(DispId id, InvokeKind kind, std::span<Variant> args) override;
};

// Whole requisition.
class ClsS_VerifyApplyF final : public Object {
 public:
  UseMode m_UseMode = UseMode::CS;

  std::string VerifyBody(const Variant& sKey, const Variant& domBody,
                         const Variant& R = Variant::missing());
  std::string VerifyHead(const Variant& sKey, const Variant& domHead);

  std::string_view typeName() const override { return "ClsS_VerifyApplyF"; }
  DispId GetIDsOfNames(std::string_view name) const override;
  Variant Invoke(DispId id, InvokeKind kind, std::span<Variant> args) override;
};

// ---- Field-entry checks: look the typed text up in the ERP database -----------------------------

// A step of a field-entry VerifyBody that failed and was left out: the check goes on without it.
struct SkippedStep {
  std::string step;         // what the step was doing ("reading the free-item switches")
  int32_t number = 0;       // the run-time error number
  std::string description;  // the run-time error's description
};

// What every field-entry class records of its latest call besides the verdict: the steps that
// failed and were left out (VerifyBody only; VerifyHead lets its errors out). A screen's support
// staff read them to tell a missing table from a wrong entry; they are not part of the automation
// surface.
class FieldEntryTrace {
 public:
  const std::vector<SkippedStep>& skippedSteps() const { return skipped_; }

 protected:
  std::vector<SkippedStep> skipped_;
};

// Order field entry.
class ClsS_VerifyHPO final : public Object, public FieldEntryTrace {
 public:
  std::shared_ptr<Connection> m_Cnn;
  std::shared_ptr<Object> m_login;
  UseMode m_UseMode = UseMode::CS;
  std::shared_ptr<Object> clsInfor;

  std::string VerifyBody(const std::string& sKey, Document& domBody, Document* domHead = nullptr,
                         int32_t R = 0);
  std::string VerifyHead(const std::string& sKey, Document& domHead);
  bool bVerifyPoCode(const std::string& sPoCode);

  std::string_view typeName() const override { return "ClsS_VerifyHPO"; }
  DispId GetIDsOfNames(std::string_view name) const override;
  Variant Invoke(DispId id, InvokeKind kind, std::span<Variant> args) override;
};

// Invoice field entry.
class ClsS_VerifyBillH final : public Object, public FieldEntryTrace {
 public:
  UseMode m_UseMode = UseMode::CS;
  std::shared_ptr<Connection> m_Cnn;
  std::shared_ptr<Object> m_login;
  std::shared_ptr<Object> clsInfor;
  std::string sBillType;

  std::string VerifyBody(const std::string& sKey, Document& domBody, Document* domHead = nullptr,
                         int32_t R = 0);
  std::string VerifyHead(const std::string& sKey, Document& domHead);

  std::string_view typeName() const override { return "ClsS_VerifyBillH"; }
  DispId GetIDsOfNames(std::string_view name) const override;
  Variant Invoke(DispId id, InvokeKind kind, std::span<Variant> args) override;
};

// Arrival note field entry.
class ClsS_VerifyArriveH final : public Object, public FieldEntryTrace {
 public:
  UseMode m_UseMode = UseMode::CS;
  std::shared_ptr<Connection> m_Cnn;
  std::shared_ptr<Object> m_login;
  std::shared_ptr<Object> clsInfor;
  bool m_bPositive = false;

  std::string VerifyBody(const std::string& sKey, Document& domBody, Document* domHead = nullptr,
                         int32_t R = 0);
  std::string VerifyHead(const std::string& sKey, Document& domHead);

  std::string_view typeName() const override { return "ClsS_VerifyArriveH"; }
  DispId GetIDsOfNames(std::string_view name) const override;
  Variant Invoke(DispId id, InvokeKind kind, std::span<Variant> args) override;
};

// Requisition field entry.
class ClsS_VerifyApplyH final : public Object, public FieldEntryTrace {
 public:
  UseMode m_UseMode = UseMode::CS;
  std::shared_ptr<Connection> m_Cnn;
  std::shared_ptr<Object> m_login;
  std::shared_ptr<Object> clsInfor;

  std::string VerifyBody(const std::string& sKey, Document& domBody, Document* domHead = nullptr,
                         int32_t R = 0);
  std::string VerifyHead(const std::string& sKey, Document& domHead);

  std::string_view typeName() const override { return "ClsS_VerifyApplyH"; }
  DispId GetIDsOfNames(std::string_view name) const override;
  Variant Invoke(DispId id, InvokeKind kind, std::span<Variant> args) override;
};

}  // namespace tallyward
