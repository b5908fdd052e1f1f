// The platform's network resource enumeration (WNetOpenEnum,
// WNetEnumResource, WNetCloseEnum of mpr) behind an interface, so that the
// discovery window can be shown a scripted network.
#pragma once

#include <windows.h>

#include <winnetwk.h>

class NetResources {
public:
    virtual ~NetResources() = default;
    virtual DWORD OpenEnum(DWORD scope, DWORD type, DWORD usage, const NETRESOURCEA* container, HANDLE* handle) = 0;
    virtual DWORD EnumResource(HANDLE handle, DWORD* count, void* buffer, DWORD* bufferSize) = 0;
    virtual DWORD CloseEnum(HANDLE handle) = 0;
};

// The network as the platform's providers report it.
class PlatformNetResources final : public NetResources {
public:
    DWORD OpenEnum(DWORD scope, DWORD type, DWORD usage, const NETRESOURCEA* container, HANDLE* handle) override;
    DWORD EnumResource(HANDLE handle, DWORD* count, void* buffer, DWORD* bufferSize) override;
    DWORD CloseEnum(HANDLE handle) override;
};
