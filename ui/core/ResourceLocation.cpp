#include "ui/core/ResourceLocation.h"

namespace {
HINSTANCE g_instance = nullptr;
const void* g_archiveBytes = nullptr;
unsigned g_archiveLength = 0;
}  // namespace

void ResourceLocation::SetModuleInstance(HINSTANCE instance) { g_instance = instance; }

HINSTANCE ResourceLocation::GetModuleInstance() { return g_instance; }

void ResourceLocation::UseSkinArchiveBytes(const void* bytes, unsigned length)
{
    if (g_archiveBytes) return;
    g_archiveBytes = bytes;
    g_archiveLength = length;
}
