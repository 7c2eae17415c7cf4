// SPDX-License-Identifier: Apache-2.0
// For tests of writes that fail halfway: while a file_size_limit lives, no
// file of this process may grow beyond `bytes`, and a write past it fails
// with EFBIG instead of raising SIGXFSZ. Both are put back on destruction.
#ifndef TOLVANE_TESTS_FILE_SIZE_LIMIT_H
#define TOLVANE_TESTS_FILE_SIZE_LIMIT_H

#include <csignal>
#include <sys/resource.h>

class file_size_limit {
public:
    explicit file_size_limit(rlim_t bytes)
    {
        struct sigaction ignore {};
        ignore.sa_handler = SIG_IGN;
        sigaction(SIGXFSZ, &ignore, &previous_signal_);
        getrlimit(RLIMIT_FSIZE, &previous_limit_);
        rlimit small = previous_limit_;
        small.rlim_cur = bytes;
        active_ = setrlimit(RLIMIT_FSIZE, &small) == 0;
    }
    ~file_size_limit()
    {
        setrlimit(RLIMIT_FSIZE, &previous_limit_);
        sigaction(SIGXFSZ, &previous_signal_, nullptr);
    }
    file_size_limit(const file_size_limit&) = delete;
    file_size_limit& operator=(const file_size_limit&) = delete;

    // True when the limit took effect.
    bool active() const { return active_; }

private:
    struct sigaction previous_signal_ {};
    rlimit previous_limit_{};
    bool active_ = false;
};

#endif
