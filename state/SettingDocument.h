#pragma once

// configs.json's two switches as a pure function of its text, free of
// Windows headers, so that any bytes can be tried on it natively.

#include <string>

struct SettingValues {
    int logLevel = 2;
    bool loadResourceFromZip = true;
};

// Reads the file's text with its lines already joined. False when it is not
// JSON, and then nothing changes; otherwise each key that is present with a
// value of a kind that converts replaces its field.
bool ReadSettingDocument(const std::string& text, SettingValues& values);
