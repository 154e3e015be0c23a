/* Tests of the C interface, written in C against the shared library. Each TEST is one ctest case
 * (`tallyward_capi_tests NAME` runs one; without a name every case runs). */
#include <pthread.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include "tallyward/tallyward.h"

static int failures;

#define CHECK(cond)                                                                  \
  do {                                                                               \
    if (!(cond)) {                                                                   \
      fprintf(stderr, "%s:%d: CHECK failed: %s\n", __FILE__, __LINE__, #cond);       \
      ++failures;                                                                    \
    }                                                                                \
  } while (0)
#define CHECK_STR(actual, expected)                                                           \
  do {                                                                                        \
    const char* a_ = (actual);                                                                \
    const char* e_ = (expected);                                                              \
    if (!a_ || strcmp(a_, e_) != 0) {                                                         \
      fprintf(stderr, "%s:%d: %s\n  is: %s\n  wanted: %s\n", __FILE__, __LINE__, #actual,     \
              a_ ? a_ : "(NULL)", e_);                                                        \
      ++failures;                                                                             \
    }                                                                                         \
  } while (0)
/* A value the library filled that must be this text; the value is released. */
#define CHECK_TEXT(value, expected)                                             \
  do {                                                                          \
    tw_value* v_ = &(value);                                                    \
    CHECK_STR(v_->kind == TW_TEXT ? v_->u.text : "(not a text)", (expected));   \
    tw_value_clear(v_);                                                         \
  } while (0)
/* A call that must succeed; on failure the error is shown. */
#define OK(call)                                                                                \
  do {                                                                                          \
    tw_status s_ = (call);                                                                      \
    if (s_ != TW_OK) {                                                                          \
      fprintf(stderr, "%s:%d: %s failed: %d %s\n", __FILE__, __LINE__, #call, (int)s_,          \
              tw_error_description());                                                          \
      ++failures;                                                                               \
    }                                                                                           \
  } while (0)
/* A call that must fail with `number`, leaving that number and a description containing `part`. */
#define FAILS(call, number, part)                                                             \
  do {                                                                                        \
    tw_status s_ = (call);                                                                    \
    if (s_ != (number) || tw_error_number() != (number) ||                                    \
        !strstr(tw_error_description(), (part))) {                                            \
      fprintf(stderr, "%s:%d: %s gave %d (last error %d \"%s\"), wanted %d with \"%s\"\n",    \
              __FILE__, __LINE__, #call, (int)s_, (int)tw_error_number(),                     \
              tw_error_description(), (int)(number), (part));                                 \
      ++failures;                                                                             \
    }                                                                                         \
  } while (0)

static tw_value text(const char* t) { tw_value v; v.kind = TW_TEXT; v.u.text = t; return v; }
static tw_value integer(int32_t i) { tw_value v; v.kind = TW_LONG; v.u.integer = i; return v; }
static tw_value object(tw_object* o) { tw_value v; v.kind = TW_OBJECT; v.u.object = o; return v; }
static tw_value missing(void) { tw_value v; v.kind = TW_MISSING; v.u.integer = 0; return v; }

static char* readExample(const char* name) {
  char path[1024];
  snprintf(path, sizeof path, "%s/examples/%s", TW_SOURCE_DIR, name);
  FILE* f = fopen(path, "rb");
  if (!f) { fprintf(stderr, "cannot read %s\n", path); exit(2); }
  fseek(f, 0, SEEK_END);
  long n = ftell(f);
  fseek(f, 0, SEEK_SET);
  char* s = malloc((size_t)n + 1);
  if (fread(s, 1, (size_t)n, f) != (size_t)n) { fprintf(stderr, "short read %s\n", path); exit(2); }
  s[n] = '\0';
  fclose(f);
  return s;
}

static tw_object* exampleDocument(const char* name) {
  char* xml = readExample(name);
  tw_object* d = NULL;
  OK(tw_document_parse(xml, &d));
  free(xml);
  return d;
}

/* A demo company database of this process (created on first use, removed at exit). */
static char demoPath[256];
static void removeDemo(void) { unlink(demoPath); }
static const char* demoDatabase(void) {
  if (!demoPath[0]) {
    const char* tmp = getenv("TMPDIR");
    snprintf(demoPath, sizeof demoPath, "%s/tw_capi_%d.db", tmp && *tmp ? tmp : "/tmp", (int)getpid());
    OK(tw_database_create(demoPath, 1, 1));
    atexit(removeDemo);
  }
  return demoPath;
}

/* An order field-entry check over the demo company with the given session (NULL: the default). */
static tw_object* orderEntry(tw_object* session) {
  tw_object *check = NULL, *connection = NULL, *fallback = NULL;
  OK(tw_create("Tallyward.ClsS_VerifyHPO", &check));
  OK(tw_connection_open(demoDatabase(), &connection));
  OK(tw_use_database(check, connection));
  if (!session) OK(tw_session_default(&fallback));
  tw_value s = object(session ? session : fallback);
  OK(tw_put(check, "clsInfor", &s));
  tw_release(connection);
  tw_release(fallback);
  return check;
}

/* Calls VerifyHead(key, head) and gives the verdict (freed by the caller). */
static char* verifyHead(tw_object* check, const char* key, tw_object* head) {
  tw_value args[2] = {text(key), object(head)};
  tw_value verdict;
  OK(tw_call(check, "VerifyHead", args, 2, &verdict));
  CHECK(verdict.kind == TW_TEXT);
  char* copy = strdup(verdict.kind == TW_TEXT ? verdict.u.text : "(not text)");
  tw_value_clear(&verdict);
  return copy;
}

/* Each TEST registers itself, in the order of the file, before main runs. */
typedef struct { const char* name; void (*run)(void); } test_case;
static test_case kTests[64];
static size_t testCount;
#define TEST(name)                                                                          \
  static void name(void);                                                                   \
  __attribute__((constructor)) static void register_##name(void) {                          \
    if (testCount < sizeof kTests / sizeof kTests[0]) kTests[testCount++] = (test_case){#name, name}; \
  }                                                                                         \
  static void name(void)

/* ---- Creating checks ------------------------------------------------------------------------- */

TEST(create_by_name_progid_and_clsid) {
  /* Each spelling names the class it should: only BillF has sBillType, only HPO bVerifyPoCode. */
  static const struct { const char* id; const char* member; } cases[] = {
      {"ClsS_VerifyBillF", "sBillType"},
      {"tallyward.clss_verifybillf", "sBillType"},
      {"{CFA31A4F-F351-4D08-B18E-45DFEB8D576D}", "sBillType"},
      {"cfa31a4f-f351-4d08-b18e-45dfeb8d576d", "sBillType"},
      {"Tallyward.ClsS_VerifyHPO", "m_Cnn"},
      {"{15EFD80A-3B3E-4B76-A95D-E640CF64015C}", "m_Cnn"},
  };
  for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
    tw_object* o = NULL;
    OK(tw_create(cases[i].id, &o));
    tw_value v;
    if (tw_get(o, cases[i].member, &v) != TW_OK) {
      fprintf(stderr, "case %s: no member %s\n", cases[i].id, cases[i].member);
      ++failures;
    }
    tw_value_clear(&v);
    tw_release(o);
  }
  tw_object* fpo = NULL;
  tw_value v;
  OK(tw_create("ClsS_VerifyFPO", &fpo));
  FAILS(tw_get(fpo, "sBillType", &v), 438, "sBillType");
  tw_release(fpo);
}

