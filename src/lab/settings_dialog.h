#pragma once
// The series' settings: the proof strengths, the fracture criterion and how E's range is found.

#include "evaluation_file.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;

namespace tenso::lab {

class SettingsDialog : public QDialog {
    Q_OBJECT
public:
    explicit SettingsDialog(const report::SeriesSetup& setup, QWidget* parent = nullptr);

    // The settings as entered; unset (with the reason shown in the dialog) while they are not valid.
    std::optional<report::SeriesSetup> Setup() const;

    void accept() override;

private:
    report::SeriesSetup original_;  // a value left alone stays exactly this, not its shown rounding
    bool dropEdited_ = false, rangeEdited_ = false;
    QLineEdit* proofs_;
    QDoubleSpinBox* fractureDrop_;
    QComboBox* method_;
    QCheckBox* fixedRange_;
    QDoubleSpinBox* lo_;
    QDoubleSpinBox* hi_;
    QLabel* problem_;
};

// "0.2, 1" -> {0.2, 1}: positive plastic extensions in %, none twice, separated by commas or
// blanks; or by semicolons, and then a comma may be the decimal mark ("0,2; 1"). Unset, with `why`
// set, for anything else.
std::optional<std::vector<double>> ParseProofs(const QString& text, QString* why);

}  // namespace tenso::lab
