#include "ui/app/program.h"

#include "core/app/firststart.h"
#include "core/platform/programfolder.h"
#include "ui/app/searchform.h"
#include "ui/backup/form7.h"
#include "ui/backup/form9.h"
#include "ui/filters/form8.h"
#include "ui/results/form1.h"

namespace mtl::ui {

Program::Program(const Services& services, std::vector<std::string> arguments)
    : m_searchForm(std::make_unique<TSearchForm>(services, std::move(arguments)))
    , m_form8(std::make_unique<TForm8>())
    , m_form1(std::make_unique<TForm1>())
    , m_form9(std::make_unique<TForm9>())
    , m_form7(std::make_unique<TForm7>())
{
    m_searchForm->setDialogs(m_form8.get(), m_form1.get(), m_form9.get(), m_form7.get());
}

// The dialogs go before the main window, whose destruction writes the statistics last.
Program::~Program()
{
    m_form7.reset();
    m_form9.reset();
    m_form1.reset();
    m_form8.reset();
    m_searchForm.reset();
}

void Program::show() { m_searchForm->show(); }

void prepareFirstStart(Registry& registry)
{
    if (isFirstStart(registry)) writeFirstStartSettings(registry, userDataFolder());
}

} // namespace mtl::ui
