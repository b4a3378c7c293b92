#include "ui/results/form1.h"

#include "ui/widgets/checklistbox.h"

#include <QGuiApplication>
#include <QPalette>
#include <QScreen>
#include <QVBoxLayout>

TForm1::TForm1(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                          | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("TForm1"));
    setWindowTitle(QStringLiteral("Wszystkie znalezione pliki     "));
    resize(832, 238);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    ListBox2 = new mtl::ui::CheckListBox(this, mtl::ui::CheckListBox::Boxes::None);
    ListBox2->setObjectName(QStringLiteral("ListBox2"));
    ListBox2->setSelectionMode(QAbstractItemView::SingleSelection);
    QPalette colours = ListBox2->palette();
    colours.setColor(QPalette::Base, Qt::black);
    colours.setColor(QPalette::Text, Qt::white);
    ListBox2->setPalette(colours);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(ListBox2);
}
