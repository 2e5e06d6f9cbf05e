#pragma once
// Runs the tenso-report binary with raw byte arguments, as a shell would.

#include <string>
#include <vector>

namespace tenso::test {

struct ReportRun {
    int status = -1;  // -1: killed, or did not end within the time limit
    std::string out, err;
};

// `stdoutPath` empty: captured into ReportRun::out; else standard output goes to that file.
ReportRun RunReport(
    const std::vector<std::string>& args, const std::string& stdoutPath = {}, int timeoutSeconds = 60);

}  // namespace tenso::test
