#include "platform/Error.h"

namespace quorvex {

FileCreateError::FileCreateError(const std::string& path, const std::string& reason)
    : Error("Cannot create file \"" + path + "\". " + reason)
{
}

}  // namespace quorvex
