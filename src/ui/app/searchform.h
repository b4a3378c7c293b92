// The main window. Besides the whole user interface apart from four dialogs, it holds the
// program's working state for the run: lists, counters and folder texts live in its controls,
// and the hidden ones are plain data members under the same names. Every reaction of the
// program is a handler of this class (or of a dialog), run at its boundary by runGuarded.
#pragma once

#include "core/platform/dialogs.h"
#include "core/platform/services.h"

#include <QList>
#include <QPixmap>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <string>
#include <vector>

class QAction;
class QColor;
class QButtonGroup;
class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QShowEvent;
class QSystemTrayIcon;
class QTabWidget;
class QTimer;
class QTreeWidget;

class TForm1;
class TForm7;
class TForm8;
class TForm9;

namespace mtl {
struct ScanMode;
}

namespace mtl::ui {
class AnimationControl;
class FoundListControl;
class IgnoreListsControl;
class ScanControl;
class SettingsControl;
class CheckListBox;
class FileListBox;
class FolderTree;
class RadioGroup;
}

class TSearchForm : public QWidget {
    Q_OBJECT
public:
    TSearchForm(const mtl::Services& services, std::vector<std::string> arguments,
                QWidget* parent = nullptr);
    ~TSearchForm() override;

    // Life of the window: creation, first show and end (start-up and shut-down).
    void FormCreate();
    void FormShow();
    void FormDestroy();
    void Button1Click();

    // Mode choice reactions.
    void RadioButton1Click();
    void RadioButton2Click();
    void RadioButton3Click();
    void RadioButton4Click();
    void RadioButton5Click();
    void RadioButton6Click();
    void RadioButton7Click();
    void RadioButton8Click();
    void RadioButton9Click();
    void ListBoxFiltryClick();
    void loadModeList(const mtl::ScanMode& mode);

    // The hints switch of the settings tab.
    void CheckBox99Click();
    // The folder tree's hint starts off; the first folder choice turns it on.
    void setFolderTreeHintOn();

    // The four dialogs, created after this window; kept for the reactions that show them.
    void setDialogs(TForm8* form8, TForm1* form1, TForm9* form9, TForm7* form7);

signals:
    // Ends the program; the program entry connects it to the application's quit.
    void endRequested();

protected:
    void showEvent(QShowEvent* event) override;

public:
    mtl::Services m_services;
    std::vector<std::string> m_arguments;

    // Each subsystem's reactions, wired before creation runs so that stored settings applied
    // at start-up run them as a click would.
    mtl::ui::SettingsControl* settings = nullptr;
    mtl::ui::IgnoreListsControl* ignoreLists = nullptr;
    mtl::ui::FoundListControl* foundList = nullptr;
    mtl::ui::ScanControl* scan = nullptr;

    TForm8* Form8 = nullptr;
    TForm1* Form1 = nullptr;
    TForm9* Form9 = nullptr;
    TForm7* Form7 = nullptr;

    // ---- Left column, top right and bottom -------------------------------------------
    QPushButton* RozpocznijSkanowanie;
    QPushButton* SpeedButton4;
    mtl::ui::FolderTree* DhCheckFolder1;
    QLabel* Label12;
    // Counters: the value labels beside their captions.
    QLabel* Label11;
    QLabel* Label50;
    QLabel* Label57;
    QLabel* Label48;
    QLabel* Label53;
    QLabel* Label24;
    QLabel* Label18;
    QLabel* Label15;
    QLabel* Label16;
    QLabel* Label20;
    QLabel* Label26;
    QLabel* Label22;
    QLabel* LabelAlerty;
    QLabel* Alert_Niski;
    QLabel* Alert_Sredni;
    QLabel* Alert_Wysoki;
    QPushButton* btnStop;
    QPushButton* Button4;
    QPushButton* Praca_W_Tle;
    QLabel* Label27;
    mtl::ui::AnimationControl* Animacja;
    QPushButton* Button1;
    QProgressBar* EncartaGauge;
    QLabel* StatusSkanowania;
    QLabel* StatusGotowe;

