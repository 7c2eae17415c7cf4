// SPDX-License-Identifier: Apache-2.0
// The numerical mends of the step act only where the written numerics break
// a lesson (a sudden barometric pressure change, work above 150 W, a sudden
// change of haemoglobin). Every
// other run must give the same bits as before the mends: each case below
// changes factors at 2:00 on the standard subject and runs to 32:00; a 64-bit
// hash of every display, other and factor value after every second is
// compared with the hash that the code gave before the mends.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ostream>

#include "model_driver.h"

namespace {

struct golden_case {
    const char* name;
    int factor_index;  // -1: no change at 2:00
    float value;
    uint64_t hash;  // from the code before the mends
    friend std::ostream& operator<<(std::ostream& os, const golden_case& c) { return os << c.name; }
};

// FNV-1a over the bytes of the state.
void mix(uint64_t& hash, const void* data, std::size_t size)
{
    const auto* bytes = static_cast<const unsigned char*>(data);
    for (std::size_t i = 0; i < size; ++i) {
        hash = (hash ^ bytes[i]) * 0x100000001b3ULL;
    }
}

void mix_state(uint64_t& hash)
{
    for (int i = 0; i < TOLVANE_NUM_DISPLAYS; ++i) {
        mix(hash, &display[i].value, sizeof(float));
    }
    for (int i = 0; i < TOLVANE_NUM_FACTORS; ++i) {
        mix(hash, &factor[i].value, sizeof(float));
    }
    mix(hash, other, sizeof other);
}

// Hash of a 32-minute run with the case's change at 2:00; every second counts.
uint64_t run_hash(const golden_case& c)
{
    fresh_standard_subject();
    uint64_t hash = 0xcbf29ce484222325ULL;
    run_outcome out;
    for (int minute = 0; minute < 32; ++minute) {
        if (minute == 2 && c.factor_index >= 0) {
            factor[c.factor_index].value = c.value;
        }
        constant(60);
        for (int second = 0; second < 60; ++second) {
            const bool going = run_second(out);
            mix_state(hash);
            if (!going) {
                mix(hash, &out.failure, sizeof out.failure);
                return hash;
            }
        }
    }
    return hash;
}

class BitIdentity : public ::testing::TestWithParam<golden_case> {};

const golden_case golden_cases[] = {
#include "bit_identity_golden.inc"
};

}  // namespace

TEST_P(BitIdentity, RunGivesTheSameBitsAsBeforeTheMends)
{
    const uint64_t hash = run_hash(GetParam());
    EXPECT_EQ(hash, GetParam().hash) << std::hex << "0x" << hash;
}

INSTANTIATE_TEST_SUITE_P(Runs, BitIdentity, ::testing::ValuesIn(golden_cases),
                         [](const auto& info) { return std::string(info.param.name); });
