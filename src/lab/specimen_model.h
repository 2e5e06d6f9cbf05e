#pragma once
// The table of Tenso Lab: a row per specimen with whether it counts, its id, file, material and
// geometry (editable) and its results as the printed report rounds them (full precision in the
// tooltip); and below it the series statistics over the included specimens, in the same columns.

#include "lab_series.h"

#include "standard/quantity_table.h"

#include <QAbstractTableModel>

#include <optional>
#include <vector>

namespace tenso::lab {

// What a column shows.
struct Column {
    enum class Kind { Included, Id, File, Material, Geometry, Quantity, Warnings };
    Kind kind = Kind::File;
    std::optional<double> standard::Specimen::*geometry = nullptr;  // Kind::Geometry
    const char* geometrySymbol = "";
    bool area = false;  // mm² rather than mm
    std::size_t quantity = 0;  // Kind::Quantity: the row of the table of quantities
};

// The columns for the series' proof strengths, and the quantities they draw on.
std::vector<Column> TableColumns(const std::vector<standard::Quantity>& quantities);

// The quantities of the table's value columns: every one with statistics but Rf, whose stress the
// report shows on the specimen's page only.
std::vector<standard::Quantity> TableQuantities(const std::vector<double>& proofPercents);

// A value the user typed (a length, an area, a proof extension): a positive number with '.' or ','
// as its decimal mark, or nothing (unset, `ok` true); unset with `ok` false for anything else.
std::optional<double> TypedLength(const QString& text, bool* ok);

class SpecimenModel : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int SortRole = Qt::UserRole;

    explicit SpecimenModel(LabSeries& series, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    const std::vector<Column>& Columns() const { return columns_; }
    const std::vector<standard::Quantity>& Quantities() const { return quantities_; }

Q_SIGNALS:
    // A typed value was refused: why, for the status bar.
    void EditRefused(const QString& why);
    // The user changed a specimen's values or whether it counts.
    void Edited();

private:
    void rebuildColumns();

    LabSeries& series_;
    std::vector<standard::Quantity> quantities_;
    std::vector<Column> columns_;
};

// The statistics rows n, mean, s, CoV %, min and max in the columns of a SpecimenModel.
class StatisticsModel : public QAbstractTableModel {
    Q_OBJECT
public:
    StatisticsModel(LabSeries& series, const SpecimenModel& specimens, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    LabSeries& series_;
    const SpecimenModel& specimens_;
};

// The header of a column: "E [GPa]", "d0 [mm]".
QString ColumnHeading(const Column& column, const std::vector<standard::Quantity>& quantities);

}  // namespace tenso::lab
