// SPDX-License-Identifier: Apache-2.0
// The CSV numbers: the fast formatting gives exactly the C library's
// "%.Ng" text (the exact value correctly rounded, ties to even) for odd
// values, ties and random bit patterns, with 7 and 9 digits and at the ends
// of the range, and whole runs (kPa and mm Hg, a death, more than the ring)
// give the bytes of printf.
#include "fake_ui.h"
#include "history_csv.h"
#include "panel_logic.h"
#include "simulator.h"
#include "tolvane_model.h"

#include <QString>
#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>

namespace {

std::string printf_g(double value, int digits)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.*g", digits, value);
    return text;
}

std::string formatted(double value, int digits)
{
    QByteArray out;
    append_csv_number(out, value, digits);
    return out.toStdString();
}

// The default 7 digits and the 9 that round-trip a float; with all the
// ends of the range (1 and 17 digits).
void expect_printf(double value, bool all_digits = false)
{
    for (const int digits : {7, 9, 1, 17}) {
        if (!all_digits && (digits == 1 || digits == 17)) break;
        ASSERT_EQ(formatted(value, digits), printf_g(value, digits)) << value << " with " << digits;
    }
}

TEST(HistoryCsv, NumbersAreWrittenAsPrintfWritesThem)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const double odd[] = {0.0,        -0.0,          1.0,          -1.0,       93.18,         0.1332 * 93.18f,
                          1e-5,       1e-4,          9.9999995e-5, 123456.75,  1234567.5,     9999999.5,
                          99999995.0, 1e7,           1e-7,         0.5e-300,   FLT_MAX,       -FLT_MAX,
                          FLT_MIN,    FLT_TRUE_MIN,  DBL_MAX,      DBL_MIN,    DBL_TRUE_MIN,  inf,
                          -inf,       nan,           -nan,         7.4000001,  2.5,           0.15,
                          1.0000005,  1.00000049999, 967.28125,    -967.28125, 0.00048828125, 12345675.0,
                          12345665.0, 1234567.25,    1.2345675e19, 99999995.0, -99999985.0,   0.99999995};
    for (const double value : odd) expect_printf(value, true);

    // Random floats (as the history holds them, also times 0.1332) and
    // random doubles, from every bit pattern.
    std::mt19937_64 random(7);
    // Every float with few significant bits: the ties are among them.
    for (int mantissa = 0; mantissa < (1 << 12); ++mantissa)
        for (int exponent = -30; exponent <= 40; ++exponent) {
            const double value = std::ldexp(1.0 + mantissa / 4096.0, exponent);
            expect_printf(value);
            expect_printf(-value);
        }
    // Values written without an exponent and their neighbours of the ties,
    // where the fast formatting hands over to the exact one.
    std::uniform_int_distribution<long> seven_digits(1000000, 9999999);
    std::uniform_int_distribution<int> exponent(-6, 7), ulps(-3, 3);
    std::uniform_real_distribution<double> fraction(0.0, 1.0);
    for (int i = 0; i < 100000; ++i) {
        const double scale = std::pow(10.0, exponent(random) - 6);
        double value = (seven_digits(random) + (i % 2 ? 0.5 : fraction(random))) * scale;
        for (int u = ulps(random); u != 0; u += u > 0 ? -1 : 1)
            value = std::nextafter(value, u > 0 ? HUGE_VAL : 0.0);
        const float as_float = static_cast<float>(value);
        for (const double v : {value, -value, static_cast<double>(as_float), as_float * 0.1332})
            expect_printf(v);
    }
    for (int i = 0; i < 100000; ++i) {
        const std::uint64_t bits = random();
        float f;
        const std::uint32_t low = static_cast<std::uint32_t>(bits);
        std::memcpy(&f, &low, sizeof f);
        double d;
        std::memcpy(&d, &bits, sizeof d);
        for (const double value : {static_cast<double>(f), f * 0.1332, d}) expect_printf(value);
    }
}

// A value whose seven digits round up to 10000000 gains a digit: the
// carry moves the point ("10", not "0"), in every decade written without
// an exponent and at the edge where the exponent starts.
TEST(HistoryCsv, RoundingUpToTheNextPowerOfTenCarriesIntoANewDigit)
{
    EXPECT_EQ(formatted(9.9999996, 7), "10");
    EXPECT_EQ(formatted(-0.99999996, 7), "-1");
    EXPECT_EQ(formatted(999999.96, 7), "1000000");
    EXPECT_EQ(formatted(9.9999996e-5, 7), "0.0001");
    for (int exponent = -6; exponent <= 7; ++exponent) {
        const double value = 9.9999996 * std::pow(10.0, exponent);
        expect_printf(value, true);
        expect_printf(-value, true);
    }
}

// The rows as printf writes them.
QByteArray printf_rows(const run_state& state, int first, int last, int digits)
{
    QByteArray rows;
    for (int t = first; t <= last; ++t) {
        QByteArray row = QByteArray::number(t);
        const int column = history_slot(t);
        for (int d = 0; d < num_dsy - 1 && d < TOLVANE_NUM_DISPLAYS; ++d)
            row += ',' + QByteArray::fromStdString(printf_g(history_value(state, d, column), digits));
        rows += row + '\n';
    }
    return rows;
}

TEST(HistoryCsv, LongRunsGivePrintfsBytes)
{
    fake_ui ui;
    simulator sim(ui);
    sim.start();
    struct run_case {
        bool kpa;
        int factor_index;
        const char* value;
        int minutes;
    };
    const run_case cases[] = {
        {false, 16, "20.93", 40},  // the standard subject past the 30-minute ring
        {true, 25, "60", 15},      // kPa: pressures times 0.1332, low pressure
        {false, 16, "3", 10},      // to death: values at death in the last row
        {false, 31, "140", 20},    // exercise
    };
    for (const run_case& c : cases) {
        sim.reset_clicked();
        sim.set_pressure_units(c.kpa);
        enter_value(factor[c.factor_index], QString::fromLatin1(c.value), "%.2f");
        int written = -1;
        for (int minute = 0; minute < c.minutes && !sim.controller().subject_dead(); ++minute) {
            sim.run_clicked();
            const int last = sim.state().sim_time;
            const int digits = minute % 2 == 0 ? csv_default_digits : 9;
            const QByteArray fast = history_csv_rows(sim.state(), written + 1, last, digits);
            const QByteArray slow = printf_rows(sim.state(), written + 1, last, digits);
            qsizetype at = 0;
            while (at < fast.size() && at < slow.size() && fast[at] == slow[at]) ++at;
            ASSERT_EQ(at, slow.size())
                << "factor " << c.factor_index << " minute " << minute << ": "
                << fast.mid(std::max<qsizetype>(at - 20, 0), 40).toStdString() << " vs "
                << slow.mid(std::max<qsizetype>(at - 20, 0), 40).toStdString();
            ASSERT_EQ(fast.size(), slow.size());
            written = last;
        }
        sim.set_pressure_units(false);
    }
}

}  // namespace
