#pragma once
// The byte codec and the display name of tenso_common over Qt's text, for tenso-eval and
// tenso-report, whose option parsers and file classes take QString. Header-only, in the target
// tenso_common_qt, so that tenso_common itself links nothing of Qt.

#include "common/json_text.h"
#include "common/utf8.h"

#include <QString>
#include <QStringView>

#include <string>
#include <string_view>

namespace tenso::common {

// An argument's bytes as text without loss (DecodeBytes); EncodeArgument gives the bytes back.
// Copied as it is: QString::fromStdU16String would drop a leading byte order mark.
inline QString DecodeArgument(std::string_view bytes) { return QStringView(DecodeBytes(bytes)).toString(); }

inline std::string EncodeArgument(QStringView text)
{
    return EncodeBytes(std::u16string_view(text.utf16(), static_cast<std::size_t>(text.size())));
}

// A file name as a chart or the PDF shows it (DisplayName).
inline QString DisplayNameText(std::string_view bytes)
{
    const std::string shown = DisplayName(bytes);
    return QString::fromUtf8(shown.data(), static_cast<qsizetype>(shown.size()));
}

}  // namespace tenso::common
