// The advanced restore dialog. It also owns the one backup component and the hidden panel
// through which backups are made, so it lives for the whole run.
#pragma once

#include <QDialog>

class TForm9 : public QDialog {
    Q_OBJECT
public:
    explicit TForm9(QWidget* parent = nullptr);
};
