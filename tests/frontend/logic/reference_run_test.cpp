// SPDX-License-Identifier: Apache-2.0
// The session's log behind "Export data ..." and "Keep as reference": it
// follows the run past the 30 minutes the history holds, through RE-RUN and
// restarts, writes its CSV in mm Hg while kPa is shown, and a reference
// copies it whole.
#include "reference_run.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QList>

#include "history_csv.h"
#include "model_host.h"
#include "run_session.h"

namespace {

QList<QByteArray> rows_of(const std::string& csv)
{
    QList<QByteArray> rows = QByteArray::fromStdString(csv).split('\n');
    rows.removeLast();  // after the last line break
    return rows;
}

void run_minutes(run_session& session, int minutes)
{
    for (int m = 0; m < minutes; ++m) ASSERT_TRUE(session.run_to_minute().failure.ok());
}

TEST(SessionLog, HoldsEverySecondSinceTheStartBeyondTheHistory)
{
    run_session session;
    run_minutes(session, 5);
    // Seconds the history will have dropped after 40 minutes.
    const float early = session.recorded(display_id::arterial_po2, 200);
    run_minutes(session, 35);
    ASSERT_EQ(session.logged_seconds(), 2401);
    EXPECT_EQ(session.recorded(display_id::arterial_po2, 200), 0.0f);  // gone from the history
    EXPECT_EQ(session.logged(display_id::arterial_po2, 200), early);
    for (int t : {601, 1800, 2400})
        for (int d : {0, 15, logged_displays - 1})
            EXPECT_EQ(session.logged(d, t), session.recorded(d, t)) << t;
    const QList<QByteArray> rows = rows_of(session.csv_text());
    ASSERT_EQ(rows.size(), 2402);
    EXPECT_TRUE(rows[1].startsWith("0,"));
    EXPECT_TRUE(rows[2401].startsWith("2400,"));
}

TEST(SessionLog, ReRunDropsTheAbandonedSecondsAndRestartGoesBackToZero)
{
    run_session session;
    run_minutes(session, 10);
    const float kept = session.logged(display_id::arterial_pco2, 250);
    session.state().cursor_time = 250;
    session.strip_to_cursor();
    EXPECT_EQ(session.logged_seconds(), 251);
    session.set_factor(factor_id::inspired_co2, 5);
    run_minutes(session, 1);
    EXPECT_EQ(session.logged_seconds(), 301);
    EXPECT_EQ(session.logged(display_id::arterial_pco2, 250), kept);
    const QList<QByteArray> rows = rows_of(session.csv_text());
    ASSERT_EQ(rows.size(), 302);
    EXPECT_TRUE(rows[301].startsWith("300,"));
    // RESET: time 0 of the subject again replaces everything.
    session.restart_subject();
    EXPECT_EQ(session.logged_seconds(), 1);
    EXPECT_EQ(rows_of(session.csv_text()).size(), 2);
}

TEST(SessionLog, CsvIsInMmHgWhileKpaIsShownAndAReferenceFollowsTheUnitsShown)
{
    run_session session;
    run_minutes(session, 1);
    const std::string mmhg = session.csv_text();
    session.set_pressure_units(true);
    EXPECT_EQ(session.csv_text(), mmhg);
    const reference_run reference = reference_from(session, QString());
    for (int d : {0, 15})
        EXPECT_EQ(reference.value(session.state(), d, 30),
                  history_value(session.state(), d, model_host::history_slot(30)))
            << d;
    session.set_pressure_units(false);
}

TEST(ReferenceRun, CopiesTheWholeLogUnderTheSubjectsName)
{
    run_session session;
    run_minutes(session, 2);
    const reference_run reference = reference_from(session, QStringLiteral("/data/class/altitude.sbj"));
    EXPECT_EQ(reference.seconds, 121);
    EXPECT_TRUE(reference.holds(120));
    EXPECT_FALSE(reference.holds(121));
    EXPECT_FALSE(reference.holds(-1));
    EXPECT_EQ(reference.value(session.state(), 3, 100), session.logged(3, 100));
    EXPECT_EQ(reference.value(session.state(), 3, 121), 0.0);
    EXPECT_EQ(reference_title(reference), QStringLiteral("altitude.sbj"));
    EXPECT_EQ(reference_title(reference_from(session, QString())), QStringLiteral("standard subject"));
    // The log goes on; the reference does not.
    run_minutes(session, 1);
    EXPECT_EQ(reference.seconds, 121);
}

}  // namespace
