// SPDX-License-Identifier: Apache-2.0
// tolvane-manpage PROGRAM OUTPUT: writes the manual page of tolvane or
// tolvane-batch in roff. Run by the build, so the pages always say what
// --help says.
#include "manual_text.h"

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fputs("usage: tolvane-manpage PROGRAM OUTPUT.1\n", stderr);
        return 2;
    }
    const program_manual* manual = manual_named(argv[1]);
    if (manual == nullptr) {
        std::fprintf(stderr, "tolvane-manpage: no manual for \"%s\"\n", argv[1]);
        return 2;
    }
    const std::string page = roff_page(*manual);
    std::FILE* file = std::fopen(argv[2], "wb");
    if (file == nullptr) {
        std::perror(argv[2]);
        return 1;
    }
    const bool written = std::fwrite(page.data(), 1, page.size(), file) == page.size();
    if (std::fclose(file) != 0 || !written) {
        std::perror(argv[2]);
        return 1;
    }
    return 0;
}
