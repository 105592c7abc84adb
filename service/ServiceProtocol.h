#pragma once

// The web service's side of the conversation as pure functions: request
// paths, event bodies, the reply envelope and what a served file name may
// be. No Windows headers, so the rules are tested on plain strings.

#include <cstdint>
#include <string>

#include <json/value.h>

#include "service/FileCheck.h"

// The parsed reply envelope.
struct ServiceReply {
    int error = 0;
    std::wstring msg;
    Json::Value data;
};

enum class ReplyParse {
    Ok,
    NotJson,      // not JSON, or not an object of readable members
    FieldLacked,  // "error", "msg" or "data" missing
};

// Percent-encodes every UTF-8 byte outside the unreserved ASCII letters,
// digits and "-._~".
std::string PercentEncode(const std::string& utf8);

// The longest query the service is sent; longer ones are refused.
const size_t kMaxQueryLength = 2000;

// "/v1/getDownloadInfo?orderId=predownload&version=<encoded>"; false when
// the query would be longer than kMaxQueryLength.
bool BuildDownloadInfoPath(const std::wstring& version, std::wstring& path);

ReplyParse ParseServiceReply(const std::string& body, ServiceReply& reply);

// A file name the service hands out may only name a file directly inside
// the temporary folder: no separators, stream or drive colons, control
// characters (C0, DEL, C1) or characters Windows refuses, no trailing dot
// or space, and no device name (CON, PRN, AUX, NUL, CONIN$, CONOUT$, COM
// and LPT with a digit 1 to 9 or a superscript one to three) whatever the
// extension.
bool IsSafeFileName(const std::wstring& name);

enum class DownloadInfoRead {
    Ok,
    FormatWrong,  // "data" is not an object with "filename" and "fileurl" as text
    Empty,        // either of them is empty
    UnsafeName,   // the file name fails IsSafeFileName
    CheckMalformed,  // "size" is not a whole number of bytes, or "sha256" not 64 hex digits
};

// The download information in a reply's "data"; name and url are set only
// when the result is Ok.
DownloadInfoRead ReadDownloadInfo(const Json::Value& data, std::wstring& name, std::wstring& url);
// The same, with the optional "size" and "sha256" beside them; check is
// set only when the result is Ok, and is empty when the reply gave neither.
// A member that is present but unusable refuses the reply: the service
// meant the file to be checked, and an unchecked file must not be started.
DownloadInfoRead ReadDownloadInfo(const Json::Value& data, std::wstring& name, std::wstring& url,
                                  FileCheck& check);

// {"evt": name, "ct": time, "host": {"os": os}} in the stream writer's default form.
std::string BuildEventBody(const std::string& name, int64_t time, const std::string& os);
