// Fuzz target for the C interface's string inputs: names, typed values,
// times, subject texts and scripts. Built for libFuzzer when the compiler
// has it (clang -fsanitize=fuzzer); otherwise a driver feeds it a fixed
// series of mutated seeds, so every test run exercises it.
#include "tolvane/session.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace {

// True when text holds three or more digits before a colon (a time of 100
// minutes or more).
bool names_long_times(const std::string& text)
{
    int digits = 0;
    for (const char c : text) {
        if (c == ':' && digits >= 3) return true;
        digits = c >= '0' && c <= '9' ? digits + 1 : 0;
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // The first byte chooses the entry point, the rest is the string.
    if (size == 0) return 0;
    const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
    static tolvane_session* session = [] {
        tolvane_session* s = nullptr;
        tolvane_create(&s);
        return s;
    }();
    int index = 0, seconds = 0;
    double stored = 0;
    switch (data[0] % 7) {
    case 0:
        tolvane_find_factor(session, text.c_str(), &index);
        tolvane_find_display(session, text.c_str(), &index);
        break;
    case 1:
        tolvane_set_factor_by_name(session, text.c_str(), 1.0, &stored);
        break;
    case 2:
        tolvane_enter_factor_text(session, 16, text.c_str(), &stored);
        break;
    case 3:
        tolvane_parse_time(text.c_str(), &seconds);
        break;
    case 4:
        tolvane_load_subject_buffer(session, text.data(), text.size(), text.c_str());
        break;
    case 5:
        // Scripts run from 0:00 to at most 99 minutes, so each input stays quick.
        tolvane_reset(session);
        if (!names_long_times(text)) tolvane_run_script(session, text.c_str(), "/nonexistent");
        break;
    case 6:
        tolvane_load_subject(session, text.c_str());
        break;
    }
    // Whatever happened, the message is a valid text.
    volatile std::size_t length = std::string(tolvane_errmsg(session)).size();
    static_cast<void>(length);
    return 0;
}
