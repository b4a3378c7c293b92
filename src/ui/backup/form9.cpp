#include "ui/backup/form9.h"

#include <QGuiApplication>
#include <QScreen>

TForm9::TForm9(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                          | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("TForm9"));
    setWindowTitle(QStringLiteral("Zaawansowanego odzyskiwania plików z kopii bezpieczeństwa     "));
    // A single border: the user cannot resize it.
    setFixedSize(582, 486);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}
