// SPDX-License-Identifier: Apache-2.0
// The native session library's CSV of a scenario script, for the page's
// tests to compare the WebAssembly build with: script_csv SCRIPT CSV.
#include <stdio.h>
#include <stdlib.h>

#include "tolvane/session.h"

int main(int argc, char** argv)
{
    if (argc != 3) {
        fprintf(stderr, "usage: script_csv SCRIPT CSV\n");
        return 2;
    }
    FILE* file = fopen(argv[1], "rb");
    if (!file) {
        perror(argv[1]);
        return 1;
    }
    static char text[1 << 20];
    const size_t length = fread(text, 1, sizeof text - 1, file);
    fclose(file);
    text[length] = '\0';
    tolvane_session* session = NULL;
    if (tolvane_create(&session) != TOLVANE_OK) return 1;
    const tolvane_result ran = tolvane_run_script(session, text, NULL);
    if (ran != TOLVANE_OK) fprintf(stderr, "%s: %s\n", argv[1], tolvane_errmsg(session));
    const tolvane_result written = tolvane_write_csv(session, argv[2], 0);
    if (written != TOLVANE_OK) fprintf(stderr, "%s: %s\n", argv[2], tolvane_errmsg(session));
    tolvane_destroy(session);
    return ran == TOLVANE_OK && written == TOLVANE_OK ? 0 : 1;
}
