#include "model_state.h"

#include "pressure_mode.h"

#include <algorithm>
#include <iterator>
#include <mutex>

namespace {

std::mutex& model_mutex()
{
    static std::mutex mutex;
    return mutex;
}

// The state whose copy is live in the model's globals; null when none is.
const model_state* live_state = nullptr;

template <typename T, std::size_t N>
void copy_in(std::array<T, N>& to, const T (&from)[N])
{
    std::copy(std::begin(from), std::end(from), to.begin());
}

template <typename T, std::size_t N>
void copy_out(T (&to)[N], const std::array<T, N>& from)
{
    std::copy(from.begin(), from.end(), std::begin(to));
}

}  // namespace

void model_state::capture()
{
    estab_pnt();
    copy_in(factors, ::factor);
    copy_in(displays, ::display);
    copy_in(others, ::other);
    height = ::height;
    weight = ::weight;
    age = ::age;
    sex = ::sex;
    s_height = ::s_height;
    s_weight = ::s_weight;
    s_age = ::s_age;
    s_sex = ::s_sex;
    copy_in(s_factors, ::s_factor);
    copy_in(s_displays, ::s_display);
    copy_in(s_others, ::s_other);
    copy_in(alt_factors, ::alt_fact);
    copy_in(alt_displays, ::alt_dspy);
    copy_in(messages, ::app_buf);
    ventilation = *::ventilation;
    bag_state = *::bag_index;
    tolvane_save_step_memory(&memory);
    listed_factors_in_kpa = ::listed_factors_in_kpa();
}

void model_state::apply() const
{
    estab_pnt();
    copy_out(::factor, factors);
    copy_out(::display, displays);
    copy_out(::other, others);
    ::height = height;
    ::weight = weight;
    ::age = age;
    ::sex = sex;
    ::s_height = s_height;
    ::s_weight = s_weight;
    ::s_age = s_age;
    ::s_sex = s_sex;
    copy_out(::s_factor, s_factors);
    copy_out(::s_display, s_displays);
    copy_out(::s_other, s_others);
    copy_out(::alt_fact, alt_factors);
    copy_out(::alt_dspy, alt_displays);
    copy_out(::app_buf, messages);
    *::ventilation = ventilation;
    *::bag_index = bag_state;
    tolvane_restore_step_memory(&memory);
    set_listed_factors_in_kpa(listed_factors_in_kpa);
}

const model_state& model_state::pristine()
{
    // Taken once, under the lock, before any session changed the model.
    static const model_state state = [] {
        const std::lock_guard<std::mutex> lock(model_mutex());
        model_state s;
        s.capture();
        return s;
    }();
    return state;
}

model_lease::model_lease(model_state& own)
{
    model_mutex().lock();
    if (live_state == &own) return;
    if (live_state != nullptr) const_cast<model_state*>(live_state)->capture();
    own.apply();
    live_state = &own;
}

model_lease::~model_lease() { model_mutex().unlock(); }

void model_lease::forget(const model_state& own)
{
    const std::lock_guard<std::mutex> lock(model_mutex());
    if (live_state == &own) live_state = nullptr;
}
