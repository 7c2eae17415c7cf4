# SPDX-License-Identifier: Apache-2.0
"""Finds and loads libtolvane.so.1 and declares its C interface to ctypes.

The library is looked for, first found wins:

1. the file the environment variable TOLVANE_LIBRARY names;
2. the build tree beside this package's source (``build/lib`` of the
   checkout that holds ``python/tolvane``);
3. the system's library path (the installed multiarch folder), through the
   dynamic loader.
"""

import ctypes
import os
import pathlib
import threading
from ctypes import POINTER, c_char_p, c_double, c_int, c_size_t, c_void_p

SONAME = "libtolvane.so.1"
ENVIRONMENT_VARIABLE = "TOLVANE_LIBRARY"

# The interface major version this module speaks (the SONAME's number).
INTERFACE_MAJOR = 1


class session_p(c_void_p):
    """An opaque ``tolvane_session*``."""


_int_p = POINTER(c_int)
_double_p = POINTER(c_double)
_char_pp = POINTER(c_char_p)

# Every function of tolvane/session.h: name, result type, argument types.
# A result of c_int that is a tolvane_result is checked by the callers.
_DECLARATIONS = [
    # Version
    ("tolvane_session_version", c_char_p, []),
    ("tolvane_session_version_number", c_int, []),
    ("tolvane_model_version", c_char_p, []),
    # Results and messages
    ("tolvane_result_text", c_char_p, [c_int]),
    ("tolvane_create", c_int, [POINTER(session_p)]),
    ("tolvane_destroy", None, [session_p]),
    ("tolvane_errmsg", c_char_p, [session_p]),
    ("tolvane_warnings", c_char_p, [session_p]),
    ("tolvane_free", None, [c_void_p]),
    # The catalogue
    ("tolvane_factor_count", c_int, []),
    ("tolvane_display_count", c_int, []),
    ("tolvane_factor_short_name", c_char_p, [c_int]),
    ("tolvane_factor_long_name", c_char_p, [c_int]),
    ("tolvane_factor_unit", c_char_p, [c_int]),
    ("tolvane_factor_limits", c_int, [c_int, _double_p, _double_p]),
    ("tolvane_factor_standard", c_int, [c_int, _double_p]),
    ("tolvane_display_short_name", c_char_p, [c_int]),
    ("tolvane_display_long_name", c_char_p, [c_int]),
    ("tolvane_display_unit", c_char_p, [c_int]),
    ("tolvane_display_limits", c_int, [c_int, _double_p, _double_p]),
    ("tolvane_display_standard", c_int, [c_int, _double_p]),
    ("tolvane_no_display_name", c_char_p, []),
    ("tolvane_factor_is_pressure", c_int, [c_int]),
    ("tolvane_display_is_pressure", c_int, [c_int]),
    ("tolvane_factor_kpa_limits", c_int, [c_int, _char_pp, _double_p, _double_p]),
    ("tolvane_display_kpa_limits", c_int, [c_int, _char_pp, _double_p, _double_p]),
    ("tolvane_find_factor", c_int, [session_p, c_char_p, _int_p]),
    ("tolvane_find_display", c_int, [session_p, c_char_p, _int_p]),
    # The subject
    ("tolvane_reset", c_int, [session_p]),
    ("tolvane_load_subject", c_int, [session_p, c_char_p]),
    ("tolvane_load_subject_buffer", c_int, [session_p, c_char_p, c_size_t, c_char_p]),
    ("tolvane_save_subject", c_int, [session_p, c_char_p]),
    ("tolvane_save_subject_buffer", c_int, [session_p, c_char_p, POINTER(c_void_p), POINTER(c_size_t)]),
    ("tolvane_get_passport", c_int, [session_p, _double_p, _double_p, _double_p, _int_p]),
    ("tolvane_set_passport", c_int, [session_p, c_double, c_double, c_double, c_int]),
    ("tolvane_passport_limits", c_int, [c_int, _double_p, _double_p]),
    # Factors
    ("tolvane_get_factor", c_int, [session_p, c_int, _double_p]),
    ("tolvane_set_factor", c_int, [session_p, c_int, c_double, _double_p]),
    ("tolvane_set_factor_by_name", c_int, [session_p, c_char_p, c_double, _double_p]),
    ("tolvane_enter_factor_text", c_int, [session_p, c_int, c_char_p, _double_p]),
    # Panel rows
    ("tolvane_get_panel_factor", c_int, [session_p, c_int, _int_p]),
    ("tolvane_get_panel_display", c_int, [session_p, c_int, _int_p]),
    ("tolvane_choose_panel_factor", c_int, [session_p, c_int, c_int]),
    ("tolvane_choose_panel_display", c_int, [session_p, c_int, c_int]),
    # Respiration
    (
        "tolvane_get_respiration",
        c_int,
        [session_p, _int_p, _double_p, _double_p, _double_p, _int_p, _double_p, _double_p, _double_p],
    ),
    ("tolvane_set_ventilation", c_int, [session_p, c_int, c_double, c_double, c_double]),
    ("tolvane_set_bag", c_int, [session_p, c_int, c_double, c_double, c_double]),
    # Running
    ("tolvane_get_time", c_int, [session_p, _int_p, _int_p]),
    ("tolvane_run_minutes", c_int, [session_p, c_int, _int_p]),
    ("tolvane_run_seconds", c_int, [session_p, c_int, _int_p]),
    ("tolvane_is_dead", c_int, [session_p]),
    ("tolvane_failed_item", c_int, [session_p]),
    ("tolvane_rerun", c_int, [session_p, c_int]),
    ("tolvane_parse_time", c_int, [c_char_p, _int_p]),
    # Values
    ("tolvane_get_display", c_int, [session_p, c_int, _double_p]),
    ("tolvane_get_display_at", c_int, [session_p, c_int, c_int, _double_p]),
    ("tolvane_copy_display_history", c_int, [session_p, c_int, c_int, c_int, _double_p]),
    ("tolvane_log_length", c_int, [session_p, _int_p]),
    # out is a numpy buffer's address (float32), capacity its number of floats.
    ("tolvane_copy_log", c_int, [session_p, c_int, c_int, c_int, c_void_p, c_size_t]),
    # Notes and events
    ("tolvane_note_count", c_int, [session_p]),
    ("tolvane_get_note", c_int, [session_p, c_int, _int_p, _char_pp]),
    ("tolvane_event_count", c_int, [session_p]),
    ("tolvane_get_event", c_int, [session_p, c_int, _int_p, _int_p, _char_pp]),
    # CSV and scripts
    ("tolvane_write_csv", c_int, [session_p, c_char_p, c_int]),
    ("tolvane_csv_buffer", c_int, [session_p, c_int, POINTER(c_void_p), POINTER(c_size_t)]),
    ("tolvane_run_script", c_int, [session_p, c_char_p, c_char_p]),
]


