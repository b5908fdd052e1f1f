#include "NetResources.h"

DWORD PlatformNetResources::OpenEnum(DWORD scope, DWORD type, DWORD usage, const NETRESOURCEA* container,
                                     HANDLE* handle)
{
    // The platform only reads the container record.
    return ::WNetOpenEnumA(scope, type, usage, const_cast<NETRESOURCEA*>(container), handle);
}

DWORD PlatformNetResources::EnumResource(HANDLE handle, DWORD* count, void* buffer, DWORD* bufferSize)
{
    return ::WNetEnumResourceA(handle, count, buffer, bufferSize);
}

DWORD PlatformNetResources::CloseEnum(HANDLE handle)
{
    return ::WNetCloseEnum(handle);
}
