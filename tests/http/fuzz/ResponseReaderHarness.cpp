#include "ResponseReaderHarness.h"

#include "http/HttpResponseReader.h"

#include <algorithm>
#include <span>

namespace quorvex::fuzz {
namespace {

class TChecker final : public THttpResponseEvents {
public:
    THttpResponse response;
    THttpResponseReader reader{response, *this};
    std::string broken;
    bool resetOnData = false;

    void HeaderBegin() override { Expect(!inBody_ && !finished_, "header after the body"); }
    void HeaderNotHttp() override {}
    void HeaderLocation(const std::string&) override {}
    void HeaderCookie(const std::string&) override {}
    void HeaderLine() override
    {
        Expect(response.Header.size() <= THttpResponseReader::kMaxHeaderLines, "header line limit passed");
    }
    void HeaderEnd() override {}
    void NoBody() override { Finish(); }
    void BodyBegin() override
    {
        Expect(!inBody_ && !finished_, "second body");
        inBody_ = true;
    }
    void BodyData(std::span<const char> block) override
    {
        Expect(inBody_ && !finished_, "data outside a body");
        Expect(!block.empty(), "empty block");
        delivered_ += static_cast<std::int64_t>(block.size());
        Expect(delivered_ == response.RcvdCount, "RcvdCount differs from the bytes delivered");
        const bool framedByLength = response.ContentLength >= 0 && response.TransferCoding != "chunked";
        Expect(!framedByLength || delivered_ <= response.ContentLength, "more than Content-Length delivered");
        if (resetOnData)
            reader.Reset();
    }
    void BodyEnd() override
    {
        Expect(inBody_, "body end without a body");
        Finish();
    }
    void ResponseFailed(const std::string&) override { Finish(); }

private:
    void Finish()
    {
        Expect(!finished_, "response ended twice");
        finished_ = true;
    }
    void Expect(bool condition, const char* rule)
    {
        if (!condition && broken.empty())
            broken = rule;
    }

    bool inBody_ = false;
    bool finished_ = false;
    std::int64_t delivered_ = 0;
};

}  // namespace

std::string ReadResponse(const std::uint8_t* data, std::size_t size)
{
    if (size < 2)
        return {};
    const std::uint8_t mode = data[0];
    const std::size_t cutSeed = data[1];
    std::span<const char> rest(reinterpret_cast<const char*>(data) + 2, size - 2);

    TChecker checker;
    checker.resetOnData = (mode & 4) != 0;
    checker.reader.Begin((mode & 1) != 0, (mode & 2) != 0 ? "1.1" : "1.0");
    for (std::size_t read = 0; !rest.empty(); ++read) {
        const std::size_t piece = std::min(rest.size(), 1 + (cutSeed * (read + 1) * 7919) % 257);
        checker.reader.Feed(rest.first(piece));
        rest = rest.subspan(piece);
    }
    checker.reader.ConnectionClosed();
    return checker.broken;
}

}  // namespace quorvex::fuzz
