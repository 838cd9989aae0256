// Text forms of parameter values: the readers and writers of every value
// kind, the set- and get-parameter operations, a fresh model, the spare
// rows and slots, and the settings store.
#include "ModelFixtures.h"
#include "clsKYR.h"

#include <QLocale>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <clocale>
#include <functional>
#include <stdexcept>
#include <string>

using namespace ModelFixtures;

Q_DECLARE_METATYPE(KyrValue)
Q_DECLARE_METATYPE(std::function<void(clsKYR &)>)

class tst_textforms : public QObject
{
    Q_OBJECT

private slots:
    void hexByteReader_data();
    void hexByteReader();
    void hexWordReader_data();
    void hexWordReader();
    void hexLongReader_data();
    void hexLongReader();
    void decimalReader_data();
    void decimalReader();
    void textKindStoredUnchanged();
    void writers_data();
    void writers();
    void setParameter_data();
    void setParameter();
    void unknownNameStoresNothing_data();
    void unknownNameStoresNothing();
    void getParameter_data();
    void getParameter();
    void freshEncoderListing();
    void freshModel();
    void spareRowsAndSlots();
    void outOfRangeThrows_data();
    void outOfRangeThrows();
    void commandWords_data();
    void commandWords();
    void decimalPointWhateverTheLocale();
    void settingsRoundTrip();
    void settingsDefaultsOnEmptyStore();
    void settingsPartialStore();
};

// Hexadecimal byte: "0x" and one or two digits, total length 3..4.
void tst_textforms::hexByteReader_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("value");
    QTest::newRow("two digits") << "0x51"
                                << "0x51" << 0x51;
    QTest::newRow("one digit, length 3") << "0x5"
                                         << "0x05" << 5;
    QTest::newRow("lower case digits") << "0x0f"
                                       << "0x0F" << 15;
    QTest::newRow("largest") << "0xFF"
                             << "0xFF" << 255;
    QTest::newRow("prefix only, length 2") << "0x"
                                           << "0x00" << 0;
    QTest::newRow("three digits, length 5") << "0x123"
                                            << "0x00" << 0;
    QTest::newRow("capital X refused") << "0X51"
                                       << "0x00" << 0;
    QTest::newRow("no prefix") << "51"
                               << "0x00" << 0;
    QTest::newRow("empty") << ""
                           << "0x00" << 0;
    QTest::newRow("stops at non-hex") << "0x5G"
                                      << "0x05" << 5;
    QTest::newRow("non-hex first") << "0xG5"
                                   << "0x00" << 0;
    QTest::newRow("leading space") << " 0x5"
                                   << "0x00" << 0;
    QTest::newRow("trailing space makes it too long") << "0x51 "
                                                      << "0x00" << 0;
    QTest::newRow("sign") << "-0x5"
                          << "0x00" << 0;
}

void tst_textforms::hexByteReader()
{
    QFETCH(QString, input);
    QFETCH(QString, shown);
    QFETCH(int, value);
    clsKYR kyr;
    kyr.setSSTR(StreamSlot::LAN3, StrRow::Did, input);
    QCOMPARE(kyr.sSTR(StreamSlot::LAN3, StrRow::Did), shown);
    QCOMPARE(kyr.str(StreamSlot::LAN3, StrRow::Did).toInt(), value);
    kyr.setSSTR(StreamSlot::PORTA, StrRow::FooterId, input);
    QCOMPARE(kyr.sSTR(StreamSlot::PORTA, StrRow::FooterId), shown);
}

// Hexadecimal word: total length 3..6; four digits never read negative.
void tst_textforms::hexWordReader_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("value");
    QTest::newRow("one digit") << "0x7"
                               << "0x0007" << 7;
    QTest::newRow("three digits") << "0x123"
                                  << "0x0123" << 0x123;
    QTest::newRow("four digits") << "0x1234"
                                 << "0x1234" << 0x1234;
    QTest::newRow("four digits, lower case") << "0xabcd"
                                             << "0xABCD" << 0xABCD;
    QTest::newRow("top bit set stays positive") << "0x8000"
                                                << "0x8000" << 0x8000;
    QTest::newRow("largest") << "0xFFFF"
                             << "0xFFFF" << 0xFFFF;
    QTest::newRow("captioning") << "0x0010"
                                << "0x0010" << 16;
    QTest::newRow("five digits too long") << "0x12345"
                                          << "0x0000" << 0;
    QTest::newRow("prefix only") << "0x"
                                 << "0x0000" << 0;
    QTest::newRow("capital X refused") << "0X0010"
                                       << "0x0000" << 0;
    QTest::newRow("stops at non-hex") << "0x12G4"
                                      << "0x0012" << 0x12;
    QTest::newRow("stops at space") << "0x1 23"
                                    << "0x0001" << 1;
    QTest::newRow("decimal text") << "16"
                                  << "0x0000" << 0;
}

