// One connection shared by threads, each with field-entry objects of its own: every answer must be
// the one a single thread gets. scripts/sanitize.sh runs this program under ThreadSanitizer too.
#include <thread>

#include "support/temp_database.h"
#include "support/voucher_builder.h"
#include "tallyward/host.h"

namespace tallyward::test {
namespace {

// A field-entry check as scripts/demo.sh runs it on the demo company, with examples/ documents.
struct Check {
  const char* className;
  const char* key;
  const char* head;
  const char* body = nullptr;
};

const Check kChecks[] = {
    {"ClsS_VerifyHPO", "cVenAbbName", "hpo_head_vendor.xml"},
    {"ClsS_VerifyHPO", "cVenAbbName", "hpo_head_stopped.xml"},
    {"ClsS_VerifyBillH", "cInvCode", "billh_head_invoice.xml", "billh_body_item.xml"},
    {"ClsS_VerifyApplyH", "all", "applyh_head.xml", "applyh_body_faulty.xml"},
    {"ClsS_VerifyArriveH", "all", "arriveh_head_note.xml", "arriveh_body_faulty.xml"},
};

std::string example(const char* name) { return readBytes(std::string(TW_SOURCE_DIR) + "/examples/" + name); }

// The verdict (or run-time error) of a check and the documents as it left them.
std::string answerOf(const Check& c, const std::shared_ptr<Connection>& cnn) {
  std::shared_ptr<Object> check = createObject(c.className);
  useDatabase(*check, cnn);
  check->putRef("clsInfor", Variant(defaultSession()));
  check->put("m_UseMode", Variant(1));
  auto hd = Document::parse(example(c.head));
  auto body = c.body ? Document::parse(example(c.body)) : nullptr;
  std::vector<Variant> args{Variant(c.key)};
  if (body) args.insert(args.end(), {Variant(body), Variant(hd), Variant(1)});
  else args.emplace_back(hd);
  std::string answer;
  try {
    answer = toText(check->call(body ? "VerifyBody" : "VerifyHead", std::span<Variant>(args)));
  } catch (const Error& e) {
    answer = "error " + std::to_string(e.number()) + ": " + e.description();
  }
  return answer + "\n" + hd->xml() + "\n" + (body ? body->xml() : "");
}

TEST(SharedConnection, ChecksOnSeveralThreadsAnswerAsOnOne) {
  const TempDatabase db(TempDatabase::DemoCompany);
  std::vector<std::string> expected;
  for (const Check& c : kChecks) expected.push_back(answerOf(c, db.connect()));
  ASSERT_NE(expected[1].find('\n'), 0u) << "the stopped vendor is refused: answers all alike would prove nothing";

  constexpr size_t kThreads = 6, kRounds = 3, kCount = std::size(kChecks);
  const std::shared_ptr<Connection> shared = db.connect();
  std::vector<std::vector<std::string>> answers(kThreads);
  std::vector<std::thread> threads;
  for (size_t t = 0; t < kThreads; ++t)
    threads.emplace_back([&, t] {
      // Each thread starts at another check, so that different look-ups meet on the connection.
      for (size_t k = 0; k < kCount * kRounds; ++k) answers[t].push_back(answerOf(kChecks[(k + t) % kCount], shared));
    });
  for (std::thread& th : threads) th.join();
  for (size_t t = 0; t < kThreads; ++t)
    for (size_t k = 0; k < answers[t].size(); ++k)
      ASSERT_EQ(answers[t][k], expected[(k + t) % kCount]) << "thread " << t << ": " << kChecks[(k + t) % kCount].head;
}

}  // namespace
}  // namespace tallyward::test
