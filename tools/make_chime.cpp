// Draws the alarm sound the first configuration rings: a bell chime of about
// half a minute that starts soft and grows, as a 48 kHz mono WAV. The checked-in
// file is that WAV compressed with Debian's opusenc:
//
//   make_chime chime.wav
//   opusenc --quiet --bitrate 40 --title "Tolvenmark Chime" chime.wav resources/sounds/chime.opus

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr int kRate = 48000;
constexpr double kPi = 3.14159265358979323846;

// One stroke of a small tuned bell: the strike note, its hum below and a few
// bright partials that die away first.
struct Partial {
    double ratio;
    double level;
    double decaySeconds;
};
constexpr Partial kBell[] = {{0.5, 0.22, 3.2}, {1.0, 1.0, 2.4}, {2.0, 0.5, 1.6}, {3.0, 0.3, 1.1},
                             {4.16, 0.16, 0.8}, {5.43, 0.09, 0.55}, {6.79, 0.05, 0.4}};

void Strike(std::vector<double>& out, double at, double frequency, double gain) {
    const auto first = static_cast<std::size_t>(at * kRate);
    const auto length = static_cast<std::size_t>(4.5 * kRate);
    for (std::size_t i = 0; i < length && first + i < out.size(); ++i) {
        const double t = static_cast<double>(i) / kRate;
        const double attack = std::min(1.0, t / 0.004);
        double sample = 0;
        for (const Partial& p : kBell) {
            if (frequency * p.ratio >= kRate / 2.0) continue;
            sample += p.level * std::exp(-t / p.decaySeconds) * std::sin(2 * kPi * frequency * p.ratio * t);
        }
        out[first + i] += gain * attack * sample;
    }
}

double Note(int semitonesFromA4) { return 440.0 * std::pow(2.0, semitonesFromA4 / 12.0); }

void PutLe(std::string& bytes, std::uint32_t value, int size) {
    for (int i = 0; i < size; ++i) bytes += static_cast<char>((value >> (8 * i)) & 0xFF);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("Usage: make_chime OUT.wav\n", stderr);
        return 2;
    }
    constexpr double kSeconds = 32.0;
    std::vector<double> mix(static_cast<std::size_t>(kSeconds * kRate), 0.0);

    // Two phrases of four strokes in G major, taken in turn; each phrase a
    // little louder than the one before until the fourth.
    const int phrases[2][4] = {{-2, 2, 5, 10}, {5, 2, -2, 5}};
    const double strokeGap = 0.62;
    const double phraseLength = 4 * strokeGap + 1.5;
    int phrase = 0;
    for (double start = 0.2; start + phraseLength < kSeconds - 2.5; start += phraseLength, ++phrase) {
        const double gain = std::min(1.0, 0.45 + 0.18 * phrase);
        for (int k = 0; k < 4; ++k) Strike(mix, start + k * strokeGap, Note(phrases[phrase % 2][k]), gain);
    }
    // A last low stroke rings the chime out.
    Strike(mix, kSeconds - 4.6, Note(-14), 1.0);

    double peak = 0;
    for (double s : mix) peak = std::max(peak, std::abs(s));
    const double scale = peak > 0 ? 0.8 / peak : 0;
    const std::size_t fade = kRate / 2;

    std::string bytes = "RIFF";
    const auto dataSize = static_cast<std::uint32_t>(mix.size() * 2);
    PutLe(bytes, 36 + dataSize, 4);
    bytes += "WAVEfmt ";
    PutLe(bytes, 16, 4);
    PutLe(bytes, 1, 2);  // PCM
    PutLe(bytes, 1, 2);  // mono
    PutLe(bytes, kRate, 4);
    PutLe(bytes, kRate * 2, 4);
    PutLe(bytes, 2, 2);
    PutLe(bytes, 16, 2);
    bytes += "data";
    PutLe(bytes, dataSize, 4);
    for (std::size_t i = 0; i < mix.size(); ++i) {
        const double tail = i + fade > mix.size() ? static_cast<double>(mix.size() - i) / fade : 1.0;
        const auto value = static_cast<std::int16_t>(std::lround(mix[i] * scale * tail * 32767));
        PutLe(bytes, static_cast<std::uint16_t>(value), 2);
    }

    std::ofstream file(argv[1], std::ios::binary);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!file.flush()) {
        std::fprintf(stderr, "make_chime: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
