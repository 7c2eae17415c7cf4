// SPDX-License-Identifier: Apache-2.0
/*
 * tolvane/session.h - the simulator's C interface for programs of any kind.
 *
 * A session is one simulated subject and its run: the clock, the 30-minute
 * history, RE-RUN, the log of every second since the subject's start, the
 * clinical notes, the events, the subject's file and the scenario scripts.
 * The window, tolvane-batch, the Python module and the browser page all run
 * lessons through the same code behind this interface.
 *
 * Conventions that hold for every declaration below:
 *
 * - Strings passed in and handed out are UTF-8 and NUL-terminated.
 * - Pressures are in mm Hg, always: values in, values out, limits, history
 *   and CSV. kPa is a presentation choice a client makes at its edge
 *   (value x TOLVANE_KPA_PER_MMHG); the catalogue gives the kPa unit and
 *   limits for the pressures that can be shown in kPa. Other quantities are
 *   in the units the catalogue names.
 * - Values are the model's single-precision numbers, handed out as double
 *   exactly; a double handed in is rounded to single precision.
 * - Times are whole simulated seconds since the subject's start (0).
 * - Every call that can fail returns a tolvane_result. On failure,
 *   tolvane_errmsg() on the same session says why, and the call changed
 *   nothing, unless its comment says what a failure leaves behind (a run
 *   that a death or a failed step ended keeps the seconds before it).
 * - Bad input is an error, never undefined behaviour: a NULL session or
 *   NULL required pointer, an unknown name, an index outside the catalogue,
 *   a value that is not finite, a time outside the history.
 * - Out-pointers marked "may be NULL" are optional.
 * - Pointers the library hands out (names, messages, notes) belong to the
 *   library. Catalogue texts live for the process; a session's texts live
 *   until the next call on that session, unless said otherwise. Buffers
 *   handed out through char** belong to the caller, who frees them with
 *   tolvane_free().
 * - Threads: one session is used by one thread at a time; different
 *   sessions may be used from different threads at once (each swaps its
 *   subject into the model under a lock for its steps). Functions without
 *   a session are safe from any thread.
 * - The interface only grows: later versions add functions and never
 *   change one; the library's SONAME (libtolvane.so.1) changes only on a
 *   break.
 */
#ifndef TOLVANE_SESSION_H
#define TOLVANE_SESSION_H

#include <stddef.h>

#if defined(TOLVANE_SESSION_BUILDING)
#define TOLVANE_SESSION_EXPORT __attribute__((visibility("default")))
#else
#define TOLVANE_SESSION_EXPORT
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* ---- Version --------------------------------------------------------- */

/* The interface version this header describes; MAJOR is the SONAME's
 * number and changes only on a break. */
#define TOLVANE_SESSION_VERSION_MAJOR 1
#define TOLVANE_SESSION_VERSION_MINOR 0
#define TOLVANE_SESSION_VERSION_PATCH 0
#define TOLVANE_SESSION_VERSION "1.0.0"
/* MAJOR x 10000 + MINOR x 100 + PATCH. */
#define TOLVANE_SESSION_VERSION_NUMBER 10000

/* The version of the library actually loaded ("1.0.0"), which may be newer
 * than the header a program was built with. Never NULL. */
TOLVANE_SESSION_EXPORT const char* tolvane_session_version(void);
/* The loaded library's TOLVANE_SESSION_VERSION_NUMBER. */
TOLVANE_SESSION_EXPORT int tolvane_session_version_number(void);
/* The model's identification text, e.g. "Model version 2.01". Never NULL. */
TOLVANE_SESSION_EXPORT const char* tolvane_model_version(void);

/* ---- Results and messages ------------------------------------------------ */

