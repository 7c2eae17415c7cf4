// SPDX-License-Identifier: Apache-2.0
#include "manual_text.h"

#include <cctype>
#include <initializer_list>

#ifndef TOLVANE_VERSION
#error "TOLVANE_VERSION must carry the project's version"
#endif

namespace {

// Appends the parts in order (one call instead of a chain of + on strings).
void append(std::string& out, std::initializer_list<std::string_view> parts)
{
    for (std::string_view part : parts) out += part;
}

constexpr std::size_t help_width = 79;
constexpr std::size_t option_column = 24;

// The next unit of text that a line may not break: a word, or a whole
// bracketed group of a usage line ("[--minutes N | --script FILE]").
std::string_view take_word(std::string_view& text)
{
    std::size_t end = 0;
    int depth = 0;
    while (end < text.size() && (text[end] != ' ' || depth > 0)) {
        if (text[end] == '[') ++depth;
        if (text[end] == ']' && depth > 0) --depth;
        ++end;
    }
    const std::string_view word = text.substr(0, end);
    text = end < text.size() ? text.substr(end + 1) : std::string_view{};
    return word;
}

// Appends text wrapped at help_width: the first line goes on from column
// `start`, the following ones are indented by `indent`.
void append_wrapped(std::string& out, std::string_view text, std::size_t start, std::size_t indent)
{
    std::size_t column = start;
    bool first_word = true;
    while (!text.empty()) {
        const std::string_view word = take_word(text);
        if (word.empty()) continue;
        if (!first_word && column + 1 + word.size() > help_width) {
            out += '\n';
            out.append(indent, ' ');
            column = indent;
        } else if (!first_word) {
            out += ' ';
            ++column;
        }
        out += word;
        column += word.size();
        first_word = false;
    }
    out += '\n';
}

std::string option_heading(const manual_option& option)
{
    std::string heading(option.names);
    if (!option.argument.empty()) heading += ' ' + std::string(option.argument);
    return heading;
}

// "  TERM  text" with the text in its own column, or below a long term.
void append_row(std::string& out, std::string_view term, std::string_view text, std::size_t column)
{
    out += "  ";
    out += term;
    std::size_t at = 2 + term.size();
    if (at + 2 > column) {
        out += '\n';
        at = 0;
    }
    out.append(column - at, ' ');
    append_wrapped(out, text, column, column);
}

void append_help_section(std::string& out, const manual_section& section)
{
    // "EXIT STATUS" reads "Exit status:" on a terminal.
    std::string title(section.title);
    for (std::size_t i = 1; i < title.size(); ++i)
        title[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(title[i])));
    out += title;
    out += ":\n";
    for (const manual_block& block : section.blocks) {
        if (block.kind == block_kind::item)
            append_row(out, block.term, block.text, 5);
        else
            append_wrapped(out, block.text, 0, 0);
    }
}

// Roff-safe text: a backslash printed as such, every '-' the ASCII minus that
// can be copied into a terminal, no line taken for a request.
std::string roff_escaped(std::string_view text)
{
    std::string out;
    bool line_start = true;
    for (char c : text) {
        if (line_start && (c == '.' || c == '\'')) out += "\\&";
        if (c == '\\')
            out += "\\e";
        else if (c == '-')
            out += "\\-";
        else
            out += c;
        line_start = c == '\n';
    }
    return out;
}

std::string upper(std::string_view text)
{
    std::string out(text);
    for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

void append_roff_blocks(std::string& out, const std::vector<manual_block>& blocks)
{
    for (const manual_block& block : blocks) {
        switch (block.kind) {
        case block_kind::paragraph:
            append(out, {".PP\n", roff_escaped(block.text), "\n"});
            break;
        case block_kind::item:
            append(out, {".TP\n\\fB", roff_escaped(block.term), "\\fR\n", roff_escaped(block.text), "\n"});
            break;
        case block_kind::example:
            append(out, {".PP\n.RS 4\n.nf\n", roff_escaped(block.text), "\n.fi\n.RE\n"});
            break;
        }
    }
}

// "Usage: PROGRAM SYNOPSIS" and one line for each further synopsis.
std::string usage_lines(const program_manual& manual)
{
    std::string out;
    const std::string usage = "Usage: ";
    for (std::size_t i = 0; i < manual.synopsis.size(); ++i) {
        out += i == 0 ? usage : std::string(usage.size(), ' ');
        out += manual.program;
        out += ' ';
        const std::size_t indent = usage.size() + manual.program.size() + 1;
        append_wrapped(out, manual.synopsis[i], indent, indent);
    }
    return out;
}

}  // namespace

std::string_view program_version() { return TOLVANE_VERSION; }

std::string_view program_licence() { return "Apache License, version 2.0"; }

std::string short_usage_text(const program_manual& manual)
{
    std::string out = usage_lines(manual);
    append(out, {"Try '", manual.program, " --help' for more.\n"});
    return out;
}

std::string help_text(const program_manual& manual)
{
    std::string out = usage_lines(manual);
    std::string summary(manual.summary);
    summary[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(summary[0])));
    append(out, {summary, ".\n\nOptions:\n"});
    for (const manual_option& option : manual.options)
        append_row(out, option_heading(option), option.text, option_column);
    for (const manual_section& section : manual.sections) {
        if (!section.in_help) continue;
        out += '\n';
        append_help_section(out, section);
    }
    append(out, {"\nThe manual page ", manual.program, "(1) says more.\n"});
    return out;
}

std::string version_text(const program_manual& manual)
{
    std::string out;
    append(out, {manual.program, " ", program_version(), "\nLicensed under the ", program_licence(),
                 "; offered as it is, without any warranty.\n"});
    return out;
}

std::string roff_page(const program_manual& manual)
{
    std::string out;
    append(out, {".TH ", roff_escaped(upper(manual.program)), " 1 \"\" \"tolvane ", program_version(),
                 "\" \"User Commands\"\n"});
    // Names like barometric_pressure must not be hyphenated at a line end.
    out += ".nh\n";
    append(out, {".SH NAME\n", roff_escaped(manual.program), " \\- ", roff_escaped(manual.summary), "\n"});
    out += ".SH SYNOPSIS\n";
    for (std::size_t i = 0; i < manual.synopsis.size(); ++i) {
        if (i > 0) out += ".br\n";
        append(out, {"\\fB", roff_escaped(manual.program), "\\fR ", roff_escaped(manual.synopsis[i]), "\n"});
    }
    out += ".SH DESCRIPTION\n";
    append_roff_blocks(out, manual.description);
    out += ".SH OPTIONS\n";
    for (const manual_option& option : manual.options) {
        append(out, {".TP\n\\fB", roff_escaped(option.names), "\\fR"});
        if (!option.argument.empty()) append(out, {" \\fI", roff_escaped(option.argument), "\\fR"});
        append(out, {"\n", roff_escaped(option.text), "\n"});
    }
    for (const manual_section& section : manual.sections) {
        append(out, {".SH ", roff_escaped(section.title), "\n"});
        append_roff_blocks(out, section.blocks);
    }
    return out;
}
