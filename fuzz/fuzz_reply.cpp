// Service replies: any body parses as an envelope or fails with a result,
// and download information is only accepted with a usable name and URL.
#include "service/ServiceProtocol.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    ServiceReply reply;
    ReplyParse parsed = ParseServiceReply(std::string(reinterpret_cast<const char*>(data), size), reply);
    if (parsed != ReplyParse::Ok) return 0;
    std::wstring name, url;
    FileCheck check;
    if (ReadDownloadInfo(reply.data, name, url, check) == DownloadInfoRead::Ok) {
        if (!IsSafeFileName(name) || url.empty()) __builtin_trap();
        if (!check.sha256.empty() && check.sha256.size() != 64) __builtin_trap();
    } else if (!name.empty() || !url.empty()) {
        __builtin_trap();
    }
    return 0;
}