    // ---- Floating panels ---------------------------------------------------------------
    QFrame* PanelLokalizacja;
    QFrame* WskazTemporary;
    QFrame* PanelError;

    // ---- Page control --------------------------------------------------------------------
    QTabWidget* PageControl1;
    QWidget* TabSheet1;  // "Skanowanie..."
    QWidget* TabSheet3;  // "Wybór trybu"
    QWidget* TabSheet4;  // "Opisy filtrów"
    QWidget* TabSheet6;  // "Odzyskiwanie"
    QWidget* TabSheet7;  // "Ignorowania"
    QWidget* TabSheet2;  // "Ustawienia"
    QWidget* TabSheet5;  // "Info i Pomoc"

    // Tab "Skanowanie..."
    mtl::ui::CheckListBox* ListBox1;

    // Tab "Wybór trybu"
    QLabel* Label_LiczbaFiltrow;
    mtl::ui::CheckListBox* ListBoxFiltry;
    QGroupBox* modeGroupBox;   // "Wybór trybu skanowania dysku"
    QButtonGroup* modeButtons;  // the nine mode radio buttons, one exclusive group
    QRadioButton* RadioButton1;
    QRadioButton* RadioButton2;
    QRadioButton* RadioButton3;
    QRadioButton* RadioButton4;
    QRadioButton* RadioButton5;
    QRadioButton* RadioButton6;
    QRadioButton* RadioButton7;
    QRadioButton* RadioButton8;
    QRadioButton* RadioButton9;
    QPushButton* ZapiszWyborTrybu;
    QPushButton* Button25;
    QFrame* PanelEdytorFiltrow;
    QLabel* ImageDodajFiltr;
    QLabel* Label_EdytowanyTryb;
    QLabel* LabelKomunikat;
    QLineEdit* EditSzukajFiltra;
    QLineEdit* EditDodajFiltr;
    QPushButton* Button10;
    QPushButton* Button27;
    QPushButton* Button14;
    QPushButton* Button20;
    QPushButton* Button29;

    // Tab "Opisy filtrów"
    QTreeWidget* ListView;
    QLabel* Image_blank;
    QLabel* Image_tmp;
    QLabel* Image_ie;
    QLabel* Image_bak;
    QLabel* Image_blokow;
    QLabel* Image_log;
    QLabel* Image_txt;
    QLabel* Image_reg;
    QCheckBox* Sorted;
    QLineEdit* EditWyszukaj;
    QPushButton* Button11;

    // Tab "Odzyskiwanie"
    QLabel* Label43;
    QLabel* Label62;
    mtl::ui::FileListBox* FileListBox1;
    QPushButton* Button23;
    QPushButton* Button3;
    QPushButton* Button2;
    QLabel* Label3;
    QLabel* Label63;
    mtl::ui::FileListBox* FileListBox2;
    QPushButton* Button24;
    QPushButton* Button17;
    QProgressBar* ProgressBar2;

    // Tab "Ignorowania"
    QLineEdit* Edit6;
    QPushButton* Button5;
    QPushButton* Button31;
    QLineEdit* Edit7;
    QPushButton* Button16;
    QLabel* Label_Ignorowan;
    QLabel* Label_IgnorowanTypy;
    mtl::ui::CheckListBox* ListaIgnorowania;
    mtl::ui::CheckListBox* ListBoxIgnorujTypy;

