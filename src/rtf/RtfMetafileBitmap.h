#pragma once

#include <QByteArrayView>
#include <QImage>

// The bitmap that a Windows metafile wraps, as WordPad and Word save a pasted picture (\wmetafile8), and the
// decoding of such a device-independent bitmap (DIB). Nothing else of a metafile is drawn.
namespace RtfMetafileBitmap {

// The DIB of the metafile's first record that draws one (META_STRETCHDIB, META_DIBSTRETCHBLT or META_SETDIBTODEV),
// from its header to the end of its record; empty when the metafile has none, or a broken record comes first. The
// walk never passes the end of the data or the size that the metafile's header gives.
QByteArrayView find(QByteArrayView metafile);

// The DIB (a BITMAPINFOHEADER, its colour table and its rows, bottom-up or top-down, of 1, 4, 8, 24 or 32 bits a
// pixel, uncompressed) as an image; a null image when it is broken, shorter than its rows, or has more than
// maxPixels pixels, which is known before anything is decoded.
QImage decode(QByteArrayView dib, qint64 maxPixels);

} // namespace RtfMetafileBitmap
