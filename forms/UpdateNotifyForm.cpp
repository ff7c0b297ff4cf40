#include "forms/UpdateNotifyForm.h"

namespace quorvex {

std::string TUpdateNotifyForm::ExpectedChecksum(THashType type) const
{
    switch (type) {
    case THashType::None: return {};
    case THashType::CRC32: return information_.CRC32Hash;
    case THashType::MD5: return information_.MD5Hash;
    case THashType::SHA1: return information_.SHA1Hash;
    }
    return {};
}

std::vector<std::string> TUpdateNotifyForm::ReadmeLines() const
{
    return readme_.value_or(std::vector<std::string>{""});
}

}  // namespace quorvex
