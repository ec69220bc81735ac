#include "platform/linux/visible_text.h"

#include <QTest>

using namespace gridvane;

class TestVisibleText : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readsPageAsReaderSeesIt_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QByteArray>("contentType");
        QTest::addColumn<QString>("text");
        const QByteArray html = "text/html";

        QTest::newRow("white space and no-break spaces collapse")
            << QByteArray("<p>  Group\t\tA123 &nbsp; &#160;is\r\n  out </p>") << html
            << QStringLiteral("Group A123 is out");
        QTest::newRow("inline elements join, their line breaks are blanks")
            << QByteArray("<h2>Communities <b>Affected</b>\n  by Outages</h2><p>A<i>12</i>3</p>")
            << html << QStringLiteral("Communities Affected by Outages\nA123");
        QTest::newRow("blocks, cells and br separate lines")
            << QByteArray("<div>Heading</div><table><tr><td>A1</td><td>B2</td></tr>"
                          "<tr><th>C3</th></tr></table>x<br>y<p>z</p>")
            << html << QStringLiteral("Heading\nA1\nB2\nC3\nx\ny\nz");
        QTest::newRow("head, script, style, template and comments are left out")
            << QByteArray("<html><head><title>T1</title><style>p{}</style></head><body>"
                          "<script>var g = 'A9';</script>one<!-- A7 --> two"
                          "<template>A8</template><style>.x{}</style></body></html>")
            << html << QStringLiteral("one two");
        QTest::newRow("character references are decoded")
            << QByteArray("<p>&amp; &lt;&eacute;t&#233;&#x2013;&quot;&gt;</p>") << html
            << QStringLiteral("& <\u00e9t\u00e9\u2013\">");
        QTest::newRow("broken markup is read as far as possible")
            << QByteArray("<table><tr><td>A1<td>B2</table><p>open <b>bold") << html
            << QStringLiteral("A1\nB2\nopen bold");
        QTest::newRow("plain text is taken as it is")
            << QByteArray("<b>A1</b>  and\n\nB2 ") << QByteArray("text/plain; charset=utf-8")
            << QStringLiteral("<b>A1</b> and\nB2");

        // The charset: header, else byte-order mark, else <meta>, else UTF-8 if valid, else
        // windows-1252.
        const QString ete = QStringLiteral("\u00e9t\u00e9 \u201cA1\u201d");
        const QByteArray utf8 = "\xC3\xA9t\xC3\xA9 \xE2\x80\x9C"
                                "A1\xE2\x80\x9D";
        const QByteArray cp1252 = "\xE9t\xE9 \x93"
                                  "A1\x94";
        QTest::newRow("header wins over meta, Latin-1 read as windows-1252")
            << "<meta charset=\"utf-8\">" + cp1252 << QByteArray("text/html;charset=\"ISO-8859-1\"")
            << ete;
        QTest::newRow("UTF-8 byte-order mark") << "\xEF\xBB\xBF" + utf8 << html << ete;
        QTest::newRow("UTF-16 byte-order mark")
            << QByteArray("\xFF\xFE\xE9\x00t\x00", 6) << QByteArray() << QStringLiteral("\u00e9t");
        QTest::newRow("meta charset") << "<meta charset=windows-1252>" + cp1252 << html << ete;
        QTest::newRow("meta http-equiv") << "<META HTTP-EQUIV=\"Content-Type\" "
                                            "CONTENT=\"text/html; charset=iso-8859-1\">"
                + cp1252 << QByteArray() << ete;
        QTest::newRow("unknown header charset falls back to sniffing")
            << utf8 << QByteArray("text/html; charset=no-such-charset") << ete;
        QTest::newRow("UTF-8 cut inside a character") << utf8 + "\xE2\x80" << html << ete;
        QTest::newRow("anything else is windows-1252") << cp1252 << html << ete;
    }
    void readsPageAsReaderSeesIt()
    {
        QFETCH(QByteArray, body);
        QFETCH(QByteArray, contentType);
        QFETCH(QString, text);
        QCOMPARE(visibleText(body, contentType), text);
    }

    // Accents, case and words inside words are searched through the fetcher's tests.
    void searchesWithFullCaseFoldingAndNeverFindsEmptyText()
    {
        const SearchablePage page(QStringLiteral("\u039f\u0394\u039f\u03a3"));
        QVERIFY(page.contains(QStringLiteral("\u03bf\u03b4\u03bf\u03c2"))); // final sigma
        QVERIFY(!page.contains(QString()));
    }
};

QTEST_GUILESS_MAIN(TestVisibleText)
#include "test_visible_text.moc"
