// Filling the descriptions list view: both columns in file order, category icons, refilling.
#include "ui/filters/descriptionslist.h"

#include <QTreeWidget>
#include <QtTest>

using mtl::DescriptionItem;
using mtl::DescriptionsList;

static DescriptionItem makeItem(int image, std::string caption, std::vector<std::string> subs)
{
    DescriptionItem item;
    item.imageIndex = image;
    item.caption = std::move(caption);
    item.subItems = std::move(subs);
    return item;
}

class DescriptionsListTest : public QObject {
    Q_OBJECT

private:
    static DescriptionsList everyCategory()
    {
        DescriptionsList list;
        // Deliberately not in alphabetical order: the rows must keep the file's order.
        for (int image = 7; image >= -1; --image) {
            list.items.push_back(
                makeItem(image, "*.typ" + std::to_string(image), {"Opis ąę " + std::to_string(image), "drugi"}));
        }
        list.items.push_back(makeItem(8, "*.poza", {"poza listą ikon"}));
        list.items.push_back(makeItem(2, "*.bez", {}));
        return list;
    }

    static QTreeWidget* makeView(QWidget& parent)
    {
        auto* view = new QTreeWidget(&parent);
        view->setObjectName("ListView");
        view->setColumnCount(2);
        view->setHeaderLabels({"Typ pliku", "Opis rozszerzenia używanego przez aplikację"});
        return view;
    }

private slots:
    void fillsBothColumnsInFileOrder()
    {
        QWidget window;
        QTreeWidget* view = makeView(window);
        const DescriptionsList list = everyCategory();
        mtl::ui::fillDescriptionsList(*view, list);

        QCOMPARE(view->topLevelItemCount(), int(list.items.size()));
        for (int row = 0; row < view->topLevelItemCount(); ++row) {
            const QTreeWidgetItem* item = view->topLevelItem(row);
            const DescriptionItem& entry = list.items[std::size_t(row)];
            QCOMPARE(item->text(0), QString::fromStdString(entry.caption));
            const QString description = entry.subItems.empty() ? QString() : QString::fromStdString(entry.subItems[0]);
            QCOMPARE(item->text(1), description);
        }
        QCOMPARE(view->topLevelItem(0)->text(1), QStringLiteral("Opis ąę 7"));
    }

    void iconsFollowTheImageIndex()
    {
        QWidget window;
        QTreeWidget* view = makeView(window);
        mtl::ui::fillDescriptionsList(*view, everyCategory());

        for (int row = 0; row < view->topLevelItemCount(); ++row) {
            const QTreeWidgetItem* item = view->topLevelItem(row);
            const int image = everyCategory().items[std::size_t(row)].imageIndex;
            const bool expected = image >= 0 && image <= 7;
            QVERIFY2(item->icon(0).isNull() != expected, qPrintable(item->text(0)));
            QVERIFY(item->icon(1).isNull());
        }
        // Different categories show different pictures.
        const QImage first = view->topLevelItem(0)->icon(0).pixmap(16, 16).toImage();
        const QImage second = view->topLevelItem(1)->icon(0).pixmap(16, 16).toImage();
        QVERIFY(!first.isNull());
        QVERIFY(first != second);
    }

    void secondFillReplacesTheFirst()
    {
        QWidget window;
        QTreeWidget* view = makeView(window);
        mtl::ui::fillDescriptionsList(*view, everyCategory());

        DescriptionsList second;
        second.items = {makeItem(-1, "*.nowy", {"nowy opis"}), makeItem(5, "*.log", {"raport"})};
        mtl::ui::fillDescriptionsList(*view, second);
        QCOMPARE(view->topLevelItemCount(), 2);
        QCOMPARE(view->topLevelItem(0)->text(0), QStringLiteral("*.nowy"));
        QVERIFY(view->topLevelItem(0)->icon(0).isNull());
        QCOMPARE(view->topLevelItem(1)->text(1), QStringLiteral("raport"));
        QVERIFY(!view->topLevelItem(1)->icon(0).isNull());

        mtl::ui::fillDescriptionsList(*view, {});
        QCOMPARE(view->topLevelItemCount(), 0);
    }
};

QTEST_MAIN(DescriptionsListTest)
#include "descriptionslist_test.moc"
