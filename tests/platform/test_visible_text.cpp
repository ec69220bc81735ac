#include "platform/linux/visible_text.h"

#include <QTest>

using namespace gridvane;

class TestVisibleText : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readsPageAsReaderSeesIt_data()
    {
        QTest::addColumn<QByteArray>("html");
        QTest::addColumn<QString>("text");

        QTest::newRow("white space and no-break spaces collapse")
            << QByteArray("<p>  Group\t\tA123 &nbsp; &#160;is\r\n  out </p>")
            << QStringLiteral("Group A123 is out");
        QTest::newRow("inline elements join, their line breaks are blanks")
            << QByteArray("<h2>Communities <b>Affected</b>\n  by Rotating Outages</h2>")
            << QStringLiteral("Communities Affected by Rotating Outages");
        QTest::newRow("inline element inside a word adds nothing")
            << QByteArray("<p>A<i>12</i>3</p>") << QStringLiteral("A123");
        QTest::newRow("blocks, cells and br separate lines")
            << QByteArray("<div>Heading</div><table><tr><td>A1</td><td>B2</td></tr>"
                          "<tr><th>C3</th></tr></table>x<br>y<p>z</p>")
            << QStringLiteral("Heading\nA1\nB2\nC3\nx\ny\nz");
        QTest::newRow("head, script, style, template and comments are left out")
            << QByteArray("<html><head><title>T1</title><style>p{}</style></head><body>"
                          "<script>var g = 'A9';</script>one<!-- A7 --> two"
                          "<template>A8</template><style>.x{}</style></body></html>")
            << QStringLiteral("one two");
        QTest::newRow("character references are decoded")
            << QByteArray("<p>&amp; &lt;&eacute;t&#233;&#x2013;&quot;&gt;</p>")
            << QStringLiteral("& <\u00e9t\u00e9\u2013\">");
        QTest::newRow("broken markup is read as far as possible")
            << QByteArray("<table><tr><td>A1<td>B2</table><p>open <b>bold")
            << QStringLiteral("A1\nB2\nopen bold");
    }
    void readsPageAsReaderSeesIt()
    {
        QFETCH(QByteArray, html);
        QFETCH(QString, text);
        QCOMPARE(visibleText(html, "text/html"), text);
    }

    void takesPlainTextAsItIs()
    {
        QCOMPARE(visibleText("<b>A1</b>  and\n\nB2 ", "text/plain; charset=utf-8"),
            QStringLiteral("<b>A1</b> and\nB2"));
    }

    void findsCharsetOfPage_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QByteArray>("contentType");
        QTest::addColumn<QString>("text");

        const QString ete = QStringLiteral("\u00e9t\u00e9 \u201cA1\u201d");
        const QByteArray utf8 = "\xC3\xA9t\xC3\xA9 \xE2\x80\x9C"
                                "A1\xE2\x80\x9D";
        const QByteArray cp1252 = "\xE9t\xE9 \x93"
                                  "A1\x94";

        QTest::newRow("header charset")
            << cp1252 << QByteArray("text/html; charset=windows-1252") << ete;
        QTest::newRow("header charset quoted, Latin-1 read as windows-1252")
            << cp1252 << QByteArray("text/html; charset=\"ISO-8859-1\"") << ete;
        QTest::newRow("header wins over meta") << QByteArray("<meta charset=\"utf-8\">" + cp1252)
                                               << QByteArray("text/html;charset=cp1252")
                                               << QStringLiteral("<meta charset=\"utf-8\">") + ete;
        QTest::newRow("UTF-8 byte-order mark")
            << QByteArray("\xEF\xBB\xBF" + utf8) << QByteArray("text/html") << ete;
        QTest::newRow("UTF-16 byte-order mark")
            << QByteArray("\xFF\xFE\xE9\x00t\x00", 6) << QByteArray() << QStringLiteral("\u00e9t");
        QTest::newRow("meta charset")
            << QByteArray("<meta charset=windows-1252>" + cp1252) << QByteArray("text/html")
            << QStringLiteral("<meta charset=windows-1252>") + ete;
        QTest::newRow("meta http-equiv")
            << QByteArray(
                   "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=iso-8859-1\">"
                   + cp1252)
            << QByteArray()
            << QStringLiteral(
                   "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=iso-8859-1\">")
                + ete;
        QTest::newRow("unknown header charset falls back to sniffing")
            << utf8 << QByteArray("text/html; charset=no-such-charset") << ete;
        QTest::newRow("valid UTF-8 without a declaration") << utf8 << QByteArray() << ete;
        QTest::newRow("UTF-8 cut inside a character")
            << QByteArray(utf8 + "\xE2\x80") << QByteArray() << ete;
        QTest::newRow("anything else is windows-1252") << cp1252 << QByteArray("text/html") << ete;
    }
    void findsCharsetOfPage()
    {
        QFETCH(QByteArray, body);
        QFETCH(QByteArray, contentType);
        QFETCH(QString, text);
        QCOMPARE(decodePage(body, contentType), text);
    }

    void searchesWithUnicodeCaseFolding_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("search");
        QTest::addColumn<bool>("found");

        QTest::newRow("accented capitals")
            << QStringLiteral("En \u00e9t\u00e9") << QStringLiteral("\u00c9T\u00c9") << true;
        QTest::newRow("inside a longer word")
            << QStringLiteral("GroupsA123B") << QStringLiteral("a123") << true;
        QTest::newRow("final sigma folds like sigma")
            << QStringLiteral("\u039f\u0394\u039f\u03a3")
            << QStringLiteral("\u03bf\u03b4\u03bf\u03c2") << true;
        QTest::newRow("absent text")
            << QStringLiteral("A123 A124") << QStringLiteral("A125") << false;
        QTest::newRow("empty text") << QStringLiteral("A123") << QString() << false;
    }
    void searchesWithUnicodeCaseFolding()
    {
        QFETCH(QString, page);
        QFETCH(QString, search);
        QFETCH(bool, found);
        const SearchablePage searchable(page);
        QCOMPARE(searchable.contains(search), found);
        QCOMPARE(searchable.contains(search), found); // the page is unchanged by a search
    }
};

QTEST_GUILESS_MAIN(TestVisibleText)
#include "test_visible_text.moc"
