#include "manualedit/inilexer.h"

#include <QPalette>
#include <QTest>
#include <Qsci/qsciscintilla.h>

using BlockFormat::Style;

class tst_IniLexer : public QObject
{
    Q_OBJECT

    QsciScintilla m_text;
    IniLexer *m_lexer = nullptr;

    long sci(unsigned int message, unsigned long w = 0, long l = 0) { return m_text.SendScintilla(message, w, l); }

    // Each line as its fold depth, "+" when it opens a fold, once the lines
    // from fromLine on are styled as after an edit there.
    QStringList levels(int fromLine = 0)
    {
        sci(QsciScintillaBase::SCI_COLOURISE, sci(QsciScintillaBase::SCI_POSITIONFROMLINE, fromLine), -1);
        QStringList result;
        for (int line = 0; line < m_text.lines(); ++line) {
            const long level = sci(QsciScintillaBase::SCI_GETFOLDLEVEL, line);
            result << QString::number((level & QsciScintillaBase::SC_FOLDLEVELNUMBERMASK) -
                                      QsciScintillaBase::SC_FOLDLEVELBASE) +
                          (level & QsciScintillaBase::SC_FOLDLEVELHEADERFLAG ? QStringLiteral("+") : QString());
        }
        return result;
    }

    long styleAt(int line, int column)
    {
        return sci(QsciScintillaBase::SCI_GETSTYLEAT, sci(QsciScintillaBase::SCI_POSITIONFROMLINE, line) + column);
    }

private slots:
    void initTestCase()
    {
        m_text.setUtf8(true);
        m_lexer = new IniLexer(&m_text);
        m_text.setLexer(m_lexer);
    }

