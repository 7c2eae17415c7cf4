// SPDX-License-Identifier: Apache-2.0
// Texts of the about window and of the two variable list windows that reuse
// it. Lines are separated by "\r\n", as the window's memo holds them.
#ifndef TOLVANE_ABOUT_TEXTS_H
#define TOLVANE_ABOUT_TEXTS_H

#include <QString>

// The version label of the about and list windows.
inline constexpr const char* about_version_text = "V: 2.01   Jul 22 2013";

// The about text: authorship and disclaimer, then two sections on where the
// physiological model comes from; each section opens with a heading line and
// its paragraphs are indented by four spaces.
QString about_text();

// "Subject Factor List", an empty line, then every factor name of the
// catalogue indented by four spaces, and a last line of four spaces.
QString factor_list_text();

// "Display Variables List", an empty line, then every display variable name
// but the final "No display", each indented by four spaces.
QString display_list_text();

#endif