TEST(create_failures_hand_out_nothing) {
  tw_object* o = (tw_object*)&o; /* not NULL: a failure must clear it */
  FAILS(tw_create("Tallyward.NoSuchCheck", &o), 429, "Tallyward.NoSuchCheck");
  CHECK(o == NULL);
  o = (tw_object*)&o;
  FAILS(tw_create(NULL, &o), 5, "class name");
  CHECK(o == NULL);
  FAILS(tw_create("ClsS_VerifyFPO", NULL), 5, "result pointer");
  tw_release(NULL);
}

/* ---- Properties -------------------------------------------------------------------------------- */

TEST(put_and_get_convert_as_the_properties_do) {
  tw_object *fpo = NULL, *billf = NULL, *arrivef = NULL;
  OK(tw_create("ClsS_VerifyFPO", &fpo));
  OK(tw_create("ClsS_VerifyBillF", &billf));
  OK(tw_create("ClsS_VerifyArriveF", &arrivef));
  tw_value v;

  OK(tw_get(fpo, "m_UseMode", &v));
  CHECK(v.kind == TW_LONG && v.u.integer == 0);
  tw_value bs = integer(1);
  OK(tw_put(fpo, "M_USEMODE", &bs)); /* names in any letter case */
  OK(tw_get(fpo, "m_UseMode", &v));
  CHECK(v.kind == TW_LONG && v.u.integer == 1);

  tw_value yes = text("True");
  OK(tw_put(fpo, "m_bAlterPO", &yes));
  OK(tw_get(fpo, "m_bAlterPO", &v));
  CHECK(v.kind == TW_BOOLEAN && v.u.boolean == 1);

  tw_value kind = text("委外发票");
  OK(tw_put(billf, "sBillType", &kind));
  OK(tw_get(billf, "sBillType", &v));
  CHECK_TEXT(v, "委外发票");
  CHECK(v.kind == TW_EMPTY);

  tw_value rate;
  rate.kind = TW_DOUBLE;
  rate.u.number = 1.25;
  OK(tw_put(arrivef, "m_ConvertExchRate", &rate));
  OK(tw_get(arrivef, "m_ConvertExchRate", &v));
  CHECK(v.kind == TW_DOUBLE && v.u.number == 1.25);

  tw_release(fpo);
  tw_release(billf);
  tw_release(arrivef);
}

