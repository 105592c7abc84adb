#include "ui/core/ResourceLocation.h"

#include <cstdio>

// A first cut: skin files come from the resource folder only; the archive
// side arrives with the archive reader.
namespace {
HINSTANCE g_instance = nullptr;
const void* g_archiveBytes = nullptr;
unsigned g_archiveLength = 0;
std::wstring g_resourceFolder;
}  // namespace

void ResourceLocation::SetModuleInstance(HINSTANCE instance) { g_instance = instance; }

HINSTANCE ResourceLocation::GetModuleInstance() { return g_instance; }

void ResourceLocation::UseSkinArchiveBytes(const void* bytes, unsigned length)
{
    if (g_archiveBytes) return;
    g_archiveBytes = bytes;
    g_archiveLength = length;
}

bool ResourceLocation::ReadSkinBytes(const std::wstring& name, std::string& bytes)
{
    bytes.clear();
    FILE* file = _wfopen((g_resourceFolder + name).c_str(), L"rb");
    if (!file) return false;
    char chunk[65536];
    size_t got;
    while ((got = fread(chunk, 1, sizeof chunk, file)) > 0) bytes.append(chunk, got);
    fclose(file);
    return true;
}

bool ResourceLocation::ReadResourceBytes(const wchar_t* id, const wchar_t* type, std::string& bytes)
{
    bytes.clear();
    HMODULE module = g_instance;
    HRSRC found = FindResourceW(module, id, type);
    if (!found) return false;
    HGLOBAL loaded = LoadResource(module, found);
    DWORD size = SizeofResource(module, found);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (data && size > 0) bytes.assign(static_cast<const char*>(data), size);
    return !bytes.empty();
}
