// The running processes as Linux lists them under /proc.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace quorvex {

// One process; each accessor reads /proc when called and gives an empty
// answer when the process has gone or may not be inspected.
class TProcessInfo {
public:
    explicit TProcessInfo(std::filesystem::path folder) : folder_(std::move(folder)) {}

    std::string Name() const;                    // the kernel's short name (comm)
    std::filesystem::path WorkingFolder() const;
    std::vector<std::string> Arguments() const;  // the command line, one entry per argument

private:
    std::filesystem::path folder_;
};

// Whether the predicate holds for any process but this one.
bool AnyProcess(const std::function<bool(const TProcessInfo&)>& predicate);

}  // namespace quorvex
