#include "platform/codepage.h"

#include <QTest>

class tst_CodePage : public QObject
{
    Q_OBJECT

private slots:
    // Every byte decodes to one character and back; outside 0x80-0x9F
    // (and NUL too) the character has the byte's own code.
    void everyByteRoundTrips()
    {
        QByteArray all;
        for (int i = 0; i < 256; ++i)
            all += char(i);
        const QString text = CodePage::decode(all);
        QCOMPARE(text.size(), 256);
        for (int i = 0; i < 256; ++i)
            QVERIFY(text[i].unicode() == i || (i >= 0x80 && i <= 0x9F));
        QCOMPARE(CodePage::encode(text), all);
        QVERIFY(CodePage::canEncode(text));
    }

    // The bytes where Windows-1252 differs from Latin-1, one by one.
    void bytes80To9FDecodeToTheirCharacters()
    {
        static const char16_t expected[32] = {
            0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
            0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
            0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
        };
        for (int b = 0x80; b <= 0x9F; ++b)
            QCOMPARE(CodePage::decode(QByteArray(1, char(b))), QString(QChar(expected[b - 0x80])));
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
