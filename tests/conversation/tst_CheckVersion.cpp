// The software check after a retrieval: which encoders this program serves.
#include "CheckVersion.h"
#include "ScriptedMessages.h"
#include "clsKYR.h"

#include <QtTest/QtTest>

class tst_CheckVersion : public QObject
{
    Q_OBJECT
private slots:
    void check_data()
    {
        QTest::addColumn<QString>("required");
        QTest::addColumn<QString>("suggested");
        QTest::addColumn<bool>("goesOn");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("text");
        const QString error = "Error, KYR7 requires at least version 2.10 of setup software";
        const QString warning = "Warning, version 2.10 is required for full functionality of the setup software";

        QTest::newRow("older encoder software") << "47215RC"
                                                << "47215RG" << true << ""
                                                << "";
        QTest::newRow("same letters") << "47215RG"
                                      << "47215RG" << true << ""
                                      << "";
        QTest::newRow("newer suggested")
            << "47215RC"
            << "47215RH" << true << warning
            << "This software is not as new as the KYR7 software.\r\n"
               "You may use this software to setup the KYR7 but it may not be able to setup all features.\r\n"
               "A newer version of 86-47215-01 is available from the website\r\nwww.kyr7.example";
        QTest::newRow("newer required")
            << "47215RH"
            << "47215RH" << false << error
            << "This software is not as new as the KYR7 software.\r\n"
               "Please use the latest version of the software 86-47215-01.\r\nCheck the website www.kyr7.example";
        QTest::newRow("lower case counts as later")
            << "47215Rg"
            << "47215Rg" << false << error
            << "This software is not as new as the KYR7 software.\r\n"
               "Please use the latest version of the software 86-47215-01.\r\nCheck the website www.kyr7.example";
        QTest::newRow("required later, suggested not") << "47215RH"
                                                       << "47215RG" << true << ""
                                                       << "";
        QTest::newRow("wrong product")
            << "12345RA"
            << "12345RA" << false << error
            << "This is not the correct setup software for this version of the KYR7\r\n"
               "the required software is 86-12345-01, Please check the website for software\r\nwww.kyr7.example";
        QTest::newRow("no part number")
            << ""
            << "" << false << error
            << "This is not the correct setup software for this version of the KYR7\r\n"
               "the required software is 86--01, Please check the website for software\r\nwww.kyr7.example";
        QTest::newRow("short part number") << "47215"
                                           << "47215" << true << ""
                                           << "";
    }

    void check()
    {
        QFETCH(QString, required);
        QFETCH(QString, suggested);
        QFETCH(bool, goesOn);
        QFETCH(QString, title);
        QFETCH(QString, text);
        clsKYR kyr;
        kyr.setSKYR(KyrRow::PartRequired, required);
        kyr.setSKYR(KyrRow::PartSuggested, suggested);
        kyr.setSKYR(KyrRow::VersionSuggested, "2.10");
        ScriptedMessages messages;
        QCOMPARE(CheckVersion(kyr, messages), goesOn);
        if (title.isEmpty()) {
            QCOMPARE(messages.count(), 0);
            return;
        }
        QCOMPARE(messages.count(), 1);
        QVERIFY(!messages.last().question);
        QCOMPARE(messages.last().title, title);
        QCOMPARE(messages.last().text, text);
    }
};

QTEST_GUILESS_MAIN(tst_CheckVersion)
#include "tst_CheckVersion.moc"
