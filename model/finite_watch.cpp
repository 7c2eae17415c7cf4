// SPDX-License-Identifier: Apache-2.0
// Item 9: a step that leaves a value that is not a finite number. A check of
// every value the step writes (some ninety) after every step would cost
// about a tenth of the step. Instead the processor's floating-point
// exception flags are watched: an operation on finite numbers can give an
// infinity or a NaN only by raising the invalid, divide-by-zero or overflow
// flag, so while the step's inputs are finite a step that raises none of
// them has left every value finite. The whole state is checked when a flag
// was raised, in the first step after new constants or a new subject, after
// a step that failed, and in every step while the derived constants hold a
// value that is not finite. WebAssembly has no such flags, so there every
// step is checked.
#include "step_internal.h"

#include <cstring>
#include <initializer_list>

#if defined(__EMSCRIPTEN__)
#elif defined(__SSE__) || defined(__x86_64__)
#include <xmmintrin.h>
#else
#include <cfenv>
#endif

namespace {

bool whole_state_check_due = true;
bool constants_not_finite = false;

#if defined(__EMSCRIPTEN__)
// WebAssembly keeps no floating-point exception flags: every step is checked.
void clear_flags() {}
bool flags_raised() { return true; }
#elif defined(__SSE__) || defined(__x86_64__)
// MXCSR status bits: invalid (0), divide-by-zero (2), overflow (3). Writing
// the register is slow, so it is written only when one of them is set.
constexpr unsigned int watched_flags = 0x0d;
void clear_flags()
{
    const unsigned int csr = _mm_getcsr();
    if ((csr & watched_flags) != 0) {
        _mm_setcsr(csr & ~watched_flags);
    }
}
bool flags_raised() { return (_mm_getcsr() & watched_flags) != 0; }
#else
void clear_flags() { std::feclearexcept(FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW); }
bool flags_raised() { return std::fetestexcept(FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW) != 0; }
#endif

// Nonzero when a float's exponent bits are all set: infinite or not a number.
inline uint32_t not_finite_bits(float v)
{
    uint32_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    return static_cast<uint32_t>((bits & 0x7f800000u) == 0x7f800000u);
}

// True when every value a step writes is a finite number: the display and
// other variables and the factors that the step and the bag change.
bool step_results_finite()
{
    uint32_t bad = 0;
    for (const catalogue_record& record : display) {
        bad |= not_finite_bits(record.value);
    }
    for (float value : other) {
        bad |= not_finite_bits(value);
    }
    for (int index : {0, 4, 6, 19, 24}) {
        bad |= not_finite_bits(factor[index].value);
    }
    return bad == 0;
}

}  // namespace

void watch_new_inputs() { whole_state_check_due = true; }

void watch_new_constants()
{
    uint32_t bad = 0;
    for (float value : derived) {
        bad |= not_finite_bits(value);
    }
    constants_not_finite = bad != 0;
    whole_state_check_due = true;
}

void start_finite_watch() { clear_flags(); }

int end_finite_watch(int code)
{
    const bool check = flags_raised() || whole_state_check_due || constants_not_finite;
    if (code != 0) {
        whole_state_check_due = true;
        return code;
    }
    if (!check) {
        return 0;
    }
    whole_state_check_due = false;
    if (!step_results_finite()) {
        whole_state_check_due = true;
        return failure_code::not_finite;
    }
    return 0;
}
