#pragma once

// data.json as pure functions of its text, free of Windows headers, so that
// any bytes can be tried on the reader natively.

#include <string>

struct PersistedData {
    std::wstring deviceId;
    std::wstring installFilePath;
    std::wstring softwareVersion;
    // SHA-256 of the installer at installFilePath as the service gave it
    // (64 lower-case hex digits), empty when it gave none. Written only
    // when known, so a service without digests leaves the file as before.
    std::string installFileSha256;
};

// Reads the file's text (line breaks already dropped). False when it is not
// a JSON object, and then nothing changes. Otherwise each member that is
// present and readable as text replaces its field; objects and arrays count
// as missing, and so does a device id that is not a plain identifier
// (deviceIdRefused then tells the caller), because the id goes into every
// request header as it stands. A digest that is not 64 hex digits counts
// as missing too.
bool ReadDataDocument(const std::string& text, PersistedData& data, bool& deviceIdRefused);

// The whole file, all three members (and the digest when there is one), in
// the stream writer's default form.
std::string WriteDataDocument(const PersistedData& data);

// ASCII letters, digits, '-', '_' and '.', 1 to 128 of them: every form the
// program makes (MAC address, GUID, tick count) and nothing that could end
// or add a header line.
bool IsPlainIdentifier(const std::wstring& id);