TEST(put_failures_leave_the_property) {
  tw_object *fpo = NULL, *hpo = NULL, *doc = NULL;
  OK(tw_create("ClsS_VerifyFPO", &fpo));
  OK(tw_create("ClsS_VerifyHPO", &hpo));
  OK(tw_document_parse("<xml/>", &doc));
  tw_value one = integer(1), bad = text("abc"), nope = text("x"), d = object(doc);
  OK(tw_put(fpo, "m_UseMode", &one));

  FAILS(tw_put(fpo, "m_UseMode", &bad), 13, "Type mismatch");
  FAILS(tw_put(fpo, "m_NoSuch", &one), 438, "m_NoSuch");
  FAILS(tw_put(fpo, "m_UseMode", &d), 438, "m_UseMode");  /* an object is set by reference */
  FAILS(tw_put(hpo, "m_Cnn", &nope), 438, "m_Cnn");        /* a value is not an object */
  FAILS(tw_put(hpo, "m_Cnn", &d), 13, "m_Cnn");            /* a document is not a connection */
  tw_value odd;
  odd.kind = 99;
  odd.u.integer = 0;
  FAILS(tw_put(fpo, "m_UseMode", &odd), 5, "kind 99");
  tw_value noText;
  noText.kind = TW_TEXT;
  noText.u.text = NULL;
  FAILS(tw_put(fpo, "m_UseMode", &noText), 5, "text pointer");
  FAILS(tw_put(fpo, "m_UseMode", NULL), 5, "value");
  FAILS(tw_put(fpo, NULL, &one), 5, "property name");
  FAILS(tw_put(NULL, "m_UseMode", &one), 91, "Object variable not set");

  tw_value v;
  OK(tw_get(fpo, "m_UseMode", &v));
  CHECK(v.kind == TW_LONG && v.u.integer == 1);
  tw_release(fpo);
  tw_release(hpo);
  tw_release(doc);
}

TEST(get_failures_clear_the_result) {
  tw_object* fpo = NULL;
  OK(tw_create("ClsS_VerifyFPO", &fpo));
  tw_value v = integer(7);
  FAILS(tw_get(fpo, "NoSuchProperty", &v), 438, "NoSuchProperty");
  CHECK(v.kind == TW_EMPTY);
  v = integer(7);
  FAILS(tw_get(NULL, "m_UseMode", &v), 91, "not set");
  CHECK(v.kind == TW_EMPTY);
  FAILS(tw_get(fpo, NULL, &v), 5, "property name");
  FAILS(tw_get(fpo, "m_UseMode", NULL), 5, "result pointer");
  tw_release(fpo);
}

