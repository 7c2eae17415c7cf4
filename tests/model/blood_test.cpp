// SPDX-License-Identifier: Apache-2.0
// Blood gas chemistry: worked values of the contents, the pressure solver's
// rules and bound, and the two blood stages of the step.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "model_internal.h"
#include "standard_subject.h"

namespace {

class Blood : public ::testing::Test {
protected:
    void SetUp() override
    {
        make_standard_subject_live();
        factor[factor_id::body_temperature].value = 37;
        factor[factor_id::haemoglobin].value = 14.8f;
        factor[factor_id::packed_cell_volume].value = 45;
        other[other_id::o2_curve_reference_ph] = 7.4f;
    }
};

struct contents {
    float o2 = 0, co2 = 0, saturation = 0;
};

contents at(float pH, float po2, float pco2)
{
    contents c;
    blood_contents(pH, po2, pco2, c.o2, c.co2, c.saturation);
    return c;
}

TEST_F(Blood, WorkedValuesAtStandardConditions)
{
    const contents high = at(7.4f, 100, 40);
    EXPECT_NEAR(high.saturation, 0.9749, 5e-5);
    EXPECT_NEAR(high.o2, 19.63, 5e-3);
    EXPECT_NEAR(high.co2, 47.59, 5e-3);

    const contents low = at(7.4f, 5, 40);
    EXPECT_NEAR(low.saturation, 0.033015, 1e-6);
    EXPECT_NEAR(low.o2, 0.015 + 14.8 * 0.033015 * 1.34, 1e-5);
}

TEST_F(Blood, QuadraticBelowVirtualTenKelmanFromTen)
{
    // At the standard pH, PCO2 and temperature the virtual PO2 is the PO2.
    EXPECT_NEAR(at(7.4f, 9.99f, 40).saturation, (0.003683 + 0.000584 * 9.99) * 9.99, 1e-6);
    const double x = 10;
    const double kelman = ((((x - 67.07399) * x + 2121.4009) * x - 8532.2285) * x) /
                          ((((x - 67.104408) * x + 2396.167) * x - 31346.26) * x + 935960.875);
    EXPECT_NEAR(at(7.4f, 10, 40).saturation, kelman, 1e-6);
}

TEST_F(Blood, VirtualPressureFollowsPhCo2AndTemperature)
{
    // A higher pH shifts the curve left: PO2 5 at pH 7.6 reads as 5 x 10^0.08.
    const double x = 5 * std::pow(10.0, 0.08);
    EXPECT_NEAR(at(7.6f, 5, 40).saturation, (0.003683 + 0.000584 * x) * x, 1e-6);
    // The reference pH from 2,3-DPG moves the curve the other way.
    other[other_id::o2_curve_reference_ph] = 7.6f;
    EXPECT_NEAR(at(7.6f, 5, 40).saturation, 0.033015, 1e-6);
    // Colder blood holds O2 more tightly.
    factor[factor_id::body_temperature].value = 32;
    other[other_id::o2_curve_reference_ph] = 7.4f;
    EXPECT_GT(at(7.4f, 5, 40).saturation, 0.033015f);
}

TEST_F(Blood, VirtualPressureFloor)
{
    const double floor_saturation = (0.003683 + 0.000584 * 0.01) * 0.01;
    for (float po2 : {0.0f, 0.001f, 0.0099f}) {
        const contents c = at(7.4f, po2, 40);
        EXPECT_NEAR(c.saturation, floor_saturation, 1e-9) << po2;
        EXPECT_NEAR(c.o2, 0.003 * po2 + 14.8 * floor_saturation * 1.34, 1e-7) << po2;
    }
}

TEST_F(Blood, NoCellsGivesPlasmaCo2)
{
    factor[factor_id::packed_cell_volume].value = 0;
    const double pK = 6.086 + 0.00472;
    const double plasma = 0.0307 * 40 * (1 + std::pow(10.0, 7.4 - pK));
    EXPECT_NEAR(at(7.4f, 100, 40).co2, plasma * 2.22, 1e-4);
    // Cells carry less CO2 than plasma, so cells lower the content.
    factor[factor_id::packed_cell_volume].value = 45;
    EXPECT_LT(at(7.4f, 100, 40).co2, plasma * 2.22);
}

TEST_F(Blood, SolverReturnsAtOnceWhenTheStartIsGoodEnough)
{
    const contents target = at(7.4f, 93.18f, 39.9f);
    float po2 = 93.2f, pco2 = 39.9f, saturation = -1;
    blood_pressures(7.4f, po2, pco2, target.o2, target.co2, saturation);
    EXPECT_EQ(po2, 93.2f);
    EXPECT_EQ(pco2, 39.9f);
    EXPECT_EQ(saturation, at(7.4f, 93.2f, 39.9f).saturation);
}

TEST_F(Blood, SolverFindsPressuresForContents)
{
    struct row {
        float pH, po2, pco2, start_po2, start_pco2, temperature;
    };
    const row rows[] = {
        {7.40f, 93.18f, 39.9f, 100, 40, 37},  // resting arterial blood from the last step
        {7.37f, 40, 45.4f, 38, 47, 37},       // mixed venous
        {7.25f, 25, 70, 60, 40, 37},          // far start, hypercapnic
        {7.55f, 600, 25, 90, 40, 39},         // oxygen breathing, hypocapnia
        {7.10f, 8, 90, 40, 40, 30},           // steep part of the curve, cold
        {7.40f, 2500, 40, 100, 40, 37},       // hyperbaric oxygen
        {7.40f, 0.5f, 0.5f, 40, 40, 37},      // near the floor
    };
    for (const row& r : rows) {
        factor[factor_id::body_temperature].value = r.temperature;
        const contents target = at(r.pH, r.po2, r.pco2);
        float po2 = r.start_po2, pco2 = r.start_pco2, saturation = -1;
        blood_pressures(r.pH, po2, pco2, target.o2, target.co2, saturation);
        const contents reached = at(r.pH, po2, pco2);
        EXPECT_NEAR(reached.o2, target.o2, 0.0101) << r.po2;
        EXPECT_NEAR(reached.co2, target.co2, 0.0101) << r.po2;
        EXPECT_EQ(saturation, reached.saturation) << r.po2;  // evaluated at the result
        EXPECT_GE(po2, 0.1f);
        EXPECT_GE(pco2, 0.1f);
    }
}

TEST_F(Blood, MoveBelowAQuarterLandsOnAQuarter)
{
    // The first CO2 move is -0.5 mm Hg, which from 0.6 would end at 0.1,
    // below a quarter of 0.6: it lands on 0.15, where the target lies.
    // Without haemoglobin the O2 content does not depend on the PCO2, so O2
    // stays put.
    const float quarter = 0.6f / 4;
    {
        factor[factor_id::haemoglobin].value = 0;
        const contents target = at(7.4f, 90, quarter);
        float po2 = 90, pco2 = 0.6f, saturation = 0;
        blood_pressures(7.4f, po2, pco2, target.o2, target.co2, saturation);
        EXPECT_EQ(pco2, quarter);
        EXPECT_EQ(po2, 90.0f);
    }
    {
        factor[factor_id::haemoglobin].value = 14.8f;
        const contents target = at(7.4f, quarter, 40);
        float po2 = 0.6f, pco2 = 40, saturation = 0;
        blood_pressures(7.4f, po2, pco2, target.o2, target.co2, saturation);
        EXPECT_EQ(po2, quarter);
        EXPECT_EQ(pco2, 40.0f);
    }
}

TEST_F(Blood, SolverIsBoundedOnUnreachableTargets)
{
    struct row {
        float target_o2, target_co2;
    };
    const row rows[] = {
        {-5, -5},                                 // below the contents at the 0.1 mm Hg floor
        {-5, 47},      {19.5f, -1},  {1e6f, 47},  // more O2 than any pressure dissolves in a float
        {19.5f, 1e7f}, {1e9f, 1e9f},
    };
    for (const row& r : rows) {
        float po2 = 93, pco2 = 40, saturation = -1;
        blood_pressures(7.4f, po2, pco2, r.target_o2, r.target_co2, saturation);
        EXPECT_TRUE(std::isfinite(po2)) << r.target_o2 << " " << r.target_co2;
        EXPECT_TRUE(std::isfinite(pco2)) << r.target_o2 << " " << r.target_co2;
        EXPECT_GE(po2, 0.1f);
        EXPECT_GE(pco2, 0.1f);
        EXPECT_EQ(saturation, at(7.4f, po2, pco2).saturation);
    }
}

// A state reached by a random artificially ventilated subject: at pH 10 with a
// packed cell volume of 78 % the secant step once ran PCO2 up to 2.8e25.
TEST_F(Blood, SolverStaysBelowItsCeilingAtAnExtremePh)
{
    factor[factor_id::packed_cell_volume].value = 78;
    float po2 = 0x1.3e0598p+3f, pco2 = 0x1.0021dp-3f, saturation = 0;
    blood_pressures(0x1.44b544p+3f, po2, pco2, 0x1.2226f8p+4f, 0x1.0c671p+3f, saturation);
    EXPECT_LE(po2, 5000.0f);
    EXPECT_LE(pco2, 5000.0f);
    EXPECT_GE(pco2, 0.1f);
    EXPECT_TRUE(std::isfinite(saturation));
}

TEST_F(Blood, StartBelowTheFloorStartsAtTheFloor)
{
    const contents target = at(7.4f, 40, 40);
    float po2 = -3, pco2 = 0, saturation = 0;
    blood_pressures(7.4f, po2, pco2, target.o2, target.co2, saturation);
    EXPECT_NEAR(at(7.4f, po2, pco2).o2, target.o2, 0.0101);
    EXPECT_NEAR(at(7.4f, po2, pco2).co2, target.co2, 0.0101);
}

TEST_F(Blood, DpgDriftsTowardItsTarget)
{
    constant(60);
    factor[factor_id::dpg].value = 3.8f;
    display[display_id::arterial_o2_content].value = 19.54f;
    stage_dpg_drift();
    EXPECT_FLOAT_EQ(factor[factor_id::dpg].value, 3.8f + (23.3f - 19.54f - 3.8f) / 30000);
    // Hypoxaemia raises the target.
    display[display_id::arterial_o2_content].value = 10;
    const float before = factor[factor_id::dpg].value;
    stage_dpg_drift();
    EXPECT_GT(factor[factor_id::dpg].value, before);
}

TEST_F(Blood, ArterialStageOfTheStandardSubject)
{
    constant(60);
    ASSERT_EQ(stage_arterial_blood(), 0);
    const double bicarbonate = 71.41 / 3 + (39.9 - 40) * 0.0203 * 14.8;
    EXPECT_NEAR(display[display_id::arterial_bicarbonate].value, bicarbonate, 1e-4);
    EXPECT_NEAR(display[display_id::arterial_ph].value, 6.1 + std::log10(bicarbonate / (0.03 * 39.9)), 1e-5);
    const contents reached =
        at(display[display_id::arterial_ph].value, display[display_id::arterial_po2].value,
           display[display_id::arterial_pco2].value);
    EXPECT_NEAR(reached.o2, 19.54, 0.0101);
    EXPECT_NEAR(reached.co2, 47.35, 0.0101);
    EXPECT_FLOAT_EQ(display[display_id::arterial_saturation].value, 100 * reached.saturation);
    EXPECT_NEAR(display[display_id::arterial_po2].value, 93.18, 3);
    EXPECT_NEAR(display[display_id::arterial_pco2].value, 39.9, 1);
    EXPECT_NEAR(display[display_id::arterial_saturation].value, 97.13, 0.5);
}

TEST_F(Blood, ArterialStageStopsWithoutBicarbonate)
{
    constant(60);
    display[display_id::venous_bicarbonate_amount].value = 0;
    display[display_id::arterial_pco2].value = 40;
    display[display_id::arterial_po2].value = 93;
    EXPECT_EQ(stage_arterial_blood(), failure_code::arterial_bicarbonate_gone);
    EXPECT_EQ(display[display_id::arterial_bicarbonate].value, 0.0f);
    EXPECT_EQ(display[display_id::arterial_po2].value, 93.0f);  // nothing after the test ran
}

TEST_F(Blood, ArterialStageWithAZeroPco2StaysFinite)
{
    constant(60);
    display[display_id::arterial_pco2].value = 0;
    ASSERT_EQ(stage_arterial_blood(), 0);
    EXPECT_TRUE(std::isfinite(display[display_id::arterial_ph].value));
    EXPECT_TRUE(std::isfinite(display[display_id::arterial_pco2].value));
    EXPECT_TRUE(std::isfinite(display[display_id::arterial_po2].value));
}

}  // namespace

