#include "ui/platform/errorreport.h"

namespace mtl::ui {

void showGeneralError(Dialogs& dialogs, const std::exception& error)
{
    dialogs.message({error.what(), kApplicationTitle, MessageIcon::Error, MessageButtons::Ok});
}

bool runGuarded(Dialogs& dialogs, const std::function<void()>& handler)
{
    try {
        handler();
        return true;
    } catch (const std::exception& error) {
        showGeneralError(dialogs, error);
    } catch (...) {
        showGeneralError(dialogs, std::runtime_error("Nieznany błąd programu."));
    }
    return false;
}

} // namespace mtl::ui
