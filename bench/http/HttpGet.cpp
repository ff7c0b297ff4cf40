// http_get URL FILE: downloads URL into FILE with THttpCli, as one process
// without an event loop, so that a download can be timed whole beside curl -o.
#include "http/HttpCli.h"
#include "tests/http/DeviceSink.h"

#include <QFile>

#include <cstdio>
#include <exception>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: http_get URL FILE\n");
        return 2;
    }
    QFile target(QString::fromLocal8Bit(argv[2]));
    if (!target.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        std::fprintf(stderr, "cannot create %s: %s\n", argv[2], qPrintable(target.errorString()));
        return 1;
    }
    quorvex::test::TDeviceSink sink(target);
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
    return target.flush() ? 0 : 1;
}
