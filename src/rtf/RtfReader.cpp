#include "rtf/RtfReader.h"

#include "rtf/RtfParser.h"

#include <QCoreApplication>
#include <QTextDocument>

bool RtfReader::read(QByteArrayView rtf, QTextDocument &document)
{
    m_errorString.clear();
    if (!rtf.startsWith("{\\rtf")) {
        document.clear();
        m_errorString = QCoreApplication::translate("RtfReader", "The text is not in RTF format.");
        return false;
    }

    const qsizetype maxInput = qMax<qsizetype>(0, m_limits.maxInputBytes);
    const bool truncated = rtf.size() > maxInput;
    RtfParser parser(truncated ? rtf.first(maxInput) : rtf, document, m_limits.maxDepth, m_limits.maxGroups,
                     m_limits.maxOutputChars);
    switch (parser.run()) {
    case RtfParser::Status::Finished:
        break;
    case RtfParser::Status::TooManyGroups:
        m_errorString = QCoreApplication::translate("RtfReader", "The RTF text has more than %1 groups; the rest was "
                                                                 "not read.")
                            .arg(m_limits.maxGroups);
        return false;
    case RtfParser::Status::TooMuchOutput:
        m_errorString = QCoreApplication::translate("RtfReader", "The RTF text is longer than %1 characters; the "
                                                                 "rest was not read.")
                            .arg(m_limits.maxOutputChars);
        return false;
    }
    if (truncated) {
        m_errorString = QCoreApplication::translate("RtfReader", "The RTF file is larger than %1 bytes; only the "
                                                                 "beginning was read.")
                            .arg(maxInput);
        return false;
    }
    return true;
}