TEST(object_properties_hand_out_their_own_handles) {
  tw_object *hpo = NULL, *connection = NULL;
  OK(tw_create("ClsS_VerifyHPO", &hpo));
  tw_value v;
  OK(tw_get(hpo, "m_Cnn", &v));
  CHECK(v.kind == TW_OBJECT && v.u.object == NULL); /* Nothing until set */

  OK(tw_connection_open(demoDatabase(), &connection));
  tw_value c = object(connection);
  OK(tw_put(hpo, "m_Cnn", &c));
  tw_release(connection); /* the check keeps its own reference */
  OK(tw_get(hpo, "m_Cnn", &v));
  CHECK(v.kind == TW_OBJECT && v.u.object != NULL);
  tw_value cs;
  if (v.kind == TW_OBJECT && v.u.object && tw_get(v.u.object, "ConnectionString", &cs) == TW_OK) CHECK_TEXT(cs, demoDatabase());
  else CHECK(!"a connection string");
  tw_value_clear(&v);
  CHECK(v.kind == TW_EMPTY && v.u.object == NULL);

  tw_value nothing = object(NULL);
  OK(tw_put(hpo, "m_Cnn", &nothing));
  OK(tw_get(hpo, "m_Cnn", &v));
  CHECK(v.kind == TW_OBJECT && v.u.object == NULL);
  tw_release(hpo);
  tw_value_clear(NULL);
}

/* ---- Methods ------------------------------------------------------------------------------------- */

TEST(whole_pass_verdicts_in_both_modes) {
  tw_object *fpo = NULL, *body = exampleDocument("order_body_faulty.xml");
  OK(tw_create("Tallyward.ClsS_VerifyFPO", &fpo));
  tw_value args[3] = {text("all"), object(body), missing()};
  tw_value verdict;

  OK(tw_call(fpo, "VerifyBody", args, 2, &verdict));
  CHECK_TEXT(verdict, "第[3]行存货不能为空，请检查！");

  tw_value bs = integer(1);
  OK(tw_put(fpo, "m_UseMode", &bs));
  OK(tw_call(fpo, "verifybody", args, 3, &verdict)); /* R given as Missing */
  CHECK(verdict.kind == TW_TEXT);
  if (verdict.kind == TW_TEXT) {
    const char* t = verdict.u.text;
    CHECK(strncmp(t, "第[1]行数量不能为空，请检查！\r第[3]行存货不能为空，请检查！\r", strlen("第[1]行数量不能为空，请检查！\r第[3]行存货不能为空，请检查！\r")) == 0);
    const char* tail = "第[4]行税率必须在 0 到 100 之间，请检查！\r";
    CHECK(strlen(t) > strlen(tail) && strcmp(t + strlen(t) - strlen(tail), tail) == 0);
  }
  tw_value_clear(&verdict);

  /* A single-field check reports the row number passed as R. */
  tw_value single[3] = {text("iunitprice"), object(body), integer(7)};
  OK(tw_call(fpo, "VerifyBody", single, 3, &verdict));
  CHECK_TEXT(verdict, "第[7]行请先录入存货！");

  OK(tw_call(fpo, "VerifyBody", args, 2, NULL)); /* the answer may be left unread */
  tw_release(fpo);
  tw_release(body);
}

