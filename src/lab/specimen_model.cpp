#include "specimen_model.h"

#include "fields.h"
#include "raw_text.h"

#include "standard/statistics.h"

#include <QApplication>
#include <QBrush>
#include <QFileInfo>
#include <QFont>
#include <QIcon>
#include <QStyle>

#include <charconv>
#include <cmath>

namespace tenso::lab {
namespace {

using Kind = Column::Kind;
using standard::Specimen;

QString text(const std::string& bytes)
{
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

QString fileName(const std::string& path) { return QFileInfo(report::DecodeArgument(path)).fileName(); }

const QColor Failed(0xa0, 0x10, 0x10);

QVariant RightAligned() { return QVariant::fromValue(Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter)); }
const QColor FromFile(0x60, 0x60, 0x60);
const QColor Excluded(0x9a, 0x9a, 0x9a);

}  // namespace

std::vector<standard::Quantity> TableQuantities(const std::vector<double>& proofPercents)
{
    std::vector<standard::Quantity> quantities;
    for (standard::Quantity& q : standard::QuantityTable(proofPercents))
        if (q.statistics && q.id != standard::QuantityId::Rf)
            quantities.push_back(std::move(q));
    return quantities;
}

std::vector<Column> TableColumns(const std::vector<standard::Quantity>& quantities)
{
    std::vector<Column> c;
    c.push_back({Kind::Included});
    c.push_back({Kind::Id});
    c.push_back({Kind::File});
    c.push_back({Kind::Material});
    const std::pair<std::optional<double> Specimen::*, const char*> geometry[]
        = {{&Specimen::d0, "d0"}, {&Specimen::a0, "a0"}, {&Specimen::b0, "b0"}, {&Specimen::S0, "S0"},
            {&Specimen::L0, "L0"}, {&Specimen::Lu, "Lu"}, {&Specimen::du, "du"}, {&Specimen::Su, "Su"}};
    for (const auto& [member, symbol] : geometry) {
        Column column {Kind::Geometry, member, symbol};
        column.area = member == &Specimen::S0 || member == &Specimen::Su;
        c.push_back(column);
    }
    for (std::size_t q = 0; q < quantities.size(); ++q) {
        Column column {Kind::Quantity};
        column.quantity = q;
        c.push_back(column);
    }
    c.push_back({Kind::Warnings});
    return c;
}

QString ColumnHeading(const Column& column, const std::vector<standard::Quantity>& quantities)
{
    switch (column.kind) {
    case Kind::Included:
        return QStringLiteral("In");
    case Kind::Id:
        return QStringLiteral("Id");
    case Kind::File:
        return QStringLiteral("File");
    case Kind::Material:
        return QStringLiteral("Material");
    case Kind::Geometry:
        return QString::fromLatin1(column.geometrySymbol)
            + (column.area ? QStringLiteral(" [mm²]") : QStringLiteral(" [mm]"));
    case Kind::Quantity:
        return text(quantities[column.quantity].Heading());
    case Kind::Warnings:
        return QStringLiteral("Warnings");
    }
    return {};
}

std::optional<double> TypedLength(const QString& text, bool* ok)
{
    *ok = true;
    QString t = text.trimmed();
    if (t.isEmpty())
        return std::nullopt;
    t.replace(QLatin1Char(','), QLatin1Char('.'));
    const std::string s = t.toStdString();
    double v = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc() || end != s.data() + s.size() || !std::isfinite(v) || v <= 0) {
        *ok = false;
        return std::nullopt;
    }
    return v;
}

SpecimenModel::SpecimenModel(LabSeries& series, QObject* parent)
    : QAbstractTableModel(parent)
    , series_(series)
{
    rebuildColumns();
    connect(&series_, &LabSeries::AboutToReset, this, [this] { beginResetModel(); });
    connect(&series_, &LabSeries::Reset, this, [this] {
        rebuildColumns();
        endResetModel();
    });
    connect(&series_, &LabSeries::SpecimenChanged, this, [this](std::size_t row) {
        const int r = static_cast<int>(row);
        Q_EMIT dataChanged(index(r, 0), index(r, columnCount() - 1));
    });
}

void SpecimenModel::rebuildColumns()
{
    quantities_ = TableQuantities(series_.Setup().proofPercents);
    columns_ = TableColumns(quantities_);
}

int SpecimenModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(series_.Count());
}

int SpecimenModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant SpecimenModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount())
        return QAbstractTableModel::headerData(section, orientation, role);
    const Column& c = columns_[static_cast<std::size_t>(section)];
    if (role == Qt::DisplayRole)
        return ColumnHeading(c, quantities_);
    if (role == Qt::ToolTipRole) {
        switch (c.kind) {
        case Kind::Included:
            return QStringLiteral("Counted in the statistics (Space toggles)");
        case Kind::Quantity:
            return text(quantities_[c.quantity].meaning);
        case Kind::Geometry:
            return QStringLiteral("Set here (F2), else from the file's header; grey: from the file");
        default:
            return {};
        }
    }
    return {};
}

Qt::ItemFlags SpecimenModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    switch (columns_[static_cast<std::size_t>(index.column())].kind) {
    case Kind::Included:
        return f | Qt::ItemIsUserCheckable;
    case Kind::Id:
    case Kind::Material:
    case Kind::Geometry:
        return f | Qt::ItemIsEditable;
    default:
        return f;
    }
}

namespace {

QVariant IncludedData(const LabSpecimen& s, int role)
{
    if (role == Qt::CheckStateRole)
        return s.setup.included ? Qt::Checked : Qt::Unchecked;
    if (role == SpecimenModel::SortRole)
        return s.setup.included ? 1 : 0;
    return {};
}

// The id or the material: the one typed here, else the file's (grey).
QVariant WordData(const LabSpecimen& s, const standard::Result* r, bool id, int role)
{
    const std::string& own = id ? s.setup.id : s.setup.material;
    if (role == Qt::EditRole)
        return text(own);
    const std::optional<std::string> shown = !own.empty() ? std::optional(own)
        : r                                               ? (id ? r->id : r->material)
                                                          : std::nullopt;
    if (role == Qt::DisplayRole || role == SpecimenModel::SortRole)
        return shown ? text(*shown) : QString();
    if (role == Qt::ForegroundRole && own.empty())
        return QBrush(FromFile);
    if (role == Qt::ToolTipRole && own.empty() && shown)
        return QStringLiteral("From the file's header (F2 to change)");
    return {};
}

QVariant FileData(const LabSpecimen& s, const standard::Result* r, int role)
{
    const bool failed = r && r->error;
    if (role == Qt::DisplayRole || role == SpecimenModel::SortRole)
        return fileName(s.setup.file);
    if (role == Qt::ToolTipRole)
        return common::DisplayNameText(s.setup.file)
            + (failed ? QStringLiteral("\n") + text(*r->error) : QString());
    if (role == Qt::ForegroundRole && failed)
        return QBrush(Failed);
    return {};
}

QVariant GeometryData(const LabSpecimen& s, const standard::Result* r, const Column& c, int role)
{
    const std::optional<double>& own = s.setup.specimen.*(c.geometry);
    std::optional<double> evaluated = r ? r->specimen.*(c.geometry) : std::nullopt;
    if (!evaluated && r && c.geometry == &Specimen::S0)
        evaluated = r->S0;  // computed from d0, or a0 and b0
    if (role == Qt::EditRole)
        return own ? text(report::NumberText(*own)) : QString();
    const std::optional<double> shown = own ? own : evaluated;
    switch (role) {
    case SpecimenModel::SortRole:
        return shown ? QVariant(*shown) : QVariant();
    case Qt::DisplayRole:
        // A typed value as typed; one from the file or computed to six digits, which is finer
        // than any caliper (the tooltip has every digit).
        if (!shown)
            return QString();
        return own ? text(report::NumberText(*shown)) : QString::number(*shown, 'g', 6);
    case Qt::ForegroundRole:
        return own ? QVariant() : QVariant(QBrush(FromFile));
    case Qt::ToolTipRole:
        if (!shown)
            return {};
        return text(report::NumberText(*shown)) + (c.area ? QStringLiteral(" mm²") : QStringLiteral(" mm"))
            + (own ? QStringLiteral(", set here") : QStringLiteral(", from the file"));
    case Qt::TextAlignmentRole:
        return RightAligned();
    default:
        return {};
    }
}

QVariant QuantityData(
    const LabSpecimen& s, const standard::Result* r, const standard::Quantity& q, bool first, int role)
{
    if (role == Qt::TextAlignmentRole)
        return RightAligned();
    if (!r || r->error) {
        // The message stands in the first value column, so that the row says why it is empty.
        if (!first)
            return {};
        const QString why = !r ? QStringLiteral("evaluating…") : text(*r->error);
        if (role == Qt::DisplayRole || role == Qt::ToolTipRole)
            return why;
        if (role == Qt::ForegroundRole)
            return QBrush(r ? Failed : FromFile);
        return {};
    }
    const std::optional<double> v = q.Number(*r);
    switch (role) {
    case Qt::DisplayRole:
        return v ? text(standard::FormatRounded(v, *q.rounding)) : QString();
    case SpecimenModel::SortRole:
        return v ? QVariant(*v) : QVariant();
    case Qt::ToolTipRole:
        return v ? text(q.symbol + " = " + report::NumberText(*v) + " " + q.unit) : QVariant();
    case Qt::ForegroundRole:
        return s.pending ? QVariant(QBrush(FromFile)) : QVariant();  // an edit being evaluated
    default:
        return {};
    }
}

QVariant WarningsData(const standard::Result* r, int role)
{
    if (!r || r->warnings.empty())
        return role == SpecimenModel::SortRole ? QVariant(0) : QVariant();
    switch (role) {
    case Qt::DecorationRole:
        return QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning);
    case Qt::DisplayRole:
        return QString::number(r->warnings.size());
    case SpecimenModel::SortRole:
        return static_cast<int>(r->warnings.size());
    case Qt::ToolTipRole: {
        QStringList sentences;
        for (const std::string& w : r->warnings)
            sentences << text(w);
        return sentences.join(QStringLiteral("\n"));
    }
    default:
        return {};
    }
}