typedef enum tolvane_result {
    TOLVANE_OK = 0,
    TOLVANE_ERR_NULL = 1,    /* the session or a required pointer is NULL */
    TOLVANE_ERR_NAME = 2,    /* unknown name, or an index outside the catalogue */
    TOLVANE_ERR_VALUE = 3,   /* a number that is not finite, or a value not allowed */
    TOLVANE_ERR_TIME = 4,    /* a time outside the history or the run */
    TOLVANE_ERR_FILE = 5,    /* a file could not be opened, read or written */
    TOLVANE_ERR_FORMAT = 6,  /* a subject text that is not a valid subject */
    TOLVANE_ERR_SCRIPT = 7,  /* a script line not understood, or an action refused */
    TOLVANE_ERR_DEAD = 8,    /* the subject is dead: it runs no more until reset/load */
    TOLVANE_ERR_DIED = 9,    /* the subject died during this run */
    TOLVANE_ERR_STEP = 10,   /* a model step failed ("Item 7 is negative ...") */
    TOLVANE_ERR_MEMORY = 11, /* memory could not be allocated */
    TOLVANE_ERR_BUSY = 12    /* the session is running a step (re-entered from a callback) */
} tolvane_result;

/* A short fixed text for a result code ("unknown name"); "unknown result"
 * for a number that is no code. Never NULL; lives for the process. */
TOLVANE_SESSION_EXPORT const char* tolvane_result_text(int result);

/* ---- Sessions ------------------------------------------------------------ */

/* One simulated subject with its run. Opaque. */
typedef struct tolvane_session tolvane_session;

/* Makes a session holding the standard subject at time 0 (natural
 * breathing, no bag, empty notes and events) and stores it in *session.
 * Returns TOLVANE_ERR_NULL when session is NULL, TOLVANE_ERR_MEMORY when it
 * cannot be made (then *session is NULL). Several sessions may live at once. */
TOLVANE_SESSION_EXPORT tolvane_result tolvane_create(tolvane_session** session);

/* Frees a session and everything it handed out but buffers; NULL does
 * nothing. The session must not be used afterwards. */
TOLVANE_SESSION_EXPORT void tolvane_destroy(tolvane_session* session);

/* Why the last call on session failed, in UTF-8 ("unknown factor
 * \"inspired_02\" (nearest: inspired_o2, inspired_co2)"); "" when the last
 * call succeeded. For a NULL session, a fixed text. Never NULL; valid until
 * the next call on the session. */
TOLVANE_SESSION_EXPORT const char* tolvane_errmsg(const tolvane_session* session);

/* What the last call on session adjusted without failing, in UTF-8, one
 * item a line: a value held to its limits ("inspired_o2 150.00 set to
 * 100.00"), a subject file's values clamped on loading, the adjustment notes
 * of a script. "" when nothing was adjusted. Never NULL; valid until the
 * next call on the session. */
TOLVANE_SESSION_EXPORT const char* tolvane_warnings(const tolvane_session* session);

/* Frees a buffer this library handed out through a char** argument; NULL
 * does nothing. */
TOLVANE_SESSION_EXPORT void tolvane_free(void* buffer);

/* ---- The catalogue (the same for every session) -------------------------
 *
 * Factors are the subject's adjustable inputs (TOLVANE_FACTOR_COUNT of
 * them), display variables the model's outputs (TOLVANE_DISPLAY_COUNT).
 * Each has a short name for programs ("inspired_o2"), a long name as the
 * window's choosers list it ("Inspired O2"), a unit and limits. Index
 * functions return NULL or fail with TOLVANE_ERR_NAME for an index outside
 * 0..count-1. The texts live for the process. */

enum {
    TOLVANE_FACTOR_COUNT = 32,
    /* Display variables with values; the window's display chooser lists
     * them in this order and then the placeholder tolvane_no_display_name(). */
    TOLVANE_DISPLAY_COUNT = 64,
    /* Seconds the history holds for RE-RUN (30 minutes). */
    TOLVANE_HISTORY_SECONDS = 1800,
    /* Rows of each panel in the window (the factor and display choosers). */
    TOLVANE_PANEL_ROWS = 8
};

/* kPa per mm Hg, as the window converts (0.1332). */
#define TOLVANE_KPA_PER_MMHG 0.1332

