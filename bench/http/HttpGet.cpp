// http_get URL FILE: downloads URL into FILE with THttpCli, as one process
// without an event loop, so that a download can be timed whole beside curl -o.
#include "http/HttpCli.h"
#include "tests/http/Sinks.h"

#include <cstdio>
#include <exception>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: http_get URL FILE\n");
        return 2;
    }
    quorvex::test::TFileSink sink(argv[2], "wb");
    if (!sink.IsOpen()) {
        std::fprintf(stderr, "cannot create %s: %s\n", argv[2], sink.ErrorString().c_str());
        return 1;
    }
    try {
        quorvex::THttpCli cli;
        cli.SetURL(argv[1]);
        cli.SetNoCache(true);
        cli.SetRcvdStream(&sink);
        cli.Get();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    if (!sink.Close()) {
        std::fprintf(stderr, "cannot write %s: %s\n", argv[2], sink.ErrorString().c_str());
        return 1;
    }
    return 0;
}