void tst_textforms::hexWordReader()
{
    QFETCH(QString, input);
    QFETCH(QString, shown);
    QFETCH(int, value);
    clsKYR kyr;
    kyr.setSSTR(StreamSlot::PORTB, StrRow::StreamType, input);
    QCOMPARE(kyr.sSTR(StreamSlot::PORTB, StrRow::StreamType), shown);
    QCOMPARE(kyr.str(StreamSlot::PORTB, StrRow::StreamType).toInt(), value);
}

// Hexadecimal long: total length 3..10; bit 31 is masked off eight digits.
void tst_textforms::hexLongReader_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("value");
    QTest::newRow("one digit") << "0x1"
                               << "0x00000001" << 1;
    QTest::newRow("line 8") << "0x80"
                            << "0x00000080" << 0x80;
    QTest::newRow("three digits") << "0x123"
                                  << "0x00000123" << 0x123;
    QTest::newRow("four digits") << "0x1234"
                                 << "0x00001234" << 0x1234;
    QTest::newRow("six digits, lower case") << "0xabcdef"
                                            << "0x00ABCDEF" << 0xABCDEF;
    QTest::newRow("seven digits") << "0x1234567"
                                  << "0x01234567" << 0x1234567;
    QTest::newRow("eight digits") << "0x12345678"
                                  << "0x12345678" << 0x12345678;
    QTest::newRow("line 21") << "0x00100000"
                             << "0x00100000" << 0x00100000;
    QTest::newRow("bit 31 masked") << "0x80000080"
                                   << "0x00000080" << 0x80;
    QTest::newRow("all ones masked") << "0xFFFFFFFF"
                                     << "0x7FFFFFFF" << 0x7FFFFFFF;
    QTest::newRow("largest") << "0x7FFFFFFF"
                             << "0x7FFFFFFF" << 0x7FFFFFFF;
    QTest::newRow("nine digits too long") << "0x123456789"
                                          << "0x00000000" << 0;
    QTest::newRow("prefix only") << "0x"
                                 << "0x00000000" << 0;
    QTest::newRow("capital X refused") << "0X80"
                                       << "0x00000000" << 0;
    QTest::newRow("stops at non-hex") << "0x1G"
                                      << "0x00000001" << 1;
    QTest::newRow("stops after five digits") << "0x12345z78"
                                             << "0x00012345" << 0x12345;
    QTest::newRow("decimal text") << "128"
                                  << "0x00000000" << 0;
}

void tst_textforms::hexLongReader()
{
    QFETCH(QString, input);
    QFETCH(QString, shown);
    QFETCH(int, value);
    clsKYR kyr;
    kyr.setSSTR(StreamSlot::LAN1, StrRow::InsertLinesF1, input);
    QCOMPARE(kyr.sSTR(StreamSlot::LAN1, StrRow::InsertLinesF1), shown);
    QCOMPARE(kyr.str(StreamSlot::LAN1, StrRow::InsertLinesF1).toInt(), value);
    kyr.setSPGM(1, PgmRow::AddToLLines, input);
    QCOMPARE(kyr.sPGM(1, PgmRow::AddToLLines), shown);
}

// The lenient decimal reader: white space skipped anywhere, no sign.
void tst_textforms::decimalReader_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<double>("value");
    QTest::newRow("integer") << "9600"
                             << "9600" << 9600.0;
    QTest::newRow("empty") << ""
                           << "0" << 0.0;
    QTest::newRow("leading space") << " 12"
                                   << "12" << 12.0;
    QTest::newRow("space inside") << "1 2"
                                  << "12" << 12.0;
    QTest::newRow("tab and line feed") << "\t1\n2\n"
                                       << "12" << 12.0;
    QTest::newRow("carriage return stops") << "1\r2"
                                           << "1" << 1.0;
    QTest::newRow("negative reads 0") << "-5"
                                      << "0" << 0.0;
    QTest::newRow("plus reads 0") << "+5"
                                  << "0" << 0.0;
    QTest::newRow("trailing letters") << "12abc"
                                      << "12" << 12.0;
    QTest::newRow("letters") << "abc"
                             << "0" << 0.0;
    QTest::newRow("fraction") << "1.5"
                              << "1.5" << 1.5;
    QTest::newRow("leading point") << ".5"
                                   << "0.5" << 0.5;
    QTest::newRow("whole with fraction zero") << "12.0"
                                              << "12" << 12.0;
    QTest::newRow("comma stops") << "1,5"
                                 << "1" << 1.0;
    QTest::newRow("leading zeros") << "007"
                                   << "7" << 7.0;
    QTest::newRow("exponent") << "1e3"
                              << "1000" << 1000.0;
    QTest::newRow("capital exponent") << "2E2"
                                      << "200" << 200.0;
    QTest::newRow("negative exponent") << "25e-2"
                                       << "0.25" << 0.25;
    QTest::newRow("exponent without digits") << "7e"
                                             << "7" << 7.0;
    QTest::newRow("spaces only") << "   "
                                 << "0" << 0.0;
    QTest::newRow("overflow reads 0") << "1e999"
                                      << "0" << 0.0;
    QTest::newRow("fifteen digits") << "0.30000000000000004"
                                    << "0.3" << 0.30000000000000004;
    QTest::newRow("large whole number") << "1e20"
                                        << "1e+20" << 1e20;
    QTest::newRow("largest number") << "1.7976931348623157e308"
                                    << "1.7976931348623157e+308" << 1.7976931348623157e308;
}

