#include "core/filters/scanmodes.h"

namespace mtl {

const std::array<ScanMode, 9>& scanModes()
{
    static const std::array<ScanMode, 9> modes = {{
        {"Mniej_bezp", "RadioButton1", "Pośredni", "filtr_a2.dat", "Pośredni", ModeWarning::None},
        {"TrybUsera", "RadioButton2", "Ustawienia użytkownika", "filtr_user.dat", "Użytkownika", ModeWarning::None},
        {"Zaawansowany", "RadioButton3", "Zaawansowany", "filtr_a3.dat", "Zaawansowany", ModeWarning::W1},
        {"Bezpieczny", "RadioButton4", "Bezpieczny", "filtr_a1.dat", "Bezpieczny", ModeWarning::None},
        {"Antyspyware", "RadioButton5", "Tryb wyszukiwania szpiegów i trojanów", "filtr_spyware.dat",
         "wyszukiwania trojanów i spyware", ModeWarning::W3},
        {"Antypornware", "RadioButton6", "Tryb wyszukiwania plików o treści porno", "filtr_pornware.dat",
         "wyszukiwania plików pochodzących ze stron porno", ModeWarning::W4},
        {"Bezpieczny_Expres", "RadioButton7", "Express", "filtr_exp-a1.dat", "Bezpieczny (Expresowy)", ModeWarning::None},
        {"Mniej_bezp_Expres", "RadioButton8", "Express", "filtr_exp-a2.dat", "Pośredni (Expresowy)", ModeWarning::None},
        {"Zaawansowany_Expres", "RadioButton9", "Express", "filtr_exp-a3.dat", "Zaawansowany (Expresowy)",
         ModeWarning::W2},
    }};
    return modes;
}

const ScanMode* findScanMode(std::string_view key)
{
    for (const auto& mode : scanModes()) {
        if (mode.key == key) return &mode;
    }
    return nullptr;
}

const ScanMode* findScanModeByRadio(std::string_view radioButton)
{
    for (const auto& mode : scanModes()) {
        if (mode.radioButton == radioButton) return &mode;
    }
    return nullptr;
}

WarningText warningText(ModeWarning warning)
{
    switch (warning) {
    case ModeWarning::None: return {};
    case ModeWarning::W1:
        return {"Uwaga !! ",
                "Zaznaczyłeś opcję bardzo dokładnego szukania.\n\nLiczba plików tymczasowych w tym trybie, jak i "
                "podejrzenie typu pliku znacząco wzrośnie.\nPrzed usunięciem proszę sprawdzić: lokalizację, rozmiar "
                "i opis pliku\nJeśli podejrzewasz plik - dodaj go do listy ignorowań lub zrób kopię zapasową"};
    case ModeWarning::W2:
        return {"Uwaga ! ",
                "Zaznaczyłeś opcję bardzo dokładnego szukania (Expres).\n\nLiczba plików tymczasowych w tym trybie, "
                "jak i podejrzenie typu pliku znacząco wzrośnie.\nPrzed usunięciem proszę sprawdzić: lokalizację, "
                "rozmiar i opis pliku\nJeśli podejrzewasz plik - dodaj go do listy ignorowań lub zrób kopię zapasową"};
    case ModeWarning::W3:
        return {"Uwaga !      ",
                "Zaznaczyłeś tryb wyszukiwania plików utworzonych przez trojany i spyware.\n\nProszę nie usuwać "
                "bezmyślnie znalezionych plików, lecz sprawdzić je programem\nantywirusowym i antyspyware. Pliki "
                "znalezione w tym trybie są charakterystyczne dla \nnajczęściej występujących aplikacji spyware, "
                "adware i trojanów."};
    case ModeWarning::W4:
        return {"Uwaga !      ",
                "Zaznaczyłeś tryb wyszukiwania plików utworzonych przez strony pornograficzne.\n\nPliki znalezione w "
                "tym trybie są charakterystyczne dla nazw zdjęć, animacji,\nfilmów, banerów i innych plików "
                "pochodzących z tych stron w folderze cache IE."};
    }
    return {};
}

std::string progressIntervalText(std::size_t maskCount)
{
    return std::to_string(maskCount) + (maskCount < 100 ? "000" : "00");
}

} // namespace mtl
