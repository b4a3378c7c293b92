// The program's five windows, created in their order and living until the program ends: the
// main window (whose creation runs start-up), the object details dialog, the full-list
// window, the advanced restore dialog and the backup countdown dialog.
#pragma once

#include "core/platform/services.h"

#include <memory>
#include <string>
#include <vector>

class TSearchForm;
class TForm8;
class TForm1;
class TForm9;
class TForm7;

namespace mtl::ui {

class Program {
public:
    Program(const Services& services, std::vector<std::string> arguments);
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // Shows the main window; the other four stay hidden until asked for.
    void show();

    TSearchForm& searchForm() { return *m_searchForm; }
    TForm8& form8() { return *m_form8; }
    TForm1& form1() { return *m_form1; }
    TForm9& form9() { return *m_form9; }
    TForm7& form7() { return *m_form7; }

private:
    std::unique_ptr<TSearchForm> m_searchForm;
    std::unique_ptr<TForm8> m_form8;
    std::unique_ptr<TForm1> m_form1;
    std::unique_ptr<TForm9> m_form9;
    std::unique_ptr<TForm7> m_form7;
};

// What an installer would have written, for an account that starts the program for the
// first time.
void prepareFirstStart(Registry& registry);

} // namespace mtl::ui
