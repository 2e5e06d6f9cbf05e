#include "help_text.h"

#include <cstdio>

namespace tenso {

QString HelpDescription()
{
    return QStringLiteral(
        "Evaluates tensile-test data files by the rules of the Tenso window: each file as in a freshly\n"
        "started window, with the options typed into their fields, Browse choosing the file, Draw, then\n"
        "Tangent and/or Secant. Each option takes the text exactly as it would be typed into its field,\n"
        "and reads it by the same rules.");
}

QString HelpClosing()
{
    return QStringLiteral(
        "\n"
        "Start and End are record numbers (counted from 1 after the skipped lines) for Tangent, and\n"
        "levels in per cent of the maximum strength for Secant.\n"
        "\n"
        "Units: nothing is converted. X and Y are in the units of the file's columns times the\n"
        "coefficients; Offset is in X units, the strengths are in Y units and the elastic modulus in Y\n"
        "units per X unit (strain in micro-strain and stress in MPa give MPa per micro-strain, and\n"
        "Offset 2000 gives Rp0.2).\n"
        "\n"
        "Output: JSON, one object per file, or CSV, a header line and one row per file and method, with\n"
        "CR LF line ends. x_at_y_max is the X at the maximum strength, x_max the largest X of the curve.\n"
        "\n"
        "Exit status:\n"
        "  0  every file was read without a data-file error\n"
        "  1  at least one file had a data-file error (the others are still evaluated and printed), or\n"
        "     a picture could not be written\n"
        "  2  a usage error (an unknown option, a bad value, no FILE), with one line on standard error\n");
}

bool WriteHelp(const QString& text)
{
    const QByteArray bytes = text.toLocal8Bit();
    const size_t size = static_cast<size_t>(bytes.size());
    return std::fwrite(bytes.constData(), 1, size, stdout) == size && std::fflush(stdout) == 0;
}

}  // namespace tenso
