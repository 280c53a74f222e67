#pragma once

// Help files of the shapes that cost the help view's text layout the most, at any number of their units: for the
// benchmark of the help window, its test and the fuzzer's corpus.

#include "app/HelpFile.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageWriter>

#include <string>

namespace HelpShapes {

inline const char *const names[] = {"par",  "line", "textlines", "words", "cells", "runs",
                                    "list", "rows", "pictures",  "links", "scans"};

// A progressive JPEG whose last scan comes `scans` times: a decoder goes over the whole picture once per scan.
inline QByteArray manyScanJpeg(int scans, int side = 64)
{
    QImage image(side, side, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setProgressiveScanWrite(true);
    writer.write(image);
    const QByteArray jpeg = buffer.data();
    const qsizetype lastScan = jpeg.lastIndexOf("\xFF\xDA");
    const QByteArray scan = jpeg.sliced(lastScan, jpeg.size() - 2 - lastScan);
    return jpeg.first(lastScan) + scan.repeated(scans) + "\xFF\xD9";
}

inline QByteArray tinyPng()
{
    QImage image(1, 1, QImage::Format_RGB32);
    image.fill(Qt::darkGreen);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "png");
    return buffer.data();
}

// The help file of `n` units of a shape.
inline QByteArray file(const std::string &shape, int n)
{
    QByteArray body;
    if (shape == "par") {
        body = QByteArray("\\par\n").repeated(n);
    } else if (shape == "line") {
        body = QByteArray("\\line\n").repeated(n);
    } else if (shape == "textlines") {
        for (int i = 0; i < n; ++i) {
            body += "Line " + QByteArray::number(i) + " of this help.\\par\n";
        }
    } else if (shape == "cells") {
        body = "\\trowd\\cellx1000\\intbl " + QByteArray("\\cell").repeated(n) + "\\row\n";
    } else if (shape == "words") {
        body = QByteArray("word ").repeated(n);
    } else if (shape == "runs") {
        body = QByteArray("{\\b a}{\\i b}").repeated(n / 2);
    } else if (shape == "list") {
        body = "{\\*\\listtable{\\list\\listtemplateid1{\\listlevel\\levelnfc23{\\leveltext\\'01\\u8226 ?;}"
               "{\\levelnumbers;}}\\listid1}}{\\*\\listoverridetable{\\listoverride\\listid1\\ls1}}" +
               QByteArray("{\\listtext\\'b7\\tab}\\ls1 item\\par\n").repeated(n);
    } else if (shape == "rows") {
        body = QByteArray("\\trowd\\cellx1000\\cellx2000\\intbl a\\cell b\\cell\\row\n").repeated(n);
    } else if (shape == "pictures") {
        // Each in a paragraph of its own, shown at the largest size a picture may take.
        const QByteArray png = tinyPng();
        body = ("{\\pict\\pngblip\\picw1\\pich1\\picwgoal60000\\pichgoal60000\\bin" + QByteArray::number(png.size()) +
                " " + png + "}\\par\n")
                   .repeated(n);
    } else if (shape == "scans") {
        const QByteArray jpeg = manyScanJpeg(n);
        body = "{\\pict\\jpegblip\\bin" + QByteArray::number(jpeg.size()) + " " + jpeg + "}";
    } else if (shape == "links") {
        for (int i = 0; i < n; ++i) {
            body += "{\\field{\\*\\fldinst HYPERLINK \"https://example.com/" + QByteArray::number(i) +
                    "\"}{\\fldrslt a}}\n";
        }
    }
    // A file past the help file's byte limit would not be read at all: the largest sizes are cut to fit.
    body.truncate(HelpFile::MaxBytes - 64);
    return "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\f0\\fs20 " + body + "}";
}

} // namespace HelpShapes