def candidate_paths():
    """The places the library is looked for, in order (see the module's text)."""
    paths = []
    named = os.environ.get(ENVIRONMENT_VARIABLE)
    if named:
        paths.append(named)
    package = pathlib.Path(__file__).resolve().parent
    if package.parent.name == "python":  # python/tolvane in a checkout, not an installed copy
        built = package.parent.parent / "build" / "lib" / SONAME
        if built.exists():
            paths.append(str(built))
    paths.append(SONAME)
    return paths


def _declare(library):
    for name, restype, argtypes in _DECLARATIONS:
        function = getattr(library, name)
        function.restype = restype
        function.argtypes = argtypes


def _load():
    named = os.environ.get(ENVIRONMENT_VARIABLE)
    if named and not os.path.exists(named):
        raise ImportError(f"{ENVIRONMENT_VARIABLE}={named}: no such file")
    failures = []
    for path in candidate_paths():
        try:
            library = ctypes.CDLL(path)
        except OSError as error:
            failures.append(str(error))
            continue
        try:
            _declare(library)
        except AttributeError as error:
            raise ImportError(f"{path} is not the Tolvane session library: {error}") from None
        major = library.tolvane_session_version_number() // 10000
        if major != INTERFACE_MAJOR:
            raise ImportError(f"{path} offers interface {major}, this module needs {INTERFACE_MAJOR}")
        return library
    raise ImportError(
        f"cannot load {SONAME} ({'; '.join(failures)}); install the libtolvane1 package, "
        f"or set {ENVIRONMENT_VARIABLE} to the library built in build/lib"
    )


_lock = threading.Lock()
_library = None


def library():
    """The loaded library, loaded on first use (ImportError when it cannot be)."""
    global _library
    with _lock:
        if _library is None:
            _library = _load()
        return _library


def text(pointer):
    """A library text (UTF-8 bytes or NULL) as str ("" for NULL)."""
    return pointer.decode("utf-8", errors="replace") if pointer else ""


def take_buffer(data, size):
    """The bytes of a buffer the library handed out, which is then freed."""
    try:
        return ctypes.string_at(data, size.value) if data else b""
    finally:
        library().tolvane_free(data)
