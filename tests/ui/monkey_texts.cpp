#include "monkey_texts.h"

#include <QMessageBox>
#include <QRegularExpression>

#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <set>
#include <system_error>

namespace tenso::test {

QString Repeated(int n, char c) { return QString(n, QLatin1Char(c)); }

namespace {

// Texts that have broken number conversions somewhere: beyond the ranges, other notations, other
// scripts, control characters, and sizes far beyond any number.
const QStringList& oddTexts()
{
    static const QStringList texts = {"", " ", "-0", "+0", "0.0", "-0.0e-0", "1e400", "-1e400", "1e-400",
        "1e-45", "1e-46", "1.4e-45", "-1.4e-45", "3.4028235e38", "3.4028236e38", "-3.5e38", "1.17549435e-38",
        "1e308", "1.7976931348623157e308", "1.8e308", "4.9e-324", "2e-324", "&HFFFF", "&H7FFF", "&H8000",
        "&HFFFFFFFF", "&HFFFFFFFFFFFFFFFFFFFFFFFF", "&O777", "&O", "&H", "&HZZ", "&h1f", "1d3", "1D-3", "0,5",
        " 1 2 ", "12abc", "abc", "1e", "e5", ".", "-", "+", "--1", "..1", "1..2", "0x10", "32767", "32768",
        "-32768", "-32769", "65535", "2147483648", "9223372036854775808", "1e+38", "1E-38", "inf", "-inf",
        "nan", "NaN", "Infinity", QStringLiteral(u"１２３"), QStringLiteral(u"٣"), QStringLiteral(u"データ"),
        QStringLiteral(u"µ"), QStringLiteral(u"😀"), "\t\t", "1\n2", QString::fromLatin1("\x01\x02\x7f"),
        QString(1, QChar(0)), QStringLiteral(u"\u200b1"), QStringLiteral(u"1\u00a02"), Repeated(100000, '9'),
        "1" + Repeated(400, '0'), "0." + Repeated(400, '0') + "1", "-" + Repeated(100000, '9'),
        Repeated(100000, 'x'), "1e" + Repeated(1000, '9'), "&H" + Repeated(1000, 'F'),
        "-" + Repeated(5000, '0') + "1"};
    return texts;
}

// Texts a user of the field would type, so that the evaluation gets far often enough.
QStringList usualTexts(Field f)
{
    switch (f) {
    case Field::Text4:
        return {"1", "2", "3", "0", "-1", "1.5", "2.5"};
    case Field::Text5:
        return {"2", "1", "3", "0", "4"};
    case Field::Text13:
    case Field::Text14:
        return {"1", "0.001", "1000", "-1", "0", "2.5", "1e-30", "1e30", "3e38"};
    case Field::Text10:
        return {"5", "0", "4", "6", "3", "2000", "2005", "-3", "2.5"};
    case Field::Text1:
        return {"20", "1", "10", "0", "50", "99", "100", "2000", "1999", "0.5", "-5"};
    case Field::Text3:
        return {"60", "80", "100", "101", "2000", "2001", "40", "20", "1e6"};
    case Field::Text6:
        return {"2000", "0", "200", "-2000", "1e5", "1e38", "0.2"};
    case Field::Text12_0:
    case Field::Text12_1:
        return {"", "", "0", "500", "20000", "1e-30", "1e30", "-5", "3.4e38"};
    default:
        return {"", "abc", "1"};
    }
}

QString randomText(Rng& rng)
{
    static const char alphabet[] = "0123456789.-+eEdD&HO ,x\t";
    static const char32_t others[]
        = {0x01, 0x08, 0x1b, 0x7f, 0xa0, 0xb5, 0x3000, 0x30c7, 0xff11, 0x1f600, 0xfeff, 0x202e, 0x10ffff};
    QString text;
    const size_t length = 1 + rng.Below(30);
    for (size_t i = 0; i < length; ++i) {
        if (rng.Chance(85))
            text += QLatin1Char(alphabet[rng.Below(sizeof alphabet - 1)]);
        else
            text += QString::fromUcs4(&others[rng.Below(std::size(others))], 1);
    }
    return text;
}

}  // namespace

QString TextFor(Field f, Rng& rng)
{
    const size_t kind = rng.Below(10);
    if (kind < 6)
        return rng.Pick(usualTexts(f));
    if (kind < 9)
        return rng.Pick(oddTexts());
    return randomText(rng);
}

bool KeyboardTypable(const QString& text)
{
    if (text.size() > 40)
        return false;
    for (QChar c : text)
        if (c.unicode() < 0x20 || c.unicode() > 0x7e)
            return false;
    return true;
}

namespace {

const std::set<int> dataFileNumbers = {5, 6, 9, 13, 53, 62, 75, 76};

const QStringList analysisMessages = {"The number in Start is too large.", "The number in End is too large.",
    "The number in Offset is too large.", "The range from Start to End is too large.",
    "There is no curve to evaluate.", "The curve never rises above the start level.",
    "The curve never rises above the end level.", "The curve is flat where it crosses the start level.",
    "The curve is flat where it crosses the end level.", "The start level is too large.",
    "The end level is too large.", "The start point is too large.", "The end point is too large.",
    "A sum over the range is too large.", "All X values in the range are equal.",
    "The elastic modulus is too large.", "The offset strength is too large.",
    "The elastic modulus is zero, so the secant cannot be drawn.",
    "The elastic modulus is zero, so its lines cannot be drawn.", "The secant is too long to draw.",
    "The modulus line is too long to draw.", "The offset line is too long to draw.",
    "The target marker is too large to draw.", "The curve has more than 2000 records."};

bool isSystemErrorText(const QString& text)
{
    static const std::set<QString> texts = [] {
        std::set<QString> all;
        for (int e = 1; e < 200; ++e)
            all.insert(QString::fromStdString(std::generic_category().message(e)));
        return all;
    }();
    return texts.count(text) > 0;
}

}  // namespace

QString UnexpectedBox(const QMessageBox& box)
{
    const QString text = box.text();
    const QString title = box.windowTitle();
    const auto icon = box.icon();
    if (box.buttons().size() != 1)
        return QString("a box with %1 buttons").arg(box.buttons().size());
    static const QRegularExpression dataFile(
        R"(^(This file includes error data or you may mistake column or skip indication|This output data file has been opened by another application)\. \((\d+)\)$)");
    static const QRegularExpression dialogFolder(R"(^The (folder|drive) ".*" cannot be read: .+\.$)");
    static const QRegularExpression dialogFile(R"(^The file ".*" cannot be opened: .+\.$)");
    if (title == "Error" && icon == QMessageBox::Warning) {
        const auto match = dataFile.match(text);
        if (match.hasMatch())
            return dataFileNumbers.count(match.captured(2).toInt()) ? QString()
                                                                    : "an unexpected failure number";
        if (analysisMessages.contains(text))
            return {};
    }
    if (title == "tenso" && icon == QMessageBox::NoIcon && text == "Choice the proper steps")
        return {};
    if (title == "tenso" && icon == QMessageBox::Warning
        && (text == QStringLiteral(u"ファイルが存在しません。") || dialogFolder.match(text).hasMatch()
            || dialogFile.match(text).hasMatch() || isSystemErrorText(text)))
        return {};
    return "not a message of the program";
}

bool IsShownNumber(const QString& text)
{
    static const QRegularExpression number(R"(^-?[0-9]+(\.[0-9]+)?(E[+-][0-9]{2,})?$)");
    if (!number.match(text).hasMatch())
        return false;
    const double value = std::strtod(text.toLatin1().constData(), nullptr);
    return std::isfinite(value) && std::fabs(value) <= FLT_MAX;
}

}  // namespace tenso::test
