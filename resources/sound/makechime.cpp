// Writes the built-in alarm alert: a soft two-note bell chime ("ding-dong", E6 then C6) as a
// 16-bit PCM mono wave file. The quiet tail keeps a looping alarm from sounding like one long tone.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <numbers>
#include <string>
#include <vector>

namespace {

constexpr int sampleRate = 22050;
constexpr double length = 1.6; // seconds, tail included

struct Note {
    double start;     // seconds
    double frequency; // Hz
};
constexpr Note notes[] = {{0.0, 1318.51}, {0.42, 1046.50}};
// Partials of a small bell: the fundamental with a few quieter overtones.
constexpr double partials[][2] = {{1.0, 1.0}, {2.0, 0.30}, {3.0, 0.10}, {4.2, 0.05}};
constexpr double decay = 0.32;   // seconds to fall to 1/e
constexpr double attack = 0.004; // seconds, so the note starts without a click
constexpr double level = 0.45;   // of full scale, for the loudest moment

double noteAt(const Note& note, double t)
{
    const double local = t - note.start;
    if (local < 0)
        return 0;
    const double envelope = std::min(1.0, local / attack) * std::exp(-local / decay);
    double sum = 0;
    for (const auto& partial : partials)
        sum += partial[1] * std::sin(2 * std::numbers::pi * note.frequency * partial[0] * local);
    return envelope * sum;
}

void putLittleEndian(std::string& out, std::uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(char((value >> (8 * i)) & 0xFF));
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUT.wav\n", argv[0]);
        return 2;
    }
    const int count = int(sampleRate * length);
    std::vector<double> wave(count);
    double peak = 0;
    for (int i = 0; i < count; ++i) {
        const double t = double(i) / sampleRate;
        for (const Note& note : notes)
            wave[i] += noteAt(note, t);
        // The last 50 ms fade out so a loop joins without a click.
        wave[i] *= std::min(1.0, (count - 1 - i) / (0.05 * sampleRate));
        peak = std::max(peak, std::abs(wave[i]));
    }

    const std::uint32_t dataBytes = std::uint32_t(count) * 2;
    std::string out;
    out += "RIFF";
    putLittleEndian(out, 36 + dataBytes, 4);
    out += "WAVEfmt ";
    putLittleEndian(out, 16, 4); // format chunk size
    putLittleEndian(out, 1, 2);  // PCM
    putLittleEndian(out, 1, 2);  // mono
    putLittleEndian(out, sampleRate, 4);
    putLittleEndian(out, sampleRate * 2, 4); // bytes per second
    putLittleEndian(out, 2, 2);              // bytes per sample frame
    putLittleEndian(out, 16, 2);             // bits per sample
    out += "data";
    putLittleEndian(out, dataBytes, 4);
    for (double sample : wave)
        putLittleEndian(out, std::uint16_t(std::int16_t(std::lround(sample / peak * level * 32767))), 2);

    std::ofstream file(argv[1], std::ios::binary | std::ios::trunc);
    file.write(out.data(), std::streamsize(out.size()));
    file.close();
    if (!file) {
        std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[1]);
        return 1;
    }
    return 0;
}
