#include "rtf/RtfReader.h"

#include "rtf/RtfParser.h"

#include <QCoreApplication>
#include <QTextDocument>

bool RtfReader::read(QByteArrayView rtf, QTextDocument &document)
{
    errorString_.clear();
    cut_ = false;
    if (!rtf.startsWith("{\\rtf")) {
        document.clear();
        errorString_ = QCoreApplication::translate("RtfReader", "The text is not in RTF format.");
        return false;
    }

    const qsizetype maxInput = qMax<qsizetype>(0, limits_.maxInputBytes);
    const bool truncated = rtf.size() > maxInput;
    RtfParser parser(truncated ? rtf.first(maxInput) : rtf, document, limits_.maxDepth, limits_.maxGroups,
                     limits_.maxOutputChars, limits_.maxPicturePixels, limits_.layout);
    const RtfParser::Status status = parser.run();
    cut_ = truncated || status != RtfParser::Status::Finished;
    switch (status) {
    case RtfParser::Status::Finished:
        break;
    case RtfParser::Status::TooLongToShow:
        errorString_ = QCoreApplication::translate("RtfReader", "The RTF text is longer than the view can show; the "
                                                                "rest was not read.");
        return false;
    case RtfParser::Status::TooManyGroups:
        errorString_ = QCoreApplication::translate("RtfReader", "The RTF text has more than %1 groups; the rest was "
                                                                "not read.")
                           .arg(limits_.maxGroups);
        return false;
    case RtfParser::Status::TooMuchOutput:
        errorString_ = QCoreApplication::translate("RtfReader", "The RTF text is longer than %1 characters; the "
                                                                "rest was not read.")
                           .arg(limits_.maxOutputChars);
        return false;
    }
    if (truncated) {
        errorString_ = QCoreApplication::translate("RtfReader", "The RTF file is larger than %1 bytes; only the "
                                                                "beginning was read.")
                           .arg(maxInput);
        return false;
    }
    return true;
}
