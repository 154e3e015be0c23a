/* Calls two checks through Tallyward's C interface: a whole pass of an order body, and an order
 * field entry (a vendor typed by its name) on the demo company.
 * Build: cc check.c $(pkg-config --cflags --libs tallyward)   Run: ./a.out demo.db */
#include <stdio.h>
#include <tallyward/tallyward.h>

static const char* kBody =
    "<xml xmlns:rs='urn:schemas-microsoft-com:rowset' xmlns:z='#RowsetSchema'><rs:data>"
    "<z:row editprop='A' cinvcode='P1001' iquantity='' igrouptype='0' iunitprice='12.5' ipertaxrate='13'/>"
    "<z:row editprop='A' cinvcode='' iquantity='5' igrouptype='0' iunitprice='3' ipertaxrate='13'/>"
    "</rs:data></xml>";
static const char* kHead =
    "<xml xmlns:rs='urn:schemas-microsoft-com:rowset' xmlns:z='#RowsetSchema'><rs:data>"
    "<z:row cpoid='WW2603001' cexch_name='人民币' dpodate='2026-03-02' cvenabbname='华东精工'/>"
    "</rs:data></xml>";

/* Shows why the last call failed and gives the exit status. */
static int failed(const char* what) {
  fprintf(stderr, "%s: error %d: %s\n", what, (int)tw_error_number(), tw_error_description());
  return 1;
}

/* Prints text with each carriage return (which closes a message or a reply line) as a line break. */
static void printLines(const char* text) {
  for (; *text; ++text) putchar(*text == '\r' ? '\n' : *text);
}

/* Calls `method` of `check` with sKey and a document, and prints the verdict ("" accepts). */
static int verify(tw_object* check, const char* method, const char* key, tw_object* document) {
  tw_value args[2], verdict;
  args[0].kind = TW_TEXT;
  args[0].u.text = key;
  args[1].kind = TW_OBJECT;
  args[1].u.object = document;
  if (tw_call(check, method, args, 2, &verdict) != TW_OK) return failed(method);
  printf("%s(%s): %s\n", method, key, verdict.u.text[0] ? "refused" : "accepted");
  printLines(verdict.u.text);
  tw_value_clear(&verdict);
  return 0;
}

int main(int argc, char** argv) {
  tw_object *order = NULL, *entry = NULL, *body = NULL, *head = NULL, *db = NULL, *session = NULL;
  tw_value bs, s;
  char* reply = NULL;
  int status = 1;
  bs.kind = TW_LONG;
  bs.u.integer = 1; /* m_UseMode = BS: every error of the pass */

  /* Whole-voucher check: no database. */
  if (tw_create("Tallyward.ClsS_VerifyFPO", &order) || tw_put(order, "m_UseMode", &bs) ||
      tw_document_parse(kBody, &body)) {
    status = failed("order");
    goto done;
  }
  if (verify(order, "VerifyBody", "all", body)) goto done;

  /* Field-entry check: the demo company (tallyward init-db demo.db --sample), the built-in session. */
  if (tw_create("Tallyward.ClsS_VerifyHPO", &entry) ||
      tw_connection_open(argc > 1 ? argv[1] : "demo.db", &db) || tw_use_database(entry, db) ||
      tw_session_default(&session)) {
    status = failed("order entry");
    goto done;
  }
  s.kind = TW_OBJECT;
  s.u.object = session;
  if (tw_put(entry, "clsInfor", &s) || tw_document_parse(kHead, &head)) {
    status = failed("order entry");
    goto done;
  }
  if (verify(entry, "VerifyHead", "cVenAbbName", head)) goto done;
  if (tw_document_text(head, &reply)) {
    status = failed("reply");
    goto done;
  }
  printf("head after the check (the fill-in reply it loaded):\n");
  printLines(reply);
  putchar('\n');
  status = 0;

done:
  tw_text_free(reply);
  tw_release(head);
  tw_release(session);
  tw_release(db);
  tw_release(entry);
  tw_release(body);
  tw_release(order);
  return status;
}
