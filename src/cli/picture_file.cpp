#include "picture_file.h"

#include "file_names.h"

#include <QSaveFile>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace tenso {
namespace {

QString errorOf(const QSaveFile& f, const char* otherwise)
{
    // QSaveFile leaves "Unknown error" where the system gave no reason.
    if (f.error() == QFileDevice::NoError || f.errorString() == QLatin1String("Unknown error"))
        return QString::fromLatin1(otherwise);
    return f.errorString();
}

bool refuseExisting(const std::string& path, QString* reason)
{
    struct stat st { };
    if (::stat(path.c_str(), &st) != 0)
        return false;  // nothing there yet (or nothing to see): the save itself will tell
    if (!S_ISREG(st.st_mode)) {
        *reason = QStringLiteral("it exists and is not a plain file");
        return true;
    }
    // The permission bits first: the super-user may write any file, but a picture that was made
    // read-only is meant to stay.
    if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
        *reason = QStringLiteral("the existing file is read-only and was left as it was");
        return true;
    }
    if (::access(path.c_str(), W_OK) != 0) {
        *reason = QString::fromLocal8Bit(std::strerror(errno))
            + QStringLiteral("; the existing file was left as it was");
        return true;
    }
    return false;
}

}  // namespace

bool WriteFileSafely(const std::string& path, const QByteArray& bytes, QString* reason)
{
    // Qt takes file names as text; a name that is not UTF-8 would be written under another name.
    if (!IsUtf8(path)) {
        *reason = QStringLiteral("the name is not UTF-8");
        return false;
    }
    if (refuseExisting(path, reason))
        return false;
    QSaveFile file(QString::fromStdString(path));
    // Unbuffered, so that every write reaches the system and a short write on a full disk is seen
    // here: QSaveFile itself reports a short write as success.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        *reason = errorOf(file, "it cannot be created");
        return false;
    }
    for (qsizetype done = 0; done < bytes.size();) {
        const qint64 n = file.write(bytes.constData() + done, bytes.size() - done);
        if (n <= 0) {
            *reason = errorOf(file, "the write failed");
            file.cancelWriting();
            return false;
        }
        done += static_cast<qsizetype>(n);
    }
    if (!file.commit()) {
        *reason = errorOf(file, "it could not be put in place");
        return false;
    }
    return true;
}

}  // namespace tenso
