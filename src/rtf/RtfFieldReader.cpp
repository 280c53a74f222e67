#include "rtf/RtfFieldReader.h"

#include "rtf/RtfFormats.h"

using namespace Qt::StringLiterals;

namespace {

constexpr qsizetype maxInstructionLength = 2048;

// The address of a HYPERLINK field's instruction: HYPERLINK "address", or HYPERLINK \l "bookmark";
// empty for any other field.
QString hyperlinkAddress(const QString &instruction)
{
    QStringView rest = QStringView(instruction).trimmed();
    if (!rest.startsWith(u"HYPERLINK"_s, Qt::CaseInsensitive)) {
        return {};
    }
    rest = rest.sliced(9);
    QString address;
    bool bookmark = false;
    bool skipArgument = false;
    while (!(rest = rest.trimmed()).isEmpty()) {
        QStringView word;
        if (rest.front() == u'"') {
            const qsizetype end = rest.indexOf(u'"', 1);
            word = end < 0 ? rest.sliced(1) : rest.sliced(1, end - 1);
            rest = end < 0 ? QStringView() : rest.sliced(end + 1);
        } else {
            qsizetype end = 0;
            while (end < rest.size() && !rest.at(end).isSpace()) {
                ++end;
            }
            word = rest.first(end);
            rest = rest.sliced(end);
        }
        if (skipArgument) {
            skipArgument = false;
        } else if (word == u"\\l") {
            bookmark = true;
        } else if (word == u"\\o" || word == u"\\t") {
            skipArgument = true; // a tooltip or a target frame
        } else if (!word.startsWith(u'\\') && address.isEmpty()) {
            address = bookmark ? u'#' + word.toString() : word.toString();
        }
    }
    return address;
}

} // namespace

void RtfFieldReader::appendToInstruction(char16_t unit)
{
    if (instruction_.size() < maxInstructionLength) {
        instruction_.append(QChar(unit));
    }
}

void RtfFieldReader::beginResult(RtfCharState &chars)
{
    const QString address = hyperlinkAddress(instruction_);
    if (address.isEmpty()) {
        return;
    }
    const int link = formats_.addLink(address);
    if (link >= 0) {
        chars.link = link;
    }
}
