#include "core/app/settingslayout.h"

namespace mtl {

const std::array<SettingValue, 29>& settingsValues()
{
    static const std::array<SettingValue, 29> values = {{
        {"Kompresja", "rgCompressionLevel", "0"},
        {"Skin", "EditSkin", ""},
        {"Antywirus", "EditAntywirus", ""},
        {"WiekBazy", "EditWiekBazy", "21"},
        {"IntegrujMenu", "CheckBox1", "1"},
        {"AutoLog", "CheckBox100", "1"},
        {"Podpowiedzi", "CheckBox99", "1"},
        {"Podfoldery", "cbRecursive", "1"},
        {"AutoHTML", "CheckBox102", "0"},
        {"AutoAtrybut", "CheckBox103", "1"},
        {"AutoKopia", "CheckBox122", "1"},
        {"SpeedUp", "CheckBoxSpeed", "0"},
        {"Dzwieki", "CheckBoxDzwieki", "1"},
        {"UpdateInfo", "CheckBoxUpdate", "1"},
        {"Ignorowanie", "CheckBox141", "1"},
        {"TylkoOdczyt", "CheckBox144", "1"},
        {"Ukryty", "CheckBox145", "1"},
        {"Systemowy", "CheckBox146", "1"},
        {"Archiwalny", "CheckBox148", "1"},
        {"BezAtrybutu", "CheckBox149", "1"},
        {"Mniej_bezp", "RadioButton1", "0"},
        {"TrybUsera", "RadioButton2", "0"},
        {"Zaawansowany", "RadioButton3", "0"},
        {"Bezpieczny", "RadioButton4", "1"},
        {"Antyspyware", "RadioButton5", "0"},
        {"Antypornware", "RadioButton6", "0"},
        {"Bezpieczny_Expres", "RadioButton7", "0"},
        {"Mniej_bezp_Expres", "RadioButton8", "0"},
        {"Zaawansowany_Expres", "RadioButton9", "0"},
    }};
    return values;
}

} // namespace mtl
