"""Tallyward's checks from Python, through the library's C interface (ctypes, no compiled extension).

    import tallyward as tw
    order = tw.create("Tallyward.ClsS_VerifyFPO")
    order.put("m_UseMode", tw.BS)
    verdict = order.call("VerifyBody", "all", tw.Document(xml_text))

Values map both ways: None <-> Empty, NULL <-> Null, bool <-> Boolean, int <-> Long, float <->
Double, str <-> text, Date <-> Date, Object (a check, Document, connection, session) <-> object;
MISSING leaves an optional argument out. A failed call raises Error with the run-time error's
number and description.

The library is found through $TALLYWARD_LIBRARY (a path) or else as libtallyward.so.1 on the
loader's usual path.
"""
import ctypes
import json
import os

__all__ = ["Error", "Object", "Document", "Date", "NULL", "MISSING", "CS", "BS", "create",
           "connect", "use_database", "create_database", "session", "default_session", "version"]

CS, BS = 0, 1  # m_UseMode

_EMPTY, _NULL, _BOOLEAN, _LONG, _DOUBLE, _TEXT, _DATE, _OBJECT, _MISSING = range(9)


class _Sentinel:
    def __init__(self, name):
        self._name = name

    def __repr__(self):
        return "tallyward." + self._name


NULL = _Sentinel("NULL")        # the database Null
MISSING = _Sentinel("MISSING")  # an optional argument left out


class Date(float):
    """An automation date: days since 30 December 1899, the fraction being the time of day."""

    def __repr__(self):
        return "tallyward.Date(%r)" % float(self)


class Error(Exception):
    """A run-time error of a call: its number (13 type mismatch, 438 no such member, ...) and text."""

    def __init__(self, number, description):
        super().__init__("error %d: %s" % (number, description))
        self.number = number
        self.description = description


class _Union(ctypes.Union):
    _fields_ = [("boolean", ctypes.c_int32), ("integer", ctypes.c_int32),
                ("number", ctypes.c_double), ("date", ctypes.c_double),
                ("text", ctypes.c_void_p), ("object", ctypes.c_void_p)]


class _Value(ctypes.Structure):
    _fields_ = [("kind", ctypes.c_int32), ("u", _Union)]


def _load():
    lib = ctypes.CDLL(os.environ.get("TALLYWARD_LIBRARY") or "libtallyward.so.1")
    handle, status = ctypes.c_void_p, ctypes.c_int32
    out_handle = ctypes.POINTER(ctypes.c_void_p)
    value_p = ctypes.POINTER(_Value)
    signatures = {
        "tw_version": (ctypes.c_char_p, []),
        "tw_error_number": (status, []),
        "tw_error_description": (ctypes.c_char_p, []),
        "tw_create": (status, [ctypes.c_char_p, out_handle]),
        "tw_release": (None, [handle]),
        "tw_put": (status, [handle, ctypes.c_char_p, value_p]),
        "tw_get": (status, [handle, ctypes.c_char_p, value_p]),
        "tw_call": (status, [handle, ctypes.c_char_p, value_p, ctypes.c_size_t, value_p]),
        "tw_value_clear": (None, [value_p]),
        "tw_document_parse": (status, [ctypes.c_char_p, out_handle]),
        "tw_document_text": (status, [handle, ctypes.POINTER(ctypes.c_void_p)]),
        "tw_document_replacements": (status, [handle, ctypes.POINTER(ctypes.c_uint32)]),
        "tw_text_free": (None, [ctypes.c_void_p]),
        "tw_connection_open": (status, [ctypes.c_char_p, out_handle]),
        "tw_use_database": (status, [handle, handle]),
        "tw_database_create": (status, [ctypes.c_char_p, ctypes.c_int, ctypes.c_int]),
        "tw_session_from_json": (status, [ctypes.c_char_p, out_handle]),
        "tw_session_default": (status, [out_handle]),
    }
    for name, (restype, argtypes) in signatures.items():
        f = getattr(lib, name)
        f.restype, f.argtypes = restype, argtypes
    return lib


_lib = _load()


def _check(status):
    if status != 0:
        description = _lib.tw_error_description() or b""
        raise Error(status, description.decode("utf-8", "replace"))


def _text(s):
    if not isinstance(s, str):
        raise TypeError("expected str, not %s" % type(s).__name__)
    return s.encode("utf-8")


def _new_handle(call, *args):
    """Runs a function that hands out a handle, and wraps the handle."""
    out = ctypes.c_void_p()
    _check(call(*args, ctypes.byref(out)))
    return out.value


