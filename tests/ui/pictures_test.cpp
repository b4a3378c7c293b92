// The drawn pictures: the right size, drawn on transparency, distinct from each other, and
// each alert in the colour the user reads its risk by.
#include "ui/widgets/pictures.h"

#include <QImage>
#include <QTest>

#include <vector>

namespace pictures = mtl::ui::pictures;

namespace {

struct Coverage {
    int transparent = 0;
    int opaque = 0;
    double red = 0, green = 0, blue = 0;  // mean of the opaque pixels
};

Coverage coverage(const QPixmap& pixmap)
{
    const QImage image = pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
    Coverage c;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            if (qAlpha(p) == 0) ++c.transparent;
            if (qAlpha(p) == 255) {
                ++c.opaque;
                c.red += qRed(p);
                c.green += qGreen(p);
                c.blue += qBlue(p);
            }
        }
    }
    if (c.opaque > 0) {
        c.red /= c.opaque;
        c.green /= c.opaque;
        c.blue /= c.opaque;
    }
    return c;
}

void expectDrawnPicture(const QPixmap& pixmap, int size)
{
    QVERIFY(!pixmap.isNull());
    QCOMPARE(pixmap.size(), QSize(size, size));
    const Coverage c = coverage(pixmap);
    QVERIFY2(c.transparent > 0, "no transparent background");
    QVERIFY2(c.opaque > size * size / 10, "hardly anything drawn");
}

void expectAllDifferent(const std::vector<QPixmap>& set)
{
    for (std::size_t i = 0; i < set.size(); ++i)
        for (std::size_t j = i + 1; j < set.size(); ++j)
            QVERIFY2(set[i].toImage() != set[j].toImage(), qPrintable(QStringLiteral("%1 and %2 are the same").arg(i).arg(j)));
}

} // namespace

class PicturesTest : public QObject {
    Q_OBJECT

private slots:
    void categoryIconsAreEightDistinctPictures()
    {
        std::vector<QPixmap> icons;
        for (int i = 0; i < 8; ++i) {
            icons.push_back(pictures::categoryIcon(i));
            expectDrawnPicture(icons.back(), 16);
        }
        expectAllDifferent(icons);
        expectDrawnPicture(pictures::categoryIcon(2, 32), 32);
        // An item without a category has no icon.
        QVERIFY(pictures::categoryIcon(-1).isNull());
        QVERIFY(pictures::categoryIcon(8).isNull());
    }

    void detailsPicturesAreNineDistinctPictures()
    {
        std::vector<QPixmap> set;
        for (int code = 1; code <= 9; ++code) {
            set.push_back(pictures::detailsCategory(code));
            expectDrawnPicture(set.back(), 48);
        }
        expectAllDifferent(set);
        QVERIFY(pictures::detailsCategory(0).isNull());
        QVERIFY(pictures::detailsCategory(10).isNull());
    }

    void alertsShowTheirRiskColour()
    {
        const Coverage low = coverage(pictures::alertLow());
        const Coverage medium = coverage(pictures::alertMedium());
        const Coverage high = coverage(pictures::alertHigh());
        const Coverage unknown = coverage(pictures::alertUnknown());
        for (const QPixmap& p : {pictures::alertLow(), pictures::alertMedium(), pictures::alertHigh(),
                                 pictures::alertUnknown()})
            expectDrawnPicture(p, 24);
        QVERIFY(low.green > low.red && low.green > low.blue);
        QVERIFY(medium.red > medium.blue + 60 && medium.green > medium.blue + 60);
        QVERIFY(high.red > high.green + 60 && high.red > high.blue + 60);
        QVERIFY(unknown.blue > unknown.red && unknown.blue > unknown.green);
        // The category colours the details dialog names: a green globe, a red danger mark.
        const Coverage globe = coverage(pictures::detailsCategory(1));
        QVERIFY(globe.green > globe.red && globe.green > globe.blue);
        const Coverage danger = coverage(pictures::categoryIcon(4));
        QVERIFY(danger.red > danger.green && danger.red > danger.blue);
    }

    void applicationIconAndLogo()
    {
        const QIcon icon = pictures::applicationIcon();
        QVERIFY(!icon.isNull());
        QVERIFY(icon.availableSizes().contains(QSize(16, 16)));
        QVERIFY(icon.availableSizes().contains(QSize(32, 32)));
        expectDrawnPicture(icon.pixmap(32), 32);

        const QPixmap banner = pictures::logo(400, 60);
        QCOMPARE(banner.size(), QSize(400, 60));
        const Coverage c = coverage(banner);
        QCOMPARE(c.opaque, 400 * 60);  // a banner covers its whole area
        QVERIFY(pictures::logo(0, 60).isNull());
        // Even a banner too narrow for the text must not fail.
        QCOMPARE(pictures::logo(50, 60).size(), QSize(50, 60));
    }
};

QTEST_MAIN(PicturesTest)
#include "pictures_test.moc"
