#include "ui/filters/form8.h"

#include "ui/widgets/pictures.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

namespace {

QLabel* makeLabel(QWidget* parent, const char* name, const QString& text, const QRect& geometry)
{
    auto* label = new QLabel(text, parent);
    if (name) label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(geometry);
    return label;
}

} // namespace

TForm8::TForm8(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("TForm8"));
    setFixedSize(467, 440);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    // The file's own details, each beside its caption.
    struct Field {
        QLabel** label;
        const char* name;
        const char* caption;
    };
    const Field fields[] = {
        {&Label9, "Label9", "Nazwa pliku:"},
        {&Label10, "Label10", "Typ pliku:"},
        {&Label11, "Label11", "Rozmiar:"},
        {&Label12, "Label12", "Lokalizacja:"},
        {&Label13, "Label13", "Komentarz:"},
        {&Label14, "Label14", "Poziom ryzyka:"},
        {&Label15, "Label15", "Data modyfikacji:"},
        {&Label16, "Label16", "Atrybuty:"},
    };
    int y = 48;
    for (const Field& field : fields) {
        makeLabel(this, nullptr, QString::fromUtf8(field.caption), {16, y, 100, 16});
        *field.label = makeLabel(this, field.name, QStringLiteral("-"), {120, y, 280, 16});
        y += 18;
    }
    Label13->setWordWrap(true);

    const QRect alertPlace(410, 44, 40, 40);
    Alert_Niski = makeLabel(this, "Alert_Niski", QString(), alertPlace);
    Alert_Niski->setPixmap(mtl::ui::pictures::alertLow(32));
    Alert_Sredni = makeLabel(this, "Alert_Sredni", QString(), alertPlace);
    Alert_Sredni->setPixmap(mtl::ui::pictures::alertMedium(32));
    Alert_Wysoki = makeLabel(this, "Alert_Wysoki", QString(), alertPlace);
    Alert_Wysoki->setPixmap(mtl::ui::pictures::alertHigh(32));
    for (QLabel* alert : {Alert_Niski, Alert_Sredni, Alert_Wysoki}) alert->hide();

    Label18 = makeLabel(this, "Label18", QString(), {330, 8, 130, 16});
    Label18->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Button4 = new QPushButton(QStringLiteral("/\\"), this);
    Button4->setObjectName(QStringLiteral("Button4"));
    Button4->setGeometry(440, 160, 22, 40);
    Button4->setToolTip(QStringLiteral("Poprzedni znaleziony plik"));
    Button5 = new QPushButton(QStringLiteral("\\/"), this);
    Button5->setObjectName(QStringLiteral("Button5"));
    Button5->setGeometry(440, 204, 22, 40);
    Button5->setToolTip(QStringLiteral("Następny znaleziony plik."));
    for (QPushButton* button : {Button4, Button5}) button->setAutoDefault(false);
}

void TForm8::showModally()
{
    if (runModal) {
        runModal(*this);
        return;
    }
    exec();
}
