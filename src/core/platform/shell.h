// Handing things to the desktop: opening files, folders, web and mail links, and starting
// other programs.
#pragma once

#include <string>

namespace mtl {

class Shell {
public:
    virtual ~Shell() = default;
    // Opens a file, folder, web address or mailto: link with the desktop's default handler.
    // Returns false when nothing could be started.
    virtual bool open(const std::string& target) = 0;
    // Starts a program, the parameter passed as one argument (never through a shell).
    virtual bool startProgram(const std::string& program, const std::string& parameter) = 0;
    // Opens a text file in the desktop's text editor.
    virtual bool openInTextEditor(const std::string& file) = 0;
};

} // namespace mtl
