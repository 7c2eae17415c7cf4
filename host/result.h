// SPDX-License-Identifier: Apache-2.0
// How an operation that can fail (loading, saving, printing, a script, a
// simulated second) tells its caller: a code and a message for the user.
// The code type is an enum whose value 0 (Code{}) means success; the
// message is UTF-8 and says what failed, e.g. "No space left on device".
// Toolkit-free, so that the host's step and the front end share one shape.
#ifndef TOLVANE_RESULT_H
#define TOLVANE_RESULT_H

#include <string>
#include <utility>

template <typename Code>
class [[nodiscard]] result {
public:
    // Success: code Code{} and no message.
    result() = default;

    // A failure with code (never Code{}) and the user's text for it.
    static result failure(Code code, std::string message = {})
    {
        result r;
        r.code_ = code;
        r.message_ = std::move(message);
        return r;
    }

    // True iff the code is the success value Code{}.
    bool ok() const { return code_ == Code{}; }
    // The code; Code{} on success.
    Code code() const { return code_; }
    // What failed, in UTF-8; empty on success and where the code says it all.
    const std::string& message() const { return message_; }

private:
    Code code_{};
    std::string message_;
};

#endif
