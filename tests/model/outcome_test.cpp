// SPDX-License-Identifier: Apache-2.0
// Symptoms and death: the sentences, reporting once, the improvement
// messages, the causes of death, and the clinical message buffer.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "model_driver.h"
#include "slot_ids.h"

namespace {

const std::string kVeryShort = "I am very short of breath. ";
const std::string kRatherShort = "I am rather short of breath. ";
const std::string kDim = "My eyes are going dim. ";
const std::string kGodBless = "God bless you doctor. I feel really well again. It's like a miracle. ";
const std::string kBetter = "I feel better but not right yet. Can't you do something else for me? ";
const std::string kThatsBetter =
    "That's better doctor. ...  But are you going to do any other nasty things to me? ";
const std::string kDied = "I'm sorry, your patient has died.";

class Outcome : public ::testing::Test {
protected:
    // The standard subject feels well: no symptom holds.
    void SetUp() override { fresh_standard_subject(); }

    // One sympt() call: its text and its result.
    static std::string symptoms_now(int32_t* result = nullptr)
    {
        app_buf[0] = '\0';
        const int32_t r = sympt();
        if (result != nullptr) {
            *result = r;
        }
        std::string text = app_buf;
        app_buf[0] = '\0';
        return text;
    }

    static std::string death_now(bool* died = nullptr)
    {
        app_buf[0] = '\0';
        const bool d = death();
        if (died != nullptr) {
            *died = d;
        }
        std::string text = app_buf;
        app_buf[0] = '\0';
        return text;
    }
};

}  // namespace

TEST_F(Outcome, StandardSubjectHasNoSymptomsAndLives)
{
    int32_t result = 1;
    EXPECT_EQ(symptoms_now(&result), "");
    EXPECT_EQ(result, 0);
    bool died = true;
    EXPECT_EQ(death_now(&died), "");
    EXPECT_FALSE(died);
}

TEST_F(Outcome, PersistingSymptomIsReportedOnce)
{
    display[display_id::respiratory_rate].value = 40;
    int32_t result = 0;
    EXPECT_EQ(symptoms_now(&result), kVeryShort);
    EXPECT_EQ(result, -(1 << 6));
    for (int call = 0; call < 3; ++call) {
        EXPECT_EQ(symptoms_now(&result), "");
        EXPECT_EQ(result, 0);
    }
}

TEST_F(Outcome, SentencesAtTheThresholds)
{
    struct row {
        void (*set)();
        std::string text;
    };
    const row rows[] = {
        {[] { display[display_id::respiratory_rate].value = 46.5f; }, "This .... is .... imposib... .... "},
        {[] { display[display_id::respiratory_rate].value = 46; }, kVeryShort},
        {[] { display[display_id::respiratory_rate].value = 35; }, kRatherShort},
        {[] { display[display_id::respiratory_rate].value = 27; }, ""},
        {[] { display[display_id::tissue_ph].value = 7.13f; }, "I don't feel well at all. "},
        {[] { display[display_id::tissue_ph].value = 7.08f; }, "I don't feel well at all. "},
        {[] { display[display_id::tissue_ph].value = 7.07f; },
         "I don't feel well at all. Your patient is twitching. "},
        {[] { display[display_id::tissue_ph].value = 7.59f; }, ""},
        {[] { display[display_id::tissue_ph].value = 7.6f; },
         "I am getting tingling and cramps in my hands. "},
        {[] { display[display_id::brain_po2].value = 13.9f; }, kDim},
        {[] { display[display_id::brain_po2].value = 12.4f; }, "Your patient is unrousable. "},
        {[] { display[display_id::brain_pco2].value = 81; }, "I am feeling drowsy. "},
        {[] { display[display_id::brain_pco2].value = 92; }, "Your patient is unrousable. "},
        {[] { display[display_id::tissue_pn2_fast].value = 4301; }, "I am feeling drowsy. "},
        {[] { display[display_id::tissue_pn2_fast].value = 6001; }, "Your patient is unrousable. "},
        {[] { display[display_id::decompression_risk].value = 101.2f; }, "My skin is itching. "},
        {[] { display[display_id::decompression_risk].value = 160.2f; }, "I have awful pains in my legs. "},
        {[] { display[display_id::arterial_o2_content].value = 19.24f - 5; }, "Your patient is blue. "},
        {[] { display[display_id::arterial_o2_content].value = 19.24f - 7.5f; },
         "Your patient is very blue. "},
        // 1.3 x 11 - 7.3 is 7 and 1.3 x 11 - 9.3 is 5 when evaluated in double;
        // in float arithmetic both fall just short of their thresholds.
        {[] {
             factor[factor_id::haemoglobin].value = 11;
             display[display_id::arterial_o2_content].value = 7.3f;
         },
         "Your patient is very blue. "},
        {[] {
             factor[factor_id::haemoglobin].value = 11;
             display[display_id::arterial_o2_content].value = 9.3f;
         },
         "Your patient is blue. "},
    };
    for (const row& r : rows) {
        fresh_standard_subject();
        r.set();
        EXPECT_EQ(symptoms_now(), r.text);
    }
}

