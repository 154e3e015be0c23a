// A large body voucher checked a batch of rows at a time.
//
// The rows of a persisted body follow one another as empty z:row elements. Such a text is split
// between them, and each batch of rows is parsed as a document of its own: the text before the
// first row, the batch's rows, the text after the last row. Only one batch's rows are then held
// parsed at once, so that a whole pass over a large body needs little more memory than its text.
// A batch document holds what the whole document holds of those rows: the same elements in the
// same parent, in the same order, with the same values.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "rows/voucher.h"
#include "tallyward/document.h"
#include "tallyward/object.h"

namespace tallyward {

class RowBatches final : public Object {
 public:
  static constexpr size_t kRowsPerBatch = 2048;

  // Takes the text over when it splits into more than one batch; otherwise leaves it as it is and
  // answers nullptr (it is then parsed whole). A text splits when the first "<z:row" in it opens a
  // run of empty z:row elements with nothing but blanks between them, no "<z:row" follows the run,
  // nothing before the run could hide an element (a comment, CDATA section, DOCTYPE or processing
  // instruction other than the XML declaration), and the text holds no NUL byte.
  static std::shared_ptr<RowBatches> split(std::string& text, size_t rowsPerBatch = kRowsPerBatch);

  // Walks the selected rows batch by batch, numbered as walkRows numbers them over the whole
  // document. A batch that is not well-formed ends the walk with error 3002.
  void walk(bool wholePass, long R, const std::function<bool(const BodyRow&)>& visit);

  // Whether every batch is well-formed XML: the batches a walk has not reached are parsed now.
  bool wellFormed();

  // Gives the text back, as it was taken over.
  std::string release() { return std::move(text_); }

  // Object: a body in batches has no members of its own.
  std::string_view typeName() const override { return "RowBatches"; }
  DispId GetIDsOfNames(std::string_view name) const override;
  Variant Invoke(DispId id, InvokeKind kind, std::span<Variant> args) override;

 private:
  RowBatches(std::string text, size_t rowsBegin, size_t rowsEnd, std::vector<size_t> cuts);

  // Batch k as a document of its own; error 3002 when it is not well-formed.
  std::shared_ptr<Document> parse(size_t k);

  std::string text_;
  size_t rowsBegin_, rowsEnd_;  // the run of rows: from the first row's "<" to the last one's ">"
  std::vector<size_t> cuts_;    // where each batch begins in the run, then the run's end
  size_t parsed_ = 0;           // the batches parsed so far, in order
  bool failed_ = false;
};

// The batches a Variant holds; nullptr when it holds something else.
RowBatches* rowBatchesOf(const Variant& v);

// The rows of a body as a whole-voucher check receives it: a document, or a large body read in
// batches. Error 91 or 424 as documentOf gives them when the Variant holds neither.
class BodyRows {
 public:
  explicit BodyRows(const Variant& body)
      : batches_(rowBatchesOf(body)), document_(batches_ ? nullptr : &documentOf(body)) {}

  // Walks the selected rows as walkRows walks a document's.
  template <class Visit>
  void walk(bool wholePass, long R, Visit&& visit) const {
    if (batches_)
      batches_->walk(wholePass, R, visit);
    else
      walkRows(*document_, wholePass, R, visit);
  }

 private:
  RowBatches* batches_;
  const Document* document_;
};

}  // namespace tallyward
