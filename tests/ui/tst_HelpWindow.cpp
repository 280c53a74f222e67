// The help window on its own: how it shows its file, the start-up box and the setting behind it, and what it does
// with a file that is missing, empty, broken or too large.

#include "../../bench/HelpShapes.h"
#include "core/PublisherSettings.h"
#include "rtf/RtfLayoutBudget.h"
#include "support/FakePlatform.h"
#include "support/Widgets.h"
#include "ui/HelpWindow.h"

#include <QAbstractTextDocumentLayout>
#include <QCheckBox>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextTable>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

QTextBrowser *helpView(const std::unique_ptr<HelpWindow> &help)
{
    return child<QTextBrowser>(help.get(), u"helpView"_s);
}

QCheckBox *startupBox(const std::unique_ptr<HelpWindow> &help)
{
    return child<QCheckBox>(help.get(), u"showAtStartupBox"_s);
}

} // namespace

namespace {

const QByteArray HelpRtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Verdana;}}\\f0 Welcome to the help.\\par}";

// A help file in a folder of its own, settings in memory, and the publisher settings of this build.
struct HelpFixture {
    void writeHelp(const QByteArray &bytes) const
    {
        QFile file(path());
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QCOMPARE(file.write(bytes), bytes.size());
    }
    QString path() const { return dir.filePath(u"Help.rtf"_s); }
    QString settingPath() const { return publisher.productName + u"/Settings/showHelp"_s; }
    void storeShowHelp(const QString &value) { settings.values.insert(settingPath(), value); }
    QStringList writesOf(const QStringList &values) const
    {
        QStringList out;
        for (const QString &v : values) {
            out.append(settingPath() + u'=' + v);
        }
        return out;
    }

    // Loads a window on `file` and shows it unless its load declined.
    std::unique_ptr<HelpWindow> open(const QString &file)
    {
        auto help = std::make_unique<HelpWindow>(file, settings, publisher);
        if (help->showAfterLoad()) {
            help->show();
        }
        return help;
    }
    std::unique_ptr<HelpWindow> open() { return open(path()); }

    QTemporaryDir dir;
    FakeSettings settings;
    PublisherSettings publisher = PublisherSettings::fromBuild();
};

} // namespace

