// The model keeps one subject in exported globals. A session keeps its own
// copy of all of it (the catalogue records with their units and limits, the
// live values, the standard subject, the alternative kPa records, the
// clinical message buffer, the breathing circuit and the step's own memory)
// and makes it live only while it works on the model, through a lease. One
// lock serialises the leases of all sessions of the process, so sessions on
// different threads never see each other's state.
#ifndef TOLVANE_MODEL_STATE_H
#define TOLVANE_MODEL_STATE_H

#include "tolvane_model.h"

#include <array>
#include <cstdint>

// One subject's copy of the model's whole state, history excepted (a
// session records its seconds into a table of its own).
struct model_state {
    std::array<catalogue_record, TOLVANE_NUM_FACTORS> factors{};
    std::array<catalogue_record, TOLVANE_NUM_DISPLAYS> displays{};
    std::array<float, TOLVANE_NUM_OTHERS> others{};
    catalogue_record height{}, weight{}, age{};
    int32_t sex = 0;
    float s_height = 0, s_weight = 0, s_age = 0;
    int32_t s_sex = 0;
    std::array<float, TOLVANE_NUM_FACTORS> s_factors{};
    std::array<standard_display_record, TOLVANE_NUM_DISPLAYS - 1> s_displays{};
    std::array<float, TOLVANE_NUM_OTHERS> s_others{};
    std::array<catalogue_record, 1> alt_factors{};
    std::array<catalogue_record, 11> alt_displays{};
    std::array<char, TOLVANE_APP_BUF_SIZE> messages{};
    int32_t ventilation = 0;
    int32_t bag_state = 0;
    tolvane_step_memory memory{};
    bool listed_factors_in_kpa = false;

    // Copies the live model into this state / makes this state live.
    void capture();
    void apply() const;

    // The model as the process started it: the catalogue in mm Hg, the
    // built-in standard subject, nothing live yet.
    static const model_state& pristine();
};

// A session's hold on the model: while it lives, the session's state is the
// live one and no other lease exists. Taking a lease when another session's
// state is live first copies that state back into its owner. A lease of the
// session whose state is already live copies nothing.
class model_lease {
public:
    explicit model_lease(model_state& own);
    ~model_lease();
    model_lease(const model_lease&) = delete;
    model_lease& operator=(const model_lease&) = delete;

    // Called by a state's owner before it goes: a live copy is forgotten,
    // so that no later lease writes into freed memory.
    static void forget(const model_state& own);
};

#endif
