// The object details dialog: everything the program knows about one found file. Created once
// at start-up and shown modally as often as needed; its fields keep their contents.
//
// The fields the caller fills before showing (the file's own details and its risk pictures)
// are public, as are the controls the opening command sets; the dialog's own database lookup
// arrives with the dialog's reactions.
#pragma once

#include <QDialog>

#include <functional>

class QLabel;
class QPushButton;

class TForm8 : public QDialog {
    Q_OBJECT
public:
    explicit TForm8(QWidget* parent = nullptr);

    // Shows the dialog modally and returns when it is closed. Tests replace the modal loop
    // through `runModal`, which then runs instead of it (with the dialog not shown).
    void showModally();
    std::function<void(TForm8&)> runModal;

    // Fields filled by the caller: name, type, size, path, comment, risk level, modification
    // time, attributes.
    QLabel* Label9;
    QLabel* Label10;
    QLabel* Label11;
    QLabel* Label12;
    QLabel* Label13;
    QLabel* Label14;
    QLabel* Label15;
    QLabel* Label16;
    // The three risk pictures in one place, at most one visible.
    QLabel* Alert_Niski;
    QLabel* Alert_Sredni;
    QLabel* Alert_Wysoki;

    // The position in the found list and the previous / next buttons, which the opening
    // command shows and enables (found list) or hides and disables (path ignore list).
    QLabel* Label18;
    QPushButton* Button4;
    QPushButton* Button5;
};
