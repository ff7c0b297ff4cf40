#include "platform/Console.h"

#include <iostream>

namespace quorvex {

std::ostream& StandardOutput()
{
    return std::cout;
}

std::ostream& StandardError()
{
    return std::cerr;
}

}  // namespace quorvex
