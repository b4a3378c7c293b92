#include "ui/filters/form8.h"

#include <QGuiApplication>
#include <QScreen>

TForm8::TForm8(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("TForm8"));
    setFixedSize(467, 440);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}
