// SPDX-License-Identifier: Apache-2.0
// The C interface as a program sees it: through the shared library only.
// Bad input gets an error and changes nothing; good input gives the
// session's own results.
#include "tolvane/session.h"

#include <gtest/gtest.h>

#include <cstdio>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

namespace {

constexpr int inspired_o2 = 16;
constexpr int arterial_po2 = 15;

class session_handle {
public:
    session_handle() { EXPECT_EQ(tolvane_create(&s_), TOLVANE_OK); }
    ~session_handle() { tolvane_destroy(s_); }
    operator tolvane_session*() const { return s_; }

private:
    tolvane_session* s_ = nullptr;
};

double factor_of(tolvane_session* s, int i)
{
    double v = -1;
    EXPECT_EQ(tolvane_get_factor(s, i, &v), TOLVANE_OK);
    return v;
}

std::vector<double> history_of(tolvane_session* s, int display)
{
    int now = 0;
    tolvane_get_time(s, &now, nullptr);
    std::vector<double> values(static_cast<std::size_t>(now) + 1);
    EXPECT_EQ(tolvane_copy_display_history(s, display, 0, now + 1, values.data()), TOLVANE_OK);
    return values;
}

std::string taken(char* data, std::size_t size)
{
    std::string text(data, size);
    tolvane_free(data);
    return text;
}

TEST(CApiVersion, MacroAndCallAgree)
{
    EXPECT_STREQ(tolvane_session_version(), TOLVANE_SESSION_VERSION);
    EXPECT_EQ(tolvane_session_version_number(), TOLVANE_SESSION_VERSION_NUMBER);
    EXPECT_NE(std::string(tolvane_model_version()), "");
}

TEST(CApiCatalogue, NamesUnitsAndLimits)
{
    EXPECT_EQ(tolvane_factor_count(), 32);
    EXPECT_EQ(tolvane_display_count(), 64);
    EXPECT_STREQ(tolvane_factor_short_name(inspired_o2), "inspired_o2");
    EXPECT_STREQ(tolvane_display_short_name(arterial_po2), "arterial_po2");
    EXPECT_STREQ(tolvane_display_unit(arterial_po2), "mm Hg");
    EXPECT_EQ(tolvane_factor_short_name(32), nullptr);
    EXPECT_EQ(tolvane_display_long_name(-1), nullptr);
    EXPECT_STREQ(tolvane_no_display_name(), "No display");
    double lo = 0, hi = 0, standard = 0;
    ASSERT_EQ(tolvane_factor_limits(inspired_o2, &lo, &hi), TOLVANE_OK);
    EXPECT_LT(lo, hi);
    ASSERT_EQ(tolvane_factor_standard(inspired_o2, &standard), TOLVANE_OK);
    EXPECT_NEAR(standard, 20.93, 1e-4);
    EXPECT_EQ(tolvane_factor_limits(99, &lo, &hi), TOLVANE_ERR_NAME);
    // Pressures come with their kPa unit and limits; other variables have none.
    const char* unit = nullptr;
    EXPECT_EQ(tolvane_display_is_pressure(arterial_po2), 1);
    ASSERT_EQ(tolvane_display_kpa_limits(arterial_po2, &unit, &lo, &hi), TOLVANE_OK);
    EXPECT_STREQ(unit, "kPa");
    EXPECT_EQ(tolvane_display_is_pressure(0), 0);
    EXPECT_EQ(tolvane_display_kpa_limits(0, &unit, &lo, &hi), TOLVANE_ERR_NAME);
}

TEST(CApiBadInput, NullHandleAndNullPointers)
{
    EXPECT_EQ(tolvane_create(nullptr), TOLVANE_ERR_NULL);
    EXPECT_EQ(tolvane_run_minutes(nullptr, 1, nullptr), TOLVANE_ERR_NULL);
    EXPECT_EQ(tolvane_set_factor(nullptr, 0, 1, nullptr), TOLVANE_ERR_NULL);
    EXPECT_NE(std::string(tolvane_errmsg(nullptr)), "");
    EXPECT_EQ(tolvane_is_dead(nullptr), 0);
    tolvane_destroy(nullptr);
    session_handle s;
    EXPECT_EQ(tolvane_load_subject(s, nullptr), TOLVANE_ERR_NULL);
    EXPECT_EQ(tolvane_set_factor_by_name(s, nullptr, 1, nullptr), TOLVANE_ERR_NULL);
    EXPECT_EQ(tolvane_run_script(s, nullptr, nullptr), TOLVANE_ERR_NULL);
}

TEST(CApiBadInput, UnknownNameGivesTheNearestAndChangesNothing)
{
    session_handle s;
    const double before = factor_of(s, inspired_o2);
    EXPECT_EQ(tolvane_set_factor_by_name(s, "inspired_02", 12, nullptr), TOLVANE_ERR_NAME);
    EXPECT_NE(std::string(tolvane_errmsg(s)).find("nearest: inspired_o2"), std::string::npos)
        << tolvane_errmsg(s);
    EXPECT_EQ(factor_of(s, inspired_o2), before);
    EXPECT_EQ(tolvane_event_count(s), 0);
    int index = -1;
    EXPECT_EQ(tolvane_find_display(s, "inspired_o2", &index), TOLVANE_ERR_NAME);
    EXPECT_EQ(tolvane_find_display(s, "arterial_p02", &index), TOLVANE_ERR_NAME);
    const std::string message = tolvane_errmsg(s);
    EXPECT_NE(message.find("(nearest: "), std::string::npos) << message;
    EXPECT_NE(message.find(" arterial_po2,"), std::string::npos) << message;
    EXPECT_EQ(tolvane_find_display(s, "Arterial_PO2", &index), TOLVANE_OK);
    EXPECT_EQ(index, arterial_po2);
    EXPECT_STREQ(tolvane_errmsg(s), "");  // a success empties the message
}

TEST(CApiBadInput, ValuesThatAreNotFiniteChangeNothing)
{
    session_handle s;
    const double before = factor_of(s, inspired_o2);
    for (const double bad : {std::nan(""), std::numeric_limits<double>::infinity()}) {
        EXPECT_EQ(tolvane_set_factor(s, inspired_o2, bad, nullptr), TOLVANE_ERR_VALUE);
        EXPECT_EQ(tolvane_set_ventilation(s, 0, bad, 600, 0), TOLVANE_ERR_VALUE);
        EXPECT_EQ(tolvane_set_bag(s, TOLVANE_BAG_REBREATHE, 6000, bad, 20), TOLVANE_ERR_VALUE);
        EXPECT_EQ(tolvane_set_passport(s, bad, 70, 40, 1), TOLVANE_ERR_VALUE);
    }
    EXPECT_EQ(factor_of(s, inspired_o2), before);
    int natural = -1, bag = -1;
    ASSERT_EQ(
        tolvane_get_respiration(s, &natural, nullptr, nullptr, nullptr, &bag, nullptr, nullptr, nullptr),
        TOLVANE_OK);
    EXPECT_EQ(natural, 1);
    EXPECT_EQ(bag, TOLVANE_NO_BAG);
    EXPECT_EQ(tolvane_set_bag(s, TOLVANE_BAG_REBREATHE, 6000, 20, 90), TOLVANE_ERR_VALUE);  // over 100 %
    EXPECT_EQ(tolvane_set_bag(s, 14, 6000, 0, 20), TOLVANE_ERR_VALUE);
    EXPECT_EQ(tolvane_event_count(s), 0);
}

TEST(CApiFactors, HeldToTheLimitsWithAWarning)
{
    session_handle s;
    double lo = 0, hi = 0, stored = 0;
    tolvane_factor_limits(inspired_o2, &lo, &hi);
    ASSERT_EQ(tolvane_set_factor(s, inspired_o2, hi + 50, &stored), TOLVANE_OK);
    EXPECT_EQ(stored, hi);
    EXPECT_NE(std::string(tolvane_warnings(s)).find("inspired_o2"), std::string::npos);
    ASSERT_EQ(tolvane_enter_factor_text(s, inspired_o2, " 12.5 % O2", &stored), TOLVANE_OK);
    EXPECT_EQ(stored, 12.5);
    EXPECT_STREQ(tolvane_warnings(s), "");
    ASSERT_EQ(tolvane_event_count(s), 2);
    const char* text = nullptr;
    int kind = -1;
    ASSERT_EQ(tolvane_get_event(s, 1, nullptr, &kind, &text), TOLVANE_OK);
    EXPECT_EQ(kind, TOLVANE_EVENT_FACTOR);
    EXPECT_STREQ(text, "set 16 12.5");
}

TEST(CApiRun, MinutesSecondsAndTheHistory)
{
    session_handle minutes, seconds;
    int done = 0;
    ASSERT_EQ(tolvane_run_minutes(minutes, 2, &done), TOLVANE_OK);
    EXPECT_EQ(done, 120);
    ASSERT_EQ(tolvane_run_seconds(seconds, 45, &done), TOLVANE_OK);
    ASSERT_EQ(tolvane_run_seconds(seconds, 75, &done), TOLVANE_OK);
    EXPECT_EQ(history_of(minutes, arterial_po2), history_of(seconds, arterial_po2));
    double now = 0, at = 0;
    ASSERT_EQ(tolvane_get_display(minutes, arterial_po2, &now), TOLVANE_OK);
    ASSERT_EQ(tolvane_get_display_at(minutes, arterial_po2, 120, &at), TOLVANE_OK);
    EXPECT_EQ(now, at);
    EXPECT_EQ(tolvane_get_display_at(minutes, arterial_po2, 121, &at), TOLVANE_ERR_TIME);
    EXPECT_EQ(tolvane_get_display_at(minutes, arterial_po2, -1, &at), TOLVANE_ERR_TIME);
    std::vector<double> out(3, -7.0);
    EXPECT_EQ(tolvane_copy_display_history(minutes, arterial_po2, 119, 3, out.data()), TOLVANE_ERR_TIME);
    EXPECT_EQ(out[0], -7.0);  // untouched
    EXPECT_EQ(tolvane_run_minutes(minutes, -1, &done), TOLVANE_ERR_VALUE);
}

TEST(CApiRespiration, SettingsNotGivenAreEnteredAsTheDialogShowsThem)
{
    session_handle s;
    ASSERT_EQ(tolvane_run_minutes(s, 1, nullptr), TOLVANE_OK);
    double rate = 0, tidal = 0;
    ASSERT_EQ(tolvane_get_respiration(s, nullptr, &rate, &tidal, nullptr, nullptr, nullptr, nullptr, nullptr),
              TOLVANE_OK);
    // Natural breathing leaves rate and tidal volume with more decimals
    // than the dialog's fields show (2 and 1).
    ASSERT_NE(rate, std::round(rate * 100) / 100);
    ASSERT_NE(tidal, std::round(tidal * 10) / 10);
    ASSERT_EQ(tolvane_set_bag(s, TOLVANE_BAG_COLLECT, 1000, 0, 0), TOLVANE_OK);
    double rate_after = 0, tidal_after = 0, volume = 0;
    ASSERT_EQ(tolvane_get_respiration(s, nullptr, &rate_after, &tidal_after, nullptr, nullptr, &volume,
                                      nullptr, nullptr),
              TOLVANE_OK);
    EXPECT_EQ(rate_after, static_cast<double>(static_cast<float>(std::round(rate * 100) / 100)));
    EXPECT_EQ(tidal_after, static_cast<double>(static_cast<float>(std::round(tidal * 10) / 10)));
    EXPECT_EQ(volume, 1000.0);  // given, taken as it is
    // Switching to natural breathing is an OK of the dialog too.
    ASSERT_EQ(tolvane_set_ventilation(s, 0, 15.555, 500.04, 2.26), TOLVANE_OK);
    ASSERT_EQ(tolvane_set_ventilation(s, 1, 0, 0, 0), TOLVANE_OK);
    double peep = 0;
    ASSERT_EQ(tolvane_get_respiration(s, nullptr, &rate, &tidal, &peep, nullptr, nullptr, nullptr, nullptr),
              TOLVANE_OK);
    EXPECT_EQ(static_cast<float>(rate), 15.56F);  // "%.2f" of 15.555F, which lies above 15.555
    EXPECT_EQ(static_cast<float>(tidal), 500.0F);
    EXPECT_EQ(static_cast<float>(peep), 2.3F);
}

TEST(CApiLog, BulkCopyIsTheHistoryAcrossChunksAndAfterARerun)
{
    session_handle s;
    // Past 8192 seconds, where the library's log starts its second block.
    ASSERT_EQ(tolvane_run_minutes(s, 140, nullptr), TOLVANE_OK);
    int length = 0;
    ASSERT_EQ(tolvane_log_length(s, &length), TOLVANE_OK);
    EXPECT_EQ(length, 140 * 60 + 1);
    const int first = 8180, count = 30;
    std::vector<float> all(static_cast<std::size_t>(count) * TOLVANE_DISPLAY_COUNT);
    ASSERT_EQ(tolvane_copy_log(s, TOLVANE_ALL_DISPLAYS, first, count, all.data(), all.size()), TOLVANE_OK);
    std::vector<float> one(count);
    std::vector<double> history(count);
    for (int i = 0; i < TOLVANE_DISPLAY_COUNT; ++i) {
        ASSERT_EQ(tolvane_copy_log(s, i, first, count, one.data(), one.size()), TOLVANE_OK);
        ASSERT_EQ(tolvane_copy_display_history(s, i, first, count, history.data()), TOLVANE_OK);
        for (int k = 0; k < count; ++k) {
            ASSERT_EQ(all[static_cast<std::size_t>(k) * TOLVANE_DISPLAY_COUNT + i], one[k]) << i << " " << k;
            ASSERT_EQ(static_cast<double>(one[k]), history[k]) << i << " " << k;
        }
    }
    // A RE-RUN cuts the log at its time; running on writes the seconds anew.
    ASSERT_EQ(tolvane_rerun(s, 8160), TOLVANE_OK);
    ASSERT_EQ(tolvane_log_length(s, &length), TOLVANE_OK);
    EXPECT_EQ(length, 8161);
    ASSERT_EQ(tolvane_set_factor(s, inspired_o2, 12, nullptr), TOLVANE_OK);
    ASSERT_EQ(tolvane_run_minutes(s, 2, nullptr), TOLVANE_OK);
    ASSERT_EQ(tolvane_copy_log(s, arterial_po2, first, count, one.data(), one.size()), TOLVANE_OK);
    ASSERT_EQ(tolvane_copy_display_history(s, arterial_po2, first, count, history.data()), TOLVANE_OK);
    for (int k = 0; k < count; ++k) EXPECT_EQ(static_cast<double>(one[k]), history[k]);
    EXPECT_LT(one.back(), all[static_cast<std::size_t>(count - 1) * TOLVANE_DISPLAY_COUNT + arterial_po2]);
}

TEST(CApiLog, BadInputIsAnErrorAndLeavesTheBufferAlone)
{
    session_handle s;
    ASSERT_EQ(tolvane_run_minutes(s, 1, nullptr), TOLVANE_OK);
    std::vector<float> out(2 * TOLVANE_DISPLAY_COUNT, -7.0F);
    const std::size_t room = out.size();
    EXPECT_EQ(tolvane_copy_log(s, TOLVANE_ALL_DISPLAYS, 60, 2, out.data(), room), TOLVANE_ERR_TIME);
    EXPECT_EQ(tolvane_copy_log(s, TOLVANE_ALL_DISPLAYS, -1, 1, out.data(), room), TOLVANE_ERR_TIME);
    EXPECT_EQ(tolvane_copy_log(s, TOLVANE_DISPLAY_COUNT, 0, 1, out.data(), room), TOLVANE_ERR_NAME);
    EXPECT_EQ(tolvane_copy_log(s, -2, 0, 1, out.data(), room), TOLVANE_ERR_NAME);
    EXPECT_EQ(tolvane_copy_log(s, TOLVANE_ALL_DISPLAYS, 0, 3, out.data(), room), TOLVANE_ERR_VALUE);
    EXPECT_NE(std::string(tolvane_errmsg(s)).find("room for 128 values, 192"), std::string::npos)
        << tolvane_errmsg(s);
    EXPECT_EQ(tolvane_copy_log(s, arterial_po2, 0, -1, out.data(), room), TOLVANE_ERR_VALUE);
    EXPECT_EQ(tolvane_copy_log(s, arterial_po2, 0, 1, nullptr, room), TOLVANE_ERR_NULL);
    EXPECT_EQ(tolvane_copy_log(nullptr, arterial_po2, 0, 1, out.data(), room), TOLVANE_ERR_NULL);
    EXPECT_EQ(tolvane_log_length(s, nullptr), TOLVANE_ERR_NULL);
    for (const float value : out) ASSERT_EQ(value, -7.0F);
    // Nothing asked, nothing copied; the last second is there.
    EXPECT_EQ(tolvane_copy_log(s, arterial_po2, 61, 0, nullptr, 0), TOLVANE_OK);
    EXPECT_EQ(tolvane_copy_log(s, TOLVANE_ALL_DISPLAYS, 60, 1, out.data(), TOLVANE_DISPLAY_COUNT),
              TOLVANE_OK);
    double now = 0;
    ASSERT_EQ(tolvane_get_display(s, arterial_po2, &now), TOLVANE_OK);
    EXPECT_EQ(static_cast<double>(out[arterial_po2]), now);
    EXPECT_EQ(out[TOLVANE_DISPLAY_COUNT], -7.0F);
}

TEST(CApiRerun, RepeatsTheRunAndDropsLaterNotes)
{
    session_handle s;
    ASSERT_EQ(tolvane_set_factor(s, inspired_o2, 12, nullptr), TOLVANE_OK);
    ASSERT_EQ(tolvane_run_minutes(s, 3, nullptr), TOLVANE_OK);
    const std::vector<double> first = history_of(s, arterial_po2);
    EXPECT_EQ(tolvane_rerun(s, 181), TOLVANE_ERR_TIME);
    ASSERT_EQ(tolvane_rerun(s, 60), TOLVANE_OK);
    int now = 0, latest = 0;
    tolvane_get_time(s, &now, &latest);
    EXPECT_EQ(now, 60);
    EXPECT_EQ(latest, 180);
    for (int k = 0; k < tolvane_note_count(s); ++k) {
        int t = 0;
        ASSERT_EQ(tolvane_get_note(s, k, &t, nullptr), TOLVANE_OK);
        EXPECT_LE(t, 60);
    }
    ASSERT_EQ(tolvane_run_minutes(s, 2, nullptr), TOLVANE_OK);
    EXPECT_EQ(history_of(s, arterial_po2), first);
    int kind = -1;
    ASSERT_EQ(tolvane_get_event(s, tolvane_event_count(s) - 1, nullptr, &kind, nullptr), TOLVANE_OK);
    EXPECT_EQ(kind, TOLVANE_EVENT_RERUN);
    int parsed = 0;
    EXPECT_EQ(tolvane_parse_time("3:00", &parsed), TOLVANE_OK);
    EXPECT_EQ(parsed, 180);
    EXPECT_EQ(tolvane_parse_time("3:60", &parsed), TOLVANE_ERR_TIME);
}

TEST(CApiSubjects, SavedInMemoryLoadsBackIntoAnotherSession)
{
    session_handle a, b;
    ASSERT_EQ(tolvane_set_factor(a, inspired_o2, 15, nullptr), TOLVANE_OK);
    ASSERT_EQ(tolvane_set_passport(a, 160, 55, 30, 0), TOLVANE_OK);
    ASSERT_EQ(tolvane_choose_panel_factor(a, 5, 2), TOLVANE_OK);
    char* data = nullptr;
    std::size_t size = 0;
    ASSERT_EQ(tolvane_save_subject_buffer(a, "mine.sbj", &data, &size), TOLVANE_OK);
    const std::string text = taken(data, size);
    EXPECT_EQ(text.rfind("// #001 mine.sbj", 0), 0u);
    ASSERT_EQ(tolvane_load_subject_buffer(b, text.data(), text.size(), "mine.sbj"), TOLVANE_OK);
    EXPECT_EQ(factor_of(b, inspired_o2), 15.0);
    double height = 0;
    int sex = -1, row = -2;
    tolvane_get_passport(b, &height, nullptr, nullptr, &sex);
    EXPECT_EQ(height, 160.0);
    EXPECT_EQ(sex, 0);
    tolvane_get_panel_factor(b, 5, &row);
    EXPECT_EQ(row, 2);
    // A duplicate row is refused, as the panel refuses it.
    EXPECT_EQ(tolvane_choose_panel_factor(b, 6, 2), TOLVANE_ERR_VALUE);
    // Not a subject file: an error, and the loaded subject stays.
    EXPECT_EQ(tolvane_load_subject_buffer(b, "hello", 5, "x"), TOLVANE_ERR_FORMAT);
    EXPECT_EQ(tolvane_load_subject(b, "/nonexistent/none.sbj"), TOLVANE_ERR_FILE);
    EXPECT_EQ(factor_of(b, inspired_o2), 15.0);
}

TEST(CApiSubjects, TeachingSubjectFromItsFile)
{
    session_handle s;
    const std::string path = std::string(TOLVANE_SOURCE_DIR) + "/subjects/altitude_450mmHg.sbj";
    ASSERT_EQ(tolvane_load_subject(s, path.c_str()), TOLVANE_OK) << tolvane_errmsg(s);
    double barometric = 0;
    int index = -1;
    ASSERT_EQ(tolvane_find_factor(s, "barometric_pressure", &index), TOLVANE_OK);
    tolvane_get_factor(s, index, &barometric);
    EXPECT_EQ(barometric, 450.0);
}

TEST(CApiCsv, HeaderAndOneRowASecond)
{
    session_handle s;
    ASSERT_EQ(tolvane_run_minutes(s, 1, nullptr), TOLVANE_OK);
    char* data = nullptr;
    std::size_t size = 0;
    ASSERT_EQ(tolvane_csv_buffer(s, 0, &data, &size), TOLVANE_OK);
    const std::string csv = taken(data, size);
    EXPECT_EQ(csv.rfind("time_s,", 0), 0u);
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 62);
    EXPECT_NE(csv.find("\n60,"), std::string::npos);
    EXPECT_EQ(tolvane_csv_buffer(s, 18, &data, &size), TOLVANE_ERR_VALUE);
    EXPECT_EQ(data, nullptr);
}

