// SPDX-License-Identifier: Apache-2.0
// The about text and the two variable lists, built from the model's catalogue
// at the moment they are asked for.
#include "about_texts.h"

#include "model_host.h"

QString about_text()
{
    // Kept as plain lines here; the window's memo wraps long paragraphs.
    static const char* const lines[] = {
        "TOLVANE - A TEACHING SIMULATOR OF HUMAN RESPIRATION",
        "    This program was written for teaching. It lets students take a simulated person, "
        "change the conditions that person lives and breathes in, and follow minute by minute "
        "how gas exchange, blood chemistry and the control of breathing respond.",
        "    Begin with the standard subject, a resting adult at sea level, change one subject "
        "factor at a time and press RUN to watch the response. What the subject would feel "
        "appears in the clinical line; a subject pushed too far will faint and die.",
        "    The program and its model are offered under the Apache License, version 2.0, as they are, "
        "without any warranty. "
        "The numbers it shows come from a simplified model: they are meant to show "
        "the direction and rough size of physiological effects, not to predict what happens "
        "in a patient. The program must never be used to diagnose, treat or monitor anybody, "
        "nor to plan any exposure of a person.",
        "    The authors accept no responsibility for any use made of the program or of its "
        "results, nor for any decision that is taken on the strength of those results.",
        "",
        "WHERE THE PHYSIOLOGICAL MODEL COMES FROM",
        "    The physiological model at the heart of this program belongs to a long line of "
        "mathematical models of human respiration that physiologists and teachers of medicine "
        "have built, tested and refined over several decades. Such models describe the body as "
        "a small number of linked stores - the lungs, the arterial and venous blood, the brain "
        "and the other tissues - and compute, one second after another, how oxygen, carbon "
        "dioxide and nitrogen move to and fro between them.",
        "    The equations for the carriage of gases by blood, for acid-base balance, for the "
        "chemical control of breathing and for the circulation are taken from the published "
        "literature of respiratory physiology, and their constants from measurements made on "
        "healthy people and on patients at rest, in exercise and in illness.",
        "",
        "ACKNOWLEDGEMENT OF EARLIER WORK AND AUTHORS",
        "    We gratefully acknowledge the earlier teaching models from which this one grew, and "
        "the many physiologists, clinicians and programmers who described them in books and "
        "journals and shared them freely with students. Their careful work on gas exchange, "
        "blood gases and the control of breathing made this program possible; the mistakes in "
        "it are our own, as are its screens and its text.",
        "    Teachers and students who find a result that contradicts what they know from the "
        "laboratory or the ward are asked to report it, so that the model can be improved for "
        "the students who come after them, here and in other schools.",
    };
    QString text;
    bool first = true;
    for (const char* line : lines) {
        if (!first) text += QStringLiteral("\r\n");
        text += QString::fromLatin1(line);
        first = false;
    }
    return text;
}

QString factor_list_text()
{
    QString text = QStringLiteral("Subject Factor List\r\n\r\n    ");
    for (int i = 0; i < model_host::factor_count(); ++i)
        text += QString::fromStdString(model_host::factor_name(i)) + QStringLiteral("\r\n    ");
    return text;
}

QString display_list_text()
{
    QString text = QStringLiteral("Display Variables List\r\n");
    for (int i = 0; i < model_host::display_count() - 1; ++i)
        text += QStringLiteral("\r\n    ") + QString::fromStdString(model_host::display_name(i));
    return text;
}
