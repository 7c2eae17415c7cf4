// SPDX-License-Identifier: Apache-2.0
#include "program_manuals.h"

namespace {

using enum block_kind;

manual_block para(std::string_view text) { return {paragraph, {}, text}; }
manual_block item_of(std::string_view term, std::string_view text) { return {item, term, text}; }
manual_block example_of(std::string_view lines) { return {example, {}, lines}; }

// Both programs find the teaching subjects and example scenarios here when
// installed from the package (prefix /usr).
const manual_section files_section = {
    "FILES",
    {
        item_of("*.sbj",
                "A subject file: the passport, the 32 subject factors, the factor and display "
                "rows of the panels and the model's state, as plain text."),
        item_of("/usr/share/tolvane/subjects/",
                "Teaching subjects: the standard subject with one change (altitude, anaemia, exercise, "
                "inspired CO2, venous admixture) and the rows set to show its effect."),
        item_of("/usr/share/tolvane/scenarios/", "Example scenario scripts for tolvane-batch --script."),
        item_of("/usr/share/doc/tolvane/",
                "The guide and the validation report against published "
                "human data."),
    },
};

// Both programs' terms.
const manual_section copyright_section = {
    "COPYRIGHT",
    {
        para("Copyright 2026 Tolvane developers. Licensed under the Apache License, version 2.0 "
             "(/usr/share/common-licenses/Apache-2.0 on Debian). The program is for teaching and is "
             "offered as it is, without any warranty; it must never be used to diagnose, treat or "
             "monitor anybody."),
    },
};

program_manual make_window_manual()
{
    return {
        "tolvane",
        "teaching simulator of human respiration",
        {"[--help] [--version] [Qt options] [FILE.sbj]"},
        {
            para("tolvane opens the simulator's window. A student takes a simulated person (a "
                 "passport and 32 subject factors such as inspired O2, work rate or haemoglobin), runs "
                 "it a simulated minute at a time with RUN and watches up to eight of the 64 display "
                 "variables as numbers and coloured trends over the last 30 minutes. The subject "
                 "reports symptoms in plain sentences and can die."),
            para("RESET starts the subject again, BACK and F'WARD move the plot cursor, RE-RUN cuts "
                 "the run back to the cursor. The File menu loads and saves subjects (*.sbj) and "
                 "prints a one-page report; the View menu lists the factors and display variables; "
                 "the Respiration menu sets artificial ventilation and breathing bags. When the "
                 "working folder holds no subject files of the user's own, the Load dialog opens in "
                 "the installed teaching subjects."),
            para("A subject file named on the command line is loaded at start, as the File menu's "
                 "Load does; the run then starts from that subject. File > Open scenario plays a "
                 "tolvane-batch script in the window as RUN is pressed, and File > Save as scenario "
                 "writes the run's events as such a script."),
            para("The same simulator without a window, for scripted runs and data export, is "
                 "tolvane-batch(1)."),
        },
        {
            {"--help, -h", {}, "show a summary of the options and exit"},
            {"--version", {}, "show the version and exit"},
        },
        {
            {"QT OPTIONS",
             {para("The window accepts Qt's own options, for example -platform offscreen or -style "
                   "Fusion. The environment variable QT_QPA_PLATFORM chooses the "
                   "platform as -platform does.")}},
            {"EXIT STATUS",
             {
                 item_of("0", "The window was closed (or --help, --version)."),
                 item_of("1", "No window could open: no display (see EXAMPLES for a machine without one)."),
             },
             true},
            files_section,
            {"EXAMPLES",
             {
                 para("Start the simulator from a terminal (the desktop menu entry does the same):"),
                 example_of("tolvane"),
                 para("Open a teaching subject:"),
                 example_of("tolvane /usr/share/tolvane/subjects/severe_anaemia.sbj"),
                 para("On a machine without a display, inside a virtual X server:"),
                 example_of("xvfb-run -s \"-screen 0 1280x1024x24\" tolvane"),
             }},
            copyright_section,
            {"SEE ALSO", {para("tolvane-batch(1)")}},
        },
    };
}

program_manual make_batch_manual()
{
    return {
        "tolvane-batch",
        "run the respiration simulator without windows",
        {
            "[--subject FILE.sbj] [--set FACTOR=VALUE]... [--minutes N | --script FILE] "
            "[--csv OUT.csv [--digits N]] [--save OUT.sbj] [--report OUT.pdf]",
            "--list [factors | displays]",
            "--help | --version",
        },
        {
            para("tolvane-batch runs the model of tolvane(1) without a window: it starts the "
                 "standard subject (or a saved one), sets subject factors, runs whole simulated "
                 "minutes or a scenario script through the same code as the window's controls, and "
                 "writes the history as CSV, the subject as a subject file and the printed report as "
                 "PDF. Clinical messages, step failures and a death are printed with mm:ss stamps."),
            para("A factor is named by its short name (inspired_o2, work_rate, barometric_pressure, "
                 "haemoglobin, ...) in any case, by the catalogue's long name (\"Inspired O2 "
                 "percentage\") or by its index 0 to 31; --list prints them all. An unknown name "
                 "is an error that names the nearest ones. -- ends the options; the program takes no "
                 "other arguments, and without any it prints its usage and exits with status 2."),
        },
        {
            {"--subject", "FILE",
             "start from a saved subject instead of the standard one (- reads it from standard "
             "input)"},
            {"--set", "FACTOR=VALUE",
             "set subject factor FACTOR (short name or index, see --list) to VALUE before running; "
             "may be repeated; a value outside the factor's limits is clamped with a warning"},
            {"--minutes", "N",
             "run N whole simulated minutes (default 0, at most 1000000); a death ends "
             "the run"},
            {"--script", "FILE",
             "run a scenario script (see SCENARIO SCRIPTS) instead of --minutes (- reads it from "
             "standard input; at most 1 MB)"},
            {"--csv", "FILE",
             "write the recorded history: one row per simulated second from 0, the "
             "column time_s and every display variable by its catalogue name and unit; numbers as "
             "printf's %.7g writes them in the C locale (the exact value correctly rounded, ties to "
             "even)"},
            {"--digits", "N",
             "significant digits of the CSV numbers, 1 to 17 (default 7, %.Ng); 9 writes every "
             "value so that it reads back as the same float"},
            {"--save", "FILE",
             "save the subject as it stands after the run; after a failed model step nothing is "
             "saved and a message says so"},
            {"--report", "FILE",
             "write the printed report (one A4 landscape PDF page) after the run, "
             "cursor at its end; needs no display"},
            {"--list", "[factors|displays]",
             "print the factors and display variables (index, short name, unit, limits with the "
             "standard value) and exit"},
            {"--help, -h", {}, "show this text and exit"},
            {"--version", {}, "show the version and exit"},
        },
        {
            {"SCENARIO SCRIPTS",
             {
                 para("A script is plain text, one action per line at a simulated time "
                      "(minutes:seconds). Actions go through the same code as the window's controls. "
                      "A # starts a comment, also after an action; blank lines are ignored."),
                 item_of("at TIME set FACTOR VALUE",
                         "Set a factor (short name or index) as the factor panel's value entry does; a "
                         "value outside its limits is clamped with a warning naming the line."),
                 item_of("at TIME ventilation artificial [rate R] [tidal V] [peep P]",
                         "The respiration dialog: artificial ventilation; settings left out keep their "
                         "current values."),
                 item_of("at TIME natural",
                         "The respiration dialog: natural ventilation (also "
                         "\"ventilation natural\")."),
                 item_of("at TIME bag STATE [volume ML] [o2 PERCENT] [co2 PERCENT]",
                         "The respiration dialog's bag: STATE is 9 to 13 or glottis, standard, collect, "
                         "rebreathe, absorber; volume and percentages only for states 11 to 13."),
                 item_of("at TIME rerun TIME2",
                         "Cursor to TIME2, then RE-RUN: the run is cut back there and goes on from TIME2."),
                 item_of("at TIME reset",
                         "RESET: the subject starts again and the simulated time is 0; "
                         "later actions count from there."),
                 item_of("at TIME load FILE",
                         "Load a subject file (FILE relative to the script's folder); "
                         "the simulated time is 0 again."),
                 item_of("run until TIME", "Run to TIME."),
                 para("The whole script is checked before anything runs: each line, the files that "
                      "load names, and the bag percentages the respiration dialog would take."),
                 para("RUN stops on minute marks, so an action's time is a whole minute, or the current "
                      "time itself (after a rerun to 22:30 an action at 22:30 acts at once). Times never go "
                      "back except through rerun, reset and load. Several actions may share a time; they "
                      "act in file order. An error in the script is printed as FILE:LINE: message and the "
                      "exit status is 2. A death or a failed model step ends the script early. With "
                      "--csv, the file holds every second of the run as it stands at the end."),
             }},
            {"EXIT STATUS",
             {
                 item_of("0", "Done, also after the subject died."),
                 item_of("1", "A file could not be read, was invalid, or could not be written."),
                 item_of("2", "Bad arguments or an error in the script."),
                 item_of("3", "The model step failed; output up to it was written."),
             },
             true},
            {"FILES WRITTEN",
             {
                 para("--csv, --save and --report write to a hidden temporary file beside FILE and "
                      "rename it over FILE only when it is complete: a full disk, a file-size limit, "
                      "an interruption or a script that fails its check leaves an existing FILE as "
                      "it was and no temporary file behind. A read-only FILE is refused; a symbolic "
                      "link is written through. FILE - is standard output (the program's own "
                      "messages then go to standard error); a pipe or a device is written directly, "
                      "every write checked."),
             }},
            files_section,
            {"EXAMPLES",
             {
                 para("Breathe 15 % O2 for ten minutes, write every second as CSV and save the "
                      "subject:"),
                 example_of("tolvane-batch --set inspired_o2=15 --minutes 10 --csv low_oxygen.csv "
                            "--save low_oxygen.sbj"),
                 para("The same by index; numbers still work:"),
                 example_of("tolvane-batch --set 16=15 --minutes 10 --csv low_oxygen.csv"),
                 para("Exercise at 100 W from a teaching subject and print the report:"),
                 example_of("tolvane-batch --subject /usr/share/tolvane/subjects/severe_anaemia.sbj \\\n"
                            "    --set work_rate=100 --minutes 5 --report anaemia_exercise.pdf"),
                 para("A scenario script (/usr/share/tolvane/scenarios/co2_then_rerun.txt, with comments):"),
                 example_of("at 2:00 set inspired_co2 5    # 5 % CO2\n"
                            "at 12:00 set inspired_co2 0.03\n"
                            "run until 16:00\n"
                            "at 16:00 rerun 2:00            # try 3 % instead from 2:00\n"
                            "at 2:00 set inspired_co2 3\n"
                            "at 12:00 set inspired_co2 0.03\n"
                            "run until 16:00"),
                 example_of("tolvane-batch --script /usr/share/tolvane/scenarios/co2_then_rerun.txt "
                            "--csv co2.csv"),
                 para("The catalogue's short names:"),
                 example_of("tolvane-batch --list factors"),
             }},
            copyright_section,
            {"SEE ALSO", {para("tolvane(1)")}},
        },
    };
}

}  // namespace

const program_manual& window_manual()
{
    static const program_manual manual = make_window_manual();
    return manual;
}

const program_manual& batch_manual()
{
    static const program_manual manual = make_batch_manual();
    return manual;
}

const program_manual* manual_named(std::string_view program)
{
    for (const program_manual* manual : {&window_manual(), &batch_manual()})
        if (manual->program == program) return manual;
    return nullptr;
}
