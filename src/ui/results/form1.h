// The full-list window: every found path at full width, for paths too long for the main
// window's list. Created once at start-up and shown modally from the main window; its list is
// a copy of the found list that the scan refreshes, so it keeps showing what the last scan
// found after entries are deleted or thrown out of the found list.
#pragma once

#include <QDialog>

namespace mtl::ui {
class CheckListBox;
}

class TForm1 : public QDialog {
    Q_OBJECT
public:
    explicit TForm1(QWidget* parent = nullptr);

    // The copied paths: one line each, single selection, no check boxes.
    mtl::ui::CheckListBox* ListBox2;
};
