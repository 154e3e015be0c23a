// The C interface over the late-bound surface. Every entry point runs its work inside `guarded`,
// so that no exception crosses into C: a run-time error becomes the status and this thread's last
// error, and whatever the call had built is freed by its owner on the way out.
#include "tallyward/tallyward.h"

#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "tallyward/database.h"
#include "tallyward/document.h"
#include "tallyward/erp_database.h"
#include "tallyward/host.h"
#include "tallyward/registry.h"

// A handle: one reference to an object, held until tw_release.
struct tw_object {
  std::shared_ptr<tallyward::Object> object;
};

namespace {

using namespace tallyward;

constexpr int kOutOfMemory = 7;
constexpr int kInternal = 51;

struct LastError {
  tw_status number = TW_OK;
  std::string description;
};
thread_local LastError lastError;

tw_status fail(tw_status number, const char* description) noexcept {
  lastError.number = number;
  try {
    lastError.description = description;
  } catch (...) {
    lastError.description.clear();  // keeps the number; a description that cannot be kept is ""
  }
  return number;
}

template <class F>
tw_status guarded(F&& work) noexcept {
  lastError.number = TW_OK;
  lastError.description.clear();
  try {
    work();
    return TW_OK;
  } catch (const Error& e) {
    return fail(e.number(), e.what());
  } catch (const std::bad_alloc&) {
    return fail(kOutOfMemory, "Out of memory");
  } catch (const std::exception& e) {
    std::string text = "Internal error: ";
    try {
      text += e.what();
    } catch (...) {
    }
    return fail(kInternal, text.c_str());
  } catch (...) {
    return fail(kInternal, "Internal error");
  }
}

void require(const void* p, const char* what) {
  if (!p) throwError(err::InvalidArgument, std::string("Invalid procedure call or argument: ") + what + " is NULL");
}

Object& objectOf(tw_object* handle) {
  if (!handle || !handle->object) throwError(err::ObjectNotSet, "Object variable not set");
  return *handle->object;
}

// The object behind a handle as the class a function needs; 13 when it is another kind of object.
template <class T>
std::shared_ptr<T> objectAs(tw_object* handle, const char* what) {
  objectOf(handle);
  auto typed = std::dynamic_pointer_cast<T>(handle->object);
  if (!typed)
    throwError(err::TypeMismatch, "Type mismatch: the object is a " +
                                      std::string(handle->object->typeName()) + ", not " + what);
  return typed;
}

// A new handle for an object; no handle (NULL) for Nothing.
tw_object* handleFor(std::shared_ptr<Object> o) {
  if (!o) return nullptr;
  return new tw_object{std::move(o)};
}

char* copyText(const std::string& s) {
  char* p = static_cast<char*>(std::malloc(s.size() + 1));
  if (!p) throw std::bad_alloc();
  std::memcpy(p, s.c_str(), s.size() + 1);
  return p;
}

Variant fromC(const tw_value* v, const char* what) {
  require(v, what);
  switch (v->kind) {
    case TW_EMPTY: return Variant();
    case TW_NULL: return Variant::null();
    case TW_BOOLEAN: return Variant(v->u.boolean != 0);
    case TW_LONG: return Variant(static_cast<int>(v->u.integer));
    case TW_DOUBLE: return Variant(v->u.number);
    case TW_TEXT:
      if (!v->u.text) throwError(err::InvalidArgument, std::string("Invalid procedure call or argument: ") + what + " is text without a text pointer");
      return Variant(v->u.text);
    case TW_DATE: return Variant(Date{v->u.date});
    case TW_OBJECT: return Variant(v->u.object ? v->u.object->object : std::shared_ptr<Object>());
    case TW_MISSING: return Variant::missing();
  }
  throwError(err::InvalidArgument, std::string("Invalid procedure call or argument: ") + what + " has no kind " +
                                       std::to_string(v->kind));
}

// Fills *out only once the whole value is built, so that a failure leaves nothing to free.
void toC(const Variant& v, tw_value* out) {
  tw_value c{};
  switch (v.type()) {
    case VarType::Empty: c.kind = TW_EMPTY; break;
    case VarType::Null: c.kind = TW_NULL; break;
    case VarType::Boolean: c.kind = TW_BOOLEAN; c.u.boolean = v.asBool() ? 1 : 0; break;
    case VarType::Long: c.kind = TW_LONG; c.u.integer = v.asLong(); break;
    case VarType::Double: c.kind = TW_DOUBLE; c.u.number = v.asDouble(); break;
    case VarType::String: c.kind = TW_TEXT; c.u.text = copyText(v.asString()); break;
    case VarType::Date: c.kind = TW_DATE; c.u.date = v.asDate().value; break;
    case VarType::Object: c.kind = TW_OBJECT; c.u.object = handleFor(v.asObject()); break;
    case VarType::Missing: c.kind = TW_MISSING; break;
  }
  *out = c;
}

void clearValue(tw_value* out) {
  if (out) *out = tw_value{};
}

// Hands a new object out through *out, which is cleared first so that a failure leaves it NULL.
template <class F>
tw_status handOut(tw_object** out, F&& make) noexcept {
  if (out) *out = nullptr;
  return guarded([&] {
    require(out, "the result pointer");
    *out = handleFor(make());
  });
}

}  // namespace

