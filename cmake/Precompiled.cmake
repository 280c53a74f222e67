# Parsing Qt's headers is most of the time of every compile. Each kind of target parses the headers it uses once,
# into a precompiled header that the other targets of the same kind reuse. The compilers take a precompiled header
# only where the macros that it depends on agree, so the kinds follow the Qt modules a target uses: the vault core
# (Qt Core), the RTF reader (Qt Gui), the windows (Qt Widgets), and the tests (Qt Test and Qt Widgets).
# -DCMAKE_DISABLE_PRECOMPILE_HEADERS=ON builds without them, which shows an include that a file forgot.

set(BRISVANE_PCH_CORE
    <QByteArray> <QByteArrayView> <QCoreApplication> <QDateTime> <QDir> <QFile> <QFileInfo> <QHash> <QList> <QLocale>
    <QObject> <QString> <QStringList> <QTimer> <QUrl> <QAbstractTableModel>
    <algorithm> <array> <cstring> <functional> <memory> <optional> <vector>)
set(BRISVANE_PCH_GUI ${BRISVANE_PCH_CORE} <QColor> <QFont> <QTextCharFormat> <QTextCursor> <QTextDocument>)
set(BRISVANE_PCH_WIDGETS ${BRISVANE_PCH_GUI}
    <QAbstractItemView> <QAccessible> <QApplication> <QCheckBox> <QDialog> <QHeaderView> <QKeyEvent> <QLabel>
    <QLineEdit> <QMainWindow> <QMenu> <QMenuBar> <QMessageBox> <QPixmap> <QPushButton> <QStatusBar> <QTextBrowser>
    <QTreeView> <QWidget>)
set(BRISVANE_PCH_TEST ${BRISVANE_PCH_WIDGETS} <QProcess> <QSignalSpy> <QTemporaryDir> <QTest>)

# Makes `target` the holder of the precompiled header of `kind` (CORE, GUI, WIDGETS or TEST).
function(brisvane_precompile_headers target kind)
    target_precompile_headers(${target} PRIVATE ${BRISVANE_PCH_${kind}})
endfunction()

# Lets each of the targets use the precompiled header that `holder` made.
function(brisvane_reuse_headers holder)
    foreach(target ${ARGN})
        target_precompile_headers(${target} REUSE_FROM ${holder})
    endforeach()
endfunction()
