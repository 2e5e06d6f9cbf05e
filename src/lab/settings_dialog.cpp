#include "settings_dialog.h"

#include "specimen_model.h"

#include "fields.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QVBoxLayout>

#include <algorithm>

namespace tenso::lab {

std::optional<std::vector<double>> ParseProofs(const QString& text, QString* why)
{
    // "0.2, 1" and "0,2; 1" alike: a comma is a decimal mark only where it has no blank after it
    // and the list is separated by semicolons or blanks.
    const bool semicolons = text.contains(QLatin1Char(';'));
    const QStringList items = text.split(semicolons ? QRegularExpression(QStringLiteral("\\s*;\\s*"))
                                                    : QRegularExpression(QStringLiteral("[\\s,]+")),
        Qt::SkipEmptyParts);
    std::vector<double> proofs;
    for (const QString& item : items) {
        bool ok = false;
        const std::optional<double> typed = TypedLength(item, &ok);
        if (!ok || !typed) {
            *why = QStringLiteral("A proof extension is a number above 0 %, not \"%1\".").arg(item);
            return std::nullopt;
        }
        const double v = *typed;
        if (std::find(proofs.begin(), proofs.end(), v) != proofs.end()) {
            *why = QStringLiteral("%1 % is named twice.").arg(item);
            return std::nullopt;
        }
        proofs.push_back(v);
    }
    if (proofs.empty()) {
        *why = QStringLiteral("Name at least one proof extension, e.g. 0.2.");
        return std::nullopt;
    }
    return proofs;
}

SettingsDialog::SettingsDialog(const report::SeriesSetup& setup, QWidget* parent)
    : QDialog(parent)
    , original_(setup)
    , proofs_(new QLineEdit(this))
    , fractureDrop_(new QDoubleSpinBox(this))
    , method_(new QComboBox(this))
    , fixedRange_(new QCheckBox(QStringLiteral("Fixed stress range for every specimen"), this))
    , lo_(new QDoubleSpinBox(this))
    , hi_(new QDoubleSpinBox(this))
    , problem_(new QLabel(this))
{
    setObjectName(QStringLiteral("settingsDialog"));
    setWindowTitle(QStringLiteral("Series settings"));
    proofs_->setObjectName(QStringLiteral("proofsEdit"));
    fractureDrop_->setObjectName(QStringLiteral("fractureDropSpin"));
    method_->setObjectName(QStringLiteral("modulusMethodCombo"));
    fixedRange_->setObjectName(QStringLiteral("fixedRangeCheck"));
    lo_->setObjectName(QStringLiteral("rangeLoSpin"));
    hi_->setObjectName(QStringLiteral("rangeHiSpin"));
    problem_->setObjectName(QStringLiteral("settingsProblem"));

    QStringList proofs;
    for (const double p : setup.proofPercents)
        proofs << QString::fromStdString(report::NumberText(p));
    proofs_->setText(proofs.join(QStringLiteral(", ")));
    proofs_->setToolTip(QStringLiteral("Plastic extensions of the proof strengths in %, e.g. 0.2, 0.5, 1"));
    fractureDrop_->setRange(0.1, 99.9);
    fractureDrop_->setDecimals(1);
    fractureDrop_->setSuffix(QStringLiteral(" % of Rm"));
    fractureDrop_->setValue(setup.fractureDropPercent);
    fractureDrop_->setToolTip(
        QStringLiteral("Fracture: the first fall of more than this within 0.05 % strain"));
    method_->addItem(QStringLiteral("ASTM E3076 (SDAR)"));
    method_->addItem(QStringLiteral("Two passes over fixed parts of Rm"));
    method_->setCurrentIndex(setup.modulus == standard::ModulusMethod::Sdar ? 0 : 1);
    for (QDoubleSpinBox* box : {lo_, hi_}) {
        box->setRange(0, 1e6);
        box->setDecimals(1);
        box->setSuffix(QStringLiteral(" MPa"));
    }
    fixedRange_->setChecked(setup.modulusRange.has_value());
    lo_->setValue(setup.modulusRange ? setup.modulusRange->first : 10);
    hi_->setValue(setup.modulusRange ? setup.modulusRange->second : 100);
    lo_->setEnabled(fixedRange_->isChecked());
    hi_->setEnabled(fixedRange_->isChecked());
    connect(fractureDrop_, &QDoubleSpinBox::valueChanged, this, [this] { dropEdited_ = true; });
    for (QDoubleSpinBox* box : {lo_, hi_})
        connect(box, &QDoubleSpinBox::valueChanged, this, [this] { rangeEdited_ = true; });
    connect(fixedRange_, &QCheckBox::toggled, lo_, &QWidget::setEnabled);
    connect(fixedRange_, &QCheckBox::toggled, hi_, &QWidget::setEnabled);
    problem_->setStyleSheet(QStringLiteral("color: #a01010"));
    problem_->setWordWrap(true);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("&Proof extensions [%]:"), proofs_);
    form->addRow(QStringLiteral("&Fracture drop:"), fractureDrop_);
    form->addRow(QStringLiteral("&Modulus E by:"), method_);
    form->addRow(QString(), fixedRange_);
    form->addRow(QStringLiteral("From:"), lo_);
    form->addRow(QStringLiteral("To:"), hi_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setObjectName(QStringLiteral("settingsButtons"));
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("settingsOkButton"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("settingsCancelButton"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(problem_);
    layout->addWidget(buttons);
}

std::optional<report::SeriesSetup> SettingsDialog::Setup() const
{
    QString why;
    const std::optional<std::vector<double>> proofs = ParseProofs(proofs_->text(), &why);
    if (!proofs) {
        problem_->setText(why);
        return std::nullopt;
    }
    report::SeriesSetup s;
    s.proofPercents = *proofs;
    s.fractureDropPercent = dropEdited_ ? fractureDrop_->value() : original_.fractureDropPercent;
    s.modulus
        = method_->currentIndex() == 0 ? standard::ModulusMethod::Sdar : standard::ModulusMethod::Passes;
    if (fixedRange_->isChecked() && original_.modulusRange && !rangeEdited_) {
        s.modulusRange = original_.modulusRange;
    } else if (fixedRange_->isChecked()) {
        if (hi_->value() <= lo_->value()) {
            problem_->setText(QStringLiteral("The range of E needs From below To."));
            return std::nullopt;
        }
        s.modulusRange = std::make_pair(lo_->value(), hi_->value());
    }
    problem_->clear();
    return s;
}

void SettingsDialog::accept()
{
    if (Setup())
        QDialog::accept();
}

}  // namespace tenso::lab