// The unrousable subject is not asked how it feels: only bits 10 to 13 are
// tested besides it, and a serious finding always results.
TEST_F(Outcome, UnrousableSubjectSaysNothingElseOfItsOwn)
{
    display[display_id::brain_po2].value = 12;         // also "eyes dim" if it were asked
    display[display_id::respiratory_rate].value = 50;  // also "imposib..." if it were asked
    display[display_id::tissue_ph].value = 7.0f;       // twitching is observed
    EXPECT_EQ(symptoms_now(), "Your patient is unrousable. Your patient is twitching. ");
    display[display_id::tissue_ph].value = 7.37f;
    EXPECT_EQ(symptoms_now(), "");  // still serious: no improvement message
}

TEST_F(Outcome, ArtificialVentilationTestsFightingNotBreathlessness)
{
    ventilation_flag = 0;
    display[display_id::respiratory_rate].value = 50;
    other[other_id::ventilation_demand] = 10;
    display[display_id::total_ventilation].value = 9;  // 0.9 x 10 - 9 = 0: not fighting
    EXPECT_EQ(symptoms_now(), "");
    display[display_id::total_ventilation].value = 8;
    EXPECT_EQ(symptoms_now(), "Your patient is fighting the ventilator. ");
    // Evaluated in double, 0.9 x 2 exceeds the stored 1.8f (a float just
    // below 1.8); float arithmetic would give exactly 0.
    other[other_id::ventilation_demand] = 2;
    display[display_id::total_ventilation].value = 1.8f;
    EXPECT_EQ(symptoms_now(), "");  // still fighting, reported once: no "That's better"
    other[other_id::ventilation_demand] = 10;

    ventilation_flag = 0x100;  // only the low byte counts: still artificial
    display[display_id::total_ventilation].value = 9;
    EXPECT_EQ(symptoms_now(), kThatsBetter);

    ventilation_flag = 1;
    other[other_id::ventilation_demand] = 100;
    display[display_id::respiratory_rate].value = 12;
    EXPECT_EQ(symptoms_now(), "");  // natural: bit 11 never tested
}

TEST_F(Outcome, SeriousSymptomsGoneAtOnceGiveGodBlessOnce)
{
    display[display_id::respiratory_rate].value = 40;
    display[display_id::brain_po2].value = 13;
    EXPECT_EQ(symptoms_now(), kDim + kVeryShort);
    display[display_id::respiratory_rate].value = 12.82f;
    display[display_id::brain_po2].value = 29.87f;
    int32_t result = 0;
    EXPECT_EQ(symptoms_now(&result), kGodBless);
    EXPECT_EQ(result, (1 << 1) | (1 << 6));
    EXPECT_EQ(symptoms_now(&result), "");
    EXPECT_EQ(result, 0);
}

TEST_F(Outcome, SeriousReplacedByMildGivesFeelBetterAndReportsTheMildAgain)
{
    display[display_id::respiratory_rate].value = 40;
    EXPECT_EQ(symptoms_now(), kVeryShort);
    display[display_id::respiratory_rate].value = 30;
    int32_t result = 0;
    // The new mild sentence comes first (symptoms are tested before the
    // improvement is judged), then the improvement, which clears the bits.
    EXPECT_EQ(symptoms_now(&result), kRatherShort + kBetter);
    EXPECT_EQ(result, 1 << 6);
    EXPECT_EQ(symptoms_now(&result), kRatherShort);  // still there: reported again
    EXPECT_EQ(result, -(1 << 7));
    EXPECT_EQ(symptoms_now(), "");
}

TEST_F(Outcome, FeelBetterWithoutRepeatingAnAlreadyReportedMildSymptom)
{
    display[display_id::respiratory_rate].value = 30;
    display[display_id::brain_po2].value = 13;
    EXPECT_EQ(symptoms_now(), kDim + kRatherShort);
    display[display_id::brain_po2].value = 29.87f;
    EXPECT_EQ(symptoms_now(), kBetter);
}

TEST_F(Outcome, MildSymptomsGoneGiveThatsBetter)
{
    display[display_id::respiratory_rate].value = 30;
    EXPECT_EQ(symptoms_now(), kRatherShort);
    display[display_id::respiratory_rate].value = 12;
    int32_t result = 0;
    EXPECT_EQ(symptoms_now(&result), kThatsBetter);
    EXPECT_EQ(result, 1 << 7);
    EXPECT_EQ(symptoms_now(), "");
}

