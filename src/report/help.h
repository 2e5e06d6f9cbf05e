#pragma once

#include <QByteArray>

namespace tenso::report {

// What --help prints after the list of options: the quantities, the output and the exit codes,
// in the words of the lab.
QByteArray HelpEpilogue();

}  // namespace tenso::report
