#include "png_writer.h"

#include <QByteArray>
#include <QIODevice>
#include <QImage>

#include <zlib.h>

#include <array>
#include <cstdint>
#include <vector>

namespace tenso::report {

namespace {

void Put32(QByteArray& out, std::uint32_t v)
{
    const char bytes[] = {static_cast<char>(v >> 24), static_cast<char>(v >> 16), static_cast<char>(v >> 8),
        static_cast<char>(v)};
    out.append(bytes, 4);
}

// A chunk: length, type, data, and the CRC of type and data.
bool Chunk(QIODevice& device, const char type[4], const QByteArray& data)
{
    QByteArray chunk;
    chunk.reserve(data.size() + 12);
    Put32(chunk, static_cast<std::uint32_t>(data.size()));
    chunk.append(type, 4);
    chunk.append(data);
    // zlib takes its input as Bytef (unsigned char), Qt hands out char.
    // NOLINTNEXTLINE(cppcoreguidelines-pro-type-reinterpret-cast)
    const auto* bytes = reinterpret_cast<const Bytef*>(chunk.constData() + 4);
    Put32(chunk, static_cast<std::uint32_t>(crc32(0, bytes, static_cast<uInt>(data.size() + 4))));
    return device.write(chunk) == chunk.size();
}

}  // namespace

bool WriteChartPng(QIODevice& device, const QImage& source)
{
    const QImage image
        = source.format() == QImage::Format_RGB32 ? source : source.convertToFormat(QImage::Format_RGB32);
    const auto width = static_cast<std::uint32_t>(image.width());
    const auto height = static_cast<std::uint32_t>(image.height());
    static const char signature[] = "\x89PNG\r\n\x1a\n";
    if (device.write(signature, 8) != 8)
        return false;
    QByteArray header;
    Put32(header, width);
    Put32(header, height);
    header.append("\x08\x02\x00\x00\x00", 5);  // 8 bits, RGB, deflate, filters of method 0, no interlace
    if (!Chunk(device, "IHDR", header))
        return false;

    // Each row: filter type 0 (none), then its bytes.
    const std::size_t rowBytes = std::size_t {width} * 3;
    std::vector<Bytef> row(rowBytes + 1, 0);
    z_stream z {};
    if (deflateInit2(&z, 1, Z_DEFLATED, 15, 8, Z_RLE) != Z_OK)
        return false;
    QByteArray compressed;
    std::array<Bytef, 1 << 16> buffer {};
    bool ok = true;
    for (std::uint32_t y = 0; y <= height && ok; ++y) {
        const bool last = y == height;
        if (!last) {
            // A scanline of a Format_RGB32 image is a row of QRgb, which Qt hands out as bytes.
            // NOLINTNEXTLINE(cppcoreguidelines-pro-type-reinterpret-cast)
            const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(static_cast<int>(y)));
            for (std::uint32_t x = 0; x < width; ++x) {
                row[1 + 3 * x] = static_cast<Bytef>(qRed(line[x]));
                row[2 + 3 * x] = static_cast<Bytef>(qGreen(line[x]));
                row[3 + 3 * x] = static_cast<Bytef>(qBlue(line[x]));
            }
            z.next_in = row.data();
            z.avail_in = static_cast<uInt>(row.size());
        }
        do {
            z.next_out = buffer.data();
            z.avail_out = static_cast<uInt>(buffer.size());
            const int status = deflate(&z, last ? Z_FINISH : Z_NO_FLUSH);
            if (status == Z_STREAM_ERROR) {
                ok = false;
                break;
            }
            // zlib writes Bytef (unsigned char), QByteArray takes char.
            // NOLINTNEXTLINE(cppcoreguidelines-pro-type-reinterpret-cast)
            compressed.append(reinterpret_cast<const char*>(buffer.data()),
                static_cast<qsizetype>(buffer.size() - z.avail_out));
        } while (z.avail_out == 0);
    }
    deflateEnd(&z);
    return ok && Chunk(device, "IDAT", compressed) && Chunk(device, "IEND", QByteArray());
}

}  // namespace tenso::report
