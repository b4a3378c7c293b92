// Text and paths between the core's bytes and Qt: every path survives the trip exactly.
#include "ui/app/formstate.h"

#include <QtTest>

class FormStateTest : public QObject {
    Q_OBJECT
private slots:
    void pathsRoundTrip_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("ascii") << QByteArray("/home/u/a.tmp");
        QTest::newRow("polish") << QByteArray("/home/u/zażółć.tmp");
        QTest::newRow("outside the basic plane") << QByteArray("/home/u/\xF0\x9F\x98\x80.tmp");
        QTest::newRow("windows-1250 name") << QByteArray("/home/u/\xB3\xF3\xBF\x6B\x6F.tmp");
        QTest::newRow("lone continuation") << QByteArray("/x/\x80\xBF");
        QTest::newRow("cut sequence at end") << QByteArray("/x/\xC5");
        QTest::newRow("overlong") << QByteArray("/x/\xC0\xAF");
        QTest::newRow("encoded surrogate") << QByteArray("/x/\xED\xB2\x80");
        QTest::newRow("empty") << QByteArray();
    }
    void pathsRoundTrip()
    {
        QFETCH(QByteArray, bytes);
        const std::string path = bytes.toStdString();
        const QString text = mtl::ui::qs(path);
        QCOMPARE(QByteArray::fromStdString(mtl::ui::toBytes(text)), bytes);
        const auto lines = mtl::ui::toStdStrings(mtl::ui::toQStringList({path, path}));
        QCOMPARE(lines.size(), std::size_t(2));
        QCOMPARE(QByteArray::fromStdString(lines[1]), bytes);
    }

    void validTextReadsAsItself()
    {
        QCOMPARE(mtl::ui::qs("zażółć gęślą jaźń"), QStringLiteral("zażółć gęślą jaźń"));
        QCOMPARE(mtl::ui::toBytes(QStringLiteral("Łódź")), std::string("Łódź"));
        // An invalid byte shows as one character of its own, the rest of the name as it is.
        QCOMPARE(mtl::ui::qs("a\xFF" "b").size(), 3);
    }
};

QTEST_MAIN(FormStateTest)
#include "formstate_test.moc"