TEST(CApiScripts, RunFromTextOrRefusedBeforeAnythingRuns)
{
    session_handle s;
    EXPECT_EQ(tolvane_run_script(s, "at 1:00 set inspired_o2 12\nat 2:30 reset\n", nullptr),
              TOLVANE_ERR_SCRIPT);
    EXPECT_NE(std::string(tolvane_errmsg(s)).find(":2:"), std::string::npos) << tolvane_errmsg(s);
    int now = -1;
    tolvane_get_time(s, &now, nullptr);
    EXPECT_EQ(now, 0);
    ASSERT_EQ(
        tolvane_run_script(s, "at 1:00 set inspired_o2 12\nat 3:00 rerun 2:00\nrun until 4:00\n", nullptr),
        TOLVANE_OK)
        << tolvane_errmsg(s);
    tolvane_get_time(s, &now, nullptr);
    EXPECT_EQ(now, 240);
    EXPECT_EQ(factor_of(s, inspired_o2), 12.0);
}

// What a script will meet is found before its first RUN: a subject file
// that cannot be read, or bag percentages the dialog would refuse once a
// later line adds them up; the session stays where it was.
TEST(CApiScripts, MissingFileOrRefusedBagStopsBeforeTheFirstRun)
{
    session_handle s;
    int now = -1;
    EXPECT_EQ(tolvane_run_script(s, "at 2:00 set inspired_o2 12\nat 5:00 load /nonexistent/x.sbj\n", nullptr),
              TOLVANE_ERR_FILE);
    EXPECT_NE(
        std::string(tolvane_errmsg(s)).find("script:2: cannot load the subject file /nonexistent/x.sbj"),
        std::string::npos)
        << tolvane_errmsg(s);
    tolvane_get_time(s, &now, nullptr);
    EXPECT_EQ(now, 0);
    EXPECT_EQ(tolvane_run_script(s, "at 1:00 set bag_co2 20\nat 4:00 bag 12 o2 90\n", nullptr),
              TOLVANE_ERR_SCRIPT);
    EXPECT_NE(std::string(tolvane_errmsg(s)).find("script:2: the respiration dialog would refuse OK"),
              std::string::npos)
        << tolvane_errmsg(s);
    tolvane_get_time(s, &now, nullptr);
    EXPECT_EQ(now, 0);
}

