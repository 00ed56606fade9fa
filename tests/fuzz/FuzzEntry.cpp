// The libFuzzer entry of one fuzz binary; QUILVANE_FUZZ_TARGET names the target it runs.
#include "tests/fuzz/FuzzTargets.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    return quilvane::fuzz::QUILVANE_FUZZ_TARGET(data, size);
}
