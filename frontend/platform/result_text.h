// SPDX-License-Identifier: Apache-2.0
// The message of a failure as the toolkit shows it: results carry UTF-8,
// windows and the batch's output take QString.
#ifndef TOLVANE_RESULT_TEXT_H
#define TOLVANE_RESULT_TEXT_H

#include "result.h"

#include <QString>

// The result's message as a QString; empty on success.
template <typename Code>
QString message_text(const result<Code>& outcome)
{
    return QString::fromStdString(outcome.message());
}

#endif
