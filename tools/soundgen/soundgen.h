// Makes the game's three sound effects from code and lays them out as WAVE files, the same
// bytes on every run and every machine.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace soundgen {

struct Effect {
    int resourceId;
    std::string fileName; // inside resources/
    std::string title;    // written into the file's INFO list
    std::vector<std::int16_t> samples;
};

// The kick (a soft, punchy thump), the bounce (a short tick off metal) and the close button's
// hover (a small friendly blip), 22050 Hz mono 16-bit, 296, 148 and 1002 samples long.
std::vector<std::int16_t> synthesiseKick();
std::vector<std::int16_t> synthesiseBounce();
std::vector<std::int16_t> synthesiseHover();

std::vector<Effect> allEffects();

// A RIFF WAVE file: an 18-byte "fmt " chunk (PCM 22050 Hz mono 16-bit, no extra bytes), a
// "fact" chunk with the sample count, the "data" chunk and an INFO "LIST" chunk.
std::vector<std::uint8_t> waveFile(const Effect& effect);

} // namespace soundgen
