// The profile service of the platform: GetPrivateProfileStringA, WritePrivateProfileStringA
// and GetPrivateProfileSectionA.
#pragma once
#include "framework/platform.h"

namespace kv {

// The process-wide Win32 profile port (also reached as kv::win32::profilePort()).
ProfilePort& win32Profile();

}  // namespace kv
