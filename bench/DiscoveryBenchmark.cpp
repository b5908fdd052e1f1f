// How long a browse of the local network takes to list every Tessaly that
// answers: from StartBrowse (what "Who's Online?" does first) to the moment
// the list holds all `count` instances, next to the 1.5 s that the
// discovery window waits in any case. The answering instances are another
// machine's (scripts/bench.sh registers them with python3-zeroconf); each
// round browses with a new service, so nothing is known beforehand.
//   DiscoveryBenchmark.exe COUNT [ROUNDS]
#include "transfer/MulticastDns.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

double Ms(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

}  // namespace

int main(int argc, char** argv)
{
    const std::size_t count = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 1;
    const int rounds = argc > 2 ? std::atoi(argv[2]) : 5;
    const double window = Ms(MulticastDns::browseTime);
    std::vector<double> full;
    std::vector<std::size_t> inWindow;
    for (int round = 0; round < rounds; ++round) {
        MulticastDns service({"Discovery Bench", false});
        if (!service.Running()) {
            std::printf("no multicast DNS on this machine's network\n");
            return 1;
        }
        const Clock::time_point start = Clock::now();
        service.StartBrowse();
        double whole = -1;
        std::size_t atWindowEnd = 0;
        for (;;) {
            const Clock::duration since = Clock::now() - start;
            const std::size_t n = service.Found().size();
            if (whole < 0 && n >= count)
                whole = Ms(since);
            if (Ms(since) <= window)
                atWindowEnd = n;
            if ((whole >= 0 && Ms(since) > window) || since > 10s)
                break;
            std::this_thread::sleep_for(1ms);
        }
        full.push_back(whole);
        inWindow.push_back(atWindowEnd);
        // The peer answers a question at most once a second on the link.
        std::this_thread::sleep_for(1500ms);
    }
    std::vector<double> sorted = full;
    std::sort(sorted.begin(), sorted.end());
    const bool missed = std::ranges::any_of(full, [](double ms) { return ms < 0; });
    std::printf("%3zu instances: all listed after", count);
    for (const double ms : full)
        ms < 0 ? std::printf(" never") : std::printf(" %.0f", ms);
    std::printf(" ms (%d rounds); median %.0f ms = %.2f of the %.0f ms window; listed within the window:",
                rounds, sorted[sorted.size() / 2], sorted[sorted.size() / 2] / window, window);
    for (const std::size_t n : inWindow)
        std::printf(" %zu", n);
    std::printf(" of %zu\n", count);
    return missed ? 1 : 0;
}