void tst_textforms::decimalReader()
{
    QFETCH(QString, input);
    QFETCH(QString, shown);
    QFETCH(double, value);
    clsKYR kyr;
    kyr.setSSTR(StreamSlot::PORTA, StrRow::Baud, input);
    QCOMPARE(kyr.sSTR(StreamSlot::PORTA, StrRow::Baud), shown);
    QCOMPARE(kyr.str(StreamSlot::PORTA, StrRow::Baud).toDouble(), value);
    // What is shown reads back as itself: a listing sent back is unchanged.
    kyr.setSSTR(StreamSlot::PORTB, StrRow::Baud, shown);
    QCOMPARE(kyr.sSTR(StreamSlot::PORTB, StrRow::Baud), shown);
    kyr.setSKYR(KyrRow::ProgramCount, input);
    QCOMPARE(kyr.sKYR(KyrRow::ProgramCount), shown);
    kyr.setSCAP(1, CapRow::RCControl, input);
    QCOMPARE(kyr.sCAP(1, CapRow::RCControl), shown);
}

void tst_textforms::textKindStoredUnchanged()
{
    clsKYR kyr;
    const QString odd = QStringLiteral("  a=b,c\t\u00ff ");
    kyr.setSSTR(StreamSlot::FILE1, StrRow::FileName, odd);
    QCOMPARE(kyr.sSTR(StreamSlot::FILE1, StrRow::FileName), odd);
    QVERIFY(kyr.str(StreamSlot::FILE1, StrRow::FileName).isText());
    kyr.setSKYR(KyrRow::IpNum, QStringLiteral("0x51"));
    QCOMPARE(kyr.sKYR(KyrRow::IpNum), QStringLiteral("0x51"));
    kyr.setSCAP(0, CapRow::Language608F2, QString());
    QCOMPARE(kyr.sCAP(0, CapRow::Language608F2), QString());
}

// Values written through the value properties, shown by the row's kind.
void tst_textforms::writers_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<KyrValue>("value");
    QTest::addColumn<QString>("shown");
    QTest::newRow("byte 0") << int(StrRow::Did) << KyrValue(quint8(0)) << "0x00";
    QTest::newRow("byte 15") << int(StrRow::Did) << KyrValue(quint8(15)) << "0x0F";
    QTest::newRow("byte 16") << int(StrRow::Did) << KyrValue(quint8(16)) << "0x10";
    QTest::newRow("byte 255") << int(StrRow::Did) << KyrValue(quint8(255)) << "0xFF";
    QTest::newRow("word 0") << int(StrRow::StreamType) << KyrValue(qint32(0)) << "0x0000";
    QTest::newRow("word padded") << int(StrRow::StreamType) << KyrValue(qint32(0xABC)) << "0x0ABC";
    QTest::newRow("word five digits shown") << int(StrRow::StreamType) << KyrValue(qint32(0x12345)) << "0x12345";
    QTest::newRow("word from double") << int(StrRow::StreamType) << KyrValue(16.0) << "0x0010";
    QTest::newRow("long padded") << int(StrRow::InsertLinesF2) << KyrValue(qint32(0x80)) << "0x00000080";
    QTest::newRow("long -1") << int(StrRow::InsertLinesF2) << KyrValue(qint32(-1)) << "0xFFFFFFFF";
    QTest::newRow("long top bit") << int(StrRow::InsertLinesF2) << KyrValue(qint32(0x80000000u)) << "0x80000000";
    QTest::newRow("decimal integer") << int(StrRow::Baud) << KyrValue(qint32(9600)) << "9600";
    QTest::newRow("decimal whole double") << int(StrRow::Baud) << KyrValue(57600.0) << "57600";
    QTest::newRow("decimal fraction") << int(StrRow::Baud) << KyrValue(1.5) << "1.5";
    QTest::newRow("decimal from text") << int(StrRow::Baud) << KyrValue("12abc") << "12";
    QTest::newRow("text from integer") << int(StrRow::FileName) << KyrValue(qint32(42)) << "42";
    QTest::newRow("text from double") << int(StrRow::FileName) << KyrValue(2.5) << "2.5";
    QTest::newRow("text from byte") << int(StrRow::FileName) << KyrValue(quint8(81)) << "81";
}

