#include "SystemProbe.h"

#include "winui/Handles.h"
#include "winui/MessageLoop.h"

#include <winsock2.h>
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

// The socket library, started for as long as one lives.
class WinsockSession {
public:
    WinsockSession()
    {
        WSADATA data{};
        started_ = ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }
    WinsockSession(const WinsockSession&) = delete;
    WinsockSession& operator=(const WinsockSession&) = delete;
    ~WinsockSession()
    {
        if (started_)
            ::WSACleanup();
    }
    bool Started() const noexcept { return started_; }

private:
    bool started_ = false;
};

class Socket {
public:
    explicit Socket(SOCKET socket) noexcept : socket_(socket) {}
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;
    ~Socket()
    {
        if (socket_ != INVALID_SOCKET)
            ::closesocket(socket_);
    }
    SOCKET Get() const noexcept { return socket_; }

private:
    SOCKET socket_;
};

}  // namespace

// Declared in the order of their making: the socket goes before the library
// and the event, after the pending notification has been cancelled.
struct AddressChangeWatch::State {
    WinsockSession winsock;
    winui::KernelHandle event{::CreateEventA(nullptr, TRUE, FALSE, nullptr)};
    Socket socket{winsock.Started() ? ::WSASocketA(AF_INET, SOCK_DGRAM, IPPROTO_UDP, nullptr, 0, WSA_FLAG_OVERLAPPED)
                                    : INVALID_SOCKET};
    WSAOVERLAPPED overlapped{};
    bool armed = false;
};

AddressChangeWatch::AddressChangeWatch() : state_(std::make_unique<State>()) {}

AddressChangeWatch::~AddressChangeWatch()
{
    // The platform writes into the overlapped record until the cancelled
    // request has completed; the record must outlive it.
    if (state_->armed && ::CancelIoEx(reinterpret_cast<HANDLE>(state_->socket.Get()), &state_->overlapped)) {
        DWORD bytes = 0, flags = 0;
        ::WSAGetOverlappedResult(state_->socket.Get(), &state_->overlapped, &bytes, TRUE, &flags);
    }
}

bool AddressChangeWatch::Armed() const noexcept
{
    return state_->armed;
}

bool AddressChangeWatch::Arm()
{
    State& s = *state_;
    if (s.socket.Get() == INVALID_SOCKET || !s.event)
        return false;
    ::ResetEvent(s.event.Get());
    s.overlapped = {};
    s.overlapped.hEvent = s.event.Get();
    DWORD bytes = 0;
    // Pending is the armed state; an answer at once means a change has
    // already happened, which the next call reports by arming again.
    return ::WSAIoctl(s.socket.Get(), SIO_ADDRESS_LIST_CHANGE, nullptr, 0, nullptr, 0, &bytes, &s.overlapped,
                      nullptr) == SOCKET_ERROR &&
           ::WSAGetLastError() == WSA_IO_PENDING;
}

bool AddressChangeWatch::Changed()
{
    State& s = *state_;
    if (s.armed && ::WaitForSingleObject(s.event.Get(), 0) != WAIT_OBJECT_0)
        return false;
    // Armed again before the caller looks the address up, so that a change
    // during the look-up is reported next time.
    s.armed = Arm();
    return true;
}

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
    const WinsockSession winsock;
    std::string address;
    char name[64] = {};
    ::gethostname(name, sizeof name);
    if (const hostent* host = ::gethostbyname(name))
        address = LastAddress(host->h_addr_list);
    return address;
}

bool PlatformProbe::AddressesChanged()
{
    return addresses_.Changed();
}

bool PlatformProbe::EscapeDown()
{
    return (::GetKeyState(VK_ESCAPE) & 0x80) != 0;
}

void PlatformProbe::Wait(unsigned milliseconds, const std::function<bool()>& letMessagesRun)
{
    winui::WaitLettingMessagesRun(milliseconds, letMessagesRun);
}

}  // namespace brimwell
