#include "standard_output.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace tenso {
namespace {

[[noreturn]] void outputFailed(int err)
{
    std::fprintf(stderr, "tenso-eval: cannot write the results to standard output: %s\n",
        err != 0 ? std::strerror(err) : "write error");
    std::exit(1);
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
