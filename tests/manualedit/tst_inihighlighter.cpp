#include "manualedit/inihighlighter.h"

#include <QTest>

using Span = IniHighlighter::Span;
using Spans = QList<Span>;
Q_DECLARE_METATYPE(Spans)

class tst_IniHighlighter : public QObject
{
    Q_OBJECT

private slots:
    void linePartsFollowTheGamesReading_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<Spans>("spans");
        const auto H = IniHighlighter::Header;
        const auto E = IniHighlighter::End;
        const auto N = IniHighlighter::Name;
        const auto V = IniHighlighter::Value;
        const auto C = IniHighlighter::Comment;
        QTest::newRow("header, comment") << "Object Tank ; main" << Spans{{0, 11, H}, {12, 6, C}};
        QTest::newRow("end, other case, comment") << "eND  ; done" << Spans{{0, 3, E}, {5, 6, C}};
        // The game ends a block at any first-column line beginning with "end".
        QTest::newRow("first-column word starting with end") << "Endurance X" << Spans{{0, 11, E}};
        QTest::newRow("sub-block end, trailing spaces") << "  End  " << Spans{{2, 3, E}};
        QTest::newRow("indented name starting with End") << "  EndurancePoints = 5" << Spans{{2, 15, N}, {20, 1, V}};
        QTest::newRow("value of words, comment") << "  Weapon = PRIMARY Gun ; best"
                                                 << Spans{{2, 6, N}, {11, 11, V}, {23, 6, C}};
        QTest::newRow("semicolon inside a value") << "  Text = a;b" << Spans{{2, 4, N}, {9, 1, V}, {10, 2, C}};
        QTest::newRow("no value") << "  Damage = " << Spans{{2, 6, N}};
        QTest::newRow("name and value without =") << "    Conditions None" << Spans{{4, 10, N}, {15, 4, V}};
        QTest::newRow("tab indent") << "\tArmor = Heavy" << Spans{{1, 5, N}, {9, 5, V}};
        QTest::newRow("commented-out parameter") << "  ; Damage = 5" << Spans{{2, 12, C}};
    }

    void linePartsFollowTheGamesReading()
    {
        QFETCH(QString, line);
        QFETCH(Spans, spans);
        const Spans got = IniHighlighter::spans(line);
        QString text;
        for (const Span &s : got)
            text += QStringLiteral("(%1,%2,%3)").arg(s.start).arg(s.length).arg(int(s.part));
        QVERIFY2(got == spans, qPrintable(text));
    }

    void coloursStayReadable_data()
    {
        QTest::addColumn<QColor>("background");
        QTest::newRow("white") << QColor(Qt::white);
        QTest::newRow("mid grey") << QColor(0x80, 0x80, 0x80);
        QTest::newRow("dark grey") << QColor(0x23, 0x26, 0x29);
    }

    void coloursStayReadable()
    {
        QFETCH(QColor, background);
        IniHighlighter highlighter(background);
        QSet<QRgb> seen;
        for (int part = IniHighlighter::Header; part <= IniHighlighter::Comment; ++part) {
            const QColor c = highlighter.colour(IniHighlighter::Part(part));
            seen.insert(c.rgb());
            QVERIFY2(IniHighlighter::contrast(c, background) >= 4.5,
                     qPrintable(QStringLiteral("part %1: %2 on %3 is %4:1")
                                    .arg(part)
                                    .arg(c.name(), background.name())
                                    .arg(IniHighlighter::contrast(c, background), 0, 'f', 2)));
        }
        QCOMPARE(seen.size(), 5);
    }
};

QTEST_MAIN(tst_IniHighlighter)
#include "tst_inihighlighter.moc"
