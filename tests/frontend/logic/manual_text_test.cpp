// SPDX-License-Identifier: Apache-2.0
// The manual source in its two shapes: --help wraps within a terminal's 79
// columns and lists every option; the roff page escapes what roff would
// otherwise take for a request or a hyphen.
#include "manual_text.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

std::vector<std::string> lines_of(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

TEST(ManualText, HelpFitsATerminalAndListsEveryOption)
{
    for (const program_manual* manual : {&window_manual(), &batch_manual()}) {
        const std::string help = help_text(*manual);
        EXPECT_EQ(help.rfind("Usage: " + std::string(manual->program) + " ", 0), 0u) << help;
        for (const std::string& line : lines_of(help)) {
            EXPECT_LE(line.size(), 79u) << line;
            EXPECT_TRUE(line.empty() || line.back() != ' ') << "trailing blank: " << line;
        }
        for (const manual_option& option : manual->options)
            EXPECT_NE(help.find("\n  " + std::string(option.names)), std::string::npos) << option.names;
        EXPECT_NE(help.find("Exit status:\n  0  "), std::string::npos) << help;
        EXPECT_EQ(manual_named(manual->program), manual);
    }
    // A bracketed group of the usage is never cut at a line end.
    EXPECT_NE(help_text(batch_manual()).find("[--minutes N | --script FILE]"), std::string::npos);
    EXPECT_EQ(manual_named("tolvane-validate"), nullptr);
}

TEST(ManualText, RoffPageHasTheManSectionsAndEscapes)
{
    const std::string page = roff_page(batch_manual());
    EXPECT_EQ(page.rfind(".TH TOLVANE\\-BATCH 1 \"\" \"tolvane ", 0), 0u) << page.substr(0, 80);
    for (const char* section : {"NAME", "SYNOPSIS", "DESCRIPTION", "OPTIONS", "SCENARIO SCRIPTS",
                                "EXIT STATUS", "FILES", "EXAMPLES", "SEE ALSO"})
        EXPECT_NE(page.find(std::string("\n.SH ") + section + "\n"), std::string::npos) << section;
    EXPECT_NE(page.find(".TP\n\\fB\\-\\-set\\fR \\fIFACTOR=VALUE\\fR\n"), std::string::npos);
    // The script language includes the restart actions.
    EXPECT_NE(page.find("\\fBat TIME reset\\fR"), std::string::npos);
    EXPECT_NE(page.find("\\fBat TIME load FILE\\fR"), std::string::npos);
    // The continued example line keeps its backslash (\e) and no line of
    // text starts with a dot or quote that roff would take for a request.
    EXPECT_NE(page.find("severe_anaemia.sbj \\e\n"), std::string::npos);
    for (const std::string& line : lines_of(page)) {
        if (line.empty() || line[0] != '.') continue;
        const std::string request = line.substr(1, line.find(' ') - 1);
        EXPECT_TRUE(request == "TH" || request == "SH" || request == "PP" || request == "TP" ||
                    request == "RS" || request == "RE" || request == "nf" || request == "fi" ||
                    request == "br" || request == "nh")
            << line;
    }
}

TEST(ManualText, VersionNamesTheProgramAndTheLicence)
{
    EXPECT_EQ(version_text(batch_manual()),
              "tolvane-batch " + std::string(program_version()) +
                  "\nLicensed under the Apache License, version 2.0; offered as "
                  "it is, without any warranty.\n");
    EXPECT_FALSE(program_version().empty());
    // The manual pages name it too.
    for (const program_manual* manual : {&window_manual(), &batch_manual()})
        EXPECT_NE(roff_page(*manual).find("Apache License, version 2.0"), std::string::npos)
            << manual->program;
}

TEST(ManualText, ShortUsageIsTheSynopsisAndAPointerToHelp)
{
    const std::string usage = short_usage_text(batch_manual());
    EXPECT_TRUE(usage.starts_with("Usage: tolvane-batch [--subject FILE.sbj]")) << usage;
    EXPECT_TRUE(usage.ends_with("\nTry 'tolvane-batch --help' for more.\n")) << usage;
    EXPECT_TRUE(help_text(batch_manual()).starts_with(usage.substr(0, usage.find("Try"))));
    EXPECT_EQ(usage.find("Options:"), std::string::npos);
}

}  // namespace
