// The base of every error the system raises: what() is the user-facing message.
#pragma once

#include <stdexcept>

namespace quorvex {

class Error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace quorvex
