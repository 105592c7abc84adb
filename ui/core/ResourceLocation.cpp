#include "ui/core/ResourceLocation.h"

#include "ui/core/SkinSource.h"

namespace {

HINSTANCE g_instance = nullptr;
HINSTANCE g_resourceModule = nullptr;

}  // namespace

void ResourceLocation::SetModuleInstance(HINSTANCE instance) { g_instance = instance; }

HINSTANCE ResourceLocation::GetModuleInstance() { return g_instance; }

void ResourceLocation::SetResourceModule(HINSTANCE module) { g_resourceModule = module; }

HINSTANCE ResourceLocation::GetResourceModule() { return g_resourceModule ? g_resourceModule : g_instance; }

std::wstring ResourceLocation::GetModuleFolder()
{
    if (!g_instance) return std::wstring();
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD length = GetModuleFileNameW(g_instance, &path[0], static_cast<DWORD>(path.size()));
        if (length == 0) return std::wstring();
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

void ResourceLocation::SetResourceFolder(const std::wstring& folder) { CSkinSource::Process().SetFolder(folder); }

std::wstring ResourceLocation::GetResourceFolder() { return CSkinSource::Process().Folder(); }

void ResourceLocation::UseSkinArchive(const std::wstring& name) { CSkinSource::Process().UseArchive(name); }

void ResourceLocation::UseSkinArchiveBytes(const void* bytes, unsigned length)
{
    CSkinSource::Process().UseArchiveBytes(bytes, length);
}

bool ResourceLocation::ReadSkinBytes(const std::wstring& name, std::string& bytes)
{
    return CSkinSource::Process().Read(name, kMaxImageFileSize, bytes, nullptr);
}

bool ResourceLocation::SkinFromArchive() { return !CSkinSource::Process().ArchiveName().empty(); }

bool ResourceLocation::ReadResourceBytes(const wchar_t* id, const wchar_t* type, std::string& bytes)
{
    bytes.clear();
    HMODULE module = GetResourceModule();
    HRSRC found = FindResourceW(module, id, type);
    if (!found) return false;
    HGLOBAL loaded = LoadResource(module, found);
    DWORD size = SizeofResource(module, found);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (data && size > 0) bytes.assign(static_cast<const char*>(data), size);
    return !bytes.empty();
}