void tst_textforms::writers()
{
    QFETCH(int, row);
    QFETCH(KyrValue, value);
    QFETCH(QString, shown);
    clsKYR kyr;
    kyr.setStr(StreamSlot::PORTC, row, value);
    QCOMPARE(kyr.str(StreamSlot::PORTC, row), value); // stored unchanged
    QCOMPARE(kyr.sSTR(StreamSlot::PORTC, row), shown);
}

// The four set-parameter operations: what is stored and the echo.
void tst_textforms::setParameter_data()
{
    QTest::addColumn<int>("section"); // 0 KYR, 1 PGM, 2 CAPPGM, 3 stream
    QTest::addColumn<int>("slot");
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("echo");
    QTest::newRow("did, any letter case") << 3 << 6 << "did=0x51" << int(StrRow::Did) << "0x51"
                                          << "\nDid=0x51\r\n";
    QTest::newRow("capital X stores 0") << 3 << 6 << "DID=0X51" << int(StrRow::Did) << "0x00"
                                        << "\nDid=0x00\r\n";
    QTest::newRow("text kind has no CR LF") << 0 << 0 << "IpNum=10.1.1.2" << int(KyrRow::IpNum) << "10.1.1.2"
                                            << "\nIpNum=10.1.1.2";
    QTest::newRow("later = belong to the value") << 0 << 0 << "IpNum=10.1.1.2=x" << int(KyrRow::IpNum) << "10.1.1.2=x"
                                                 << "\nIpNum=10.1.1.2=x";
    QTest::newRow("empty text value") << 3 << 12 << "FileName=" << int(StrRow::FileName) << ""
                                      << "\nFileName=";
    QTest::newRow("empty decimal value") << 3 << 0 << "Baud=" << int(StrRow::Baud) << "0"
                                         << "\nBaud=0\r\n";
    QTest::newRow("program video mode") << 1 << 1 << "videomode=5" << int(PgmRow::VideoMode) << "5"
                                        << "\nVideoMode=5\r\n";
    QTest::newRow("generated line row") << 1 << 0 << "LINECFGC21F1=3" << PgmRow::LineCfg(0, 21, 1) << "3"
                                        << "\nLineCfgC21F1=3\r\n";
    QTest::newRow("last line row") << 1 << 1 << "LineCfgL25F2=1" << PgmRow::LineCfg(1, 25, 2) << "1"
                                   << "\nLineCfgL25F2=1\r\n";
    QTest::newRow("add-to lines") << 1 << 0 << "AddToCLines=0x00100000" << int(PgmRow::AddToCLines) << "0x00100000"
                                  << "\nAddToCLines=0x00100000\r\n";
    QTest::newRow("caption language") << 2 << 0 << "Language608F2=spn" << int(CapRow::Language608F2) << "spn"
                                      << "\nLanguage608F2=spn";
    QTest::newRow("caption decimal") << 2 << 1 << "RCControl=4" << int(CapRow::RCControl) << "4"
                                     << "\nRCControl=4\r\n";
    QTest::newRow("lower-case name spelled as the table") << 3 << 4 << "TRANSMODE=1" << int(StrRow::transMode) << "1"
                                                          << "\ntransMode=1\r\n";
    QTest::newRow("stream type") << 3 << 5 << "StreamType=0x10" << int(StrRow::StreamType) << "0x0010"
                                 << "\nStreamType=0x0010\r\n";
    QTest::newRow("insert lines, bit 31")
        << 3 << 17 << "InsertLinesF2=0xFFFFFFFF" << int(StrRow::InsertLinesF2) << "0x7FFFFFFF"
        << "\nInsertLinesF2=0x7FFFFFFF\r\n";
    QTest::newRow("value not trimmed") << 3 << 0 << "Parity= E " << int(StrRow::Parity) << " E "
                                       << "\nParity= E ";
    QTest::newRow("value with CR kept") << 3 << 0 << "ModemInit=AT\rZ" << int(StrRow::ModemInit) << "AT\rZ"
                                        << "\nModemInit=AT\rZ";
}

