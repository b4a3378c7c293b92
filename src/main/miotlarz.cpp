// Miotlarz: the desktop program. Sets up the platform services and the five windows, then
// runs the event loop until the program is ended.
#include "core/platform/clock.h"
#include "core/platform/fileregistry.h"
#include "core/platform/programfolder.h"
#include "core/platform/services.h"
#include "ui/app/program.h"
#include "ui/app/searchform.h"
#include "ui/platform/errorreport.h"
#include "ui/platform/qtplatform.h"
#include "ui/widgets/pictures.h"

#include <QApplication>

#include <exception>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Miotlarz 9.0 Pro"));
    QApplication::setWindowIcon(mtl::ui::pictures::applicationIcon());

    mtl::ui::QtDialogs dialogs;
    try {
        mtl::FileRegistry registry(mtl::FileRegistry::defaultFolder());
        mtl::ui::QtShell shell;
        mtl::ui::QtSounds sounds;
        mtl::SystemClock clock;
        mtl::ui::QtEventPump pump;
        const mtl::Services services{registry, dialogs, shell, sounds, clock, pump, mtl::programFolder()};

        mtl::ui::prepareFirstStart(registry);

        std::vector<std::string> arguments;
        for (const QString& argument : QApplication::arguments().mid(1)) arguments.push_back(argument.toStdString());

        mtl::ui::Program program(services, std::move(arguments));
        QObject::connect(&program.searchForm(), &TSearchForm::endRequested, &app, &QApplication::quit,
                         Qt::QueuedConnection);
        program.show();
        return QApplication::exec();
    } catch (const std::exception& error) {
        mtl::ui::showGeneralError(dialogs, error);
        return 1;
    }
}