TOLVANE_SESSION_EXPORT int tolvane_factor_count(void);  /* TOLVANE_FACTOR_COUNT */
TOLVANE_SESSION_EXPORT int tolvane_display_count(void); /* TOLVANE_DISPLAY_COUNT */

/* Texts of factor i: short name, long name (the chooser's item), unit in
 * mm Hg terms. NULL for an index outside the catalogue. */
TOLVANE_SESSION_EXPORT const char* tolvane_factor_short_name(int i);
TOLVANE_SESSION_EXPORT const char* tolvane_factor_long_name(int i);
TOLVANE_SESSION_EXPORT const char* tolvane_factor_unit(int i);
/* Limits of factor i (a set value is held to them) and its value in the
 * built-in standard subject. Out-pointers may be NULL. TOLVANE_ERR_NAME for
 * an index outside the catalogue. */
TOLVANE_SESSION_EXPORT tolvane_result tolvane_factor_limits(int i, double* minimum, double* maximum);
TOLVANE_SESSION_EXPORT tolvane_result tolvane_factor_standard(int i, double* value);

/* The same for display variable i; its limits are the trend plot's scale. */
TOLVANE_SESSION_EXPORT const char* tolvane_display_short_name(int i);
TOLVANE_SESSION_EXPORT const char* tolvane_display_long_name(int i);
TOLVANE_SESSION_EXPORT const char* tolvane_display_unit(int i);
TOLVANE_SESSION_EXPORT tolvane_result tolvane_display_limits(int i, double* minimum, double* maximum);
TOLVANE_SESSION_EXPORT tolvane_result tolvane_display_standard(int i, double* value);
/* The display chooser's last item ("No display"). */
TOLVANE_SESSION_EXPORT const char* tolvane_no_display_name(void);

/* Pressures a window may show in kPa: 1 when factor (display) i is one,
 * else 0 (also for an index outside the catalogue). For such a variable
 * the kPa unit text and kPa limits; TOLVANE_ERR_NAME for any other index. */
TOLVANE_SESSION_EXPORT int tolvane_factor_is_pressure(int i);
TOLVANE_SESSION_EXPORT int tolvane_display_is_pressure(int i);
TOLVANE_SESSION_EXPORT tolvane_result tolvane_factor_kpa_limits(int i, const char** unit, double* minimum,
                                                                double* maximum);
TOLVANE_SESSION_EXPORT tolvane_result tolvane_display_kpa_limits(int i, const char** unit, double* minimum,
                                                                 double* maximum);

/* Finds a factor by its exact short name ("inspired_o2") or by its index
 * written as a whole number ("16") and stores its index. An unknown name
 * fails with TOLVANE_ERR_NAME, and the message lists the nearest short
 * names. The session only carries the message; nothing else changes. */
TOLVANE_SESSION_EXPORT tolvane_result tolvane_find_factor(tolvane_session* session, const char* name,
                                                          int* index);
/* Finds a display variable by short name or index, as tolvane_find_factor. */
TOLVANE_SESSION_EXPORT tolvane_result tolvane_find_display(tolvane_session* session, const char* name,
                                                           int* index);

/* ---- The subject ---------------------------------------------------------- */

/* RESET: the session's standard subject (the built-in one, or the last
 * subject file loaded) starts again at time 0 with natural breathing and no
 * bag; history, log and notes are emptied, a reset event is recorded. */
TOLVANE_SESSION_EXPORT tolvane_result tolvane_reset(tolvane_session* session);

/* Load: reads a subject file (.sbj, code page 1252) at path, makes it the
 * session's standard subject and starts it at time 0 as tolvane_reset does;
 * the panel rows take the file's. A passport or factor value outside its
 * limits is set to the nearest limit and listed by tolvane_warnings().
 * TOLVANE_ERR_FILE when the file cannot be read, TOLVANE_ERR_FORMAT when it
 * is no subject file; the run is then untouched. */
TOLVANE_SESSION_EXPORT tolvane_result tolvane_load_subject(tolvane_session* session, const char* path);
/* The same for a subject file's bytes in memory (size bytes at data, no
 * terminator needed); name stands for the file in the session's events and
 * messages and may be NULL. */
