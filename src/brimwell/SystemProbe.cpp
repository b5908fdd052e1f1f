#include "SystemProbe.h"

#include <winsock.h>
#include <windows.h>
#include <wininet.h>

#include <cstddef>
#include <cstring>

namespace brimwell {

namespace {

// The basic information record (class 0) in the caller's own width: 44 bytes
// with the processor count at offset 40 in a 32-bit process, 64 bytes with it
// at offset 56 in a 64-bit one. The call insists on the exact length.
struct BasicInformation {
    ULONG reserved;
    ULONG timerResolution;
    ULONG pageSize;
    ULONG numberOfPhysicalPages;
    ULONG lowestPhysicalPageNumber;
    ULONG highestPhysicalPageNumber;
    ULONG allocationGranularity;
    ULONG_PTR minimumUserModeAddress;
    ULONG_PTR maximumUserModeAddress;
    ULONG_PTR activeProcessorsAffinityMask;
    CCHAR numberOfProcessors;
};
static_assert(sizeof(void*) != 4 || (sizeof(BasicInformation) == 44 &&
                                     offsetof(BasicInformation, numberOfProcessors) == 40));
static_assert(sizeof(void*) != 8 || (sizeof(BasicInformation) == 64 &&
                                     offsetof(BasicInformation, numberOfProcessors) == 56));

}  // namespace

std::string LastAddress(char* const* addresses)
{
    std::string address;
    for (char* const* entry = addresses; entry && *entry; ++entry) {
        in_addr ip{};
        std::memcpy(&ip, *entry, sizeof ip);
        address = ::inet_ntoa(ip);  // the last address of the list wins
    }
    return address;
}

PlatformProbe::PlatformProbe()
{
    if (HMODULE ntdll = ::GetModuleHandleA("ntdll.dll"))
        query_ = reinterpret_cast<QueryFunction>(
            reinterpret_cast<void*>(::GetProcAddress(ntdll, "NtQuerySystemInformation")));
}

bool PlatformProbe::Query(int informationClass, void* buffer, unsigned long length)
{
    return query_ && query_(informationClass, buffer, length, nullptr) == 0;
}

bool PlatformProbe::ProcessorCount(int& count)
{
    BasicInformation basic{};
    if (!Query(0, &basic, sizeof basic))
        return false;
    count = static_cast<unsigned char>(basic.numberOfProcessors);
    return true;
}

bool PlatformProbe::SystemTime(std::int64_t& time)
{
    alignas(8) unsigned char timeOfDay[32] = {};
    if (!Query(3, timeOfDay, sizeof timeOfDay))
        return false;
    std::memcpy(&time, timeOfDay + 8, sizeof time);
    return true;
}

bool PlatformProbe::IdleTime(std::int64_t& idle)
{
    alignas(8) unsigned char performance[768] = {};
    if (!Query(2, performance, sizeof performance))
        return false;
    std::memcpy(&idle, performance, sizeof idle);
    return true;
}

MemoryFigures PlatformProbe::Memory()
{
    // The extended status: the plain one caps or garbles page-file figures
    // above 4 GB.
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof status;
    ::GlobalMemoryStatusEx(&status);
    return {status.dwMemoryLoad, status.ullTotalPageFile, status.ullAvailPageFile};
}

PowerFigures PlatformProbe::Power()
{
    SYSTEM_POWER_STATUS status{};
    status.ACLineStatus = 255;
    status.BatteryLifePercent = 255;
    ::GetSystemPowerStatus(&status);
    return {status.ACLineStatus, status.BatteryLifePercent};
}

bool PlatformProbe::Online()
{
    DWORD flags = 0;
    return ::InternetGetConnectedState(&flags, 0) != FALSE;
}

std::string PlatformProbe::IPAddress()
{
    WSADATA data{};
    ::WSAStartup(0x0101, &data);
    std::string address;
    char name[64] = {};
    ::gethostname(name, sizeof name);
    if (const hostent* host = ::gethostbyname(name))
        address = LastAddress(host->h_addr_list);
    ::WSACleanup();
    return address;
}

bool PlatformProbe::EscapeDown()
{
    return (::GetKeyState(VK_ESCAPE) & 0x80) != 0;
}

void PlatformProbe::Sleep(unsigned milliseconds)
{
    ::Sleep(milliseconds);
}

}  // namespace brimwell
