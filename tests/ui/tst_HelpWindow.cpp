// The help window on its own: how it shows the help text it is given, the start-up box and what it reports of it,
// and that without help text it declines to be shown.

#include "core/PublisherSettings.h"
#include "support/Widgets.h"
#include "ui/HelpWindow.h"

#include <QCheckBox>
#include <QSignalSpy>
#include <QTest>
#include <QTextBrowser>
#include <QTextDocument>

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

// Loads a window on the help text (none: no help file) and shows it unless its load declined.
std::unique_ptr<HelpWindow> open(std::unique_ptr<QTextDocument> text, const PublisherSettings &publisher)
{
    auto help = std::make_unique<HelpWindow>(std::move(text), publisher);
    if (help->showAfterLoad()) {
        help->show();
    }
    return help;
}

std::unique_ptr<QTextDocument> helpText()
{
    return std::make_unique<QTextDocument>(u"Welcome to the help.\nSecond line."_s);
}

} // namespace

class tst_HelpWindow final : public QObject {
    Q_OBJECT

private slots:
    void load_helpText_showsTopmostReadOnlyHelpFromTheTop()
    {
        const PublisherSettings publisher = PublisherSettings::fromBuild();
        const auto help = open(helpText(), publisher);
        QSignalSpy changes(help.get(), &HelpWindow::showAtStartupChanged);

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
        QCOMPARE(helpView(help)->textCursor().position(), 0);
        QVERIFY(helpView(help)->isReadOnly());
        QVERIFY(!helpView(help)->openLinks());
        QVERIFY(startupBox(help)->isChecked());
        QVERIFY(changes.isEmpty());
    }

    void load_noHelpText_declinesToBeShown()
    {
        const PublisherSettings publisher = PublisherSettings::fromBuild();
        const auto help = open(nullptr, publisher);
        QVERIFY(!help->showAfterLoad());
        QVERIFY(!help->isVisible());
    }

    void checkBox_untickThenTick_reportsEachAtOnce()
    {
        const PublisherSettings publisher = PublisherSettings::fromBuild();
        const auto help = open(helpText(), publisher);
        QSignalSpy changes(help.get(), &HelpWindow::showAtStartupChanged);
        QCheckBox *box = startupBox(help);

        QTest::mouseClick(box, Qt::LeftButton);
        QCOMPARE(changes.size(), 1);
        QCOMPARE(changes.last().first().toBool(), false);

        box->setFocus();
        QTest::keyClick(box, Qt::Key_Space);
        QCOMPARE(changes.size(), 2);
        QCOMPARE(changes.last().first().toBool(), true);
    }

    void close_reportsNothing()
    {
        const PublisherSettings publisher = PublisherSettings::fromBuild();
        const auto help = open(helpText(), publisher);
        help->setShowAtStartup(false);
        QSignalSpy changes(help.get(), &HelpWindow::showAtStartupChanged);
        QVERIFY(help->close());
        QVERIFY(changes.isEmpty());
    }
};

QTEST_MAIN(tst_HelpWindow)
#include "tst_HelpWindow.moc"
