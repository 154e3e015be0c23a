/* Tests of the C interface, in C against the shared library: built in the tree, and built again
 * against the installed package (install_test.sh). Each TEST is one ctest case
 * (`tallyward_capi_tests NAME` runs one; without a name every case runs). */
#include <pthread.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <tallyward/tallyward.h>

static int failures;
static void fail(int line, const char* what, const char* is) {
  fprintf(stderr, "capi_test.c:%d: %s%s%s\n", line, what, is ? "\n  is: " : "", is ? is : "");
  ++failures;
}
#define CHECK(cond) ((cond) ? (void)0 : fail(__LINE__, #cond, NULL))
#define CHECK_STR(actual, expected) \
  do { const char* a_ = (actual); if (!a_ || strcmp(a_, (expected)) != 0) fail(__LINE__, #actual " == " #expected, a_); } while (0)
#define OK(call) ((call) == TW_OK ? (void)0 : fail(__LINE__, #call, tw_error_description()))
/* A call that fails with `number`, leaving that number and a description containing `part`. */
#define FAILS(call, number, part) \
  ((call) == (number) && tw_error_number() == (number) && strstr(tw_error_description(), (part)) \
       ? (void)0 : fail(__LINE__, #call " fails with " #number " " #part, tw_error_description()))

static tw_value text(const char* t) { tw_value v; v.kind = TW_TEXT; v.u.text = t; return v; }
static tw_value integer(int32_t i) { tw_value v; v.kind = TW_LONG; v.u.integer = i; return v; }
static tw_value object(tw_object* o) { tw_value v; v.kind = TW_OBJECT; v.u.object = o; return v; }

static tw_object* document(const char* example) {
  char path[1024], *xml = calloc(1, 1 << 16);
  snprintf(path, sizeof path, "%s/examples/%s", TW_SOURCE_DIR, example);
  FILE* f = fopen(path, "rb");
  if (!f || fread(xml, 1, (1 << 16) - 1, f) == 0) { fprintf(stderr, "cannot read %s\n", path); exit(2); }
  fclose(f);
  tw_object* d = NULL;
  OK(tw_document_parse(xml, &d));
  free(xml);
  return d;
}

/* The demo company of this process, created on first use and removed at exit. */
static char demoPath[256];
static void removeDemo(void) { unlink(demoPath); }
static const char* demo(void) {
  if (!demoPath[0]) {
    snprintf(demoPath, sizeof demoPath, "%s/tw_capi_%d.db", getenv("TMPDIR") ? getenv("TMPDIR") : "/tmp", (int)getpid());
    OK(tw_database_create(demoPath, 1, 1));
    atexit(removeDemo);
  }
  return demoPath;
}

/* Calls method(key, doc[, row]) and compares the verdict; row 0 leaves R out. */
static void verdict(int line, tw_object* check, const char* method, const char* key, tw_object* doc, int32_t row,
                    const char* expected) {
  tw_value args[3] = {text(key), object(doc), integer(row)}, v;
  if (tw_call(check, method, args, row ? 3 : 2, &v) != TW_OK) { fail(line, key, tw_error_description()); return; }
  if (v.kind != TW_TEXT || strcmp(v.u.text, expected) != 0) fail(line, expected, v.kind == TW_TEXT ? v.u.text : "(not text)");
  tw_value_clear(&v);
}

/* Each TEST registers itself, in the order of the file, before main runs. */
typedef struct { const char* name; void (*run)(void); } test_case;
static test_case kTests[16];
static size_t testCount;
#define TEST(name)                                                                           \
  static void name(void);                                                                    \
  __attribute__((constructor)) static void register_##name(void) { kTests[testCount++] = (test_case){#name, name}; } \
  static void name(void)

TEST(classes_by_name_progid_and_clsid_and_their_properties) {
  static const char* const ids[] = {"ClsS_VerifyBillF", "tallyward.clss_verifybillf", "{CFA31A4F-F351-4D08-B18E-45DFEB8D576D}",
                                    "cfa31a4f-f351-4d08-b18e-45dfeb8d576d"};
  tw_object *o = NULL, *fpo = NULL, *doc = NULL;
  tw_value v, kind = text("委外发票"), yes = text("True"), one = integer(1), bad = text("abc");
  for (size_t i = 0; i < sizeof ids / sizeof ids[0]; ++i) {
    OK(tw_create(ids[i], &o));
    OK(tw_put(o, "sBillType", &kind)); /* only the invoice has it */
    OK(tw_get(o, "SBILLTYPE", &v));
    CHECK(v.kind == TW_TEXT && strcmp(v.u.text, "委外发票") == 0);
    tw_value_clear(&v);
    CHECK(v.kind == TW_EMPTY);
    tw_release(o);
  }
  OK(tw_create("{86C8CA90-D6F8-46D0-8607-DC469D276005}", &fpo)); /* the order */
  OK(tw_document_parse("<xml/>", &doc));
  OK(tw_put(fpo, "m_bAlterPO", &yes));
  OK(tw_get(fpo, "m_bAlterPO", &v));
  CHECK(v.kind == TW_BOOLEAN && v.u.boolean == 1);
  OK(tw_put(fpo, "m_UseMode", &one));
  tw_value d = object(doc), odd = integer(0), nullText = text(NULL);
  odd.kind = 99;
  FAILS(tw_get(fpo, "sBillType", &v), 438, "sBillType");
  FAILS(tw_put(fpo, "m_UseMode", &bad), 13, "Type mismatch");
  FAILS(tw_put(fpo, "m_UseMode", &d), 438, "m_UseMode"); /* an object is set by reference */
  FAILS(tw_put(fpo, "m_UseMode", &odd), 5, "kind 99");
  FAILS(tw_put(fpo, "m_UseMode", &nullText), 5, "text pointer");
  FAILS(tw_put(fpo, "m_UseMode", NULL), 5, "value");
  FAILS(tw_put(fpo, NULL, &one), 5, "property name");
  FAILS(tw_put(NULL, "m_UseMode", &one), 91, "Object variable not set");
  v = integer(7);
  FAILS(tw_get(NULL, "m_UseMode", &v), 91, "not set");
  CHECK(v.kind == TW_EMPTY); /* a failed call clears what it would have filled */
  FAILS(tw_get(fpo, "m_UseMode", NULL), 5, "result pointer");
  OK(tw_get(fpo, "m_UseMode", &v));
  CHECK(v.kind == TW_LONG && v.u.integer == 1); /* the failed puts left it */
  o = (tw_object*)&o;
  FAILS(tw_create("Tallyward.NoSuchCheck", &o), 429, "Tallyward.NoSuchCheck");
  CHECK(o == NULL);
  FAILS(tw_create(NULL, &o), 5, "class name");
  FAILS(tw_create("ClsS_VerifyFPO", NULL), 5, "result pointer");
  tw_release(NULL);
  tw_release(fpo);
  tw_release(doc);
}

TEST(whole_pass_verdicts_and_call_failures) {
  tw_object *fpo = NULL, *body = document("order_body_faulty.xml");
  OK(tw_create("Tallyward.ClsS_VerifyFPO", &fpo));
  verdict(__LINE__, fpo, "VerifyBody", "all", body, 0, "第[3]行存货不能为空，请检查！");
  verdict(__LINE__, fpo, "VerifyBody", "iunitprice", body, 7, "第[7]行请先录入存货！");
  tw_value bs = integer(1), v = integer(7), args[2] = {text("iquantity"), object(body)}, missing = integer(0);
  OK(tw_put(fpo, "m_UseMode", &bs));
  verdict(__LINE__, fpo, "verifybody", "all", body, 0,
          "第[1]行数量不能为空，请检查！\r第[3]行存货不能为空，请检查！\r第[3]行有项目大类，必须录入项目！\r第[3]行数量必须大于零，请检查！\r"
          "第[3]行换算率不能为空，请检查！\r第[3]行计量单位不能为空，请检查！\r第[3]行件数不能为空，请检查！\r"
          "第[3]行原币单价必须大于 0，请检查！\r第[3]行税率未输入，请检查！！\r第[4]行到货日期录入错误，请检查！\r"
          "第[4]行税率必须在 0 到 100 之间，请检查！\r");
  missing.kind = TW_MISSING;
  tw_value withMissing[3] = {text("all"), object(body), missing};
  OK(tw_call(fpo, "VerifyBody", withMissing, 3, NULL)); /* R given as Missing; the answer left unread */
  FAILS(tw_call(fpo, "VerifyBody", args, 2, &v), 13, "missing"); /* a single-field check needs R */
  CHECK(v.kind == TW_EMPTY);
  args[1] = text("<xml/>");
  FAILS(tw_call(fpo, "VerifyBody", args, 2, &v), 424, "document");
  FAILS(tw_call(fpo, "VerifyBody", args, 1, &v), 5, "VerifyBody");
  FAILS(tw_call(fpo, "Verify", args, 2, &v), 438, "Verify");
  FAILS(tw_call(fpo, "VerifyBody", NULL, 2, &v), 5, "arguments");
  args[1].kind = -1;
  FAILS(tw_call(fpo, "VerifyBody", args, 2, &v), 5, "argument 2");
  FAILS(tw_call(fpo, NULL, args, 2, &v), 5, "method name");
  FAILS(tw_call(NULL, "VerifyBody", args, 2, &v), 91, "not set");
  tw_release(fpo);
  tw_release(body);
}

TEST(documents_in_and_out) {
  tw_object *d = NULL, *fpo = NULL;
  char* t = NULL;
  uint32_t count = 5;
  OK(tw_document_parse("<xml><rs:data xmlns:rs='r'><z:row xmlns:z='z' cinvcode='齿轮&amp;轴'/></rs:data></xml>", &d));
  OK(tw_document_text(d, &t));
  CHECK_STR(t, "<xml><rs:data xmlns:rs=\"r\"><z:row xmlns:z=\"z\" cinvcode=\"齿轮&amp;轴\"/></rs:data></xml>");
  tw_text_free(t);
  tw_text_free(NULL);
  OK(tw_create("ClsS_VerifyFPO", &fpo));
  FAILS(tw_document_text(fpo, &t), 13, "ClsS_VerifyFPO");
  CHECK(t == NULL);
  FAILS(tw_document_replacements(fpo, &count), 13, "not a voucher document");
  CHECK(count == 0);
  FAILS(tw_document_text(NULL, &t), 91, "not set");
  FAILS(tw_document_text(d, NULL), 5, "result pointer");
  FAILS(tw_document_replacements(d, NULL), 5, "result pointer");
  tw_release(d);
  d = (tw_object*)&d;
  FAILS(tw_document_parse("<xml><unclosed></xml>", &d), 3002, "not well-formed");
  CHECK(d == NULL);
  FAILS(tw_document_parse(NULL, &d), 5, "document text");
  tw_release(fpo);
}

/* An order field entry over the demo company: the reply loaded into the caller's document. */
static void* enterVendor(void* connection) {
  tw_object *check = NULL, *session = NULL, *head = document("hpo_head_vendor.xml");
  char* reply = NULL;
  uint32_t count = 0;
  OK(tw_create("Tallyward.ClsS_VerifyHPO", &check));
  OK(tw_use_database(check, connection));
  OK(tw_session_default(&session));
  tw_value s = object(session);
  OK(tw_put(check, "clsInfor", &s));
  tw_release(session);
  verdict(__LINE__, check, "VerifyHead", "cVenAbbName", head, 0, "");
  OK(tw_document_replacements(head, &count));
  CHECK(count == 1);
  OK(tw_document_text(head, &reply));
  const char* start = "<?xml version='1.0' encoding='GB2312'?>\r<head>\r<R K='cVenCode' V='V001'/>\r";
  CHECK(reply && strncmp(reply, start, strlen(start)) == 0 && strstr(reply, "<R K='cDepName' V='外协部'/>\r"));
  tw_text_free(reply);
  tw_release(head);
  tw_release(check);
  return NULL;
}

TEST(field_entry_on_a_database_shared_by_threads) {
  tw_object *connection = NULL, *check = NULL, *session = NULL, *doc = NULL, *stopped = document("hpo_head_stopped.xml");
  pthread_t threads[4];
  OK(tw_connection_open(demo(), &connection));
  for (int i = 0; i < 4; ++i) pthread_create(&threads[i], NULL, enterVendor, connection);
  for (int i = 0; i < 4; ++i) pthread_join(threads[i], NULL);
  /* A stopped vendor is refused and its head left as it was; a session file's rights apply. */
  OK(tw_create("ClsS_VerifyHPO", &check));
  OK(tw_use_database(check, connection));
  OK(tw_session_from_json("{\"OperaterCode\": \"nobody\", \"bCheckVendorAuth\": true}", &session));
  tw_value s = object(session), login, cs, v;
  OK(tw_put(check, "clsInfor", &s));
  tw_release(session);
  verdict(__LINE__, check, "VerifyHead", "cVenAbbName", stopped, 0, "供应商录入不正确或已经停用，请检查！");
  uint32_t count = 9;
  OK(tw_document_replacements(stopped, &count));
  CHECK(count == 0);
  tw_release(stopped);
  verdict(__LINE__, check, "VerifyHead", "cVenAbbName", stopped = document("hpo_head_vendor.xml"), 0,
          "对不起，您没有录入该供应商的权限！");
  OK(tw_get(check, "m_login", &login)); /* the connection also reaches the check as its login */
  CHECK(login.kind == TW_OBJECT && login.u.object && tw_get(login.u.object, "ConnectionString", &cs) == TW_OK &&
        cs.kind == TW_TEXT && strcmp(cs.u.text, demo()) == 0);
  tw_value_clear(&cs);
  tw_value_clear(&login);
  OK(tw_document_parse("<xml/>", &doc));
  tw_object* fpo = NULL;
  OK(tw_create("ClsS_VerifyFPO", &fpo));
  FAILS(tw_use_database(fpo, connection), 438, "m_Cnn");
  FAILS(tw_use_database(check, doc), 13, "not a connection");
  FAILS(tw_use_database(NULL, connection), 91, "not set");
  FAILS(tw_session_from_json("{\"OperaterCode\": ", &session), 5, "not valid JSON");
  CHECK(session == NULL);
  FAILS(tw_session_from_json("{\"NoSuchMember\": 1}", &session), 5, "NoSuchMember");
  tw_release(doc);
  FAILS(tw_connection_open("/nonexistent/folder/erp.db", &doc), 3001, "erp.db");
  CHECK(doc == NULL);
  FAILS(tw_connection_open(NULL, &doc), 5, "connection string");
  /* Without a database a field-entry check fails with a run-time error, never a verdict. */
  OK(tw_use_database(check, NULL));
  OK(tw_get(check, "m_Cnn", &v));
  CHECK(v.kind == TW_OBJECT && v.u.object == NULL);
  tw_value args[2] = {text("cVenAbbName"), object(stopped)};
  CHECK(tw_call(check, "VerifyHead", args, 2, &v) != TW_OK && v.kind == TW_EMPTY);
  tw_release(fpo);
  tw_release(stopped);
  tw_release(check);
  tw_release(connection);
}

/* A handle keeps its object alive after the handle it came through is released. */
TEST(handles_are_independent_references) {
  tw_object *check = NULL, *connection = NULL;
  OK(tw_create("ClsS_VerifyHPO", &check));
  OK(tw_connection_open(demo(), &connection));
  tw_value c = object(connection), v, rs, code, sql = text("SELECT cVenCode FROM Vendor WHERE cVenAbbName = '华东精工'");
  OK(tw_put(check, "m_Cnn", &c));
  tw_release(connection);
  OK(tw_get(check, "m_Cnn", &v));
  tw_release(check);
  CHECK(v.kind == TW_OBJECT && v.u.object);
  if (v.kind == TW_OBJECT && v.u.object && tw_call(v.u.object, "Execute", &sql, 1, &rs) == TW_OK) {
    tw_value field = text("cVenCode");
    OK(tw_call(rs.u.object, "Fields", &field, 1, &code));
    CHECK(code.kind == TW_TEXT && strcmp(code.u.text, "V001") == 0);
    tw_value_clear(&code);
    tw_value_clear(&rs);
  }
  tw_value_clear(&v);
  CHECK(v.kind == TW_EMPTY && v.u.object == NULL);
  tw_value_clear(NULL);
}

static void* failElsewhere(void* unused) {
  tw_object* o = NULL;
  tw_create("NoSuchClassElsewhere", &o);
  return unused;
}

TEST(last_error_per_thread_version_and_database_creation) {
  tw_object* o = NULL;
  pthread_t t;
  FAILS(tw_create("NoSuchClass", &o), 429, "NoSuchClass");
  pthread_create(&t, NULL, failElsewhere, NULL);
  pthread_join(t, NULL);
  CHECK(tw_error_number() == 429 && !strstr(tw_error_description(), "Elsewhere"));
  OK(tw_create("ClsS_VerifyFPO", &o));
  CHECK(tw_error_number() == 0);
  CHECK_STR(tw_error_description(), "");
  tw_release(o);
  CHECK_STR(tw_version(), TW_EXPECTED_VERSION);
  char path[300];
  snprintf(path, sizeof path, "%s.fresh", demo());
  unlink(path);
  OK(tw_database_create(path, 0, 0));
  FAILS(tw_database_create(path, 1, 0), 5, "exists"); /* never overwritten unasked */
  OK(tw_database_create(path, 1, 1));
  unlink(path);
  FAILS(tw_database_create("/nonexistent/folder/erp.db", 1, 0), 3001, "");
  FAILS(tw_database_create(NULL, 1, 0), 5, "path");
}

int main(int argc, char** argv) {
  size_t ran = 0;
  int failed = 0;
  for (size_t i = 0; i < testCount; ++i) {
    if (argc > 1 && strcmp(argv[1], kTests[i].name) != 0) continue;
    const int before = failures;
    kTests[i].run();
    ++ran;
    if (failures != before) ++failed, fprintf(stderr, "FAILED %s\n", kTests[i].name);
  }
  if (ran == 0) return fprintf(stderr, "no test named %s\n", argc > 1 ? argv[1] : ""), 2;
  printf("%zu passed, %d failed\n", ran - (size_t)failed, failed);
  return failed ? 1 : 0;
}