class tst_HelpWindow final : public QObject {
    Q_OBJECT

private slots:
    void load_fileThere_showsTopmostReadOnlyHelp()
    {
        HelpFixture f;
        f.writeHelp(HelpRtf);
        const auto help = f.open();

        QVERIFY(help->showAfterLoad() && help->isVisible());
        QCOMPARE(help->windowTitle(), u"Readme/Help"_s);
        QVERIFY(help->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        // A tool window without owner: no taskbar entry.
        QCOMPARE(help->windowFlags() & Qt::WindowType_Mask, Qt::Tool);
        QVERIFY(!help->parentWidget());
        QVERIFY(!help->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
        QTest::keyClick(helpView(help), Qt::Key_Escape);
        QVERIFY(help->isVisible());
        QCOMPARE(help->size(), QSize(686, 528));
        QVERIFY(helpView(help)->toPlainText().contains(u"Welcome to the help."_s));
        QVERIFY(helpView(help)->isReadOnly());
        QVERIFY(!helpView(help)->openLinks());
        QVERIFY(startupBox(help)->isChecked());
        QVERIFY(f.settings.writes.isEmpty());
    }

    void load_shippedHelpFile_showsItFromTheTop()
    {
        HelpFixture f;
        const auto help = f.open(QStringLiteral(BRISVANE_SOURCE_DIR "/assets/Help.rtf"));
        QVERIFY(help->showAfterLoad());
        QVERIFY(helpView(help)->toPlainText().startsWith(u"Brisvane Help"_s));
        QVERIFY(helpView(help)->toPlainText().contains(u"Show at Startup"_s));
        QCOMPARE(helpView(help)->textCursor().position(), 0);
    }

    void load_fileMissing_declinesToBeShownAndWritesNothing()
    {
        HelpFixture f;
        const auto help = f.open();
        QVERIFY(!help->showAfterLoad());
        QVERIFY(!help->isVisible());
        QVERIFY(f.settings.writes.isEmpty());
    }

    void load_storedSetting_setsBoxAndWritesOnlyAChange_data()
    {
        QTest::addColumn<bool>("stored");
        QTest::addColumn<QString>("value");
        QTest::addColumn<bool>("ticked");
        QTest::addColumn<QStringList>("written");

        const QStringList none;
        QTest::newRow("absent: default 1") << false << QString() << true << none;
        QTest::newRow("1") << true << u"1"_s << true << none;
        QTest::newRow("0: unticks and writes 0") << true << u"0"_s << false << QStringList{u"0"_s};
        QTest::newRow("00") << true << u"00"_s << false << QStringList{u"0"_s};
        QTest::newRow("blank around 0") << true << u" 0 "_s << false << QStringList{u"0"_s};
        QTest::newRow("01") << true << u"01"_s << true << none;
        QTest::newRow("blank before 1") << true << u" 1"_s << true << none;
        QTest::newRow("other number 7") << true << u"7"_s << true << none;
        QTest::newRow("negative") << true << u"-1"_s << true << none;
        QTest::newRow("empty: not a number") << true << QString() << true << none;
        QTest::newRow("yes: not a number") << true << u"yes"_s << true << none;
        QTest::newRow("too big for a number") << true << u"99999999999"_s << true << none;
    }
    void load_storedSetting_setsBoxAndWritesOnlyAChange()
    {
        QFETCH(bool, stored);
        QFETCH(QString, value);
        QFETCH(bool, ticked);
        QFETCH(QStringList, written);

        HelpFixture f;
        f.writeHelp(HelpRtf);
        if (stored) {
            f.storeShowHelp(value);
        }
        const auto help = f.open();

        QCOMPARE(startupBox(help)->isChecked(), ticked);
        QCOMPARE(f.settings.writes, f.writesOf(written));
    }

    void checkBox_untickThenTick_writesEachAtOnce()
    {
        HelpFixture f;
        f.writeHelp(HelpRtf);
        const auto help = f.open();
        QCheckBox *box = startupBox(help);

        QTest::mouseClick(box, Qt::LeftButton);
        QCOMPARE(f.settings.writes, f.writesOf({u"0"_s}));
        QCOMPARE(f.settings.read(f.publisher.productName, u"Settings"_s, u"showHelp"_s, u"1"_s), u"0"_s);

        box->setFocus();
        QTest::keyClick(box, Qt::Key_Space);
        QCOMPARE(f.settings.writes, f.writesOf({u"0"_s, u"1"_s}));
    }

    void close_writesNothing()
    {
        HelpFixture f;
        f.writeHelp(HelpRtf);
        f.storeShowHelp(u"0"_s);
        const auto help = f.open();
        f.settings.writes.clear();
        QVERIFY(help->close());
        QVERIFY(f.settings.writes.isEmpty());
    }

    void load_unusableFile_opensQuietlyAsFarAsFilled_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<qint64>("size"); // grown sparse to this size when larger than the bytes
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("notShown");

        QTest::newRow("empty file") << QByteArray() << qint64(0) << QString() << QString();
        QTest::newRow("plain text, not rich text") << QByteArray("Just text") << qint64(0) << QString() << u"Just"_s;
        QTest::newRow("cut off in a group")
            << QByteArray("{\\rtf1 Half a help {\\b bold") << qint64(0) << u"Half a help"_s << QString();
        QTest::newRow("larger than the limit")
            << HelpRtf << HelpWindow::MaxHelpFileBytes + 1 << QString() << u"Welcome"_s;
    }
    void load_unusableFile_opensQuietlyAsFarAsFilled()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(qint64, size);
        QFETCH(QString, shown);
        QFETCH(QString, notShown);

        HelpFixture f;
        f.writeHelp(bytes);
        if (size > bytes.size()) {
            QFile file(f.path());
            QVERIFY(file.resize(size));
        }
        const auto help = f.open();

        QVERIFY(help->showAfterLoad() && help->isVisible());
        QVERIFY(help->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(startupBox(help)->isChecked());
        const QString text = helpView(help)->toPlainText();
        QVERIFY2(shown.isEmpty() || text.contains(shown), qPrintable(text));
        QVERIFY2(notShown.isEmpty() || !text.contains(notShown), qPrintable(text));
    }

    // Help files of the shapes that cost the view's layout the most, each a little past a bound where it has one.
    void load_costlyShape_cutWithNoteWithinBounds_data()
    {
        QTest::addColumn<QByteArray>("shape");
        QTest::addColumn<int>("units");
        QTest::addColumn<bool>("cut");
        const RtfLayoutBudget::Bounds bounds = RtfLayoutBudget::Bounds::helpView();
        const int lines = int(bounds.lines) + 1000;
        for (const char *shape : {"par", "line", "textlines", "list"}) {
            QTest::newRow(shape) << QByteArray(shape) << lines << true;
        }
        QTest::newRow("cells of one row") << "cells"_ba << int(bounds.cells) + 1 << true;
        QTest::newRow("rows of two cells") << "rows"_ba << int(bounds.cells) / 2 + 1 << true;
        QTest::newRow("pictures taller than the height bound") << "pictures"_ba << 500 << true;
        QTest::newRow("runs in one paragraph") << "runs"_ba << int(bounds.runs) + 1000 << true;
        QTest::newRow("distinct links in one paragraph") << "links"_ba << 20'000 << false;
        QTest::newRow("text in one paragraph") << "words"_ba << int(bounds.characters) / 5 + 1000 << true;
        QTest::newRow("JPEG of many scans, left out") << "scans"_ba << 1000 << false;
    }
    void load_costlyShape_cutWithNoteWithinBounds()
    {
        QFETCH(QByteArray, shape);
        QFETCH(int, units);
        QFETCH(bool, cut);

        HelpFixture f;
        f.writeHelp(HelpShapes::file(shape.toStdString(), units));
        const auto help = f.open();
        QTextDocument &document = *helpView(help)->document();

        const RtfLayoutBudget::Bounds bounds = RtfLayoutBudget::Bounds::helpView();
        QCOMPARE(document.lastBlock().text() == HelpWindow::CutNote, cut);
        const QString text = document.toPlainText();
        QVERIFY(document.blockCount() + text.count(QChar::LineSeparator) <= bounds.lines + 2);
        QVERIFY(text.size() <= bounds.characters + bounds.lines + HelpWindow::CutNote.size());
        QVERIFY(document.documentLayout()->documentSize().height() <= 1.2 * bounds.heightPixels);
        qsizetype cells = 0;
        for (const QObject *frame : document.rootFrame()->children()) {
            if (const auto *table = qobject_cast<const QTextTable *>(frame)) {
                cells += table->rows() * table->columns();
            }
        }
        QVERIFY(cells <= bounds.cells);
        qsizetype runs = 0;
        for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
            runs += block.textFormats().size();
        }
        QVERIFY(runs <= bounds.runs + bounds.lines);
        QCOMPARE(text.contains(QChar::ObjectReplacementCharacter), shape == "pictures");
    }
};

QTEST_MAIN(tst_HelpWindow)
#include "tst_HelpWindow.moc"
