// Message boxes and the standard dialogs, as the program asks for them. The window layer
// shows real ones; tests answer them through a scripted double.
#pragma once

#include <optional>
#include <string>

namespace mtl {

enum class MessageIcon { None, Error, Warning, Information, Question };
enum class MessageButtons { Ok, YesNo, YesNoCancel, OkCancel };
enum class MessageAnswer { Ok, Yes, No, Cancel };

struct MessageRequest {
    std::string text;   // line breaks as '\n'
    std::string title;
    MessageIcon icon = MessageIcon::None;
    MessageButtons buttons = MessageButtons::Ok;
};

// Filter in the classic "Caption|*.a;*.b|Caption 2|*.c" form.
struct FileDialogRequest {
    std::string title;
    std::string filter;
    std::string initialDir;
    std::string initialName;
};

class Dialogs {
public:
    virtual ~Dialogs() = default;
    virtual MessageAnswer message(const MessageRequest& request) = 0;
    // Each returns the chosen path, or nothing when the user cancelled.
    virtual std::optional<std::string> openFile(const FileDialogRequest& request) = 0;
    virtual std::optional<std::string> saveFile(const FileDialogRequest& request) = 0;
    virtual std::optional<std::string> chooseFolder(const std::string& title, const std::string& startDir) = 0;
    virtual std::optional<std::string> input(const std::string& title, const std::string& prompt,
                                             const std::string& initial) = 0;
};

// The title of plain messages and of the general error report.
inline constexpr const char* kApplicationTitle = "Miotlarz 9.0 Pro";

} // namespace mtl
