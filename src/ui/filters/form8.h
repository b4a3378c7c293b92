// The object details dialog: everything the program knows about one found file. Created once
// at start-up and shown modally as often as needed; its fields keep their contents.
#pragma once

#include <QDialog>

class TForm8 : public QDialog {
    Q_OBJECT
public:
    explicit TForm8(QWidget* parent = nullptr);
};
