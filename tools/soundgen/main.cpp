// hopla-soundgen: writes the game's sound effects into a folder, normally resources/.
//   hopla-soundgen <folder>
#include "tools/soundgen/soundgen.h"

#include <cstdio>
#include <fstream>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <resources folder>\n", argv[0]);
        return 2;
    }
    for (const soundgen::Effect& effect : soundgen::allEffects()) {
        const std::string path = std::string(argv[1]) + "/" + effect.fileName;
        const std::vector<std::uint8_t> bytes = soundgen::waveFile(effect);
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
        if (!out) {
            std::fprintf(stderr, "hopla-soundgen: cannot write %s\n", path.c_str());
            return 1;
        }
        std::printf("%s: %zu samples\n", path.c_str(), effect.samples.size());
    }
    return 0;
}
