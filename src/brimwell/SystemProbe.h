// What the sampler reads from the platform, behind one small interface so
// that tests can substitute values.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace brimwell {

struct MemoryFigures {
    unsigned memoryLoad = 0;  // percent of physical memory in use
    std::uint64_t totalPageFile = 0;
    std::uint64_t availPageFile = 0;
};

struct PowerFigures {
    std::uint8_t acLineStatus = 255;
    std::uint8_t batteryLifePercent = 255;
};

class SystemProbe {
public:
    virtual ~SystemProbe() = default;
    // Basic information: the number of processors; false when the query fails.
    virtual bool ProcessorCount(int& count) = 0;
    // Time-of-day information: the current system time in 100-ns units.
    virtual bool SystemTime(std::int64_t& time) = 0;
    // Performance information: idle time summed over all processors.
    virtual bool IdleTime(std::int64_t& idle) = 0;
    virtual MemoryFigures Memory() = 0;
    virtual PowerFigures Power() = 0;
    // The connected state: a LAN or dial-up connection (each of which gives
    // the machine an address of its own), unless the platform works offline.
    virtual bool Online() = 0;
    // The last IPv4 address the resolver lists for the local host name, or "".
    virtual std::string IPAddress() = 0;
    // True on the first call and whenever the machine's addresses may have
    // changed since the last one: IPAddress may then answer otherwise, and
    // Online too.
    virtual bool AddressesChanged() = 0;
    // Escape held down, as the UI thread's key state reports it.
    virtual bool EscapeDown() = 0;
    // Waits `milliseconds` on the UI thread; whenever window messages arrive
    // meanwhile, `letMessagesRun` runs them, and the wait ends early once it
    // answers false.
    virtual void Wait(unsigned milliseconds, const std::function<bool()>& letMessagesRun) = 0;
};

// Tells whether the machine's addresses may have changed, from the socket
// library's address-list-change notification on a socket of its own, armed
// again after each one. Where it cannot be armed, every call answers true.
class AddressChangeWatch {
public:
    AddressChangeWatch();
    AddressChangeWatch(const AddressChangeWatch&) = delete;
    AddressChangeWatch& operator=(const AddressChangeWatch&) = delete;
    ~AddressChangeWatch();
    // True on the first call, after each notification, and while the
    // notification cannot be armed.
    bool Changed();
    // True while a notification is armed.
    bool Armed() const noexcept;

private:
    struct State;
    bool Arm();
    std::unique_ptr<State> state_;
};

// The dotted address of the last IPv4 address in a resolver's null-ended
// list, or "" for an empty list.
std::string LastAddress(char* const* addresses);

// The real functions: NtQuerySystemInformation (found at run time),
// GlobalMemoryStatusEx, GetSystemPowerStatus, InternetGetConnectedState and
// the socket library's resolver and address-change notification.
class PlatformProbe final : public SystemProbe {
public:
    PlatformProbe();
    bool ProcessorCount(int& count) override;
    bool SystemTime(std::int64_t& time) override;
    bool IdleTime(std::int64_t& idle) override;
    MemoryFigures Memory() override;
    PowerFigures Power() override;
    bool Online() override;
    std::string IPAddress() override;
    bool AddressesChanged() override;
    bool EscapeDown() override;
    // Waits on the platform's message-or-time-out wait, from a deadline.
    void Wait(unsigned milliseconds, const std::function<bool()>& letMessagesRun) override;

private:
    using QueryFunction = long(__stdcall*)(int, void*, unsigned long, unsigned long*);
    bool Query(int informationClass, void* buffer, unsigned long length);
    QueryFunction query_ = nullptr;
    AddressChangeWatch addresses_;
};

}  // namespace brimwell
