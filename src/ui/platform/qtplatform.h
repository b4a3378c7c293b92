// The Linux implementations of the platform services over Qt: message boxes and file
// dialogs, the desktop's "open", sounds and the event loop yield.
#pragma once

#include "core/platform/dialogs.h"
#include "core/platform/eventpump.h"
#include "core/platform/shell.h"
#include "core/platform/sounds.h"

#include <QElapsedTimer>
#include <QString>

#include <map>
#include <memory>

class QSoundEffect;

namespace mtl::ui {

class QtDialogs final : public Dialogs {
public:
    MessageAnswer message(const MessageRequest& request) override;
    std::optional<std::string> openFile(const FileDialogRequest& request) override;
    std::optional<std::string> saveFile(const FileDialogRequest& request) override;
    std::optional<std::string> chooseFolder(const std::string& title, const std::string& startDir) override;
    std::optional<std::string> input(const std::string& title, const std::string& prompt,
                                     const std::string& initial) override;
};

// "Caption|*.a;*.b|Other|*.c" as Qt's "Caption (*.a *.b);;Other (*.c)".
QString qtFileFilter(const std::string& filter);

class QtShell final : public Shell {
public:
    bool open(const std::string& target) override;
    bool startProgram(const std::string& program, const std::string& parameter) override;
    bool openInTextEditor(const std::string& file) override;
};

class QtSounds final : public Sounds {
public:
    QtSounds();
    ~QtSounds() override;
    void play(const std::string& wavFile) override;

private:
    std::map<std::string, std::unique_ptr<QSoundEffect>> m_effects;
};

// Processes pending events; the sliced yield does so only once the slice has passed.
class QtEventPump final : public EventPump {
public:
    explicit QtEventPump(int sliceMs = 15);
    void processPending() override;
    void yieldSliced() override;

private:
    QElapsedTimer m_sinceLast;
    int m_sliceMs;
};

} // namespace mtl::ui
