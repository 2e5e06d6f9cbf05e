#include "standard_output.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace tenso {
namespace {

[[noreturn]] void outputFailed(int err)
{
    std::fprintf(stderr, "tenso-eval: cannot write the results to standard output: %s\n",
        err != 0 ? std::strerror(err) : "write error");
    // _Exit, not exit: other threads may still be evaluating files, and nothing is left to flush.
    std::fflush(stderr);
    std::_Exit(1);
}

}  // namespace

void WriteOut(const QByteArray& bytes)
{
    if (bytes.isEmpty())
        return;
    errno = 0;
    if (std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stdout)
            != static_cast<size_t>(bytes.size())
        || std::ferror(stdout))
        outputFailed(errno);
}

void CheckStandardStreams()
{
    const auto closed = [](int fd) { return ::fcntl(fd, F_GETFD) == -1 && errno == EBADF; };
    const bool outClosed = closed(STDOUT_FILENO);
    for (int fd : {STDIN_FILENO, STDERR_FILENO}) {
        if (!closed(fd))
            continue;
        const int null = ::open("/dev/null", fd == STDIN_FILENO ? O_RDONLY : O_WRONLY);
        if (null >= 0 && null != fd) {
            ::dup2(null, fd);
            ::close(null);
        }
    }
    if (outClosed)
        outputFailed(EBADF);
}

void FinishOut()
{
    errno = 0;
    if (std::fflush(stdout) != 0 || std::ferror(stdout))
        outputFailed(errno);
    // Closing reports what the flush could not see (a delayed write error of the file system).
    errno = 0;
    if (std::fclose(stdout) != 0)
        outputFailed(errno);
}

}  // namespace tenso