// A failed step is named by the second that failed, as tolvane-batch names it.
TEST(CApiScripts, AFailedStepNamesTheSecondThatFailed)
{
    session_handle s;
    EXPECT_EQ(tolvane_run_script(s, "at 2:00 set 19 0\nrun until 5:00\n", nullptr), TOLVANE_ERR_STEP);
    const std::string message = tolvane_errmsg(s);
    int now = -1;
    tolvane_get_time(s, &now, nullptr);
    char failed[8];
    std::snprintf(failed, sizeof failed, "%02d:%02d", (now + 1) / 60, (now + 1) % 60);
    EXPECT_EQ(message.rfind(std::string(failed) + " step failed: item ", 0), 0u) << message << " at " << now;
}

TEST(CApiDeath, ADeadSubjectRunsNoMore)
{
    session_handle s;
    ASSERT_EQ(tolvane_set_factor(s, inspired_o2, 0, nullptr), TOLVANE_OK);
    const tolvane_result ran = tolvane_run_minutes(s, 60, nullptr);
    ASSERT_EQ(ran, TOLVANE_ERR_DIED) << tolvane_errmsg(s);
    EXPECT_EQ(tolvane_is_dead(s), 1);
    EXPECT_GT(tolvane_note_count(s), 0);
    int before = 0, after = 0;
    tolvane_get_time(s, &before, nullptr);
    EXPECT_EQ(tolvane_run_minutes(s, 1, nullptr), TOLVANE_ERR_DEAD);
    tolvane_get_time(s, &after, nullptr);
    EXPECT_EQ(before, after);
    ASSERT_EQ(tolvane_reset(s), TOLVANE_OK);
    EXPECT_EQ(tolvane_is_dead(s), 0);
    EXPECT_EQ(tolvane_note_count(s), 0);
}

}  // namespace
