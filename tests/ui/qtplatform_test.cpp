// The Qt side of the platform layer: the sliced yield, file dialog filters, and the general
// error report at a handler's boundary.
#include "core/common/errors.h"
#include "support/fakes.h"
#include "ui/platform/errorreport.h"
#include "ui/platform/qtplatform.h"

#include <QElapsedTimer>
#include <QTimer>
#include <QtTest>

using namespace mtl;

class QtPlatformTest : public QObject {
    Q_OBJECT
private slots:
    void slicedYieldRunsEventsOnlyOnceTheSliceHasPassed()
    {
        ui::QtEventPump pump(50);
        pump.processPending();  // the slice starts now
        int fired = 0;
        QTimer::singleShot(0, this, [&] { ++fired; });
        pump.yieldSliced();  // well inside the slice: nothing runs
        QCOMPARE(fired, 0);
        QElapsedTimer waited;
        waited.start();
        while (waited.elapsed() < 60) {
        }
        pump.yieldSliced();
        QCOMPARE(fired, 1);
    }

    void fileFiltersBecomeQtFilters_data()
    {
        QTest::addColumn<QString>("classic");
        QTest::addColumn<QString>("qt");
        QTest::newRow("one") << "Strona HTML|*.htm" << "Strona HTML (*.htm)";
        QTest::newRow("two patterns") << "Pliki wykonalne (EXE)|*.exe;*.bat" << "Pliki wykonalne (EXE) (*.exe *.bat)";
        QTest::newRow("two filters") << "A|*.a|B|*.b" << "A (*.a);;B (*.b)";
        QTest::newRow("empty") << "" << "";
    }
    void fileFiltersBecomeQtFilters()
    {
        QFETCH(QString, classic);
        QFETCH(QString, qt);
        QCOMPARE(ui::qtFileFilter(classic.toStdString()), qt);
    }

    void unforeseenFailureBecomesTheGeneralErrorReport()
    {
        test::FakeDialogs dialogs;
        bool after = false;
        const bool ok = ui::runGuarded(dialogs, [&] {
            throw FileError("Nie można otworzyć pliku \"/x/filtr_a1.dat\".");
            after = true;
        });
        QVERIFY(!ok);
        QVERIFY(!after);
        QCOMPARE(dialogs.messages.size(), std::size_t(1));
        QCOMPARE(QString::fromStdString(dialogs.messages[0].text), QStringLiteral("Nie można otworzyć pliku \"/x/filtr_a1.dat\"."));
        QCOMPARE(QString::fromStdString(dialogs.messages[0].title), QStringLiteral("Miotlarz 9.0 Pro"));
        QVERIFY(dialogs.messages[0].icon == MessageIcon::Error);
        QVERIFY(dialogs.messages[0].buttons == MessageButtons::Ok);
        QVERIFY(ui::runGuarded(dialogs, [] {}));
        QCOMPARE(dialogs.messages.size(), std::size_t(1));
    }
};

QTEST_MAIN(QtPlatformTest)
#include "qtplatform_test.moc"