TOLVANE_SESSION_EXPORT tolvane_result tolvane_load_subject_buffer(tolvane_session* session, const char* data,
                                                                  size_t size, const char* name);

/* Save: writes the live subject with the panel rows to path, in the format
 * and code page the window saves (pressures in mm Hg). An existing file is
 * replaced whole or, on failure (TOLVANE_ERR_FILE), left as it was. */
TOLVANE_SESSION_EXPORT tolvane_result tolvane_save_subject(tolvane_session* session, const char* path);
/* The same text into a new buffer: *data (free with tolvane_free) and
 * *size bytes, not terminated; name goes into the header line as the path
 * does and may be NULL. On failure *data is NULL and *size 0. */
TOLVANE_SESSION_EXPORT tolvane_result tolvane_save_subject_buffer(tolvane_session* session, const char* name,
                                                                  char** data, size_t* size);

/* The passport items. */
typedef enum tolvane_passport_item {
    TOLVANE_HEIGHT = 0, /* cm */
    TOLVANE_WEIGHT = 1, /* kg */
    TOLVANE_AGE = 2     /* years */
} tolvane_passport_item;

/* The live passport; out-pointers may be NULL; sex is 0 female, 1 male. */
TOLVANE_SESSION_EXPORT tolvane_result tolvane_get_passport(tolvane_session* session, double* height,
                                                           double* weight, double* age, int* sex);
/* Sets the passport as the window's passport fields do, each value held to
 * its limits (listed by tolvane_warnings()). TOLVANE_ERR_VALUE for a value
 * that is not finite or a sex other than 0 or 1, and nothing changes. */
TOLVANE_SESSION_EXPORT tolvane_result tolvane_set_passport(tolvane_session* session, double height,
                                                           double weight, double age, int sex);
/* Limits of a passport item. TOLVANE_ERR_NAME for another item. */
TOLVANE_SESSION_EXPORT tolvane_result tolvane_passport_limits(int item, double* minimum, double* maximum);

/* ---- Factors -------------------------------------------------------------- */

/* The live value of factor i (mm Hg for pressures). */
TOLVANE_SESSION_EXPORT tolvane_result tolvane_get_factor(tolvane_session* session, int i, double* value);

/* Sets factor i to value, held to the factor's limits as the panel holds a
 * typed value (an adjustment is listed by tolvane_warnings()), and records
 * a factor event at the current time. The value taken is stored in *stored
 * (may be NULL). TOLVANE_ERR_NAME for an index outside the catalogue,
 * TOLVANE_ERR_VALUE for a value that is not finite; nothing changes then. */
TOLVANE_SESSION_EXPORT tolvane_result tolvane_set_factor(tolvane_session* session, int i, double value,
                                                         double* stored);
/* The same with the factor named as tolvane_find_factor takes it. */
TOLVANE_SESSION_EXPORT tolvane_result tolvane_set_factor_by_name(tolvane_session* session, const char* name,
                                                                 double value, double* stored);
/* Enters text typed into factor i's panel field as the window does: the
 * leading decimal number (full stop as separator, 0 when there is none),
 * then held to the limits. Never TOLVANE_ERR_VALUE. */
TOLVANE_SESSION_EXPORT tolvane_result tolvane_enter_factor_text(tolvane_session* session, int i,
                                                                const char* text, double* stored);

/* ---- The window's panel rows (saved in subject files) --------------------- */

/* The factor shown in panel row 0..7 (-1: an empty row) and the display
 * variable (0..TOLVANE_DISPLAY_COUNT, the last being "No display"). */
TOLVANE_SESSION_EXPORT tolvane_result tolvane_get_panel_factor(tolvane_session* session, int row, int* index);
TOLVANE_SESSION_EXPORT tolvane_result tolvane_get_panel_display(tolvane_session* session, int row,
                                                                int* index);
/* Chooses a row's factor (-1 empties it). A factor another row shows
 * already empties this row and fails with TOLVANE_ERR_VALUE ("duplicate
 * subject factor, not accepted"). */
