// The HTTP client as the update checker uses it. Texts are UTF-8.
#pragma once

#include "http/HttpCli.h"
#include "update/PrivateSink.h"

#include <string>
#include <vector>

namespace quorvex {

// Synchronous HTTP/1.0 requests without cache, following up to five
// relocations, with the update checker's agent and a 30-second time-out.
void ConfigureUpdateClient(THttpCli& client);

// The size that a response header announces: the first line that reads
// "content-length: " (any letter case, exactly one blank) gives it as a
// signed 32-bit number; 0 without such a line or when it is not one.
int AnnouncedLength(const std::vector<std::string>& header);

// The size of the client's URL from a HEAD request; 0 when it fails or
// announces none.
int RemoteFileSize(THttpCli& client);

// GET of the client's URL into sink; false when the request failed (the
// client's status tells why). Data that cannot be written raises
// Error("Cannot write file "<path>". <reason>").
bool GetInto(THttpCli& client, TPrivateSink& sink);

// "Failed: " + the status code and reason phrase of the client's last request.
std::string RequestFailureLine(const THttpCli& client);

}  // namespace quorvex