extern "C" {

const char* tw_version(void) { return TW_VERSION; }

tw_status tw_error_number(void) { return lastError.number; }

const char* tw_error_description(void) { return lastError.description.c_str(); }

tw_status tw_create(const char* class_id, tw_object** out) {
  return handOut(out, [&] {
    require(class_id, "the class name");
    return createObject(class_id);
  });
}

void tw_release(tw_object* object) { delete object; }

tw_status tw_put(tw_object* object, const char* name, const tw_value* value) {
  return guarded([&] {
    Object& o = objectOf(object);
    require(name, "the property name");
    Variant v = fromC(value, "the value");
    if (v.isObject())
      o.putRef(name, std::move(v));
    else
      o.put(name, std::move(v));
  });
}

tw_status tw_get(tw_object* object, const char* name, tw_value* out) {
  clearValue(out);
  return guarded([&] {
    Object& o = objectOf(object);
    require(name, "the property name");
    require(out, "the result pointer");
    toC(o.get(name), out);
  });
}

tw_status tw_call(tw_object* object, const char* name, const tw_value* args, size_t count,
                  tw_value* result) {
  clearValue(result);
  return guarded([&] {
    Object& o = objectOf(object);
    require(name, "the method name");
    if (count > 0) require(args, "the arguments");
    std::vector<Variant> vs;
    vs.reserve(count);
    for (size_t i = 0; i < count; ++i)
      vs.push_back(fromC(&args[i], ("argument " + std::to_string(i + 1)).c_str()));
    Variant answer = o.call(name, std::span<Variant>(vs));
    if (result) toC(answer, result);
  });
}

void tw_value_clear(tw_value* value) {
  if (!value) return;
  if (value->kind == TW_TEXT) std::free(const_cast<char*>(value->u.text));
  if (value->kind == TW_OBJECT) tw_release(value->u.object);
  *value = tw_value{};
}

tw_status tw_document_parse(const char* xml, tw_object** out) {
  return handOut(out, [&] {
    require(xml, "the document text");
    return Document::parse(xml);
  });
}

tw_status tw_document_text(tw_object* document, char** text) {
  if (text) *text = nullptr;
  return guarded([&] {
    auto d = objectAs<Document>(document, "a voucher document");
    require(text, "the result pointer");
    *text = copyText(d->xml());
  });
}

tw_status tw_document_replacements(tw_object* document, uint32_t* count) {
  if (count) *count = 0;
  return guarded([&] {
    auto d = objectAs<Document>(document, "a voucher document");
    require(count, "the result pointer");
    *count = d->replacements();
  });
}

void tw_text_free(char* text) { std::free(text); }

tw_status tw_connection_open(const char* connection_string, tw_object** out) {
  return handOut(out, [&] {
    require(connection_string, "the connection string");
    return Connection::open(connection_string);
  });
}

tw_status tw_use_database(tw_object* check, tw_object* connection) {
  return guarded([&] {
    Object& o = objectOf(check);
    useDatabase(o, connection ? objectAs<Connection>(connection, "a connection") : nullptr);
  });
}

tw_status tw_database_create(const char* path, int with_sample, int force) {
  return guarded([&] {
    require(path, "the path");
    createErpDatabase(path, with_sample != 0, force != 0);
  });
}

tw_status tw_session_from_json(const char* json, tw_object** out) {
  return handOut(out, [&] {
    require(json, "the JSON text");
    return sessionFromJson(json);
  });
}

tw_status tw_session_default(tw_object** out) {
  return handOut(out, [] { return defaultSession(); });
}

}  // extern "C"