TOLVANE_SESSION_EXPORT tolvane_result tolvane_choose_panel_factor(tolvane_session* session, int row,
                                                                  int index);
/* Chooses a row's display variable; rows may repeat one. */
TOLVANE_SESSION_EXPORT tolvane_result tolvane_choose_panel_display(tolvane_session* session, int row,
                                                                   int index);

/* ---- Respiration ------------------------------------------------------------ */

/* Bag states, as the respiration dialog's buttons choose them. */
typedef enum tolvane_bag_state {
    TOLVANE_GLOTTIS_CLOSED = 9,         /* breath held: nothing is expired */
    TOLVANE_NO_BAG = 10,                /* room air, the standard state */
    TOLVANE_BAG_COLLECT = 11,           /* expired gas goes into the bag */
    TOLVANE_BAG_REBREATHE = 12,         /* breathing from and into the bag */
    TOLVANE_BAG_REBREATHE_ABSORBER = 13 /* rebreathing through a CO2 absorber */
} tolvane_bag_state;

/* The live settings; every out-pointer may be NULL. natural is 1 for
 * natural breathing, 0 for the ventilator; rate in cycles/minute, tidal
 * volume in ml BTPS, PEEP in cm water, bag volume in ml BTPS, bag gases in
 * percent. */
TOLVANE_SESSION_EXPORT tolvane_result tolvane_get_respiration(tolvane_session* session, int* natural,
                                                              double* rate, double* tidal, double* peep,
                                                              int* bag_state, double* bag_volume,
                                                              double* bag_co2, double* bag_o2);

/* Natural breathing (natural 1: rate, tidal and peep are ignored) or the
 * ventilator (natural 0) with rate, tidal volume and PEEP, each held to its
 * limits; the bag is kept. Takes effect as the respiration dialog's OK and
 * records a respiration event: a setting not given here is entered as the
 * dialog's field shows it (rate with 2 decimals, the others with 1), so the
 * run is the window's bit for bit. TOLVANE_ERR_VALUE for natural other
 * than 0 or 1 or a number that is not finite. */
TOLVANE_SESSION_EXPORT tolvane_result tolvane_set_ventilation(tolvane_session* session, int natural,
                                                              double rate, double tidal, double peep);

/* The bag state (tolvane_bag_state) with, for the three bag states, the
 * bag's volume and CO2 and O2 percentages held to their limits (ignored for
 * TOLVANE_GLOTTIS_CLOSED and TOLVANE_NO_BAG). Takes effect as the dialog's
 * OK, the settings not given entered as its fields show them (as
 * tolvane_set_ventilation), and records a respiration event. TOLVANE_ERR_VALUE for another state,
 * a number that is not finite, or CO2 + O2 above 100 % after the limits. */
TOLVANE_SESSION_EXPORT tolvane_result tolvane_set_bag(tolvane_session* session, int bag_state, double volume,
                                                      double co2, double o2);

/* ---- Running ---------------------------------------------------------------- */

/* The clock: the current simulated time, and the latest time reached since
 * the subject's start (a RE-RUN goes back; the latest time stays). */
TOLVANE_SESSION_EXPORT tolvane_result tolvane_get_time(tolvane_session* session, int* now, int* latest);

/* RUN, count times: each runs second by second to the next whole minute
 * (from a whole minute, 60 seconds), deriving the run's constants at its
 * start as the window's RUN does. Stores the seconds run in *seconds (may
 * be NULL). count 0 does nothing; a negative count is TOLVANE_ERR_VALUE.
 * Ends early with TOLVANE_ERR_DIED when the subject dies (the seconds up to
 * the death stay, and the subject runs no more), TOLVANE_ERR_STEP when a
 * step fails (the seconds before it stay; a later run may go on), and
 * refuses with TOLVANE_ERR_DEAD a subject that died before. */
TOLVANE_SESSION_EXPORT tolvane_result tolvane_run_minutes(tolvane_session* session, int count, int* seconds);

