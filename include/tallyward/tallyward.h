/* Tallyward's C interface: the verification classes reached late-bound, by name, from any language
 * that can call C (C, Python through ctypes, Java, C#, Go, ...).
 *
 * Everything the interface hands out is a tw_object: a check (one of the eight classes), a voucher
 * document, a database connection, a session object, or any object a member returns. Members are
 * reached by name, as an automation caller reaches them: properties with tw_put and tw_get, methods
 * with tw_call. Values travel as a tw_value, a small tagged union.
 *
 * Errors: every function that can fail returns a tw_status, 0 (TW_OK) on success, otherwise the
 * run-time error number (13 type mismatch, 91 object not set, 438 no such member, 429 no such
 * class, 5 invalid argument, 3001 database, 3002 not XML, ...). The number and its description
 * stay readable through tw_error_number and tw_error_description on the failing thread until the
 * next call of the interface on that thread. A failed call hands nothing out and changes none of
 * its outputs but to clear them.
 *
 * Ownership: a tw_object handle is the caller's until tw_release; each handle is released once.
 * A tw_value that the interface fills is the caller's until tw_value_clear; a tw_value the caller
 * passes in is only read (its text and objects stay the caller's). Text from tw_document_text is
 * freed with tw_text_free. Text is UTF-8 and NUL-terminated everywhere.
 *
 * Threads: handles may be used from any thread, one thread at a time per check; a connection may
 * be shared by threads. */
#ifndef TALLYWARD_TALLYWARD_H
#define TALLYWARD_TALLYWARD_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#if defined(__GNUC__)
#define TW_API __attribute__((visibility("default")))
#else
#define TW_API
#endif

/* 0 on success, otherwise the run-time error number of the failure. */
typedef int32_t tw_status;
#define TW_OK 0

/* An object handed out by the interface: a check, a document, a connection, a session object. */
typedef struct tw_object tw_object;

/* The kinds of value (the automation types that the checks read and answer). */
enum tw_kind {
  TW_EMPTY = 0,   /* nothing assigned */
  TW_NULL = 1,    /* the database Null */
  TW_BOOLEAN = 2, /* u.boolean: 0 False, anything else True */
  TW_LONG = 3,    /* u.integer: a 32-bit whole number */
  TW_DOUBLE = 4,  /* u.number */
  TW_TEXT = 5,    /* u.text: UTF-8, NUL-terminated */
  TW_DATE = 6,    /* u.date: days since 30 December 1899, the fraction the time of day */
  TW_OBJECT = 7,  /* u.object: a document, connection, session or other object; NULL is Nothing */
  TW_MISSING = 8  /* an optional argument left out */
};

/* A value: `kind` is a tw_kind and says which member of `u` holds it. */
typedef struct tw_value {
  int32_t kind;
  union {
    int32_t boolean;
    int32_t integer;
    double number;
    double date;
    const char* text;
    tw_object* object;
  } u;
} tw_value;

/* The library's version, "major.minor.patch"; never fails. */
TW_API const char* tw_version(void);

/* The error number of this thread's last failed call (0 when the last call succeeded). */
TW_API tw_status tw_error_number(void);

/* The description of this thread's last failed call ("" when it succeeded); valid until the next call. */
TW_API const char* tw_error_description(void);

/* Creates a check by class name, ProgID or CLSID (ClsS_VerifyFPO, Tallyward.ClsS_VerifyFPO, {86C8CA90-...}); 429 when none. */
TW_API tw_status tw_create(const char* class_id, tw_object** out);

/* Releases a handle (NULL is allowed); the object lives on while other handles or objects hold it. */
TW_API void tw_release(tw_object* object);

/* Sets a property by name; an object value (TW_OBJECT) is set by reference, as with Set. */
TW_API tw_status tw_put(tw_object* object, const char* name, const tw_value* value);

/* Reads a property by name into *out (the caller's until tw_value_clear). */
TW_API tw_status tw_get(tw_object* object, const char* name, tw_value* out);

/* Calls a method by name with `count` arguments in declared order; *result (may be NULL) gets its answer. */
TW_API tw_status tw_call(tw_object* object, const char* name, const tw_value* args, size_t count,
                         tw_value* result);

/* Frees what a value filled by the interface holds (text, object handle) and leaves it TW_EMPTY. */
TW_API void tw_value_clear(tw_value* value);

/* Parses a voucher document (an ADO-persisted recordset) from text; 3002 when it is not XML. */
TW_API tw_status tw_document_parse(const char* xml, tw_object** out);

/* The document's text into *text (freed with tw_text_free): after a fill-in reply, the reply itself. */
TW_API tw_status tw_document_text(tw_object* document, char** text);

/* How many times a check replaced the document's content (loaded a fill-in reply) since it was parsed. */
TW_API tw_status tw_document_replacements(tw_object* document, uint32_t* count);

/* Frees text handed out by tw_document_text (NULL is allowed). */
TW_API void tw_text_free(char* text);

/* Opens the database a connection string names (a path, or "Driver=SQLite;Database=PATH"; any other
 * "Key=Value;..." string, such as "DSN=erp;UID=...;PWD=...", through ODBC); 3001 when it cannot. */
TW_API tw_status tw_connection_open(const char* connection_string, tw_object** out);

/* Gives a field-entry check the database: m_Cnn the connection, m_login a stand-in login over it (NULL: Nothing). */
TW_API tw_status tw_use_database(tw_object* check, tw_object* connection);

/* Creates an ERP database file, with the demo company when with_sample is not 0; 5 when it exists and force is 0. */
TW_API tw_status tw_database_create(const char* path, int with_sample, int force);

/* A session object (for clsInfor) from JSON text with the session's members; 5 with the reason when unusable. */
TW_API tw_status tw_session_from_json(const char* json, tw_object** out);

/* The built-in session object: operator "demo", every switch off, year 2026 in monthly periods. */
TW_API tw_status tw_session_default(tw_object** out);

#ifdef __cplusplus
}
#endif

#endif /* TALLYWARD_TALLYWARD_H */
