#include "ui/backup/form7.h"

#include <QGuiApplication>
#include <QScreen>

TForm7::TForm7(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("TForm7"));
    setFixedSize(394, 144);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}
