#include "ui/app/searchform.h"

#include "ui/app/settingsstore.h"
#include "ui/platform/errorreport.h"
#include "ui/results/foundlist.h"
#include "ui/results/ignorelists.h"
#include "ui/scan/scancontrol.h"
#include "ui/widgets/checklistbox.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QColor>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QGuiApplication>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QShowEvent>

#include <utility>

TSearchForm::TSearchForm(const mtl::Services& services, std::vector<std::string> arguments,
                         QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                          | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint
                          | Qt::WindowContextHelpButtonHint),
      m_services(services), m_arguments(std::move(arguments))
{
    setObjectName(QStringLiteral("SearchForm"));
    setWindowTitle(QStringLiteral(" Miotlarz 9.0 Professional     "));
    // The controls are placed by absolute geometry for a window of this size and font.
    QFont windowFont = font();
    windowFont.setPointSize(8);
    setFont(windowFont);
    setFixedSize(939, 510);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    buildLeftColumn();
    buildBottom();
    buildScanTab();
    buildModeTab();
    buildDescriptionsTab();
    buildRestoreTab();
    buildIgnoreTab();
    buildSettingsTab();
    buildInfoTab();
    buildFloatingPanels();
    buildMenus();
    buildComponents();
    wireReactions();

    // Creation runs while the window is created, before the four dialogs exist.
    runHandler(&TSearchForm::FormCreate);
}

void TSearchForm::wireReactions()
{
    // A mode reaction runs when its button becomes checked, by the user or by code;
    // the button that loses the check runs nothing.
    const std::pair<QRadioButton*, void (TSearchForm::*)()> modes[] = {
        {RadioButton1, &TSearchForm::RadioButton1Click},
        {RadioButton2, &TSearchForm::RadioButton2Click},
        {RadioButton3, &TSearchForm::RadioButton3Click},
        {RadioButton4, &TSearchForm::RadioButton4Click},
        {RadioButton5, &TSearchForm::RadioButton5Click},
        {RadioButton6, &TSearchForm::RadioButton6Click},
        {RadioButton7, &TSearchForm::RadioButton7Click},
        {RadioButton8, &TSearchForm::RadioButton8Click},
        {RadioButton9, &TSearchForm::RadioButton9Click},
    };
    for (const auto& [button, reaction] : modes) {
        connect(button, &QRadioButton::toggled, this, [this, reaction](bool checked) {
            if (checked) runHandler(reaction);
        });
    }

    connect(ListBoxFiltry, &mtl::ui::CheckListBox::lineClicked, this,
            [this] { runHandler(&TSearchForm::ListBoxFiltryClick); });
    // toggled, not clicked: setting the state from code runs the reaction exactly when the
    // state changes, as a user's click would.
    connect(CheckBox99, &QCheckBox::toggled, this,
            [this] { runHandler(&TSearchForm::CheckBox99Click); });
    connect(Button1, &QPushButton::clicked, this,
            [this] { runHandler(&TSearchForm::Button1Click); });

    settings = new mtl::ui::SettingsControl(*this);
    ignoreLists = new mtl::ui::IgnoreListsControl(*this);
    foundList = new mtl::ui::FoundListControl(*this);
    scan = new mtl::ui::ScanControl(*this);
}

void TSearchForm::runHandler(void (TSearchForm::*handler)())
{
    mtl::ui::runGuarded(m_services.dialogs, [this, handler] { (this->*handler)(); });
}

void TSearchForm::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // Restoring the window from the tray or from a minimised state shows it again; the
    // first-show work runs once.
    if (m_firstShowDone) return;
    m_firstShowDone = true;
    runHandler(&TSearchForm::FormShow);
}

void TSearchForm::setDialogs(TForm8* form8, TForm1* form1, TForm9* form9, TForm7* form7)
{
    Form8 = form8;
    Form1 = form1;
    Form9 = form9;
    Form7 = form7;
}

QLabel* TSearchForm::makeLabel(QWidget* parent, const char* name, const QString& text,
                               const QRect& geometry)
{
    return place(new QLabel(text, parent), name, geometry);
}

QPushButton* TSearchForm::makeButton(QWidget* parent, const char* name, const QString& text,
                                     const QRect& geometry)
{
    auto* button = place(new QPushButton(text, parent), name, geometry);
    // Buttons of a window take no part in Return handling unless made default.
    button->setAutoDefault(false);
    return button;
}

QCheckBox* TSearchForm::makeCheckBox(QWidget* parent, const char* name, const QString& text,
                                     bool checked, const QRect& geometry)
{
    auto* box = place(new QCheckBox(text, parent), name, geometry);
    box->setChecked(checked);
    return box;
}

QLineEdit* TSearchForm::makeEdit(QWidget* parent, const char* name, const QString& text,
                                 const QRect& geometry)
{
    return place(new QLineEdit(text, parent), name, geometry);
}

void TSearchForm::setBold(QWidget* control)
{
    QFont bold = control->font();
    bold.setBold(true);
    control->setFont(bold);
}