// The longest text one call can give: serious to mild with five new mild
// symptoms, 219 characters; it fits the buffer whole.
TEST_F(Outcome, LongestSymptomTextFitsWhole)
{
    ventilation_flag = 0;
    display[display_id::brain_po2].value = 13;
    symptoms_now();
    display[display_id::brain_po2].value = 29.87f;
    display[display_id::decompression_risk].value = 120;  // itching
    display[display_id::brain_pco2].value = 85;           // drowsy
    display[display_id::tissue_ph].value = 7.6f;          // tingling
    other[other_id::ventilation_demand] = 20;             // fighting the ventilator
    display[display_id::arterial_o2_content].value = 13;  // blue
    const std::string expected =
        "My skin is itching. I am feeling drowsy. "
        "I am getting tingling and cramps in my hands. "
        "Your patient is fighting the ventilator. Your patient is blue. " +
        kBetter;
    EXPECT_EQ(expected.size(), 219u);
    EXPECT_EQ(symptoms_now(), expected);
}

TEST_F(Outcome, ClinicalTextIsCutAtTheBufferCapacity)
{
    std::memset(app_buf, 'x', TOLVANE_APP_BUF_SIZE - 10);
    app_buf[TOLVANE_APP_BUF_SIZE - 10] = '\0';
    display[display_id::respiratory_rate].value = 40;
    sympt();
    EXPECT_EQ(std::strlen(app_buf), static_cast<size_t>(TOLVANE_APP_BUF_SIZE - 1));
    EXPECT_EQ(std::string(app_buf + TOLVANE_APP_BUF_SIZE - 10), kVeryShort.substr(0, 9));

    // Without any terminator the text is cut to fit and terminated.
    std::memset(app_buf, 'y', TOLVANE_APP_BUF_SIZE);
    append_clinical_text("more");
    EXPECT_EQ(app_buf[TOLVANE_APP_BUF_SIZE - 1], '\0');
    EXPECT_EQ(std::strlen(app_buf), static_cast<size_t>(TOLVANE_APP_BUF_SIZE - 1));

    // A full buffer takes nothing more, and the calls go on.
    for (int call = 0; call < 5; ++call) {
        display[display_id::decompression_risk].value = call % 2 == 0 ? 300.0f : 0.0f;
        sympt();
        death();
    }
    EXPECT_EQ(std::strlen(app_buf), static_cast<size_t>(TOLVANE_APP_BUF_SIZE - 1));
    app_buf[0] = '\0';
}

TEST_F(Outcome, CausesOfDeath)
{
    struct row {
        void (*set)();
        bool died;
        std::string text;
    };
    const row rows[] = {
        {[] { other[other_id::anoxia_index] = 7.5f; }, true,
         "Anoxaemia has been severe and irrecoverable. " + kDied},
        {[] { other[other_id::anoxia_index] = 7; }, false, ""},
        {[] { display[display_id::tissue_ph].value = 6.63f; }, true,
         "Tissue pH has fallen to a lethally low level. " + kDied},
        {[] { display[display_id::tissue_ph].value = 6.64f; }, false, ""},
        {[] { display[display_id::tissue_ph].value = 7.8f; }, false, ""},
        {[] { display[display_id::tissue_ph].value = 7.81f; }, true,
         "Tissue pH has risen to a lethally high level. " + kDied},
        {[] { display[display_id::decompression_risk].value = 280.5f; }, true,
         "The brain is irrecoverably full of gas bubbles. " + kDied},
        {[] { display[display_id::decompression_risk].value = 280; }, false, ""},
        {[] {
             other[other_id::anoxia_index] = 8;
             display[display_id::tissue_ph].value = 6;
         },
         true, "Anoxaemia has been severe and irrecoverable. " + kDied},
        {[] {
             display[display_id::metabolic_rate].value = 290;
             display[display_id::tissue_ph].value = 7.1f;
         },
         true, "... I\tcan't go on..."},
        {[] {
             display[display_id::metabolic_rate].value = 289.9f;
             display[display_id::tissue_ph].value = 7.1f;
         },
         false, ""},
        {[] {
             display[display_id::metabolic_rate].value = 290;
             display[display_id::tissue_ph].value = 7.11f;
         },
         false, ""},
    };
    for (const row& r : rows) {
        fresh_standard_subject();
        r.set();
        bool died = !r.died;
        EXPECT_EQ(death_now(&died), r.text);
        EXPECT_EQ(died, r.died) << r.text;
    }
    EXPECT_EQ(std::string("... I\tcan't go on...").size(), 20u);
}

TEST_F(Outcome, NegativeAnoxiaIndexIsRaisedToZero)
{
    other[other_id::anoxia_index] = -3;
    bool died = true;
    death_now(&died);
    EXPECT_FALSE(died);
    EXPECT_EQ(other[other_id::anoxia_index], 0.0f);
}

TEST_F(Outcome, LoadNewForgetsReportedSymptoms)
{
    display[display_id::respiratory_rate].value = 40;
    EXPECT_EQ(symptoms_now(), kVeryShort);
    load_new();
    display[display_id::respiratory_rate].value = 40;
    EXPECT_EQ(symptoms_now(), kVeryShort);
}
