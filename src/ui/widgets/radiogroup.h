// A framed group of radio items chosen by position (the compression choice on the settings
// tab). The program stores and reads the chosen position, so the API is the item index.
#pragma once

#include <QButtonGroup>
#include <QGroupBox>
#include <QStringList>

#include <vector>

class QRadioButton;

namespace mtl::ui {

class RadioGroup : public QGroupBox {
    Q_OBJECT
public:
    RadioGroup(const QString& title, const QStringList& items, int columns,
               QWidget* parent = nullptr);

    int itemCount() const { return int(m_buttons.size()); }
    // -1 when no item is chosen.
    int itemIndex() const;
    // -1 clears the choice; any other index outside the items throws std::out_of_range.
    void setItemIndex(int index);
    QString itemText(int index) const;
    QRadioButton* itemButton(int index) const;

signals:
    void itemIndexChanged(int index);

private:
    QButtonGroup m_group;
    std::vector<QRadioButton*> m_buttons;  // owned by this group box
};

} // namespace mtl::ui
