// On a screen of two pixels to a point, every picture shows its own drawing at that size, not the small one
// enlarged: the start-up picture, the About banner, the program icon and the button pictures.

#include "ui/PictureButton.h"
#include "ui/Pictures.h"
#include "ui/ProgramIcon.h"

#include <QApplication>
#include <QTest>

using namespace Qt::StringLiterals;

class tst_Pictures : public QObject {
    Q_OBJECT

private slots:
    void picture_atTwoPixelsToAPoint_isDrawnAtThatSize_data()
    {
        QTest::addColumn<QPixmap>("shown");
        QTest::addColumn<QString>("drawing");
        QTest::newRow("splash") << Pictures::forScreen(u":/splash.png"_s) << u"splash@2x"_s;
        QTest::newRow("banner") << Pictures::forScreen(u":/banner.png"_s) << u"banner@2x"_s;
        QTest::newRow("icon") << ProgramIcon::fromResource(u"AAA"_s).pixmap(QSize(128, 128), 2) << u"icons/AAA-256"_s;
        for (const QString &b :
             {u"add"_s, u"delete"_s, u"edit"_s, u"goto"_s, u"website"_s, u"copy"_s, u"save"_s, u"cancel"_s}) {
            QTest::newRow(qPrintable(b)) << PictureButton(nullptr, {}, {}, b, {}).icon().pixmap(QSize(32, 32), 2)
                                         << u"buttons/"_s + b + u"@2x"_s;
        }
    }
    void picture_atTwoPixelsToAPoint_isDrawnAtThatSize()
    {
        QFETCH(QPixmap, shown);
        QFETCH(QString, drawing);
        // Compared as the pixmap holds them, premultiplied: taking the alpha back out rounds differently with the
        // processor's vector instructions.
        QImage expected = QImage(u":/"_s + drawing + u".png"_s).convertToFormat(QImage::Format_ARGB32_Premultiplied);
        QVERIFY(!expected.isNull());
        expected.setDevicePixelRatio(2);
        QCOMPARE(shown.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied), expected);
    }
};

int main(int argc, char *argv[])
{
    qputenv("QT_SCALE_FACTOR", "2");
    QApplication app(argc, argv);
    tst_Pictures test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_Pictures.moc"
