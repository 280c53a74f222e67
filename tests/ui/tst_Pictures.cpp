// On a screen of two pixels to a point, every picture shows its own drawing at that size, not the small one
// enlarged: the start-up picture, the About banner, the button pictures and the program icon.

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
        QTest::addColumn<QString>("name");
        for (const char *name : {"splash", "banner", "buttons/add", "buttons/delete", "buttons/edit", "buttons/goto",
                                 "buttons/website", "buttons/copy", "buttons/save", "buttons/cancel"}) {
            QTest::newRow(name) << QString::fromLatin1(name);
        }
    }
    void picture_atTwoPixelsToAPoint_isDrawnAtThatSize()
    {
        QFETCH(QString, name);
        const QImage plain(u":/"_s + name + u".png"_s);
        const QImage sharp(u":/"_s + name + u"@2x.png"_s);
        QCOMPARE(sharp.size(), plain.size() * 2);
        const QPixmap shown = name.startsWith(u"buttons/"_s)
                                  ? PictureButton(nullptr, {}, {}, name.mid(8), {}).icon().pixmap(QSize(32, 32), 2)
                                  : Pictures::forScreen(u":/"_s + name + u".png"_s);
        QCOMPARE(shown.deviceIndependentSize(), QSizeF(plain.size()));
        QCOMPARE(shown.toImage().convertToFormat(QImage::Format_ARGB32), sharp.convertToFormat(QImage::Format_ARGB32));
    }

    void programIcon_atTwoPixelsToAPoint_isDrawnAtThatSize()
    {
        QImage sharp = QImage(u":/icons/AAA-256.png"_s).convertToFormat(QImage::Format_ARGB32);
        sharp.setDevicePixelRatio(2);
        const QPixmap shown = ProgramIcon::fromResource(u"AAA"_s).pixmap(QSize(128, 128), 2);
        QCOMPARE(shown.toImage().convertToFormat(QImage::Format_ARGB32), sharp);
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