TEST(call_failures_clear_the_result) {
  tw_object *fpo = NULL, *body = exampleDocument("order_body_faulty.xml");
  OK(tw_create("ClsS_VerifyFPO", &fpo));
  tw_value verdict = integer(7);
  /* A single-field check needs R: a run-time error of the check itself, and no verdict. */
  tw_value noRow[2] = {text("iquantity"), object(body)};
  FAILS(tw_call(fpo, "VerifyBody", noRow, 2, &verdict), 13, "missing");
  CHECK(verdict.kind == TW_EMPTY);
  tw_value notADocument[2] = {text("all"), text("<xml/>")};
  FAILS(tw_call(fpo, "VerifyBody", notADocument, 2, &verdict), 424, "document");
  FAILS(tw_call(fpo, "VerifyBody", noRow, 1, &verdict), 5, "VerifyBody");
  FAILS(tw_call(fpo, "Verify", noRow, 2, &verdict), 438, "Verify");
  FAILS(tw_call(fpo, "VerifyBody", NULL, 2, &verdict), 5, "arguments");
  tw_value odd[2] = {text("all"), object(body)};
  odd[1].kind = -1;
  FAILS(tw_call(fpo, "VerifyBody", odd, 2, &verdict), 5, "argument 2");
  FAILS(tw_call(fpo, NULL, noRow, 2, &verdict), 5, "method name");
  FAILS(tw_call(NULL, "VerifyBody", noRow, 2, &verdict), 91, "not set");
  CHECK(verdict.kind == TW_EMPTY);
  tw_release(fpo);
  tw_release(body);
}

TEST(field_entry_loads_its_reply_into_the_callers_document) {
  tw_object* check = orderEntry(NULL);
  tw_object* head = exampleDocument("hpo_head_vendor.xml");
  uint32_t count = 99;
  OK(tw_document_replacements(head, &count));
  CHECK(count == 0);

  char* verdict = verifyHead(check, "cVenAbbName", head);
  CHECK_STR(verdict, "");
  free(verdict);
  OK(tw_document_replacements(head, &count));
  CHECK(count == 1);
  char* reply = NULL;
  OK(tw_document_text(head, &reply));
  const char* start = "<?xml version='1.0' encoding='GB2312'?>\r<head>\r<R K='cVenCode' V='V001'/>\r";
  CHECK(reply && strncmp(reply, start, strlen(start)) == 0);
  CHECK(reply && strstr(reply, "<R K='cDepName' V='外协部'/>\r"));
  tw_text_free(reply);

  /* A stopped vendor is refused and its head left as it was. */
  tw_object* stopped = exampleDocument("hpo_head_stopped.xml");
  verdict = verifyHead(check, "cVenAbbName", stopped);
  CHECK_STR(verdict, "供应商录入不正确或已经停用，请检查！");
  free(verdict);
  OK(tw_document_replacements(stopped, &count));
  CHECK(count == 0);

  tw_value args[1] = {text("CG2601001")}, answer;
  OK(tw_call(check, "bVerifyPoCode", args, 1, &answer));
  CHECK(answer.kind == TW_BOOLEAN && answer.u.boolean == 1);
  tw_release(check);
  tw_release(head);
  tw_release(stopped);
}

/* ---- Documents ------------------------------------------------------------------------------------ */

TEST(documents_from_text_and_back) {
  tw_object* d = NULL;
  OK(tw_document_parse("<xml><rs:data xmlns:rs='r'><z:row xmlns:z='z' cinvcode='齿轮&amp;轴'/></rs:data></xml>", &d));
  char* t = NULL;
  OK(tw_document_text(d, &t));
  CHECK_STR(t, "<xml><rs:data xmlns:rs=\"r\"><z:row xmlns:z=\"z\" cinvcode=\"齿轮&amp;轴\"/></rs:data></xml>");
  tw_text_free(t);
  tw_text_free(NULL);
  tw_release(d);
}

TEST(document_failures) {
  tw_object *d = (tw_object*)&d, *fpo = NULL;
  FAILS(tw_document_parse("<xml><unclosed></xml>", &d), 3002, "not well-formed");
  CHECK(d == NULL);
  FAILS(tw_document_parse(NULL, &d), 5, "document text");
  FAILS(tw_document_parse("<xml/>", NULL), 5, "result pointer");

  OK(tw_create("ClsS_VerifyFPO", &fpo));
  char* t = (char*)&t;
  uint32_t count = 5;
  FAILS(tw_document_text(fpo, &t), 13, "ClsS_VerifyFPO");
  CHECK(t == NULL);
  FAILS(tw_document_text(NULL, &t), 91, "not set");
  FAILS(tw_document_replacements(fpo, &count), 13, "not a voucher document");
  CHECK(count == 0);
  FAILS(tw_document_replacements(NULL, &count), 91, "not set");
  OK(tw_document_parse("<xml/>", &d));
  FAILS(tw_document_text(d, NULL), 5, "result pointer");
  FAILS(tw_document_replacements(d, NULL), 5, "result pointer");
  tw_release(d);
  tw_release(fpo);
}

