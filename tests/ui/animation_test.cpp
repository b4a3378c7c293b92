// The animation control: still on its first frame until active, looping while active,
// keeping its frame when stopped, and empty (never throwing) for a file it cannot read.
#include "core/app/avi.h"
#include "ui/widgets/animation.h"

#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>

#include <cstdint>
#include <string>

using mtl::ui::AnimationControl;

namespace {

constexpr std::uint32_t backgroundColour = 0xFFD4D0C8;

// Four frames of 6 x 4 pixels at 20 ms: background with one coloured column that moves, so
// each frame can be told apart from the widget's rendering.
mtl::AviAnimation movingColumn()
{
    mtl::AviAnimation a;
    a.width = 6;
    a.height = 4;
    a.frameMs = 20;
    for (int f = 0; f < 4; ++f) {
        std::vector<std::uint32_t> pixels(24, backgroundColour);
        for (int y = 0; y < 4; ++y) pixels[std::size_t(y * 6 + 1 + f)] = 0xFF0000FFu;
        a.frames.push_back(pixels);
    }
    return a;
}

bool writeBytes(const QString& fileName, const std::string& bytes)
{
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly)) return false;
    return file.write(bytes.data(), qint64(bytes.size())) == qint64(bytes.size());
}

// Which column of a rendered 6 x 4 control holds the blue pixels; -1 for none.
int blueColumn(AnimationControl& control)
{
    QImage image(control.size(), QImage::Format_ARGB32);
    image.fill(Qt::white);
    control.render(&image, QPoint(), QRegion(), QWidget::RenderFlags());
    for (int x = 0; x < image.width(); ++x)
        if (image.pixel(x, 0) == 0xFF0000FFu) return x;
    return -1;
}

} // namespace

class AnimationTest : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        QVERIFY(m_dir.isValid());
        m_file = m_dir.filePath(QStringLiteral("monitor.avi"));
        QVERIFY(writeBytes(m_file, mtl::writeAvi(movingColumn())));
    }

    void opensStillOnTheFirstFrame()
    {
        AnimationControl control;
        control.resize(6, 4);
        QVERIFY(control.open(m_file));
        QCOMPARE(control.fileName(), m_file);
        QCOMPARE(control.frameCount(), 4);
        QCOMPARE(control.currentFrame(), 0);
        QCOMPARE(control.sizeHint(), QSize(6, 4));
        QVERIFY(!control.isActive());
        QTest::qWait(100);  // five frame times
        QCOMPARE(control.currentFrame(), 0);
        QCOMPARE(blueColumn(control), 1);
    }

    void backgroundColourIsTransparent()
    {
        AnimationControl control;
        control.resize(6, 4);
        QVERIFY(control.open(m_file));
        QImage image(control.size(), QImage::Format_ARGB32);
        image.fill(Qt::white);
        // Without the window background: what the control itself paints over its parent.
        control.render(&image, QPoint(), QRegion(), QWidget::RenderFlags());
        // The frame's background colour is not painted; the white underneath shows.
        QCOMPARE(image.pixel(0, 0), 0xFFFFFFFFu);
        QCOMPARE(image.pixel(1, 0), 0xFF0000FFu);
    }

    void loopsWhileActiveAndKeepsTheFrameWhenStopped()
    {
        AnimationControl control;
        control.resize(6, 4);
        QVERIFY(control.open(m_file));
        control.setActive(true);
        QVERIFY(control.isActive());
        QTRY_VERIFY_WITH_TIMEOUT(control.currentFrame() == 2, 2000);
        // It wraps round after the last frame.
        QTRY_VERIFY_WITH_TIMEOUT(control.currentFrame() == 0, 2000);
        QTRY_VERIFY_WITH_TIMEOUT(control.currentFrame() == 1, 2000);

        // No event runs between the check above and the stop, so the frame is still 1.
        control.setActive(false);
        QVERIFY(!control.isActive());
        QCOMPARE(control.currentFrame(), 1);
        QTest::qWait(100);
        QCOMPARE(control.currentFrame(), 1);
        QCOMPARE(blueColumn(control), 2);
    }

    void reopeningStopsAndShowsTheFirstFrame()
    {
        AnimationControl control;
        QVERIFY(control.open(m_file));
        control.setActive(true);
        QTRY_VERIFY_WITH_TIMEOUT(control.currentFrame() != 0, 2000);
        QVERIFY(control.open(m_file));
        QVERIFY(!control.isActive());
        QCOMPARE(control.currentFrame(), 0);
    }

    void unreadableFileLeavesTheControlEmpty_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("create");
        QTest::newRow("missing") << QByteArray() << false;
        QTest::newRow("empty") << QByteArray() << true;
        QTest::newRow("text") << QByteArray("not an animation at all") << true;
        const std::string avi = mtl::writeAvi(movingColumn());
        QTest::newRow("truncated") << QByteArray(avi.data(), qsizetype(avi.size() / 2)) << true;
    }

    void unreadableFileLeavesTheControlEmpty()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, create);
        const QString bad = m_dir.filePath(QStringLiteral("bad.avi"));
        QFile::remove(bad);
        if (create) QVERIFY(writeBytes(bad, bytes.toStdString()));

        AnimationControl control;
        control.resize(6, 4);
        QVERIFY(control.open(m_file));  // a good file first: the bad one must replace it
        control.setActive(true);
        QVERIFY(!control.open(bad));
        QCOMPARE(control.frameCount(), 0);
        QVERIFY(!control.isActive());
        control.setActive(true);  // nothing to run
        QVERIFY(!control.isActive());
        QCOMPARE(blueColumn(control), -1);
    }

private:
    QTemporaryDir m_dir;
    QString m_file;
};

QTEST_MAIN(AnimationTest)
#include "animation_test.moc"
