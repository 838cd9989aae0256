// The middle button pastes the X11 selection into a filtered box. Needs a
// display that has a selection (xcb under Xvfb); the offscreen platform has none.
#include "DataTable.h"
#include "KeyFilter.h"

#include <QtTest/QtTest>
#include <QtWidgets>

class tst_SelectionPaste : public QObject
{
    Q_OBJECT
private slots:
    void middleButtonPastesFilteredText_data()
    {
        const auto row = Table<QString, QString, QString>({"before", "selection", "after"});
        row("refused characters do not take the room of digits", "", "a192", "192");
        row("refused characters in the middle", "", "1.9x2", "192");
        row("the box's length still holds", "", "12345", "123");
        row("nothing accepted: the box as it was", "7", "abc", "7");
    }
    void middleButtonPastesFilteredText()
    {
        QFETCH(QString, before);
        QFETCH(QString, selection);
        QClipboard *clipboard = QGuiApplication::clipboard();
        QVERIFY2(clipboard->supportsSelection(), "run under a display with a selection (xcb)");
        QLineEdit box(before);
        box.setMaxLength(3);
        KeyFilter::install(&box, [](int c) { return (c >= '0' && c <= '9') || c == 8 ? c : 0; });
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        clipboard->setText(selection, QClipboard::Selection);
        QTRY_COMPARE(clipboard->text(QClipboard::Selection), selection);
        QTest::mouseClick(&box, Qt::MiddleButton, {}, QPoint(box.width() - 2, box.height() / 2));
        QTEST(box.text(), "after");
    }
};

QTEST_MAIN(tst_SelectionPaste)
#include "tst_SelectionPaste.moc"
