#pragma once

#include "rtf/RtfFormats.h"
#include "rtf/RtfRowDef.h"

#include <QImage>
#include <QSizeF>
#include <QString>

class RtfDocumentWriter;
class RtfListReader;
class RtfTextDecoder;

// Writes the body's running text into the document: characters in their formats (surrogate pairs joined, what
// QTextDocument would take for structure left out), each paragraph's list label at its start, paragraph, cell and
// row ends, and pictures in the text. Every call gets the formatting of the group that reads it.
class RtfTextReader final {
public:
    RtfTextReader(RtfDocumentWriter &writer, RtfFormats &formats, RtfListReader &lists, const RtfTextDecoder &decoder)
        : writer_(writer), formats_(formats), lists_(lists), decoder_(decoder)
    {}
    Q_DISABLE_COPY_MOVE(RtfTextReader)

    // What a UTF-16 unit of text shows as in the document: 0 for one that is left out, U+FFFD for one that
    // QTextDocument would take for its own structure.
    static char16_t shown(char16_t unit);

    // Printable ASCII, which needs no decoding.
    void appendAscii(QLatin1StringView text, const RtfCharState &chars, const RtfParaState &para);
    void appendCharacter(char32_t character, const RtfCharState &chars, const RtfParaState &para);
    // Decoded text, which may hold anything a code page gives.
    void appendText(QStringView text, const RtfCharState &chars, const RtfParaState &para);
    void endParagraph(const RtfCharState &chars, const RtfParaState &para);
    // The end of a cell or a row of the table at the depth (2 and more: tables in tables), which row defines.
    void endCell(const RtfRowDef &row, int depth, const RtfCharState &chars, const RtfParaState &para);
    void endRow(const RtfRowDef &row, int depth, const RtfCharState &chars, const RtfParaState &para);
    // Whether the document has room for a picture, which saves decoding one that would be left out.
    bool takesImage() const;
    void appendImage(const QImage &image, QSizeF size, const RtfCharState &chars, const RtfParaState &para);
    // Writes the last paragraph; the document is complete.
    void finish(const RtfCharState &chars, const RtfParaState &para);

private:
    void appendUtf16(char16_t unit, const RtfCharState &chars, const RtfParaState &para);
    void flushLoneSurrogate(const RtfCharState &chars, const RtfParaState &para);
    void startParagraph(const RtfCharState &chars, const RtfParaState &para);
    void syncCharFormat(const RtfCharState &chars, const RtfParaState &para);
    // The block format of the paragraph being read.
    QTextBlockFormat paragraphFormat(const RtfParaState &para);

    RtfDocumentWriter &writer_;
    RtfFormats &formats_;
    RtfListReader &lists_;
    const RtfTextDecoder &decoder_;
    bool paragraphStarted_ = false;
    char16_t highSurrogate_ = 0; // waiting for its low half
    RtfCharState sentChars_;
    quint64 sentGeneration_ = 0;
    bool formatSent_ = false;
};
