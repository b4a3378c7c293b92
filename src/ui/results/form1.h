// The full-list window: every found path at full width, for paths too long for the main
// window's list. Created once at start-up and shown modally from the main window.
#pragma once

#include <QDialog>

class TForm1 : public QDialog {
    Q_OBJECT
public:
    explicit TForm1(QWidget* parent = nullptr);
};
