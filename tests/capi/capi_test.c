/* Tests of the C interface in C, against the shared library built in the tree, and built again
 * against the installed package (install_test.sh). Each TEST is one ctest case: `tallyward_capi_tests
 * NAME` runs one, without a name every case runs. */
#include <pthread.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <tallyward/tallyward.h>
#include <unistd.h>

static int failures;
static void fail(int line, const char* what, const char* is) {
  fprintf(stderr, "capi_test.c:%d: %s\n  is: %s\n", line, what, is ? is : "(NULL)");
  ++failures;
}
#define CHECK(cond) ((cond) ? (void)0 : fail(__LINE__, #cond, ""))
#define OK(call) ((call) == TW_OK ? (void)0 : fail(__LINE__, #call, tw_error_description()))
/* A call that fails with `number`, leaving that number and a description containing `part`. */
#define FAILS(call, number, part)                                                                      \
  ((call) == (number) && tw_error_number() == (number) && strstr(tw_error_description(), (part)) ? (void)0 \
       : fail(__LINE__, #call " fails with " #number " " #part, tw_error_description()))

static tw_value text(const char* t) { tw_value v; v.kind = TW_TEXT; v.u.text = t; return v; }
static tw_value integer(int32_t i) { tw_value v; v.kind = TW_LONG; v.u.integer = i; return v; }
static tw_value object(tw_object* o) { tw_value v; v.kind = TW_OBJECT; v.u.object = o; return v; }

static tw_object* document(const char* example) {
  char path[1024], *xml = calloc(1, 1 << 16);
  snprintf(path, sizeof path, "%s/examples/%s", TW_SOURCE_DIR, example);
  FILE* f = fopen(path, "rb");
  if (!f || fread(xml, 1, (1 << 16) - 1, f) == 0) fprintf(stderr, "cannot read %s\n", path), exit(2);
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

/* Calls member(key[, doc[, row]]) (row 0 leaves R out), or reads it when key is NULL, and compares the text. */
static void expect(int line, tw_object* o, const char* member, const char* key, tw_object* doc, int32_t row, const char* wanted) {
  tw_value args[3] = {text(key), object(doc), integer(row)}, v;
  if ((key ? tw_call(o, member, args, doc ? (row ? 3 : 2) : 1, &v) : tw_get(o, member, &v)) != TW_OK) fail(line, wanted, tw_error_description());
  else if (v.kind != TW_TEXT || strcmp(v.u.text, wanted) != 0) fail(line, wanted, v.kind == TW_TEXT ? v.u.text : "(not text)");
  tw_value_clear(&v);
  CHECK(v.kind == TW_EMPTY);
}

typedef struct { const char* name; void (*run)(void); } test_case;
static test_case kTests[16];
static size_t testCount;
#define TEST(name)                                                                                                  \
  static void name(void);                                                                                           \
  __attribute__((constructor)) static void register_##name(void) { kTests[testCount++] = (test_case){#name, name}; } \
  static void name(void)

TEST(classes_calls_and_documents) {
  tw_object *o = NULL, *fpo = NULL, *body = document("order_body_faulty.xml"), *d = NULL;
  tw_value v = integer(7), kind = text("委外发票"), bs = integer(1), args[2] = {text("iquantity"), object(body)};
  char* t = NULL;
  OK(tw_create("tallyward.clss_verifybillf", &o));
  OK(tw_put(o, "sBillType", &kind)); /* a member only the invoice has */
  expect(__LINE__, o, "SBILLTYPE", NULL, NULL, 0, "委外发票");
  tw_release(o);
  OK(tw_create("{86c8ca90-d6f8-46d0-8607-dc469d276005}", &fpo)); /* the order */
  FAILS(tw_get(fpo, "sBillType", &v), 438, "sBillType");
  CHECK(v.kind == TW_EMPTY); /* a failed call clears what it would have filled */
  FAILS(tw_put(fpo, NULL, &bs), 5, "property name");
  FAILS(tw_put(NULL, "m_UseMode", &bs), 91, "Object variable not set");
  o = fpo;
  FAILS(tw_create("Tallyward.NoSuchCheck", &o), 429, "Tallyward.NoSuchCheck");
  CHECK(o == NULL);
  tw_release(NULL);
  expect(__LINE__, fpo, "VerifyBody", "all", body, 0, "第[3]行存货不能为空，请检查！");
  expect(__LINE__, fpo, "VerifyBody", "iunitprice", body, 7, "第[7]行请先录入存货！");
  OK(tw_put(fpo, "m_UseMode", &bs));
  expect(__LINE__, fpo, "verifybody", "all", body, 0,
         "第[1]行数量不能为空，请检查！\r第[3]行存货不能为空，请检查！\r第[3]行有项目大类，必须录入项目！\r第[3]行数量必须大于零，请检查！\r"
         "第[3]行换算率不能为空，请检查！\r第[3]行计量单位不能为空，请检查！\r第[3]行件数不能为空，请检查！\r"
         "第[3]行原币单价必须大于 0，请检查！\r第[3]行税率未输入，请检查！！\r第[4]行到货日期录入错误，请检查！\r"
         "第[4]行税率必须在 0 到 100 之间，请检查！\r");
  args[1].kind = -1;
  FAILS(tw_call(fpo, "VerifyBody", args, 2, &v), 5, "argument 2");
  OK(tw_document_parse("<xml><rs:data xmlns:rs='r'><z:row xmlns:z='z' cinvcode='齿轮&amp;轴'/></rs:data></xml>", &d));
  OK(tw_document_text(d, &t));
  CHECK(t && strcmp(t, "<xml><rs:data xmlns:rs=\"r\"><z:row xmlns:z=\"z\" cinvcode=\"齿轮&amp;轴\"/></rs:data></xml>") == 0);
  tw_text_free(t);
  FAILS(tw_document_text(fpo, &t), 13, "ClsS_VerifyFPO");
  CHECK(t == NULL);
  tw_release(d);
  FAILS(tw_document_parse("<xml><unclosed></xml>", &d), 3002, "not well-formed");
  CHECK(d == NULL);
  tw_release(fpo);
  tw_release(body);
}

/* An order field entry over the demo company: the reply is loaded into the caller's document. */
TEST(field_entry_over_a_connection) {
  tw_object *connection = NULL, *check = NULL, *session = NULL, *head = document("hpo_head_vendor.xml");
  tw_object* again = document("hpo_head_vendor.xml");
  char* reply = NULL;
  uint32_t count = 0;
  OK(tw_connection_open(demo(), &connection));
  OK(tw_create("ClsS_VerifyHPO", &check));
  OK(tw_use_database(check, connection));
  tw_release(connection); /* the check holds it */
  OK(tw_session_default(&session));
  tw_value s = object(session), login, v, args[2] = {text("cVenAbbName"), object(again)};
  OK(tw_put(check, "clsInfor", &s));
  tw_release(session);
  expect(__LINE__, check, "VerifyHead", "cVenAbbName", head, 0, "");
  OK(tw_document_replacements(head, &count));
  OK(tw_document_text(head, &reply));
  const char* start = "<?xml version='1.0' encoding='GB2312'?>\r<head>\r<R K='cVenCode' V='V001'/>\r";
  CHECK(count == 1 && reply && strncmp(reply, start, strlen(start)) == 0 && strstr(reply, "<R K='cDepName' V='外协部'/>\r"));
  tw_text_free(reply);
  OK(tw_session_from_json("{\"OperaterCode\": \"nobody\", \"bCheckVendorAuth\": true}", &session));
  s = object(session);
  OK(tw_put(check, "clsInfor", &s));
  tw_release(session);
  expect(__LINE__, check, "VerifyHead", "cVenAbbName", again, 0, "对不起，您没有录入该供应商的权限！");
  OK(tw_get(check, "m_login", &login)); /* the connection also reaches the check as its login */
  OK(tw_use_database(check, NULL)); /* without a database: a run-time error, never a verdict */
  CHECK(tw_call(check, "VerifyHead", args, 2, &v) != TW_OK && v.kind == TW_EMPTY);
  tw_release(check); /* the handle of the connection keeps it alive */
  CHECK(login.kind == TW_OBJECT && login.u.object);
  expect(__LINE__, login.u.object, "ConnectionString", NULL, NULL, 0, demo());
  tw_value_clear(&login);
  tw_release(head);
  tw_release(again);
}

static void* failElsewhere(void* unused) {
  tw_object* o = NULL;
  tw_create("NoSuchClassElsewhere", &o);
  return unused;
}

TEST(errors_per_thread_version_and_database_creation) {
  tw_object* check = NULL;
  pthread_t t;
  char path[300];
  FAILS(tw_create("NoSuchClass", &check), 429, "NoSuchClass");
  pthread_create(&t, NULL, failElsewhere, NULL);
  pthread_join(t, NULL);
  CHECK(tw_error_number() == 429 && !strstr(tw_error_description(), "Elsewhere"));
  OK(tw_create("ClsS_VerifyFPO", &check));
  CHECK(tw_error_number() == 0 && strcmp(tw_error_description(), "") == 0);
  tw_release(check);
  CHECK(strcmp(tw_version(), TW_EXPECTED_VERSION) == 0);
  snprintf(path, sizeof path, "%s.fresh", demo());
  OK(tw_database_create(path, 0, 0));
  FAILS(tw_database_create(path, 1, 0), 5, "exists"); /* never overwritten unasked */
  OK(tw_database_create(path, 1, 1));
  unlink(path);
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
