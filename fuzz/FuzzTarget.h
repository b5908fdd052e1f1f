// One harness function per fuzz target. Built as a fuzzer, the harness is
// the libFuzzer entry point; built into the core tests (which define
// LARKSPAN_CORPUS_REPLAY), it is called by name to replay the seed corpus.
#pragma once

#include <cstddef>
#include <cstdint>

int FuzzStreamHeader(const std::uint8_t* data, std::size_t size);
int FuzzReceivedName(const std::uint8_t* data, std::size_t size);
int FuzzGifImage(const std::uint8_t* data, std::size_t size);
int FuzzDnsMessage(const std::uint8_t* data, std::size_t size);

#ifdef LARKSPAN_CORPUS_REPLAY
#define LARKSPAN_FUZZ_TARGET(harness)
#else
#define LARKSPAN_FUZZ_TARGET(harness)                                                  \
    extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) \
    {                                                                                  \
        return harness(data, size);                                                    \
    }
#endif
