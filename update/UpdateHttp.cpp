#include "update/UpdateHttp.h"

namespace quorvex {

void ConfigureUpdateClient(THttpCli& client)
{
    client.setObjectName(QStringLiteral("HttpCli1"));
    client.SetLocalAddr(QStringLiteral("0.0.0.0"));
    client.SetProxyPort(QStringLiteral("80"));
    client.SetAgent(QStringLiteral("Mozilla/4.0 (compatible; Quorvex)"));
    client.SetAccept(QStringLiteral("image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, */*"));
    client.SetNoCache(true);
    client.SetRequestVer(QStringLiteral("1.0"));
    client.SetFollowRelocation(true);
    client.SetLocationChangeMaxCount(5);
    client.SetTimeout(30);
}

int AnnouncedLength(const QStringList& header)
{
    static const QString kName = QStringLiteral("content-length: ");
    for (const QString& line : header) {
        const QString lower = line.toLower();
        if (lower.startsWith(kName))
            return lower.mid(kName.size()).toInt();  // 0 when not a number
    }
    return 0;
}

int RemoteFileSize(THttpCli& client)
{
    try {
        client.Head();
    } catch (const EHttpException&) {
        return 0;
    }
    return AnnouncedLength(client.RcvdHeader());
}

}  // namespace quorvex
