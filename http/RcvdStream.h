// Where the HTTP client writes a response body: a file, a buffer, anything
// the caller adapts. Not owned by the client.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace quorvex {

class TRcvdStream {
public:
    virtual ~TRcvdStream() = default;

    // Writes up to block.size() bytes at the position and returns how many it
    // took; 0 or less when it took nothing, ErrorString() then tells why
    // (the system's text, e.g. "No space left on device").
    virtual std::int64_t Write(std::span<const char> block) = 0;
    virtual std::string ErrorString() const = 0;
    virtual std::int64_t Position() const = 0;
    // Drops what was written from position on and writes there next (a
    // redirecting response's body is taken back out); a stream that cannot
    // go back leaves what it has.
    virtual void CutBack(std::int64_t position) = 0;
};

}  // namespace quorvex
