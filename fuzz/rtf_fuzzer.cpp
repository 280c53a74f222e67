// libFuzzer target for the RTF reader behind the help window. Every input is read twice: once with the
// limits the help window uses, then with tiny limits so that the paths where a limit, or a bound of the view's
// layout, stops the reader are reached all the time. The result is laid out as the help window would, which finds
// formats that the reader lets through but the text layout cannot take.

#include "rtf/RtfReader.h"

#include <QAbstractTextDocumentLayout>
#include <QGuiApplication>
#include <QTextDocument>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

void readAndLayOut(QByteArrayView input, const RtfReader::Limits &limits)
{
    RtfReader reader(limits);
    QTextDocument document;
    const bool complete = reader.read(input, document);
    check(complete == reader.errorString().isEmpty());
    // characterCount() includes the end of the last paragraph, which the reader does not count.
    check(document.characterCount() <= limits.maxOutputChars + 1);
    document.setTextWidth(400);
    document.documentLayout()->documentSize();
}

} // namespace

// Fontconfig keeps the patterns Qt looks fonts up with until the process ends; that is not the reader's
// memory, and without this every run would end in a leak report.
extern "C" const char *__lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n";
}

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    Q_UNUSED(argc);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Qt keeps a reference to argc for the life of the application and may take out arguments it knows;
    // libFuzzer's own arguments stay untouched.
    static int qtArgc = 1;
    static char *qtArgv[] = {(*argv)[0], nullptr};
    static QGuiApplication application(qtArgc, qtArgv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView input(reinterpret_cast<const char *>(data), qsizetype(size));

    readAndLayOut(input, RtfReader::Limits{});

    RtfReader::Limits tiny;
    tiny.maxDepth = 3;
    tiny.maxGroups = 40;
    tiny.maxInputBytes = qsizetype(size) / 2 + 8;
    tiny.maxOutputChars = 64;
    tiny.maxPicturePixels = 64;
    tiny.layout = {.lines = 16, .cells = 4, .runs = 12, .characters = 48, .heightPixels = 400, .unbrokenChars = 8};
    readAndLayOut(input, tiny);
    return 0;
}
