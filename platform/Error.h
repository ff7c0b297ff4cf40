// The errors Quorvex raises. Every one derives from Error, whose what() is the
// exact message shown to the user.
#pragma once

#include <stdexcept>
#include <string>

namespace quorvex {

class Error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A file could not be created: "Cannot create file "<path>". <reason>".
class FileCreateError : public Error {
public:
    FileCreateError(const std::string& path, const std::string& reason);
};

// A registry value could not be read or written; the message names the value.
class RegistryError : public Error {
public:
    using Error::Error;
};

// A text is not a valid number; the message quotes the text.
class ConvertError : public Error {
public:
    using Error::Error;
};

}  // namespace quorvex