    // Tab "Ustawienia"
    QGroupBox* GroupBox5;  // "Ustawienia główne"
    QCheckBox* CheckBox141;
    QLineEdit* EditRozmiarIgnorowania;
    QCheckBox* CheckBox122;
    QCheckBox* CheckBox100;
    QCheckBox* CheckBox102;
    QCheckBox* CheckBox1;
    QCheckBox* CheckBoxSpeed;
    QCheckBox* CheckBoxDzwieki;
    QLabel* Label81;
    QLineEdit* EditAntywirus;
    QPushButton* Button8;
    QLabel* Label74;
    QLineEdit* EditSkin;
    QPushButton* Button30;
    QCheckBox* cbRecursive;
    QCheckBox* CheckBox144;
    QCheckBox* CheckBox145;
    QCheckBox* CheckBox146;
    QCheckBox* CheckBox148;
    QCheckBox* CheckBox149;
    QCheckBox* CheckBox147;
    QCheckBox* CheckBox103;
    QCheckBox* CheckBox99;
    QCheckBox* CheckBoxUpdate;
    QLineEdit* EditWiekBazy;
    QPushButton* SpeedButton1;
    QLabel* Label40;
    QPushButton* Button6;
    QPushButton* Button35;
    QGroupBox* GroupBox6;  // "Ustawienia - Monitor Czystości Dysku"
    QCheckBox* CheckBox2;
    QLabel* Label66;
    QLineEdit* EditDysk;
    QLabel* Label67;
    QLineEdit* EditTemporary;
    QPushButton* Button28;
    QPushButton* Button26;
    mtl::ui::RadioGroup* rgCompressionLevel;
    QPushButton* SpeedButton3;
    QPushButton* SpeedButton2;
    QGroupBox* GroupBox4;  // backup and log folders
    QLabel* Label44;
    QLineEdit* Edit4;
    QLabel* Label42;
    QLineEdit* Edit5;
    QPushButton* Button18;
    QPushButton* Button19;
    QLineEdit* SkanujDysk;
    QPushButton* ZapiszUstawienia;

    // Tab "Info i Pomoc"
    QLabel* Logo;
    QLabel* Info;
    QLabel* Label5;
    QLabel* Label7;
    QLabel* Label17;
    QLabel* Label55;
    QLabel* Label41;
    QLabel* Label60;
    QLabel* Label75;
    QLabel* Label76;
    QLabel* Label61;
    QLabel* Label80;
    QLabel* LabelAktualizacjaInfo;
    QLabel* LabelPostep;
    QProgressBar* ProgressBar;
    QPushButton* PobierzBaze;
    QPushButton* Instaluj;
    QLabel* Label37;
    QLabel* Label91;
    QLabel* Label92;
    QPushButton* Button34;
    QGroupBox* GroupBox8;  // "Wersja bazy i modułów"
    QLabel* Label39;
    QLabel* Label38;
    QLabel* Label51;
    QLabel* Label52;
    QLabel* Label82;
    QLabel* Label83;
    QLabel* Label84;
    QLabel* Label85;
    QLabel* Sygnatura_Status;
    QLabel* Sygnatura_WersjaCODE;
    QLabel* Sygnatura_WersjaMODE;
    QLabel* Sygnatura_Data;
    QLabel* RoznicaDat;
    QLabel* Sygnatura_Uzywane;
    QLabel* Sygnatura_Wszystkie;
    QLabel* Sygnatura_Spyware;
    QLabel* Sygnatura_Pornware;

    // ---- Hidden buttons whose click runs an internal step --------------------------------
    QPushButton* UsunNormalnie;
    QPushButton* UsunSzybko;
    QPushButton* Button15;

    // ---- Popup menus ---------------------------------------------------------------------
    QMenu* PopupGlowny;
    QAction* Szczegyobiektu1;
    QAction* Zaznaczwszystko1;
    QAction* Usuplik1;
    QAction* Usuwszystko1;
    QAction* Utwrzkopizapasowpliku1;
    QAction* Utwrzkopiwszystkichplikw1;
    QAction* Odzyskajplikizkopiizapas1;
    QAction* ylkowyrzuzlistynieusuwaj1;
    QAction* Usuignorowane1;
    QAction* ZaznaczIgnorujdlawszystkichplikw1;
    QAction* df1;
    QAction* Uruchomplik1;
    QAction* Zmie1;
    QAction* Iddolokalizacjipliku1;
    QAction* Sortujlist1;
    QAction* Sprawdantywirusem1;
    QAction* RaportHTML;
    QAction* Zapiszlist1;
    QAction* Wczytajlist1;
    QAction* Naprawbdnewpisylisty1;
    QAction* Wyczylist1;