/* ---- Database, connections, sessions ---------------------------------------------------------------- */

TEST(connection_failures) {
  tw_object* c = (tw_object*)&c;
  FAILS(tw_connection_open("/nonexistent/folder/erp.db", &c), 3001, "erp.db");
  CHECK(c == NULL);
  FAILS(tw_connection_open("Driver=Oracle;Database=x", &c), 3001, "");
  FAILS(tw_connection_open(NULL, &c), 5, "connection string");
  FAILS(tw_connection_open(demoDatabase(), NULL), 5, "result pointer");
  OK(tw_connection_open(demoDatabase(), &c));
  tw_release(c);
}

TEST(use_database_sets_connection_and_login) {
  tw_object *hpo = NULL, *fpo = NULL, *connection = NULL, *doc = NULL;
  OK(tw_create("ClsS_VerifyHPO", &hpo));
  OK(tw_create("ClsS_VerifyFPO", &fpo));
  OK(tw_connection_open(demoDatabase(), &connection));
  OK(tw_document_parse("<xml/>", &doc));

  OK(tw_use_database(hpo, connection));
  tw_value login;
  OK(tw_get(hpo, "m_login", &login));
  CHECK(login.kind == TW_OBJECT && login.u.object);
  tw_value cs;
  if (login.kind == TW_OBJECT && login.u.object && tw_get(login.u.object, "ConnectionString", &cs) == TW_OK)
    CHECK_TEXT(cs, demoDatabase());
  else CHECK(!"a login with a connection string");
  tw_value_clear(&login);

  FAILS(tw_use_database(fpo, connection), 438, "m_Cnn");
  FAILS(tw_use_database(hpo, doc), 13, "not a connection");
  FAILS(tw_use_database(NULL, connection), 91, "not set");
  OK(tw_use_database(hpo, NULL));
  tw_value v;
  OK(tw_get(hpo, "m_login", &v));
  CHECK(v.kind == TW_OBJECT && v.u.object == NULL);
  OK(tw_get(hpo, "m_Cnn", &v));
  CHECK(v.kind == TW_OBJECT && v.u.object == NULL);

  /* Without a database a head check fails with a run-time error, never a verdict. */
  tw_object* head = exampleDocument("hpo_head_vendor.xml");
  tw_value args[2] = {text("cVenAbbName"), object(head)}, verdict;
  CHECK(tw_call(hpo, "VerifyHead", args, 2, &verdict) != TW_OK && verdict.kind == TW_EMPTY);
  tw_release(head);
  tw_release(hpo);
  tw_release(fpo);
  tw_release(connection);
  tw_release(doc);
}

TEST(database_create_never_overwrites_unasked) {
  char path[300];
  snprintf(path, sizeof path, "%s.fresh", demoDatabase());
  unlink(path);
  OK(tw_database_create(path, 0, 0));
  FAILS(tw_database_create(path, 1, 0), 5, "exists");
  OK(tw_database_create(path, 1, 1));
  tw_object* c = NULL;
  OK(tw_connection_open(path, &c));
  tw_release(c);
  unlink(path);
  FAILS(tw_database_create("/nonexistent/folder/erp.db", 1, 0), 3001, "");
  FAILS(tw_database_create(NULL, 1, 0), 5, "path");
}