void tst_textforms::setParameter()
{
    QFETCH(int, section);
    QFETCH(int, slot);
    QFETCH(QString, line);
    QFETCH(int, row);
    QFETCH(QString, shown);
    QFETCH(QString, echo);
    clsKYR kyr;
    fillNonDefault(kyr);
    QString got;
    switch (section) {
    case 0:
        got = kyr.SetKYRParam(line);
        QCOMPARE(kyr.sKYR(row), shown);
        break;
    case 1:
        got = kyr.SetPGMParam(slot, line);
        QCOMPARE(kyr.sPGM(slot, row), shown);
        break;
    case 2:
        got = kyr.SetCAPPGMParam(slot, line);
        QCOMPARE(kyr.sCAP(slot, row), shown);
        break;
    default:
        got = kyr.SetStreamParam(slot, line);
        QCOMPARE(kyr.sSTR(slot, row), shown);
        break;
    }
    QCOMPARE(got, echo);
}

void tst_textforms::unknownNameStoresNothing_data()
{
    QTest::addColumn<QString>("line");
    QTest::newRow("unknown name") << "Bogus=1";
    QTest::newRow("no equals sign") << "no equals sign";
    QTest::newRow("name alone") << "Did";
    QTest::newRow("empty name") << "=0x51";
    QTest::newRow("empty line") << "";
    QTest::newRow("leading space") << " Did=0x51";
    QTest::newRow("space before =") << "Did =0x51";
    QTest::newRow("leading line feed") << "\nDid=0x51";
    QTest::newRow("name of another section") << "VideoMode=3";
}

void tst_textforms::unknownNameStoresNothing()
{
    QFETCH(QString, line);
    clsKYR kyr;
    fillNonDefault(kyr);
    const clsKYR before = kyr;
    QCOMPARE(kyr.SetStreamParam(StreamSlot::LAN3, line), QStringLiteral("\n?\r\n"));
    QCOMPARE(kyr.SetKYRParam(line), QStringLiteral("\n?\r\n"));
    QCOMPARE(kyr.SetCAPPGMParam(1, line), QStringLiteral("\n?\r\n"));
    QVERIFY(kyr == before);
}

void tst_textforms::getParameter_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("expected");
    QTest::newRow("exact") << "Did"
                           << "\nDid=0x2A\r\n";
    QTest::newRow("any letter case") << "dID"
                                     << "\nDid=0x2A\r\n";
    QTest::newRow("text kind gets CR LF too") << "FileName"
                                              << "\nFileName=custom.bin\r\n";
    QTest::newRow("hex long") << "InsertLinesF1"
                              << "\nInsertLinesF1=0x00100000\r\n";
    QTest::newRow("decimal") << "PortAddr"
                             << "\nPortAddr=2001\r\n";
    QTest::newRow("unknown") << "Bogus"
                             << "\n?\r\n";
    QTest::newRow("empty") << ""
                           << "\n?\r\n";
    QTest::newRow("not trimmed") << " Did"
                                 << "\n?\r\n";
}

void tst_textforms::getParameter()
{
    QFETCH(QString, name);
    QFETCH(QString, expected);
    clsKYR kyr;
    kyr.SetStreamParam(StreamSlot::LAN2, QStringLiteral("Did=0x2a"));
    kyr.SetStreamParam(StreamSlot::LAN2, QStringLiteral("FileName=custom.bin"));
    kyr.SetStreamParam(StreamSlot::LAN2, QStringLiteral("InsertLinesF1=0x00100000"));
    kyr.SetStreamParam(StreamSlot::LAN2, QStringLiteral("PortAddr=2001"));
    QCOMPARE(kyr.GetStreamParam(StreamSlot::LAN2, name), expected);
}

void tst_textforms::freshEncoderListing()
{
    clsKYR kyr;
    const QString expected = QStringLiteral("\nID=\r\nSerialNumber=\r\nSoftware=\r\nRev=\r\nVersionRequired=\r\n"
                                            "PartRequired=\r\nVersionSuggested=\r\nPartSuggested=\r\n"
                                            "ProgramCount=0\r\nTransparentStreams=0\r\nCaptionStreams=0\r\n"
                                            "BfStreams=0\r\nConstantStreams=0\r\nBridgingStreams=0\r\nIpNum=\r\n"
                                            "Broadcast=\r\nNetmask=\r\nGateway=\r\nDHCP=0\r\n");
    QCOMPARE(kyr.GetKYRParam(QStringLiteral("*")), expected);

    kyr.SetKYRParam(QStringLiteral("ID=KYR7"));
    kyr.SetKYRParam(QStringLiteral("DHCP=1"));
    QVERIFY(kyr.GetKYRParam(QStringLiteral("*")).startsWith(QStringLiteral("\nID=KYR7\r\nSerialNumber=\r\n")));
    QVERIFY(kyr.GetKYRParam(QStringLiteral("*")).endsWith(QStringLiteral("\r\nGateway=\r\nDHCP=1\r\n")));
}

