// Drives a fuzz target without libFuzzer: a fixed series of pseudo-random inputs, some of them
// mutations of earlier ones, so a normal test run exercises every target the same way each time.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv) {
    const long runs = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 10000;
    std::mt19937 random(12345);
    std::vector<std::uint8_t> input;
    for (long run = 0; run < runs; ++run) {
        // Mostly grow or mutate the previous input, sometimes start afresh, so structured
        // prefixes that a target accepts survive long enough to reach deeper checks.
        if (run % 64 == 0) input.clear();
        const unsigned action = random() % 4;
        if (action == 0 || input.empty()) {
            input.push_back(static_cast<std::uint8_t>(random()));
        } else if (action == 1) {
            input[random() % input.size()] = static_cast<std::uint8_t>(random());
        } else if (action == 2 && input.size() < 4096) {
            const std::size_t extra = random() % 64;
            for (std::size_t i = 0; i < extra; ++i) input.push_back(static_cast<std::uint8_t>(random()));
        } else {
            input.resize(random() % (input.size() + 1));
        }
        // A heap copy of exactly the input's size lets AddressSanitizer catch any read past it.
        std::vector<std::uint8_t> exact(input);
        LLVMFuzzerTestOneInput(exact.data(), exact.size());
    }
    std::printf("%ld inputs, no fault\n", runs);
    return 0;
}