// A typed geometry value into `specimen`. A cross-section typed in one form replaces the others',
// as a specimens row does, so that a typed d0 does not clash with an S0 set before; one side of a
// flat specimen keeps the other side it was evaluated with (`evaluated`), since a typed
// cross-section replaces the header's whole.
void SetTyped(Specimen& specimen, std::optional<double> Specimen::*member, std::optional<double> typed,
    const standard::Result* evaluated)
{
    specimen.*member = typed;
    if (!typed)
        return;
    if (member == &Specimen::d0 || member == &Specimen::S0) {
        if (member != &Specimen::d0)
            specimen.d0.reset();
        if (member != &Specimen::S0)
            specimen.S0.reset();
        specimen.a0.reset();
        specimen.b0.reset();
    } else if (member == &Specimen::a0 || member == &Specimen::b0) {
        specimen.d0.reset();
        specimen.S0.reset();
        const bool a0 = member == &Specimen::a0;
        std::optional<double>& other = a0 ? specimen.b0 : specimen.a0;
        if (!other && evaluated)
            other = a0 ? evaluated->specimen.b0 : evaluated->specimen.a0;
    } else if (member == &Specimen::du) {
        specimen.Su.reset();
    } else if (member == &Specimen::Su) {
        specimen.du.reset();
    }
}

}  // namespace

QVariant SpecimenModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const LabSpecimen& s = series_.At(static_cast<std::size_t>(index.row()));
    const Column& c = columns_[static_cast<std::size_t>(index.column())];
    const standard::Result* r = s.result ? &*s.result : nullptr;
    // A left-out specimen's row is greyed and in italics, so that it is seen at a glance.
    if (!s.setup.included && c.kind != Kind::Included) {
        if (role == Qt::FontRole) {
            QFont italic;
            italic.setItalic(true);
            return italic;
        }
        if (role == Qt::ForegroundRole)
            return QBrush(Excluded);
    }
    switch (c.kind) {
    case Kind::Included:
        return IncludedData(s, role);
    case Kind::Id:
    case Kind::Material:
        return WordData(s, r, c.kind == Kind::Id, role);
    case Kind::File:
        return FileData(s, r, role);
    case Kind::Geometry:
        return GeometryData(s, r, c, role);
    case Kind::Quantity:
        return QuantityData(s, r, quantities_[c.quantity], c.quantity == 0, role);
    case Kind::Warnings:
        return WarningsData(r, role);
    }
    return {};
}

