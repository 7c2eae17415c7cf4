// SPDX-License-Identifier: Apache-2.0
// How the subject feels and whether it can go on: sympt() and death(), with
// their sentences for the clinical message buffer.
#include <cstring>

#include "step_internal.h"

symptom_memory symptoms;

void clear_symptom_memory() { symptoms = symptom_memory{}; }

void append_clinical_text(const char* text)
{
    constexpr std::size_t capacity = TOLVANE_APP_BUF_SIZE - 1;  // characters, NUL aside
    std::size_t used = strnlen(app_buf, TOLVANE_APP_BUF_SIZE);
    if (used > capacity) {
        // No terminator within the buffer: whatever is there is cut to fit.
        used = capacity;
    }
    const std::size_t room = capacity - used;
    std::size_t length = std::strlen(text);
    if (length > room) {
        length = room;
    }
    std::memcpy(app_buf + used, text, length);
    app_buf[used + length] = '\0';
}

namespace {

// Thresholds are 32-bit floats, compared with the 32-bit values the model
// keeps, so that a value stored as exactly 6.63 meets the threshold 6.63.
float tissue_ph() { return display[display_id::tissue_ph].value; }

struct symptom {
    const char* sentence;
    bool serious;
};

constexpr symptom symptom_table[14] = {
    {"Your patient is unrousable. ", true},
    {"My eyes are going dim. ", true},
    {"I have awful pains in my legs. ", true},
    {"My skin is itching. ", false},
    {"I am feeling drowsy. ", false},
    {"This .... is .... imposib... .... ", true},
    {"I am very short of breath. ", true},
    {"I am rather short of breath. ", false},
    {"I am getting tingling and cramps in my hands. ", false},
    {"I don't feel well at all. ", false},
    {"Your patient is twitching. ", true},
    {"Your patient is fighting the ventilator. ", false},
    {"Your patient is very blue. ", true},
    {"Your patient is blue. ", false},
};

// Findings of one sympt() call.
struct findings {
    bool serious = false;
    bool any = false;

    // The symptom of this bit is present: counts it, and reports it once.
    void present(int bit)
    {
        const symptom& s = symptom_table[bit];
        (s.serious ? serious : any) = true;
        if ((symptoms.bits & (1 << bit)) == 0) {
            append_clinical_text(s.sentence);
            symptoms.bits |= 1 << bit;
        }
    }
};

}  // namespace

int32_t sympt()
{
    const int32_t bits_at_entry = symptoms.bits;
    findings found;

    const float fast_n2 = display[display_id::tissue_pn2_fast].value;
    const float brain_o2 = display[display_id::brain_po2].value;
    const float brain_co2 = display[display_id::brain_pco2].value;
    const float decompression = display[display_id::decompression_risk].value;
    const float rate = display[display_id::respiratory_rate].value;
    const float pH = tissue_ph();
    const bool natural = natural_breathing();

    const bool unrousable = fast_n2 > 6000.0f || brain_o2 < 12.5f || brain_co2 > 91.0f;
    if (unrousable) {
        found.present(0);
    } else {
        if (brain_o2 <= 13.9f) {
            found.present(1);
        }
        if (decompression > 160.1f) {
            found.present(2);
        } else if (decompression > 101.1f) {
            found.present(3);
        }
        if (fast_n2 > 4300.0f || brain_co2 > 80.0f) {
            found.present(4);
        }
        if (natural) {
            if (rate > 46.0f) {
                found.present(5);
            } else if (rate > 35.0f) {
                found.present(6);
            } else if (rate > 27.0f) {
                found.present(7);
            }
        }
        if (pH > 7.59f) {
            found.present(8);
        }
        if (pH <= 7.13f) {
            found.present(9);
        }
    }
    if (pH < 7.08f) {
        found.present(10);
    }
    // The two formulas below are evaluated in double and stored as floats,
    // like every model formula, before they meet their thresholds.
    if (!natural) {
        const float unmet = static_cast<float>(other[other_id::ventilation_demand] * 0.9 -
                                               display[display_id::total_ventilation].value);
        if (unmet > 0) {
            found.present(11);
        }
    }
    const float blue = static_cast<float>(1.3 * factor[factor_id::haemoglobin].value -
                                          display[display_id::arterial_o2_content].value);
    if (blue >= 7.0f) {
        found.present(12);
    } else if (blue >= 5.0f) {
        found.present(13);
    }
    if (found.serious) {
        found.any = true;
    }

    const int serious = found.serious ? 1 : 0;
    const int any = found.any ? 1 : 0;
    const char* improvement = nullptr;
    if (symptoms.previous_serious - (serious + any) > 0) {
        improvement = "God bless you doctor. I feel really well again. It's like a miracle. ";
    } else if (symptoms.previous_serious > serious) {
        improvement = "I feel better but not right yet. Can't you do something else for me? ";
    } else if (symptoms.previous_any > any) {
        improvement = "That's better doctor. ...  But are you going to do any other nasty things to me? ";
    }
    if (improvement != nullptr) {
        append_clinical_text(improvement);
        symptoms.bits = 0;  // symptoms still present are reported again
    }
    symptoms.previous_serious = serious;
    symptoms.previous_any = any;
    return bits_at_entry - symptoms.bits;
}

bool death()
{
    if (!(other[other_id::anoxia_index] >= 0)) {
        other[other_id::anoxia_index] = 0;
    }
    const float pH = tissue_ph();
    const char* cause = nullptr;
    if (other[other_id::anoxia_index] > 7.0f) {
        cause = "Anoxaemia has been severe and irrecoverable. ";
    } else if (pH <= 6.63f) {
        cause = "Tissue pH has fallen to a lethally low level. ";
    } else if (pH > 7.8f) {
        cause = "Tissue pH has risen to a lethally high level. ";
    } else if (display[display_id::decompression_risk].value > 280.0f) {
        cause = "The brain is irrecoverably full of gas bubbles. ";
    }
    if (cause != nullptr) {
        append_clinical_text(cause);
        append_clinical_text("I'm sorry, your patient has died.");
        return true;
    }
    if (display[display_id::metabolic_rate].value >= 290.0f && pH <= 7.1f) {
        append_clinical_text("... I\tcan't go on...");
        return true;
    }
    return false;
}
