// The running processes as Linux lists them under /proc.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
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
    std::optional<uid_t> UserId() const;         // the real user id, the one who started it

private:
    std::filesystem::path folder_;
};

// The real user id in a text of /proc/<pid>/status' form (its "Uid:" line).
std::optional<uid_t> RealUserIdOf(std::string_view status);

// Whether the predicate holds for any process but this one.
bool AnyProcess(const std::function<bool(const TProcessInfo&)>& predicate);

// The ids of the processes that hold a POSIX write lock (fcntl) in a text of
// /proc/locks' form; processes waiting for a lock, other kinds of lock and
// processes of other namespaces (id 0 or -1) are left out.
std::vector<int> PosixWriteLockHolderIds(std::string_view locks);

// The processes but this one that hold a POSIX write lock, as /proc/locks
// lists them: a few on most systems, where there are hundreds of processes.
// Nothing when the list cannot be read whole.
std::optional<std::vector<TProcessInfo>> PosixWriteLockHolders();

}  // namespace quorvex
