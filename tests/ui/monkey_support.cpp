#include "monkey_support.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace tenso::test {

void ActionLog::Add(std::string line)
{
    const std::lock_guard lock(mutex_);
    lines_.push_back(std::to_string(++count_) + ": " + std::move(line));
    if (lines_.size() > 40)
        lines_.pop_front();
}

std::string ActionLog::Recent() const
{
    const std::lock_guard lock(mutex_);
    std::string text;
    for (const std::string& line : lines_)
        text += "  " + line + "\n";
    return text;
}

void ActionLog::Clear()
{
    const std::lock_guard lock(mutex_);
    lines_.clear();
    count_ = 0;
}

Watchdog::Watchdog(std::chrono::seconds limit)
    : limit_(limit)
    , thread_([this] { watch(); })
{ }

Watchdog::~Watchdog()
{
    {
        const std::lock_guard lock(mutex_);
        stop_ = true;
    }
    wake_.notify_one();
    thread_.join();
}

void Watchdog::Arm(std::string context)
{
    {
        const std::lock_guard lock(mutex_);
        deadline_ = std::chrono::steady_clock::now() + limit_;
        context_ = std::move(context);
    }
    wake_.notify_one();
}

void Watchdog::Disarm()
{
    const std::lock_guard lock(mutex_);
    deadline_.reset();
}

void Watchdog::watch()
{
    std::unique_lock lock(mutex_);
    while (!stop_) {
        if (!deadline_) {
            wake_.wait(lock);
            continue;
        }
        const auto deadline = *deadline_;
        if (wake_.wait_until(lock, deadline) == std::cv_status::timeout && deadline_ == deadline) {
            std::fprintf(stderr, "FAIL: an action did not return within %lld s\n%s\n",
                static_cast<long long>(limit_.count()), context_.c_str());
            std::fflush(stderr);
            std::abort();
        }
    }
}

std::string SteelCurve(int records, const char* separator, const char* lineEnd)
{
    std::string text;
    for (const char* header : {"TENSILE TEST", "Specimen: S355 monkey", "Rate: 0.00025 1/s",
             "Gauge length: 50 mm", "Strain [ue],Stress [MPa]"})
        text += std::string(header) + lineEnd;
    char line[96];
    for (int i = 0; i < records; ++i) {
        const double strain = i * 120.0;
        const double stress = strain < 1700
            ? strain * 0.205
            : 348 + 160 * (1 - std::exp(-(strain - 1700) / 40000)) + 1.5 * std::sin(i * 0.3);
        std::snprintf(line, sizeof line, "%.1f%s%.2f%s", strain, separator, stress, lineEnd);
        text += line;
    }
    return text;
}

std::vector<DataFileRecipe> MonkeyDataFiles(uint64_t seed)
{
    std::vector<DataFileRecipe> files;
    const auto add = [&](std::string name, std::string content) {
        files.push_back({std::move(name), std::move(content)});
    };

    add("steel.dat", SteelCurve(2000));
    add("steel_blanks.dat", SteelCurve(300, "   ", "\n"));
    add("steel_cr.dat", SteelCurve(150, ",", "\r"));
    add("steel.csv", SteelCurve(400));
    add("データ.dat", SteelCurve(120));
    add("vanishing.dat", SteelCurve(200));
    add("sub/inner.dat", SteelCurve(250, " , "));
    add("sub/deeper/deep.dat", SteelCurve(60));

    // A record whose stress is text, and one whose stress is missing.
    const auto replaceRecord = [](std::string curve, const std::string& start, const std::string& record) {
        const size_t at = curve.find("\r\n" + start) + 2;
        return curve.replace(at, curve.find("\r\n", at) - at, record);
    };
    add("text_in_y.dat", replaceRecord(SteelCurve(100), "6000.0,", "6000.0,abc"));
    add("missing_field.dat", replaceRecord(SteelCurve(100), "4680.0,", "4680.0"));

    add("records_2001.dat", SteelCurve(2001));
    add("empty.dat", "");
    add("header_only.dat", SteelCurve(0));
    add("one_record.dat", SteelCurve(0) + "100,20\r\n");

    // 300 rises after falls: one valley more than the list holds.
    std::string valleys = SteelCurve(0);
    for (int i = 0; i < 600; ++i)
        valleys += std::to_string(i) + "," + (i % 2 ? "10" : "5") + "\r\n";
    add("valleys.dat", valleys);

    // Every X 0: a plot of no width.
    std::string flat = SteelCurve(0);
    for (int i = 0; i < 50; ++i)
        flat += "0," + std::to_string(i) + "\r\n";
    add("flat.dat", flat);

    // Products beyond the Single range; and values beyond the double range.
    std::string huge = SteelCurve(0);
    for (int i = 1; i <= 50; ++i)
        huge += std::to_string(i) + "e300," + std::to_string(i) + "e38\r\n";
    add("huge.dat", huge);
    add("beyond_double.dat", SteelCurve(0) + "1,2\r\n1e400,5\r\n3,-1e999\r\n");

    std::string negative = SteelCurve(0);
    for (int i = 0; i < 80; ++i)
        negative += std::to_string(-i * 37) + " " + std::to_string(-i * i) + "\r\n";
    add("negative.dat", negative);

    // Bytes of every value, without a NUL-free guarantee.
    Rng rng(seed);
    std::string garbage(8192, '\0');
    for (char& c : garbage)
        c = static_cast<char>(rng.Below(256));
    add("garbage.dat", garbage);

    // One line of 200 000 bytes: no line end at all.
    add("long_line.dat", std::string(200000, '7'));
    return files;
}

}  // namespace tenso::test