TEST(session_from_json_decides_data_rights) {
  tw_object* session = NULL;
  OK(tw_session_from_json("{\"OperaterCode\": \"nobody\", \"bCheckVendorAuth\": true}", &session));
  tw_object* check = orderEntry(session);
  tw_object* head = exampleDocument("hpo_head_vendor.xml");
  char* verdict = verifyHead(check, "cVenAbbName", head);
  CHECK_STR(verdict, "对不起，您没有录入该供应商的权限！");
  free(verdict);
  tw_release(check);
  tw_release(head);
  tw_release(session);

  tw_object* s = (tw_object*)&s;
  FAILS(tw_session_from_json("{\"OperaterCode\": ", &s), 5, "not valid JSON");
  CHECK(s == NULL);
  FAILS(tw_session_from_json("{\"NoSuchMember\": 1}", &s), 5, "NoSuchMember");
  FAILS(tw_session_from_json(NULL, &s), 5, "JSON text");
  FAILS(tw_session_from_json("{}", NULL), 5, "result pointer");
}

TEST(default_session_reads_as_dates_and_texts) {
  tw_object* s = NULL;
  OK(tw_session_default(&s));
  tw_value info, v;
  OK(tw_get(s, "Information", &info));
  CHECK(info.kind == TW_OBJECT && info.u.object);
  if (info.kind == TW_OBJECT && info.u.object) {
    OK(tw_get(info.u.object, "startdate", &v));
    CHECK(v.kind == TW_DATE && v.u.date == 46023.0); /* 2026-01-01 */
    OK(tw_get(info.u.object, "OperaterCode", &v));
    CHECK_TEXT(v, "demo");
  }
  tw_value_clear(&info);
  tw_release(s);
  FAILS(tw_session_default(NULL), 5, "result pointer");
}

/* ---- Errors and the library --------------------------------------------------------------------- */

static void* failInAnotherThread(void* unused) {
  (void)unused;
  tw_object* o = NULL;
  tw_create("NoSuchClassElsewhere", &o);
  return NULL;
}

TEST(last_error_per_thread_and_cleared_by_success) {
  tw_object* o = NULL;
  FAILS(tw_create("NoSuchClass", &o), 429, "NoSuchClass");
  pthread_t t;
  pthread_create(&t, NULL, failInAnotherThread, NULL);
  pthread_join(t, NULL);
  CHECK(tw_error_number() == 429);
  CHECK(strstr(tw_error_description(), "NoSuchClass") && !strstr(tw_error_description(), "Elsewhere"));
  OK(tw_create("ClsS_VerifyFPO", &o));
  CHECK(tw_error_number() == 0);
  CHECK_STR(tw_error_description(), "");
  tw_release(o);
}

TEST(version_is_the_projects) { CHECK_STR(tw_version(), TW_EXPECTED_VERSION); }

/* A handle keeps its object alive after the handle it came through is released. */
TEST(handles_are_independent_references) {
  tw_object* check = orderEntry(NULL);
  tw_value v;
  OK(tw_get(check, "m_Cnn", &v));
  tw_release(check);
  CHECK(v.kind == TW_OBJECT && v.u.object);
  if (v.kind == TW_OBJECT && v.u.object) {
    tw_value sql[1] = {text("SELECT cVenCode FROM Vendor WHERE cVenAbbName = '华东精工'")}, rs, code;
    OK(tw_call(v.u.object, "Execute", sql, 1, &rs));
    if (rs.kind == TW_OBJECT && rs.u.object) {
      tw_value field[1] = {text("cVenCode")};
      OK(tw_call(rs.u.object, "Fields", field, 1, &code));
      CHECK_TEXT(code, "V001");
    } else {
      CHECK(!"a recordset");
    }
    tw_value_clear(&rs);
  }
  tw_value_clear(&v);
}


int main(int argc, char** argv) {
  size_t ran = 0;
  int failed = 0;
  for (size_t i = 0; i < testCount; ++i) {
    if (argc > 1 && strcmp(argv[1], kTests[i].name) != 0) continue;
    const int before = failures;
    kTests[i].run();
    ++ran;
    if (failures != before) {
      ++failed;
      fprintf(stderr, "FAILED %s\n", kTests[i].name);
    }
  }
  if (ran == 0) {
    fprintf(stderr, "no test named %s\n", argc > 1 ? argv[1] : "");
    return 2;
  }
  printf("%zu passed, %d failed\n", ran - (size_t)failed, failed);
  return failed ? 1 : 0;
}
