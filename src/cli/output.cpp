#include "output.h"

#include "common/json_text.h"
#include "state/number_text.h"

#include <QString>

namespace tenso {
namespace {

// A JSON string; a file name's bytes that are not UTF-8 as \udcXX (common::JsonString).
QByteArray jsonString(const std::string& text) { return QByteArray::fromStdString(common::JsonString(text)); }

// Numbers are written exactly as the field would show them; that text is a valid JSON number.
QByteArray number(float v) { return QByteArray::fromStdString(SingleText(v)); }

// A result field: its number when it shows one, null when it is empty, else its text.
QByteArray fieldValue(const ShownField& f)
{
    if (f.number)
        return number(*f.number);
    return f.text.empty() ? QByteArray("null") : jsonString(f.text);
}

QByteArray calculation(const CalculationResult& r)
{
    return "{\"elastic_modulus\": " + fieldValue(r.elasticModulus) + ", \"offset_strength\": "
        + fieldValue(r.offsetStrength) + ", \"offset_strength_at\": " + fieldValue(r.offsetStrengthAt)
        + ", \"max_strength\": " + fieldValue(r.maxStrength)
        + ", \"yield_strength\": " + fieldValue(r.yieldStrength)
        + ", \"message\": " + (r.message ? jsonString(*r.message) : QByteArray("null")) + "}";
}

QByteArray fileObject(const FileEvaluation& e)
{
    const SharedState& s = e.state;
    QByteArray o = "  {\n    \"file\": " + jsonString(e.file) + ",\n    \"error\": ";
    if (e.error)
        o += "{\"number\": " + QByteArray::number(e.errorNumber)
            + ", \"message\": " + jsonString(e.error->text) + "}";
    else
        o += "null";
    o += ",\n    \"points\": " + number(s.PointCount) + ", \"columns\": " + QByteArray::number(s.ColumnCount);
    o += ",\n    \"x_max\": " + number(s.XMax) + ", \"y_max\": " + number(s.YMax)
        + ", \"x_at_y_max\": " + number(s.XAtYMax);
    o += ",\n    \"scale\": {\"x_min\": " + number(s.ScaleXMin) + ", \"x_max\": " + number(s.ScaleXMax)
        + ", \"y_min\": " + number(s.ScaleYMin) + ", \"y_max\": " + number(s.ScaleYMax) + "}";
    o += ",\n    \"valleys\": [";
    for (int k = 1; k <= s.ValleyCount && k <= MaxValleys; ++k) {
        const auto i = static_cast<size_t>(k);
        o += (k > 1 ? ", [" : "[") + number(s.ValleyX[i]) + ", " + number(s.ValleyY[i]) + "]";
    }
    o += "]";
    if (e.tangent)
        o += ",\n    \"tangent\": " + calculation(*e.tangent);
    if (e.secant)
        o += ",\n    \"secant\": " + calculation(*e.secant);
    return o + "\n  }";
}

// One CSV cell, quoted where its text needs it.
QByteArray cell(const std::string& text)
{
    QByteArray b = QByteArray::fromStdString(text);
    if (b.contains(',') || b.contains('"') || b.contains('\n') || b.contains('\r')) {
        b.replace("\"", "\"\"");
        b = '"' + b + '"';
    }
    return b;
}

void csvRow(QByteArray& out, const FileEvaluation& e, const char* method, const CalculationResult* r)
{
    const SharedState& s = e.state;
    const std::string cells[] = {
        e.file,
        method,
        e.error ? std::to_string(e.errorNumber) : std::string(),
        SingleText(s.PointCount),
        std::to_string(s.ColumnCount),
        SingleText(s.XMax),
        SingleText(s.YMax),
        SingleText(s.XAtYMax),
        r ? r->elasticModulus.text : std::string(),
        r ? r->offsetStrength.text : std::string(),
        r ? r->offsetStrengthAt.text : std::string(),
        r ? r->maxStrength.text : std::string(),
        r ? r->yieldStrength.text : std::string(),
        std::to_string(s.ValleyCount),
        r && r->message ? *r->message : (e.error ? e.error->text : std::string()),
    };
    bool first = true;
    for (const std::string& c : cells) {
        if (!first)
            out += ',';
        out += cell(c);
        first = false;
    }
    out += "\r\n";
}

}  // namespace

QByteArray ResultWriter::Begin() const
{
    if (format_ == Format::Json)
        return "[\n";
    return "file,method,error_number,points,columns,x_max,y_max,x_at_y_max,elastic_modulus,"
           "offset_strength,offset_strength_at,max_strength,yield_strength,valley_count,message\r\n";
}

QByteArray ResultWriter::Write(const FileEvaluation& e)
{
    QByteArray out;
    if (format_ == Format::Json) {
        if (!first_)
            out += ",\n";
        out += fileObject(e);
    } else {
        if (settings_.tangent)
            csvRow(out, e, "tangent", e.tangent ? &*e.tangent : nullptr);
        if (settings_.secant)
            csvRow(out, e, "secant", e.secant ? &*e.secant : nullptr);
    }
    first_ = false;
    return out;
}

QByteArray ResultWriter::End() const { return format_ == Format::Json ? (first_ ? "]\n" : "\n]\n") : ""; }

}  // namespace tenso
