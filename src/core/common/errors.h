// Exceptions of the core library. A failure a handler does not foresee travels as one of
// these to the handler's boundary, where the window layer shows it as the general error report.
#pragma once

#include <stdexcept>
#include <string>

namespace mtl {

class Error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A file that cannot be opened, read or written; the text names the file.
class FileError : public Error {
public:
    using Error::Error;
};

// A text that should hold a number but does not.
class ConversionError : public Error {
public:
    using Error::Error;
};

// The settings store could not be read or written.
class RegistryError : public Error {
public:
    using Error::Error;
};

} // namespace mtl
