// The evaluation of several files ahead on a pool of threads: results in argument order, each the
// same as the file evaluated on its own, handed over while later files are still to come.
#include "batch.h"

#include "plot/null_surface.h"
#include "support/temp_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace tenso {
namespace {

// Five header lines (the default skip), then records of strain and a stress with `valleys` dips.
std::string curve(int valleys)
{
    std::string text = "h\r\nh\r\nh\r\nh\r\nh\r\n";
    for (int i = 0; i < 100; ++i) {
        const int y = i * 10 - (i % 10 == 9 && i / 10 < valleys ? 15 : 0);
        text += std::to_string(i * 100) + "," + std::to_string(y) + "\r\n";
    }
    return text;
}

TEST(EvaluateInOrder, ResultsComeInArgumentOrderWhateverThreadFinishesFirst)
{
    std::vector<std::unique_ptr<test::TempFile>> made;
    std::vector<std::string> files;
    for (int k = 0; k < 40; ++k) {
        // Every third file is missing (53), and the others differ in their count of valleys.
        made.push_back(std::make_unique<test::TempFile>(curve(k % 7), "f" + std::to_string(k) + ".dat"));
        files.push_back(k % 3 == 2 ? made.back()->folder() + "/missing.dat" : made.back()->path());
    }
    EvaluationSettings settings;
    std::vector<FileEvaluation> alone(files.size());
    NullSurface nothing;
    for (size_t k = 0; k < files.size(); ++k)
        Evaluate(files[k], settings, nothing, alone[k]);

    for (unsigned threads : {1U, 2U, 5U}) {
        size_t taken = 0;
        EvaluateInOrder(files, settings, threads, [&](const FileEvaluation& e) {
            ASSERT_LT(taken, files.size());
            EXPECT_EQ(e.file, files[taken]);
            EXPECT_EQ(e.errorNumber, taken % 3 == 2 ? 53 : 0) << e.file;
            EXPECT_EQ(e.state.ValleyCount, alone[taken].state.ValleyCount) << e.file;
            EXPECT_EQ(e.state.YData, alone[taken].state.YData) << e.file;
            ASSERT_EQ(e.tangent.has_value(), alone[taken].tangent.has_value()) << e.file;
            if (e.tangent) {
                EXPECT_EQ(e.tangent->elasticModulus.text, alone[taken].tangent->elasticModulus.text)
                    << e.file;
            }
            ++taken;
        });
        EXPECT_EQ(taken, files.size()) << threads << " threads";
    }
}

TEST(EvaluateInOrder, FirstResultArrivesBeforeTheLastFileIsRead)
{
    // The last file is written only when the first result is taken: had the pool read it before
    // (no bounded window), it would have found no file.
    test::TempFile first(curve(2), "first.dat");
    std::vector<std::string> files(100, first.path());  // more than the window of two threads
    files.back() = first.folder() + "/written-later.dat";
    int lastError = -1;
    size_t taken = 0;
    EvaluateInOrder(files, EvaluationSettings {}, 2, [&](const FileEvaluation& e) {
        if (taken == 0)
            std::ofstream(files.back(), std::ios::binary) << curve(3);
        if (taken == files.size() - 1)
            lastError = e.errorNumber;
        ++taken;
    });
    EXPECT_EQ(lastError, 0);
    std::filesystem::remove(files.back());
}

TEST(EvaluateInOrder, ExceptionOfTheTakerStopsThePool)
{
    test::TempFile file(curve(1));
    const std::vector<std::string> files(30, file.path());
    size_t taken = 0;
    EXPECT_THROW(EvaluateInOrder(files, EvaluationSettings {}, 3,
                     [&](const FileEvaluation&) {
                         if (++taken == 4)
                             throw std::runtime_error("stop");
                     }),
        std::runtime_error);
    EXPECT_EQ(taken, 4U);
}

}  // namespace
}  // namespace tenso
