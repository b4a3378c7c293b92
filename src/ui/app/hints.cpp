#include "ui/app/hints.h"

#include "ui/app/searchform.h"
#include "ui/widgets/filelistbox.h"
#include "ui/widgets/foldertree.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVariant>
#include <QWidget>

#include <array>

namespace mtl::ui {

namespace {
constexpr const char* kHintProperty = "mtlHint";
}

void setHint(QWidget& control, const QString& hint)
{
    control.setProperty(kHintProperty, hint);
    control.setToolTip(hint);
}

void setHintOff(QWidget& control, const QString& hint)
{
    control.setProperty(kHintProperty, hint);
    control.setToolTip(QString());
}

QString hintOf(const QWidget& control)
{
    const QVariant stored = control.property(kHintProperty);
    return stored.isValid() ? stored.toString() : control.toolTip();
}

void showHint(QWidget& control, bool on)
{
    control.setToolTip(on ? hintOf(control) : QString());
}

} // namespace mtl::ui

void TSearchForm::CheckBox99Click()
{
    // The switch covers these controls only; every other control keeps its own hint (the
    // start button, the scan path and the auto-ignore threshold go on showing theirs).
    const std::array<QWidget*, 38> switched = {
        DhCheckFolder1, SpeedButton1, SpeedButton4, Button1, Button2, Button3, Button4,
        Button5, Button6, ZapiszUstawienia, Button10, Button14, Button16, Button17,
        Button20, ZapiszWyborTrybu, Button23, Button24, Button27, Button29, Button31,
        Button35, btnStop, EditWyszukaj, LabelAlerty, RadioButton1, RadioButton2,
        RadioButton3, RadioButton4, RadioButton5, RadioButton6, CheckBoxSpeed, Alert_Niski,
        Alert_Sredni, Alert_Wysoki, FileListBox1, FileListBox2, Praca_W_Tle,
    };
    const bool on = CheckBox99->isChecked();
    for (QWidget* control : switched)
        mtl::ui::showHint(*control, on);
}

void TSearchForm::setFolderTreeHintOn()
{
    mtl::ui::showHint(*DhCheckFolder1, true);
}