void tst_textforms::freshModel()
{
    clsKYR kyr;
    QCOMPARE(kyr.sKYR(KyrRow::ID), QString());
    QVERIFY(kyr.KYR(KyrRow::ID).isText());
    QVERIFY(kyr.KYR(KyrRow::ProgramCount).isNumber());
    for (int s = 0; s < clsKYR::StreamSlots; ++s) {
        QCOMPARE(kyr.sSTR(s, StrRow::Did), QStringLiteral("0x00"));
        QCOMPARE(kyr.sSTR(s, StrRow::StreamType), QStringLiteral("0x0000"));
        QCOMPARE(kyr.sSTR(s, StrRow::InsertLinesF1), QStringLiteral("0x00000000"));
        QCOMPARE(kyr.sSTR(s, StrRow::Baud), QStringLiteral("0"));
        QCOMPARE(kyr.sSTR(s, StrRow::Direction), QString());
    }
    for (int p = 0; p < 2; ++p) {
        QCOMPARE(kyr.sPGM(p, PgmRow::AddToCLines), QStringLiteral("0x00000000"));
        QCOMPARE(kyr.sPGM(p, PgmRow::VideoMode), QStringLiteral("0"));
        QCOMPARE(kyr.sCAP(p, CapRow::Language708S6), QString());
        QCOMPARE(kyr.sCAP(p, CapRow::UpstreamS6), QStringLiteral("0"));
    }
    // Names as the encoder spells them.
    QCOMPARE(kyr.pKYR(KyrRow::DHCP), QStringLiteral("DHCP"));
    QCOMPARE(kyr.pPGM(4), QStringLiteral("LineCfgC1F1"));
    QCOMPARE(kyr.pPGM(28), QStringLiteral("LineCfgC25F1"));
    QCOMPARE(kyr.pPGM(29), QStringLiteral("LineCfgC1F2"));
    QCOMPARE(kyr.pPGM(54), QStringLiteral("LineCfgL1F1"));
    QCOMPARE(kyr.pPGM(103), QStringLiteral("LineCfgL25F2"));
    QCOMPARE(kyr.pCAP(CapRow::EasyReader708S6), QStringLiteral("EasyReader708S6"));
    QCOMPARE(kyr.pSTR(StrRow::transTimeout), QStringLiteral("transTimeout"));
    QCOMPARE(kyr.pSTR(StrRow::SDid), QStringLiteral("SDid"));
}

void tst_textforms::spareRowsAndSlots()
{
    clsKYR kyr;
    QCOMPARE(kyr.pKYR(clsKYR::KyrRows), QString());
    QCOMPARE(kyr.pPGM(clsKYR::PgmRows), QString());
    QCOMPARE(kyr.pCAP(clsKYR::CapRows), QString());
    QCOMPARE(kyr.pSTR(clsKYR::StrRows), QString());
    QCOMPARE(kyr.sKYR(clsKYR::KyrRows), QString());
    QCOMPARE(kyr.sSTR(0, clsKYR::StrRows), QString());
    QCOMPARE(kyr.sPGM(2, PgmRow::VideoMode), QStringLiteral("0"));
    QCOMPARE(kyr.sCAP(2, CapRow::Language608F1), QString());
    QCOMPARE(kyr.sSTR(clsKYR::StreamSlots, StrRow::Did), QStringLiteral("0x00"));
    QCOMPARE(kyr.str(clsKYR::StreamSlots, StrRow::Baud).toDouble(), 0.0);
    QCOMPARE(clsKYR::StreamText(clsKYR::StreamSlots), QString());
    QCOMPARE(clsKYR::ProgramText(2), QString());
    QCOMPARE(clsKYR::CaptionText(2), QString());

    // The spare row accepts a value and keeps it as given.
    kyr.setSSTR(3, clsKYR::StrRows, QStringLiteral("x"));
    QCOMPARE(kyr.sSTR(3, clsKYR::StrRows), QStringLiteral("x"));
    // ... but is never listed.
    QVERIFY(!kyr.GetStreamParam(3, QStringLiteral("*")).contains(QStringLiteral("=x\r\n")));
}

