// Requisition head entry: the department, payment terms, purchase type and salesman typed into the
// head of a requisition, looked up by name or code. Departments must be leaves; a salesman comes
// back with his department.
#include "entry/head_entry.h"
#include "tallyward/classes.h"

namespace tallyward {

namespace {

// The requisition's screen asks the lists as the order's does.
constexpr VoucherKind kLists = VoucherKind::Order;

// The head look-ups, in the order they run.
constexpr LookupRule kHeadLookups[] = {
    departmentLookup(kLists),
    payConditionLookup(kLists),
    purchaseTypeLookup(kLists),
    personLookup(kLists),
};

}  // namespace

std::string ClsS_VerifyApplyH::VerifyHead(const std::string& sKey, Document& domHead) {
  FieldEntry fe(sKey, m_UseMode, m_Cnn, clsInfor, ReplyTag::Head, FieldEntry::OnError::Raise, skipped_);
  runHeadLookups(fe, domHead, kHeadLookups);
  return fe.verdict();
}

}  // namespace tallyward
