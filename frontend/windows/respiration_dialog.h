// The respiration dialog: natural or artificial ventilation, the ventilator
// settings and the bag state, written into the model through its references.
#ifndef TOLVANE_RESPIRATION_DIALOG_H
#define TOLVANE_RESPIRATION_DIALOG_H

#include <QDialog>

class Trespiration_F : public QDialog {
    Q_OBJECT
public:
    // Creates the dialog hidden and makes it the instance respiration_F.
    explicit Trespiration_F(QWidget* parent = nullptr);
    ~Trespiration_F() override;
};

// The one respiration dialog, set by its constructor; null before and after.
extern Trespiration_F* respiration_F;

#endif
