#include "ConnectionSettings.h"
#include "frmModem.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest/QTest>

namespace {

template <typename T> T *child(QWidget &dialog, const char *name)
{
    T *w = dialog.findChild<T *>(QString::fromLatin1(name));
    if (!w)
        qFatal("no control %s", name);
    return w;
}

void choose(QWidget &dialog, const char *item)
{
    auto *list = child<QComboBox>(dialog, "CB_Init");
    const int index = list->findText(QString::fromLatin1(item));
    QVERIFY(index >= 0);
    list->setCurrentIndex(index);
}

} // namespace

class tst_frmModem : public QObject
{
    Q_OBJECT
private slots:
    void opensOnThePresetOfInit_data();
    void opensOnThePresetOfInit();
    void presetIsApplied_data();
    void presetIsApplied();
    void customKeepsThePresetText();
    void resetDefaultThenCancelLeavesDial();
    void resetDefaultThenApplyStoresDial();
    void emptyTextsAreStoredEmpty();
};

void tst_frmModem::opensOnThePresetOfInit_data()
{
    QTest::addColumn<QString>("init");
    QTest::addColumn<QString>("item");
    QTest::addColumn<bool>("editable");

    QTest::newRow("settings default with a space") << "AT Z"
                                                   << "Custom" << true;
    QTest::newRow("Modem 1") << "ATZ"
                             << "Modem 1" << false;
    QTest::newRow("Modem 2") << "AT&F"
                             << "Modem 2" << false;
    QTest::newRow("Modem 3") << "AT&F1"
                             << "Modem 3" << false;
    QTest::newRow("Modem 4") << "ATZ|ATE1X4&C0"
                             << "Modem 4" << false;
    QTest::newRow("letter case counts") << "atz"
                                        << "Custom" << true;
    QTest::newRow("part of a preset") << "ATZ|ATE1"
                                      << "Custom" << true;
    QTest::newRow("empty") << ""
                           << "Custom" << true;
}

void tst_frmModem::opensOnThePresetOfInit()
{
    QFETCH(QString, init);
    QFETCH(QString, item);
    QFETCH(bool, editable);
    ConnectionSettings settings;
    settings.INIT = init;
    settings.DIAL = QStringLiteral("ATDP");
    frmModem dialog(settings);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Modem Settings"));
    QCOMPARE(child<QComboBox>(dialog, "CB_Init")->currentText(), item);
    QCOMPARE(child<QLineEdit>(dialog, "EB_Custom")->text(), init);
    QCOMPARE(child<QLineEdit>(dialog, "EB_Custom")->isEnabled(), editable);
    QCOMPARE(child<QLineEdit>(dialog, "EB_Dial")->text(), QStringLiteral("ATDP"));
}

void tst_frmModem::presetIsApplied_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("init");

    QTest::newRow("Modem 1") << "Modem 1"
                             << "ATZ";
    QTest::newRow("Modem 2") << "Modem 2"
                             << "AT&F";
    QTest::newRow("Modem 3") << "Modem 3"
                             << "AT&F1";
    QTest::newRow("Modem 4 joins two commands") << "Modem 4"
                                                << "ATZ|ATE1X4&C0";
}

void tst_frmModem::presetIsApplied()
{
    QFETCH(QString, item);
    QFETCH(QString, init);
    ConnectionSettings settings;
    frmModem dialog(settings);
    dialog.show();
    choose(dialog, qPrintable(item));
    QCOMPARE(child<QLineEdit>(dialog, "EB_Custom")->text(), init);
    QVERIFY(!child<QLineEdit>(dialog, "EB_Custom")->isEnabled());
    QCOMPARE(settings.INIT, QStringLiteral("AT Z")); // nothing changes before Apply
    child<QPushButton>(dialog, "B_Apply")->click();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(settings.INIT, init);
    QCOMPARE(settings.INIT.split(u'|').size(), init.count(u'|') + 1);
    QCOMPARE(settings.DIAL, QStringLiteral("AT DT"));
}

void tst_frmModem::customKeepsThePresetText()
{
    ConnectionSettings settings;
    frmModem dialog(settings);
    dialog.show();
    choose(dialog, "Modem 2");
    choose(dialog, "Custom");
    QLineEdit *custom = child<QLineEdit>(dialog, "EB_Custom");
    QCOMPARE(custom->text(), QStringLiteral("AT&F"));
    QVERIFY(custom->isEnabled());
    custom->setFocus();
    custom->end(false);
    QTest::keyClicks(custom, "|ATM0");
    child<QPushButton>(dialog, "B_Apply")->click();
    QCOMPARE(settings.INIT, QStringLiteral("AT&F|ATM0"));
}

void tst_frmModem::resetDefaultThenCancelLeavesDial()
{
    ConnectionSettings settings;
    const ConnectionSettings before = settings;
    frmModem dialog(settings);
    dialog.show();
    QLineEdit *dial = child<QLineEdit>(dialog, "EB_Dial");
    QCOMPARE(dial->text(), QStringLiteral("AT DT"));
    dial->clear();
    QTest::keyClicks(dial, "ATDP9,");
    child<QPushButton>(dialog, "B_Default")->click();
    QCOMPARE(dial->text(), QStringLiteral("ATDT"));
    QCOMPARE(child<QLineEdit>(dialog, "EB_Custom")->text(), QStringLiteral("AT Z"));
    child<QPushButton>(dialog, "B_Cancel")->click();
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QCOMPARE(settings.DIAL, before.DIAL);
    QCOMPARE(settings.INIT, before.INIT);
}

void tst_frmModem::resetDefaultThenApplyStoresDial()
{
    ConnectionSettings settings;
    frmModem dialog(settings);
    child<QPushButton>(dialog, "B_Default")->click();
    child<QPushButton>(dialog, "B_Apply")->click();
    QCOMPARE(settings.DIAL, QStringLiteral("ATDT"));
    QCOMPARE(settings.INIT, QStringLiteral("AT Z"));
}

void tst_frmModem::emptyTextsAreStoredEmpty()
{
    ConnectionSettings settings;
    frmModem dialog(settings);
    child<QLineEdit>(dialog, "EB_Custom")->clear();
    child<QLineEdit>(dialog, "EB_Dial")->clear();
    child<QPushButton>(dialog, "B_Apply")->click();
    QCOMPARE(settings.INIT, QString());
    QCOMPARE(settings.DIAL, QString());
}

QTEST_MAIN(tst_frmModem)
#include "tst_frmModem.moc"
