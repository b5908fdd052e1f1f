#include "SystemProbe.h"

#include <winsock.h>
#include <windows.h>
#include <wininet.h>

#include <cstring>

namespace brimwell {

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
    unsigned char basic[44] = {};
    if (!Query(0, basic, sizeof basic))
        return false;
    count = basic[40];
    return true;
}

bool PlatformProbe::SystemTime(std::int64_t& time)
{
    unsigned char timeOfDay[32] = {};
    if (!Query(3, timeOfDay, sizeof timeOfDay))
        return false;
    std::memcpy(&time, timeOfDay + 8, sizeof time);
    return true;
}

bool PlatformProbe::IdleTime(std::int64_t& idle)
{
    unsigned char performance[768] = {};
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
