#pragma once

// Writes the "DIN" font carried as resource 134 to the data folder once and
// registers it for this process only, so the skins can ask for it by name.
void RegisterResourceFont();
