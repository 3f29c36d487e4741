#include "platform/codepage.h"

#include <QTest>

class tst_CodePage : public QObject
{
    Q_OBJECT

private slots:
    void everyByteRoundTrips()
    {
        QByteArray all;
        for (int i = 0; i < 256; ++i)
            all += char(i);
        const QString text = CodePage::decode(all);
        QCOMPARE(text.size(), 256);
        QCOMPARE(CodePage::encode(text), all);
        QVERIFY(CodePage::canEncode(text));
    }

    void highBytesDecodeToTheirCharacters_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("euro") << QByteArray("\x80") << QString(QChar(0x20AC));
        QTest::newRow("left double quote") << QByteArray("\x93") << QString(QChar(0x201C));
        QTest::newRow("undefined 0x81 keeps its value") << QByteArray("\x81") << QString(QChar(0x81));
        QTest::newRow("e acute") << QByteArray("\xE9") << QString(QChar(0xE9));
        QTest::newRow("NUL") << QByteArray("a\0b", 3) << QString::fromUtf16(u"a\u0000b", 3);
    }
    void highBytesDecodeToTheirCharacters()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QCOMPARE(CodePage::decode(bytes), text);
        QCOMPARE(CodePage::encode(text), bytes);
    }

    void charactersOutsideTheCodePageBecomeQuestionMarks()
    {
        const QString text = QStringLiteral("a\u4E2Db\u0100");
        QCOMPARE(CodePage::encode(text), QByteArray("a?b?"));
        QVERIFY(!CodePage::canEncode(text));
    }
};

QTEST_GUILESS_MAIN(tst_CodePage)
#include "tst_codepage.moc"
