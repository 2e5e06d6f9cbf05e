#pragma once

#include <QString>

namespace tenso {

// What tenso-eval's --help says above the list of options: what the program does.
QString HelpDescription();

// What it says below the list: the units, the output and the exit statuses.
QString HelpClosing();

// Writes `text` to standard output and checks that it arrived; false when it did not.
bool WriteHelp(const QString& text);

}  // namespace tenso
