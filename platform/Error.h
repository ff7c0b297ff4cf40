// The errors Quorvex raises. Every one derives from Error, whose what() is the
// exact message shown to the user.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

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

// What the application error report says for an error that is not an Error.
inline constexpr std::string_view kUnknownError = "Unknown error";

// The application error report's text: the message, with a full stop added
// when its last character sorts above "." in character code. In UTF-8 the
// last byte of any character beyond ASCII sorts above it, as the character does.
std::string ErrorReportText(const std::string& message);

}  // namespace quorvex