// The exported curve is the step's own chemistry: for the live subject's
// conditions it gives the arterial saturation of model() bit for bit.
TEST(BloodCurveExport, SameChemistryAsTheStep)
{
    make_standard_subject_live();
    for (float dpg : {3.8f, 1.0f, 9.5f, 14.0f}) {
        for (float hb : {14.8f, 7.0f}) {
            factor[factor_id::dpg].value = dpg;
            factor[factor_id::haemoglobin].value = hb;
            constant(60);  // the curve's reference pH from this DPG (the DPG is then held at 13)
            for (float t : {37.0f, 33.5f, 40.2f}) {
                factor[factor_id::body_temperature].value = t;
                for (float ph : {7.1f, 7.4f, 7.63f}) {
                    for (float po2 : {0.0f, 3.0f, 12.5f, 27.0f, 60.0f, 93.18f, 600.0f}) {
                        float o2 = 0, co2 = 0, s = 0, s_export = 0, o2_export = 0;
                        blood_contents(ph, po2, 45, o2, co2, s);
                        ASSERT_TRUE(tolvane_o2_saturation(po2, 45, ph, t, dpg, hb, &s_export, &o2_export));
                        EXPECT_EQ(s_export, s) << dpg << " " << hb << " " << t << " " << ph << " " << po2;
                        EXPECT_EQ(o2_export, o2);
                    }
                }
            }
        }
    }
}

// Nor does it touch the library's own coefficients (exported variables are
// compared in the exports test, through the shared library).
TEST(BloodCurveExport, LeavesTheRunsCoefficientsAlone)
{
    make_standard_subject_live();
    constant(60);
    float before[76];
    std::memcpy(before, derived, sizeof before);
    const float other4 = other[other_id::o2_curve_reference_ph];
    float s = 0, c = 0;
    for (float dpg : {1.0f, 3.8f, 13.0f, 20.0f}) {
        tolvane_o2_saturation(50, 40, 7.4f, 37, dpg, 14.8f, &s, &c);
    }
    EXPECT_EQ(std::memcmp(before, derived, sizeof before), 0);
    EXPECT_EQ(other[other_id::o2_curve_reference_ph], other4);
}
