#include "rtf/RtfMetafileBitmap.h"

#include <QBuffer>
#include <QImageReader>
#include <QtEndian>

namespace {

constexpr quint32 placeableKey = 0x9AC6CDD7; // a placeable metafile's own header comes first
constexpr qsizetype placeableHeaderBytes = 22;
constexpr qsizetype metaHeaderBytes = 18;
constexpr qsizetype recordHeaderBytes = 6; // its size in 16-bit words, then its function

// Where a record's DIB starts, after its header and the record's own fields; 0 for a record without one.
qsizetype dibOffset(quint16 function)
{
    switch (function) {
    case 0x0F43: // META_STRETCHDIB: raster operation, colour usage, eight coordinates
        return recordHeaderBytes + 4 + 2 + 16;
    case 0x0B41: // META_DIBSTRETCHBLT: raster operation, eight coordinates
        return recordHeaderBytes + 4 + 16;
    case 0x0D33: // META_SETDIBTODEV: colour usage, nine coordinates and scan numbers
        return recordHeaderBytes + 2 + 18;
    default:
        return 0;
    }
}

// Whether the record's colour table holds indexes into a palette the metafile made, which cannot be drawn alone.
bool usesPaletteIndexes(QByteArrayView record, quint16 function)
{
    const qsizetype at = function == 0x0F43 ? recordHeaderBytes + 4 : function == 0x0D33 ? recordHeaderBytes : -1;
    return at >= 0 && qFromLittleEndian<quint16>(record.data() + at) != 0;
}

constexpr qsizetype infoHeaderBytes = 40; // BITMAPINFOHEADER; the V4 and V5 headers only add to it
constexpr qsizetype fileHeaderBytes = 14; // what a .bmp file puts before the DIB

struct DibLayout {
    QSize size;
    qsizetype headerAndColors = 0; // where the rows begin
    qsizetype total = 0;           // where they end
};

// The layout of a DIB that the decoder can draw, checked against the bytes there are; total 0 when there is none.
DibLayout layoutOf(QByteArrayView dib, qint64 maxPixels)
{
    if (dib.size() < infoHeaderBytes) {
        return {};
    }
    const char *d = dib.data();
    const quint32 headerBytes = qFromLittleEndian<quint32>(d);
    const qint64 width = qFromLittleEndian<qint32>(d + 4);
    const qint64 height = qAbs(qint64(qFromLittleEndian<qint32>(d + 8))); // negative: top-down
    const quint16 planes = qFromLittleEndian<quint16>(d + 12);
    const quint16 bits = qFromLittleEndian<quint16>(d + 14);
    const quint32 compression = qFromLittleEndian<quint32>(d + 16);
    const quint32 colorsUsed = qFromLittleEndian<quint32>(d + 32);
    const bool knownHeader = headerBytes == infoHeaderBytes || headerBytes == 108 || headerBytes == 124;
    const bool knownBits = bits == 1 || bits == 4 || bits == 8 || bits == 24 || bits == 32;
    if (!knownHeader || !knownBits || planes != 1 || compression != 0 || width <= 0 || height <= 0 ||
        width > maxPixels / height) {
        return {};
    }
    const qint64 paletteSize = bits <= 8 ? qint64(1) << bits : 256;
    const qint64 colors = colorsUsed != 0 ? colorsUsed : bits <= 8 ? paletteSize : 0;
    if (colors > paletteSize) {
        return {};
    }
    const qint64 rowBytes = (width * bits + 31) / 32 * 4;
    const qint64 rowsStart = headerBytes + colors * 4;
    if (rowBytes > (dib.size() - rowsStart) / height) {
        return {};
    }
    return {QSize(int(width), int(height)), qsizetype(rowsStart), qsizetype(rowsStart + rowBytes * height)};
}

} // namespace

QByteArrayView RtfMetafileBitmap::find(QByteArrayView metafile)
{
    if (metafile.size() >= placeableHeaderBytes && qFromLittleEndian<quint32>(metafile.data()) == placeableKey) {
        metafile = metafile.sliced(placeableHeaderBytes);
    }
    if (metafile.size() < metaHeaderBytes) {
        return {};
    }
    const qsizetype headerBytes = 2 * qsizetype(qFromLittleEndian<quint16>(metafile.data() + 2));
    const qint64 statedBytes = 2 * qint64(qFromLittleEndian<quint32>(metafile.data() + 6));
    const qsizetype end =
        statedBytes >= metaHeaderBytes ? qsizetype(qMin<qint64>(statedBytes, metafile.size())) : metafile.size();
    qsizetype at = qMax(headerBytes, metaHeaderBytes);
    while (at + recordHeaderBytes <= end) {
        const qint64 recordBytes = 2 * qint64(qFromLittleEndian<quint32>(metafile.data() + at));
        const quint16 function = qFromLittleEndian<quint16>(metafile.data() + at + 4);
        if (function == 0x0000) { // META_EOF
            break;
        }
        if (recordBytes < recordHeaderBytes || recordBytes > end - at) {
            return {};
        }
        const QByteArrayView record = metafile.sliced(at, qsizetype(recordBytes));
        const qsizetype offset = dibOffset(function);
        if (offset > 0 && record.size() > offset) {
            return usesPaletteIndexes(record, function) ? QByteArrayView() : record.sliced(offset);
        }
        at += qsizetype(recordBytes);
    }
    return {};
}

QImage RtfMetafileBitmap::decode(QByteArrayView dib, qint64 maxPixels)
{
    const DibLayout layout = layoutOf(dib, maxPixels);
    if (layout.total == 0) {
        return {};
    }
    // Qt reads the DIB as the .bmp file it would be: a file header that says where the rows begin, then the DIB.
    QByteArray file(fileHeaderBytes, '\0');
    file[0] = 'B';
    file[1] = 'M';
    qToLittleEndian<quint32>(quint32(fileHeaderBytes + layout.total), file.data() + 2);
    qToLittleEndian<quint32>(quint32(fileHeaderBytes + layout.headerAndColors), file.data() + 10);
    file.append(dib.first(layout.total));
    QBuffer buffer(&file);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "bmp");
    reader.setDecideFormatFromContent(false);
    QImage image;
    if (!reader.read(&image) || image.size() != layout.size) {
        return {};
    }
    return image;
}