void tst_textforms::outOfRangeThrows_data()
{
    QTest::addColumn<std::function<void(clsKYR &)>>("access");
    using F = std::function<void(clsKYR &)>;
    QTest::newRow("KYR row 20") << F([](clsKYR &k) { k.KYR(20); });
    QTest::newRow("KYR row -1") << F([](clsKYR &k) { k.sKYR(-1); });
    QTest::newRow("pgm slot 3") << F([](clsKYR &k) { k.pgm(3, 0); });
    QTest::newRow("pgm row 105") << F([](clsKYR &k) { k.sPGM(0, 105); });
    QTest::newRow("ccd slot -1") << F([](clsKYR &k) { k.ccd(-1, 0); });
    QTest::newRow("ccd row 35") << F([](clsKYR &k) { k.setSCAP(0, 35, QStringLiteral("1")); });
    QTest::newRow("str slot 19") << F([](clsKYR &k) { k.sSTR(19, 0); });
    QTest::newRow("str row 47") << F([](clsKYR &k) { k.setStr(0, 47, KyrValue()); });
    QTest::newRow("pKYR 20") << F([](clsKYR &k) { k.pKYR(20); });
    QTest::newRow("pPGM 105") << F([](clsKYR &k) { k.pPGM(105); });
    QTest::newRow("pCAP -1") << F([](clsKYR &k) { k.pCAP(-1); });
    QTest::newRow("pSTR 47") << F([](clsKYR &k) { k.pSTR(47); });
    QTest::newRow("SetStreamParam slot 19") << F([](clsKYR &k) { k.SetStreamParam(19, QStringLiteral("Did=0x1")); });
    QTest::newRow("SetPGMParam slot 3 unknown name") << F([](clsKYR &k) { k.SetPGMParam(3, QStringLiteral("x")); });
    QTest::newRow("GetPGMParam slot 3") << F([](clsKYR &k) { k.GetPGMParam(3, QStringLiteral("*")); });
    QTest::newRow("GetCAPPGMParam slot -1") << F([](clsKYR &k) { k.GetCAPPGMParam(-1, QStringLiteral("Services")); });
}

void tst_textforms::outOfRangeThrows()
{
    QFETCH(std::function<void(clsKYR &)>, access);
    clsKYR kyr;
    const clsKYR before = kyr;
    QVERIFY_THROWS_EXCEPTION(std::out_of_range, access(kyr));
    QVERIFY(kyr == before);
}

void tst_textforms::commandWords_data()
{
    QTest::addColumn<int>("n");
    QTest::addColumn<QString>("word");
    QTest::newRow("0") << 0 << "SETUP";
    QTest::newRow("1") << 1 << "RESTART";
    QTest::newRow("2") << 2 << "SAVE";
    QTest::newRow("3") << 3 << "DEFAULTS";
    QTest::newRow("4") << 4 << "EXIT";
    QTest::newRow("5") << 5 << "KYR";
    QTest::newRow("6") << 6 << "";
    QTest::newRow("7") << 7 << "";
    QTest::newRow("-1") << -1 << "";
}

void tst_textforms::commandWords()
{
    QFETCH(int, n);
    QFETCH(QString, word);
    QCOMPARE(clsKYR::CMD(n), word);
}

// Fractions go to the encoder with "." whatever the operator's locale.
void tst_textforms::decimalPointWhateverTheLocale()
{
    const QLocale savedDefault;
    const std::string savedNumeric = std::setlocale(LC_NUMERIC, nullptr);
    auto restore = qScopeGuard([&] {
        QLocale::setDefault(savedDefault);
        std::setlocale(LC_NUMERIC, savedNumeric.c_str());
    });

    auto check = [] {
        clsKYR kyr;
        kyr.setStr(StreamSlot::PORTA, StrRow::FrameDelay, KyrValue(1.5));
        QCOMPARE(kyr.sSTR(StreamSlot::PORTA, StrRow::FrameDelay), QStringLiteral("1.5"));
        QCOMPARE(kyr.GetStreamParam(StreamSlot::PORTA, QStringLiteral("FrameDelay")),
                 QStringLiteral("\nFrameDelay=1.5\r\n"));
        kyr.setSSTR(StreamSlot::PORTB, StrRow::FrameDelay, QStringLiteral("1.5"));
        QCOMPARE(kyr.str(StreamSlot::PORTB, StrRow::FrameDelay).toDouble(), 1.5);
        QCOMPARE(kyr.SetStreamParam(StreamSlot::PORTC, QStringLiteral("FrameDelay=2.25")),
                 QStringLiteral("\nFrameDelay=2.25\r\n"));
        kyr.setSSTR(StreamSlot::PORTB, StrRow::FrameDelay, QStringLiteral("1,5"));
        QCOMPARE(kyr.sSTR(StreamSlot::PORTB, StrRow::FrameDelay), QStringLiteral("1"));
        kyr.setStr(StreamSlot::FILE1, StrRow::FileName, KyrValue(0.75));
        QCOMPARE(kyr.sSTR(StreamSlot::FILE1, StrRow::FileName), QStringLiteral("0.75"));
    };

    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    QCOMPARE(QLocale().toString(1.5), QStringLiteral("1,5")); // the comma locale is really in force
    check();
    if (QTest::currentTestFailed())
        return;

    const char *c = std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
    if (!c)
        c = std::setlocale(LC_NUMERIC, "de_DE");
    if (!c)
        QSKIP("The C library has no German locale; the Qt locale half passed");
    check();
}