    void blocksAndSubBlocksFoldFromHeaderToEnd_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("levels");
        QTest::newRow("nested, with a value, and empty")
            << "; units\r\nObject Tank ; main\r\n  Visual = MeshVisual V01\r\n    Pose DEFAULT\r\n      Mesh = M\r\n"
               "    End\r\n  End\r\n  ArmorSet\r\n\r\n    ; plate\r\n    Conditions None\r\n  End\r\n"
               "  WeaponSet\r\n  End\r\n  Locomotor = SET_NORMAL Treads\r\nEnd\r\n\r\nWeapon Gun\r\nEnd"
            << QStringList{"0", "0+", "1+", "2+", "3", "3", "2", "1+", "2", "2", "2", "2",
                           "1+", "2", "1", "1", "0", "0+", "1"};
        // A missing End never shifts the rest: a header starts at the top,
        // a first-column End closes everything.
        QTest::newRow("missing ends")
            << "Object A\n  ArmorSet\n    Armor = X\nObject B\n  Pose P\n    Mesh = M\nEnd\nArmor C\rEnd\r"
            << QStringList{"0+", "1+", "2", "0+", "1+", "2", "1", "0+", "1", "0"};
        QTest::newRow("tabs, stray end, unindented body")
            << "Armor A\n\tArmorSet\n\t\tArmor = 1\n\tEnd\nTitle = X\nEnd\n  End\nx"
            << QStringList{"0+", "1+", "2", "2", "1", "1", "0", "0+"};
    }

    void blocksAndSubBlocksFoldFromHeaderToEnd()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, levels);
        m_text.setText(text);
        QCOMPARE(this->levels(), levels);
    }

    void linesAreStyledByTheirParts()
    {
        m_text.setText(QStringLiteral("Object Tank ; t\n  Visual = MeshVisual V\n    Mesh = M;c\n    End\n"
                                      "  Conditions None\nendurance"));
        sci(QsciScintillaBase::SCI_COLOURISE, 0, -1);
        const std::tuple<int, int, Style> cases[] = {
            {0, 0, BlockFormat::Header},    {0, 7, BlockFormat::HeaderName}, {0, 11, BlockFormat::Default},
            {0, 12, BlockFormat::Comment},  {1, 0, BlockFormat::Default},    {1, 2, BlockFormat::SubBlock},
            {1, 11, BlockFormat::Value},    {2, 4, BlockFormat::Parameter},  {2, 11, BlockFormat::Value},
            {2, 12, BlockFormat::Comment},  {3, 4, BlockFormat::End},        {4, 2, BlockFormat::Parameter},
            {4, 13, BlockFormat::Value},
            // The game ends a block at any first-column line beginning with "end".
            {5, 0, BlockFormat::End}};
        for (const auto &[line, column, style] : cases)
            QVERIFY2(styleAt(line, column) == style, qPrintable(QStringLiteral("line %1 column %2: %3 for %4")
                                                                    .arg(line).arg(column).arg(styleAt(line, column))
                                                                    .arg(int(style))));
    }

    // Whether a line opens a sub-block depends on the line after it.
    void editBelowALineRestylesIt()
    {
        m_text.setText(QStringLiteral("Object A\n  Visual = V\n  Mesh = M\nEnd"));
        QCOMPARE(levels(), (QStringList{"0+", "1", "1", "1"}));
        m_text.insertAt(QStringLiteral("  "), 2, 0);
        QCOMPARE(levels(2), (QStringList{"0+", "1+", "2", "1"}));
        QCOMPARE(styleAt(1, 2), long(BlockFormat::SubBlock));
    }

    // Lines far below the last one styled are styled from the block's header
    // with the same reading as from the top.
    void aJumpFarDownStylesAsFromTheTop()
    {
        QString text = QStringLiteral("Object A\n");
        for (int i = 0; i < 2300; ++i)
            text += QStringLiteral("  P = %1\n").arg(i);
        text += QStringLiteral("  ArmorSet\n\n");
        for (int i = 0; i < 400; ++i)
            text += QStringLiteral("    Armor = X%1\n").arg(i);
        text += QStringLiteral("  End\nEnd\n");
        m_text.resize(400, 300);
        m_text.setText(text);
        sci(QsciScintillaBase::SCI_SETFIRSTVISIBLELINE, 2600);
        sci(QsciScintillaBase::SCI_COLOURISE, 0, -1);
        const long jumped = sci(QsciScintillaBase::SCI_GETFOLDLEVEL, 2600);
        m_lexer->styleAll();
        QCOMPARE(jumped, sci(QsciScintillaBase::SCI_GETFOLDLEVEL, 2600));
        QCOMPARE(jumped & QsciScintillaBase::SC_FOLDLEVELNUMBERMASK, long(QsciScintillaBase::SC_FOLDLEVELBASE + 2));
    }

    void coloursStayReadableOnLightAndDarkDesktops_data()
    {
        QTest::addColumn<QColor>("background");
        QTest::newRow("white") << QColor(Qt::white);
        QTest::newRow("mid grey") << QColor(0x80, 0x80, 0x80);
        QTest::newRow("dark grey") << QColor(0x23, 0x26, 0x29);
    }

    void coloursStayReadableOnLightAndDarkDesktops()
    {
        QFETCH(QColor, background);
        QPalette palette;
        palette.setColor(QPalette::Base, background);
        palette.setColor(QPalette::Text, IniLexer::contrast(Qt::white, background) > 4.5 ? Qt::white : Qt::black);
        m_lexer->setPalette(palette);
        QSet<QRgb> seen;
        for (int style = 0; style < BlockFormat::StyleCount; ++style) {
            const QColor c = m_lexer->color(style);
            seen.insert(c.rgb());
            QCOMPARE(m_lexer->paper(style), background);
            QVERIFY2(IniLexer::contrast(c, background) >= 4.5,
                     qPrintable(QStringLiteral("style %1: %2 on %3").arg(style).arg(c.name(), background.name())));
        }
        QCOMPARE(seen.size(), int(BlockFormat::StyleCount));
    }
};

QTEST_MAIN(tst_IniLexer)
#include "tst_inilexer.moc"
