// SPDX-License-Identifier: Apache-2.0
/* Runs a scenario script through the C interface and writes the run's CSV,
 * as tolvane-batch --script FILE --csv OUT --digits DIGITS does; for the
 * comparison of the two (script_csv_equals_batch.sh).
 * Usage: script_csv SCRIPT BASE_DIR OUT DIGITS. Exit status 0 also when the
 * script stopped early (the CSV then ends there, as the batch's does). */
#include <tolvane/session.h>

#include <stdio.h>
#include <stdlib.h>

static char* read_all(const char* path)
{
    FILE* file = fopen(path, "rb");
    if (file == NULL) return NULL;
    size_t size = 0, capacity = 1 << 16;
    char* text = malloc(capacity);
    size_t got = 0;
    while (text != NULL && (got = fread(text + size, 1, capacity - size - 1, file)) > 0) {
        size += got;
        if (size + 1 == capacity) text = realloc(text, capacity *= 2);
    }
    fclose(file);
    if (text != NULL) text[size] = '\0';
    return text;
}

int main(int argc, char** argv)
{
    if (argc != 5) {
        fprintf(stderr, "usage: script_csv SCRIPT BASE_DIR OUT DIGITS\n");
        return 2;
    }
    char* text = read_all(argv[1]);
    if (text == NULL) {
        fprintf(stderr, "script_csv: cannot read %s\n", argv[1]);
        return 2;
    }
    tolvane_session* session = NULL;
    if (tolvane_create(&session) != TOLVANE_OK) return 2;
    const tolvane_result ran = tolvane_run_script(session, text, argv[2]);
    if (ran != TOLVANE_OK) fprintf(stderr, "script_csv: %s\n", tolvane_errmsg(session));
    const tolvane_result written = tolvane_write_csv(session, argv[3], atoi(argv[4]));
    if (written != TOLVANE_OK) fprintf(stderr, "script_csv: %s\n", tolvane_errmsg(session));
    tolvane_destroy(session);
    free(text);
    return written == TOLVANE_OK ? 0 : 1;
}
