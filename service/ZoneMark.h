#pragma once

#include <string>

// The mark a browser gives a file it downloaded: a "Zone.Identifier"
// stream beside the file's data that names the Internet zone and the URL
// the file came from. The shell's reputation check and virus scanners look
// at it before a marked program starts. Any thread; no shared state.
class CZoneMark {
public:
    // The stream's text: zone 3 and the source URL, CR LF lines. Control
    // characters are left out of the URL, so it cannot add lines of its own.
    static std::string Text(const std::wstring& url);

    // Writes the stream onto the file at path (replacing an earlier mark).
    // False with the system's error number when the volume or the system
    // keeps no such streams.
    static bool Write(const std::wstring& path, const std::wstring& url, unsigned long& error);

    // The stream's text as the file carries it; false when it has none.
    static bool Read(const std::wstring& path, std::string& text);

    static std::wstring StreamPath(const std::wstring& path) { return path + L":Zone.Identifier"; }
};
