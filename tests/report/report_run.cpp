#include "report_run.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>

namespace tenso::test {
namespace {

std::string slurp(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

}  // namespace

ReportRun RunReport(const std::vector<std::string>& args, const std::string& stdoutPath, int timeoutSeconds)
{
    char folder[] = "/tmp/tenso-report-run-XXXXXX";
    if (!mkdtemp(folder))
        return {};
    const std::string out = stdoutPath.empty() ? std::string(folder) + "/out" : stdoutPath;
    const std::string err = std::string(folder) + "/err";
    std::vector<std::string> argv = {TENSO_REPORT};
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<char*> pointers;
    for (std::string& a : argv)
        pointers.push_back(a.data());
    pointers.push_back(nullptr);

    const pid_t pid = fork();
    if (pid == 0) {
        const int o = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int e = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        dup2(o, 1);
        dup2(e, 2);
        execv(pointers[0], pointers.data());
        _exit(127);
    }
    ReportRun r;
    int wstatus = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeoutSeconds);
    while (waitpid(pid, &wstatus, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(pid, SIGKILL);
            waitpid(pid, &wstatus, 0);
            r.err = "did not end within the time limit";
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    if (r.err.empty())
        r.status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : -1;
    if (stdoutPath.empty()) {
        r.out = slurp(out);
        unlink(out.c_str());
    }
    r.err += slurp(err);
    unlink(err.c_str());
    rmdir(folder);
    return r;
}

}  // namespace tenso::test
