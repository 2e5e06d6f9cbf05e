#pragma once

#include "state/window.h"

#include <QJsonObject>
#include <QString>
#include <QStringList>

#include <optional>
#include <ostream>
#include <vector>

namespace tenso::test {

// One acceptance example: a data file, the option texts and the JSON an independent calculation
// of the same rules expects.
struct GoldenCase {
    QString name;
    QString file;  // absolute path
    QStringList args;
    QJsonObject expected;
};

std::vector<GoldenCase> LoadGoldenCases();

// The field that a tenso-eval option ("--x-column") types into; nullopt for the other options.
std::optional<Field> OptionField(const QString& option);

// Names the case in test output instead of dumping its bytes.
void PrintTo(const GoldenCase& c, std::ostream* os);

}  // namespace tenso::test