void tst_textforms::settingsRoundTrip()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("kyr7.ini"));
    clsKYR saved;
    fillNonDefault(saved);
    // Texts that an INI file could mistake for lists, variants or comments.
    saved.setSSTR(StreamSlot::MODEM, StrRow::ModemInit, QStringLiteral("AT&F,S0=1"));
    saved.setSSTR(StreamSlot::FILE1, StrRow::FileName, QStringLiteral("@Variant(x)"));
    saved.setSSTR(StreamSlot::FILE2, StrRow::FileName, QStringLiteral("; not a comment \"quoted\" back\\slash"));
    saved.setSKYR(KyrRow::ID, QString());
    saved.setSKYR(KyrRow::SerialNumber, QStringLiteral(" 0042 "));
    {
        QSettings store(path, QSettings::IniFormat);
        saved.SaveSettings(store);
        store.sync();
        QCOMPARE(store.status(), QSettings::NoError);
    }
    QSettings store(path, QSettings::IniFormat);
    QVERIFY(store.childGroups().contains(QStringLiteral("OUTBRIDGE1")));
    QCOMPARE(store.value(QStringLiteral("LAN1/Did")).toString(), saved.sSTR(StreamSlot::LAN1, StrRow::Did));
    clsKYR loaded;
    loaded.GetSettings(store);
    for (Section s : kSections) {
        const auto &defs = clsKYR::Definitions(s);
        for (int slot = 0; slot < clsKYR::Slots(s); ++slot) {
            for (int row = 0; row < static_cast<int>(defs.size()); ++row)
                QCOMPARE(loaded.text(s, slot, row), saved.text(s, slot, row));
        }
    }
}

void tst_textforms::settingsDefaultsOnEmptyStore()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QSettings store(dir.filePath(QStringLiteral("empty.ini")), QSettings::IniFormat);
    clsKYR kyr;
    fillNonDefault(kyr);
    kyr.GetSettings(store);
    for (Section s : kSections) {
        const auto &defs = clsKYR::Definitions(s);
        for (int slot = 0; slot < clsKYR::Slots(s); ++slot) {
            for (int row = 0; row < static_cast<int>(defs.size()); ++row)
                QCOMPARE(kyr.text(s, slot, row), defs[row].Default);
        }
    }
    QCOMPARE(kyr.sKYR(KyrRow::ID), QStringLiteral("KYR7"));
    QCOMPARE(kyr.sPGM(1, PgmRow::AddToCLines), QStringLiteral("0x00000080"));
    QCOMPARE(kyr.sCAP(0, CapRow::C2To708), QStringLiteral("2"));
    QCOMPARE(kyr.sSTR(StreamSlot::OUTBRIDGE1, StrRow::C2To708), QStringLiteral("3"));
    QCOMPARE(kyr.sSTR(StreamSlot::OUTBRIDGE1, StrRow::C3To708), QStringLiteral("2"));
    QCOMPARE(kyr.sCAP(1, CapRow::UpstreamS4), QStringLiteral("4"));
    QCOMPARE(kyr.sSTR(StreamSlot::FILE2, StrRow::FileName), QStringLiteral("metadata_stereo"));
    QVERIFY(kyr.str(StreamSlot::PORTA, StrRow::Baud).isNumber());
    QCOMPARE(kyr.str(StreamSlot::PORTA, StrRow::Did).toInt(), 0x51);
}

// Settings present are read by the row's kind; absent ones take the default.
void tst_textforms::settingsPartialStore()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("partial.ini"));
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("[LAN2]\nDid=0x7\nBaud=12abc\nModemInit=AT&F,S0=1\n[PGM2]\nRequestedVideoMode=8\n");
    }
    QSettings store(path, QSettings::IniFormat);
    clsKYR kyr;
    kyr.GetSettings(store);
    QCOMPARE(kyr.sSTR(StreamSlot::LAN2, StrRow::Did), QStringLiteral("0x07"));
    QCOMPARE(kyr.sSTR(StreamSlot::LAN2, StrRow::Baud), QStringLiteral("12"));
    QCOMPARE(kyr.sSTR(StreamSlot::LAN2, StrRow::ModemInit), QStringLiteral("AT&F,S0=1"));
    QCOMPARE(kyr.sSTR(StreamSlot::LAN2, StrRow::SDid), QStringLiteral("0x01"));
    QCOMPARE(kyr.sSTR(StreamSlot::LAN1, StrRow::Did), QStringLiteral("0x51"));
    QCOMPARE(kyr.sPGM(1, PgmRow::RequestedVideoMode), QStringLiteral("8"));
    QCOMPARE(kyr.sPGM(0, PgmRow::RequestedVideoMode), QStringLiteral("0"));
}

QTEST_APPLESS_MAIN(tst_textforms)
#include "tst_textforms.moc"
