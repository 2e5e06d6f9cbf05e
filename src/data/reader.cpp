#include "reader.h"

#include "data_file.h"
#include "state/failure.h"
#include "state/number_text.h"
#include "state/shared_state.h"
#include "state/single.h"

#include <cmath>
#include <string>

namespace tenso {
namespace {

void skipHeader(DataFile& file, int16_t lines)
{
    for (int k = 0; k < lines; ++k)
        file.SkipLine();
}

// The data view of the file, from the snapshot when there is one.
struct Source {
    FileSnapshot* snapshot = nullptr;
    DataFile open(const std::string& path) const
    {
        return snapshot ? DataFile(path, *snapshot) : DataFile(path, DataFile::View::Data);
    }
};

// Opens the file, skips the header and counts how often `readOne` runs until the end of the file.
// The first read comes before the end is tested, so a file without anything after its header fails.
template <typename ReadOne> int64_t countAfterHeader(const SharedState& s, Source source, ReadOne readOne)
{
    DataFile file = source.open(s.DataFileName);
    skipHeader(file, s.SkipLines);
    int64_t count = 0;
    do {
        readOne(file);
        ++count;
    } while (!file.AtEnd());
    return count;
}

template <typename T, typename Convert>
void takeSetting(T& setting, const Window& w, Field f, Convert convert)
{
    try {
        if (const auto v = convert(Val(w.Text(f))))
            setting = *v;
    } catch (const Failure&) {
        // Beyond every range: the setting keeps its value.
    }
}

std::optional<float> toSingle(double v)
{
    try {
        return single::from(v);
    } catch (const Failure&) {
        return std::nullopt;
    }
}

// The value a field gives in the X or Y column.
double columnValue(const DataField& f)
{
    if (f.kind == DataField::Kind::Text)
        throw Failure(failure::TypeMismatch);
    return f.value;
}

// single::product(v, coefficient) without its error term where that term is known to be zero: with
// a coefficient of 1 the product is v itself, exact, so its one rounding to float is the cast (the
// range test is the one single::from makes). Any other coefficient takes the general product.
float columnProduct(double v, float coefficient)
{
    if (coefficient == 1 && std::fabs(v) < single::detail::OverflowThreshold)
        return static_cast<float>(v);
    return single::product(v, coefficient);
}

void checkRecord(int64_t i)
{
    if (i > MaxRecords)
        throw Failure(failure::OutOfRange);
}

}  // namespace

void ReadSettings(SharedState& s, const Window& w)
{
    takeSetting(s.XColumn, w, Field::Text4, ToWhole);
    takeSetting(s.YColumn, w, Field::Text5, ToWhole);
    takeSetting(s.XCoefficient, w, Field::Text13, toSingle);
    takeSetting(s.YCoefficient, w, Field::Text14, toSingle);
}

ReadMinima StartRead(SharedState& s)
{
    s.XMax = -999999;
    s.YMax = -999999;
    s.XAtYMax = 0;
    s.ValleyCount = 0;
    s.FallFlag = 0;
    return {};
}

namespace {

void scan(SharedState& s, Source source)
{
    int64_t lines = 0;
    int64_t fields = -1;  // not yet counted
    {
        DataFile file = source.open(s.DataFileName);
        skipHeader(file, s.SkipLines);
        if (file.InMemory()) {
            // One walk does for both counts: the field walk meets every line end that the line
            // count would, and the data view ends with content, so there is one line more.
            const int64_t headerEnds = file.LineEnds();
            fields = file.CountFields();
            lines = file.LineEnds() - headerEnds + 1;
        } else {
            do {
                file.SkipLine();
                ++lines;
            } while (!file.AtEnd());
        }
    }
    s.PointCount = single::from(static_cast<double>(lines));
    if (fields < 0)
        fields = countAfterHeader(s, source, [](DataFile& f) { f.SkipField(); });
    const double columns = std::nearbyint(static_cast<double>(fields) / static_cast<double>(lines));
    if (columns > 32767)
        throw Failure(failure::Overflow);
    s.ColumnCount = static_cast<int16_t>(columns);
    s.FileScanned = 1;
}

void read(SharedState& s, ReadMinima& minima, Source source)
{
    DataFile file = source.open(s.DataFileName);
    skipHeader(file, s.SkipLines);
    for (int64_t i = 1; static_cast<double>(i) <= static_cast<double>(s.PointCount); ++i) {
        for (int j = 1; j <= s.ColumnCount; ++j) {
            if (j != s.XColumn && j != s.YColumn) {
                file.SkipField();  // other columns may hold anything
                continue;
            }
            const DataField field = file.ReadField();
            if (j == s.XColumn) {
                const float x = columnProduct(columnValue(field), s.XCoefficient);
                checkRecord(i);
                s.XData[static_cast<size_t>(i)] = x;
            }
            if (j == s.YColumn) {
                const float y = columnProduct(columnValue(field), s.YCoefficient);
                checkRecord(i);
                s.YData[static_cast<size_t>(i)] = y;
            }
        }
        checkRecord(i);
        const auto k = static_cast<size_t>(i);
        const float x = s.XData[k];
        const float y = s.YData[k];
        if (s.XMax <= x)
            s.XMax = x;
        if (s.YMax <= y) {
            s.YMax = y;
            s.XAtYMax = x;
        }
        if (minima.XMin >= x)
            minima.XMin = x;
        if (minima.YMin >= y)
            minima.YMin = y;

        // A valley is the last point of a run that did not rise, recorded where Y rises again.
        if (y <= s.YData[k - 1])
            s.FallFlag = 1;
        if (y > s.YData[k - 1] && s.FallFlag == 1) {
            if (s.ValleyCount >= MaxValleys)
                throw Failure(failure::OutOfRange);
            ++s.ValleyCount;
            const auto v = static_cast<size_t>(s.ValleyCount);
            s.ValleyY[v] = s.YData[k - 1];
            s.ValleyX[v] = s.XData[k - 1];
            s.FallFlag = 0;
        }
    }
    s.ValleyIndex = s.ValleyCount;
}

}  // namespace

void ScanDataFile(SharedState& s) { scan(s, {}); }
void ScanDataFile(SharedState& s, FileSnapshot& snapshot) { scan(s, {&snapshot}); }
void ReadRecords(SharedState& s, ReadMinima& minima) { read(s, minima, {}); }
void ReadRecords(SharedState& s, ReadMinima& minima, FileSnapshot& snapshot) { read(s, minima, {&snapshot}); }

Message DataFileMessage(int16_t number)
{
    return {"This file includes error data or you may mistake column or skip indication. ("
            + std::to_string(number) + ")",
        "Error", MessageIcon::Exclamation, number};
}

Message FileInUseMessage(int16_t number)
{
    return {"This output data file has been opened by another application. (" + std::to_string(number) + ")",
        "Error", MessageIcon::Exclamation, number};
}

}  // namespace tenso
