// The backup countdown dialog: names the archive just made and fills a gauge in timed steps
// before it closes itself.
#pragma once

#include <QDialog>

class TForm7 : public QDialog {
    Q_OBJECT
public:
    explicit TForm7(QWidget* parent = nullptr);
};