    QMenu* PopupIgnorujPliki;
    QAction* Szczegyobiektu2;
    QAction* Usutenplikzdysku1;
    QAction* Usunieistnijcepliki1;
    QAction* Usuzlistyignorowania1;
    QAction* Posortujlist1;
    QAction* Czylist1;

    QMenu* PopupIgnorujTypy;
    QAction* Usufiltrzlisty1;
    QAction* Posortujlist2;
    QAction* Czylist2;

    QMenu* PopupTray;
    QAction* Przywrokno1;

    // ---- Non-visual components ------------------------------------------------------------
    QTimer* Timer1;
    QTimer* Timer2;
    QTimer* Timer4;
    QSystemTrayIcon* TrayIcon;
    mtl::FileDialogRequest Zapisz;
    mtl::FileDialogRequest Otworz;
    mtl::FileDialogRequest ExportHTML;
    mtl::FileDialogRequest WczytajSkin;
    mtl::FileDialogRequest WczytajPlik;
    mtl::FileDialogRequest WczytajAntywir;
    QList<QPixmap> ImageFormaty;  // category icons of the descriptions list, index 0..7

    // ---- Hidden working controls ------------------------------------------------------------
    QStringList ListBoxRozmiar;
    QStringList ListBoxLiczbaZnalez;
    QStringList ListBoxDodajPodejrzane;
    QStringList ListaPorownana;
    QStringList ListBox2;
    QStringList ListBox3;
    QStringList ListBox4;
    QStringList ListBoxUsuniete;
    QStringList ListBoxLiczbaUsunietych;
    QStringList ListBoxLOG;
    QStringList ListBoxPomocniczy;
    QStringList ListBoxKodHTML;
    QStringList ListBoxPomocniczyHTML;
    QString Edit1;
    QString Edit2;
    QString Edit3;
    QString EditKBznalezion;
    QString Kopiuj_Do;
    QString LabelBAK_Katalog;
    QString LabelLOG_Katalog;
    QString LabelProgres = QStringLiteral("0");
    QString DataSystemowa;
    QString LabelIloscZnalez;
    QString Zaznaczone = QStringLiteral("0");
    QString KeyID;
    // Once the mask editor has sorted the mode's list, every list loaded later stays sorted.
    bool filtersSorted = false;

private:
    // Construction, by region (each in its own source file).
    void buildLeftColumn();
    void buildBottom();
    void buildFloatingPanels();
    void buildScanTab();
    void buildModeTab();
    void buildDescriptionsTab();
    void buildRestoreTab();
    void buildIgnoreTab();
    void buildSettingsTab();
    void buildInfoTab();
    void buildMenus();
    void buildComponents();
    void wireReactions();
    // Runs a handler at its boundary: a failure it did not foresee becomes the general error
    // report and the program goes on.
    void runHandler(void (TSearchForm::*handler)());

    // Names a control (its design name) and puts it in its place on its parent.
    template <typename Control>
    static Control* place(Control* control, const char* name, const QRect& geometry)
    {
        if (name) control->setObjectName(QString::fromLatin1(name));
        control->setGeometry(geometry);
        return control;
    }
    static QLabel* makeLabel(QWidget* parent, const char* name, const QString& text,
                             const QRect& geometry);
    static QPushButton* makeButton(QWidget* parent, const char* name, const QString& text,
                                   const QRect& geometry);
    static QCheckBox* makeCheckBox(QWidget* parent, const char* name, const QString& text,
                                   bool checked, const QRect& geometry);
    static QLineEdit* makeEdit(QWidget* parent, const char* name, const QString& text,
                               const QRect& geometry);
    static void setBold(QWidget* control);

    bool m_firstShowDone = false;
};