bool SpecimenModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || index.row() >= rowCount())
        return false;
    const auto row = static_cast<std::size_t>(index.row());
    const Column& c = columns_[static_cast<std::size_t>(index.column())];
    report::SpecimenSetup setup = series_.At(row).setup;
    switch (c.kind) {
    case Kind::Included:
        if (role != Qt::CheckStateRole)
            return false;
        series_.SetIncluded(row, value.value<Qt::CheckState>() == Qt::Checked);
        Q_EMIT Edited();
        return true;
    case Kind::Id:
    case Kind::Material: {
        if (role != Qt::EditRole)
            return false;
        const QString typed = value.toString().trimmed();
        (c.kind == Kind::Id ? setup.id : setup.material) = report::EncodeArgument(typed);
        series_.SetSpecimen(row, setup);
        Q_EMIT Edited();
        return true;
    }
    case Kind::Geometry: {
        if (role != Qt::EditRole)
            return false;
        bool ok = false;
        const std::optional<double> typed = TypedLength(value.toString(), &ok);
        if (!ok) {
            Q_EMIT EditRefused(
                QStringLiteral("%1 takes a length above 0 in %2 (or nothing, to take the file's), not \"%3\"")
                    .arg(QString::fromLatin1(c.geometrySymbol),
                        c.area ? QStringLiteral("mm²") : QStringLiteral("mm"), value.toString()));
            return false;
        }
        const LabSpecimen& now = series_.At(row);
        SetTyped(setup.specimen, c.geometry, typed, now.result ? &*now.result : nullptr);
        series_.SetSpecimen(row, setup);
        Q_EMIT Edited();
        return true;
    }
    default:
        return false;
    }
}

StatisticsModel::StatisticsModel(LabSeries& series, const SpecimenModel& specimens, QObject* parent)
    : QAbstractTableModel(parent)
    , series_(series)
    , specimens_(specimens)
{
    connect(&series_, &LabSeries::StatisticsChanged, this,
        [this] { Q_EMIT dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1)); });
    connect(&specimens_, &QAbstractItemModel::modelAboutToBeReset, this, [this] { beginResetModel(); });
    connect(&specimens_, &QAbstractItemModel::modelReset, this, [this] { endResetModel(); });
}

QVariant StatisticsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    // No row numbers: the label column names each row.
    if (orientation == Qt::Vertical && role == Qt::DisplayRole)
        return QString();
    return QAbstractTableModel::headerData(section, orientation, role);
}

int StatisticsModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : 6; }

int StatisticsModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : specimens_.columnCount();
}

QVariant StatisticsModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    static const char* const labels[] = {"n", "mean", "s", "CoV %", "min", "max"};
    const Column& c = specimens_.Columns()[static_cast<std::size_t>(index.column())];
    if (c.kind == Kind::File) {
        if (role == Qt::DisplayRole)
            return QString::fromLatin1(labels[index.row()]);
        if (role == Qt::FontRole) {
            QFont bold;
            bold.setBold(true);
            return bold;
        }
        if (role == Qt::ToolTipRole)
            return QStringLiteral("Over the included specimens that were evaluated");
        return {};
    }
    if (c.kind != Kind::Quantity)
        return {};
    if (role == Qt::TextAlignmentRole)
        return RightAligned();
    const standard::Quantity& q = specimens_.Quantities()[c.quantity];
    const standard::Statistic* s = standard::FindStatistic(series_.Statistics(), q.symbol);
    if (!s)
        return {};
    if (index.row() == 0)
        return role == Qt::DisplayRole ? QVariant(QString::number(s->n)) : QVariant();
    using Member = std::optional<double> standard::Statistic::*;
    const Member members[] = {&standard::Statistic::mean, &standard::Statistic::s, &standard::Statistic::CoV,
        &standard::Statistic::min, &standard::Statistic::max};
    const Member m = members[index.row() - 1];
    const std::optional<double> v = s->*m;
    if (role == Qt::DisplayRole)
        return text(standard::FormatRounded(
            v, m == &standard::Statistic::CoV ? standard::Rounding::CoV : *q.rounding));
    if (role == Qt::ToolTipRole && v)
        return text(report::NumberText(*v));
    return {};
}

}  // namespace tenso::lab
