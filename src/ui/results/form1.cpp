#include "ui/results/form1.h"

#include <QGuiApplication>
#include <QScreen>

TForm1::TForm1(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                          | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("TForm1"));
    setWindowTitle(QStringLiteral("Wszystkie znalezione pliki     "));
    resize(832, 238);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}