/* Runs count seconds. Whole minutes of it behave as tolvane_run_minutes;
 * a run that stops within a minute goes on with the same constants at the
 * next call unless something was set in between. Ends and fails as
 * tolvane_run_minutes. */
TOLVANE_SESSION_EXPORT tolvane_result tolvane_run_seconds(tolvane_session* session, int count, int* seconds);

/* 1 once the subject has died (until reset or load), else 0; 0 for NULL. */
TOLVANE_SESSION_EXPORT int tolvane_is_dead(const tolvane_session* session);
/* The item (1..9) of the step that failed in the last run call, 0 when
 * none did; 0 for NULL. */
TOLVANE_SESSION_EXPORT int tolvane_failed_item(const tolvane_session* session);

/* RE-RUN: time t becomes the current time, with every value the run had at
 * t, while what the user set since keeps its current value; notes stamped
 * after t are dropped, and a rerun event is recorded. t must lie in the
 * history: max(0, latest - 1799) <= t <= now (TOLVANE_ERR_TIME otherwise). */
TOLVANE_SESSION_EXPORT tolvane_result tolvane_rerun(tolvane_session* session, int t);

/* Reads "M:SS" or "MM:SS" (seconds 00..59) into seconds. TOLVANE_ERR_TIME
 * for anything else. No session: safe from any thread. */
TOLVANE_SESSION_EXPORT tolvane_result tolvane_parse_time(const char* text, int* seconds);

/* ---- Values ------------------------------------------------------------------- */

/* Display variable i now (the value recorded for the current second). */
TOLVANE_SESSION_EXPORT tolvane_result tolvane_get_display(tolvane_session* session, int i, double* value);
/* Display variable i at second t of the run: 0 <= t <= now; seconds before
 * the history's 30 minutes come from the run's log. TOLVANE_ERR_TIME
 * otherwise. */
TOLVANE_SESSION_EXPORT tolvane_result tolvane_get_display_at(tolvane_session* session, int i, int t,
                                                             double* value);
/* Copies display variable i at seconds first .. first + count - 1 into
 * out[0 .. count-1], one value a second (count may be 0). The seconds must
 * lie in 0..now, else TOLVANE_ERR_TIME and out is untouched. */
TOLVANE_SESSION_EXPORT tolvane_result tolvane_copy_display_history(tolvane_session* session, int i, int first,
                                                                   int count, double* out);

/* How many seconds the run's log holds: now + 1, or fewer when failed
 * steps advanced the clock without recording a second (the log then ends
 * at the last second recorded). */
TOLVANE_SESSION_EXPORT tolvane_result tolvane_log_length(tolvane_session* session, int* seconds);

/* The display argument of tolvane_copy_log that asks for every variable. */
#define TOLVANE_ALL_DISPLAYS (-1)

/* Copies seconds first .. first + count - 1 of the run's log into a
 * caller's buffer of single-precision numbers: the model's values exactly,
 * pressures in mm Hg, other quantities in the catalogue's units.
 * - display i (0..TOLVANE_DISPLAY_COUNT-1): count values, one a second;
 * - TOLVANE_ALL_DISPLAYS: count rows of TOLVANE_DISPLAY_COUNT values, one
 *   row a second, the variables in catalogue order (out[k *
 *   TOLVANE_DISPLAY_COUNT + i] is variable i at second first + k).
 * capacity is the number of floats out has room for. The seconds must lie
 * in 0 .. tolvane_log_length() - 1 (TOLVANE_ERR_TIME); another display is
 * TOLVANE_ERR_NAME; a capacity below what is asked for, or a negative
 * count, TOLVANE_ERR_VALUE; out NULL with count above 0 TOLVANE_ERR_NULL.
 * On any error out is untouched. count 0 copies nothing. One call copies a
 * day's run in a few milliseconds. */
TOLVANE_SESSION_EXPORT tolvane_result tolvane_copy_log(tolvane_session* session, int display, int first,
                                                       int count, float* out, size_t capacity);

/* ---- Notes and events --------------------------------------------------------- */