class Object:
    """A late-bound object of the library: a check, a document, a connection, a session object."""

    _handle = None

    def __init__(self, handle):
        self._handle = handle

    def put(self, name, value):
        """Sets a property; an Object value is set by reference."""
        v, keep = _to_c(value)
        _check(_lib.tw_put(self._live(), _text(name), ctypes.byref(v)))
        del keep

    def get(self, name):
        """Reads a property."""
        v = _Value()
        _check(_lib.tw_get(self._live(), _text(name), ctypes.byref(v)))
        return _from_c(v)

    def call(self, name, *args):
        """Calls a method with its arguments in declared order and gives its answer."""
        values = (_Value * max(len(args), 1))()
        keep = []
        for i, a in enumerate(args):
            values[i], k = _to_c(a)
            keep.append(k)
        result = _Value()
        _check(_lib.tw_call(self._live(), _text(name), values, len(args), ctypes.byref(result)))
        return _from_c(result)

    def release(self):
        """Lets the object go now rather than when Python collects it."""
        if self._handle:
            _lib.tw_release(self._handle)
            self._handle = None

    def _live(self):
        if not self._handle:
            raise Error(91, "Object variable not set: the object was released")
        return self._handle

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.release()

    def __del__(self):
        if _lib is not None:
            self.release()


class Document(Object):
    """A voucher document (an ADO-persisted recordset); a field-entry check loads its reply into it."""

    def __init__(self, xml):
        super().__init__(_new_handle(_lib.tw_document_parse, _text(xml)))

    @property
    def text(self):
        """The document's text: after a fill-in reply, the reply itself."""
        p = ctypes.c_void_p()
        _check(_lib.tw_document_text(self._live(), ctypes.byref(p)))
        try:
            return ctypes.string_at(p.value).decode("utf-8", "replace")
        finally:
            _lib.tw_text_free(p)

    @property
    def replacements(self):
        """How many times a check loaded a reply into the document."""
        n = ctypes.c_uint32()
        _check(_lib.tw_document_replacements(self._live(), ctypes.byref(n)))
        return n.value


def _to_c(value):
    """A C value for a Python one, and what must stay alive while the C value is used."""
    v, keep = _Value(), None
    if value is None:
        v.kind = _EMPTY
    elif value is NULL:
        v.kind = _NULL
    elif value is MISSING:
        v.kind = _MISSING
    elif isinstance(value, bool):
        v.kind, v.u.boolean = _BOOLEAN, int(value)
    elif isinstance(value, Date):
        v.kind, v.u.date = _DATE, float(value)
    elif isinstance(value, int) and -2**31 <= value < 2**31:
        v.kind, v.u.integer = _LONG, value
    elif isinstance(value, (int, float)):
        v.kind, v.u.number = _DOUBLE, float(value)
    elif isinstance(value, str):
        keep = ctypes.create_string_buffer(_text(value))
        v.kind, v.u.text = _TEXT, ctypes.addressof(keep)
    elif isinstance(value, Object):
        v.kind, v.u.object = _OBJECT, value._live()
    else:
        raise TypeError("no Tallyward value for %s" % type(value).__name__)
    return v, keep


def _from_c(v):
    """The Python value of a C value the library filled; the C value is emptied."""
    kind = v.kind
    if kind == _OBJECT:
        handle, v.kind, v.u.object = v.u.object, _EMPTY, None  # the handle is now the Object's
        return Object(handle) if handle else None
    try:
        if kind == _TEXT:
            return ctypes.string_at(v.u.text).decode("utf-8", "replace")
        if kind == _BOOLEAN:
            return v.u.boolean != 0
        if kind == _LONG:
            return v.u.integer
        if kind == _DOUBLE:
            return v.u.number
        if kind == _DATE:
            return Date(v.u.date)
        return {_NULL: NULL, _MISSING: MISSING}.get(kind)
    finally:
        _lib.tw_value_clear(ctypes.byref(v))


def version():
    """The library's version, "major.minor.patch"."""
    return _lib.tw_version().decode()


def create(class_id):
    """A check by class name, ProgID or CLSID (error 429 when there is none)."""
    return Object(_new_handle(_lib.tw_create, _text(class_id)))


def connect(connection_string):
    """Opens the database a connection string names: a path, or "Driver=SQLite;Database=PATH"."""
    return Object(_new_handle(_lib.tw_connection_open, _text(connection_string)))


def use_database(check, connection):
    """Gives a field-entry check the database: m_Cnn and a stand-in login (m_login) over it."""
    _check(_lib.tw_use_database(check._live(), connection._live() if connection else None))


def create_database(path, sample=True, force=False):
    """Creates an ERP database file (with the demo company when sample); never overwrites unless force."""
    _check(_lib.tw_database_create(_text(os.fspath(path)), int(bool(sample)), int(bool(force))))


def session(members):
    """A session object for clsInfor from a dict of the session's members, or from JSON text."""
    text = members if isinstance(members, str) else json.dumps(members)
    return Object(_new_handle(_lib.tw_session_from_json, _text(text)))


def default_session():
    """The built-in session: operator "demo", every switch off, year 2026 in monthly periods."""
    return Object(_new_handle(_lib.tw_session_default))
