#pragma once

#include <QByteArray>
#include <QString>

#include <string>

namespace tenso {

// Writes `bytes` as the file `path` through a temporary file in the same folder, which is renamed
// into place only when every byte has been written, flushed and the file closed (QSaveFile). On any
// failure the temporary file is removed, `path` is as it was before, and *reason says why, in the
// system's words where there are some ("No space left on device").
//
// An existing file that is read-only, or is not a plain file (a folder, a device, a FIFO), is not
// replaced: its owner protected it, and a rename would bypass that protection for any user who may
// write to the folder. The write fails instead and the old file stays.
bool WriteFileSafely(const std::string& path, const QByteArray& bytes, QString* reason);

}  // namespace tenso