/* The clinical notes (the symptoms the model reports and its verdict of
 * death), oldest first, each with the time it was made. */
TOLVANE_SESSION_EXPORT int tolvane_note_count(tolvane_session* session);
/* Note k (0-based): its time and its text without the time stamp. */
TOLVANE_SESSION_EXPORT tolvane_result tolvane_get_note(tolvane_session* session, int k, int* time,
                                                       const char** text);

/* What happened to the run, oldest first, in the words the window's event
 * list and saved scenarios use. */
typedef enum tolvane_event_kind {
    TOLVANE_EVENT_FACTOR = 0,      /* a factor set ("set 16 12") */
    TOLVANE_EVENT_RESPIRATION = 1, /* ventilation or bag changed ("bag 12 volume 6000 co2 0 o2 20.93") */
    TOLVANE_EVENT_PASSPORT = 2,    /* height, weight, age or sex changed ("Passport Height 180.0") */
    TOLVANE_EVENT_RERUN = 3,       /* RE-RUN to a time ("rerun 3:00") */
    TOLVANE_EVENT_LOAD = 4,        /* a subject loaded ("load NAME") */
    TOLVANE_EVENT_RESET = 5        /* RESET ("reset") */
} tolvane_event_kind;

TOLVANE_SESSION_EXPORT int tolvane_event_count(tolvane_session* session);
/* Event k (0-based): its time on the run's time axis (a RE-RUN's: the time
 * it went back to; a load's or reset's: 0, as the first event of the run it
 * starts), its kind and its text: the scenario script action that repeats
 * it ("set 16 12", values in mm Hg), or for what no script can repeat (a
 * passport change) what changed and the value shown. Earlier events stay
 * listed after a RE-RUN, load or reset. Out-pointers may be NULL; the text
 * stays valid until the next call of this function on the session.
 * TOLVANE_ERR_NAME for k outside 0 .. count - 1. */
TOLVANE_SESSION_EXPORT tolvane_result tolvane_get_event(tolvane_session* session, int k, int* time, int* kind,
                                                        const char** text);

/* ---- CSV and scripts ------------------------------------------------------ */

/* The run as CSV, as tolvane-batch --csv writes it: a header "time_s" and
 * "name (unit)" per display variable, then a row per second from 0 to now,
 * pressures in mm Hg, values with digits significant digits as
 * tolvane-batch --digits writes them (0: the default 7; else 1..17; 9 give
 * every value back as the same float). Written to path (replaced whole or left as it was
 * on failure, TOLVANE_ERR_FILE) or into a new buffer (*data, *size bytes,
 * free with tolvane_free). */
TOLVANE_SESSION_EXPORT tolvane_result tolvane_write_csv(tolvane_session* session, const char* path,
                                                        int digits);
TOLVANE_SESSION_EXPORT tolvane_result tolvane_csv_buffer(tolvane_session* session, int digits, char** data,
                                                         size_t* size);

/* Runs a scenario script (the text tolvane-batch --script reads) from the
 * current moment. base_dir is the folder that a "load" line's relative
 * path is taken from (NULL: the working folder). A line the parser does not
 * understand fails with TOLVANE_ERR_SCRIPT before anything runs
 * ("script:LINE: message"). Every "load" file is read, and the bag
 * percentages followed through the lines, before anything runs: a file
 * that cannot be read (TOLVANE_ERR_FILE) or an OK the respiration dialog
 * would refuse (TOLVANE_ERR_SCRIPT) leaves the session as it was. Once
 * running, the actions up to the failing one stay done: a refused action
 * gives TOLVANE_ERR_SCRIPT, a death
 * TOLVANE_ERR_DIED, a failed step TOLVANE_ERR_STEP, a "load" whose file
 * cannot be read or is no subject file TOLVANE_ERR_FILE. Values the
 * controls adjusted are listed by tolvane_warnings(). */
TOLVANE_SESSION_EXPORT tolvane_result tolvane_run_script(tolvane_session* session, const char* text,
                                                         const char* base_dir);

#ifdef __cplusplus
}
#endif

#endif
