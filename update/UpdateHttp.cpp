#include "update/UpdateHttp.h"

#include "platform/Error.h"

namespace quorvex {

void ConfigureUpdateClient(THttpCli& client)
{
    client.SetName("HttpCli1");
    client.SetLocalAddr("0.0.0.0");
    client.SetProxyPort("80");
    client.SetAgent("Mozilla/4.0 (compatible; Quorvex)");
    client.SetAccept("image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, */*");
    client.SetNoCache(true);
    client.SetRequestVer("1.0");
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
    QStringList header;
    for (const std::string& line : client.RcvdHeader())
        header.append(QString::fromStdString(line));
    return AnnouncedLength(header);
}

bool GetInto(THttpCli& client, TPrivateSink& sink)
{
    client.SetRcvdStream(&sink);
    try {
        client.Get();
    } catch (const EHttpException&) {
        return false;
    } catch (const ERcvdStreamError& error) {
        throw Error(QStringLiteral("Cannot write file \"%1\". %2").arg(sink.FileName(), QString::fromStdString(error.Reason())).toStdString());
    }
    return true;
}

QString RequestFailureLine(const THttpCli& client)
{
    return QStringLiteral("Failed: %1 %2").arg(client.StatusCode()).arg(QString::fromStdString(client.ReasonPhrase()));
}

}  // namespace quorvex
