#pragma once
// A standard MIDI file (format 0, one track) of timed notes, for peers that play MIDI: enough of
// the format to say which key sounds on which channel from when to when, at one tempo.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

namespace kelvorn::bench {

struct MidiNote
{
    double start = 0.0;  // seconds
    double length = 0.0; // seconds
    int key = 69;        // 69 is A4 at 440 Hz
    int channel = 0;
    int velocity = 100;
};

/// The MIDI key nearest to a period in seconds.
inline int MidiKeyOfPeriod(double period)
{
    return static_cast<int>(std::lround(69.0 - 12.0 * std::log2(period * 440.0)));
}

/// Writes notes as a format 0 file at 480 ticks per quarter and 120 quarters per minute (one
/// tick is 1/960 s), every channel on program; false when the file cannot be written.
inline bool WriteMidiFile(const std::string& path, const std::vector<MidiNote>& notes,
                          int program = 0)
{
    constexpr double ticksPerSecond = 960.0;
    struct Event
    {
        int64_t tick;
        int order; // note offs before note ons of the same tick
        uint8_t status, data1, data2;
    };
    std::vector<Event> events;
    for (int channel = 0; channel < 16; ++channel)
        if (std::any_of(notes.begin(), notes.end(),
                        [channel](const MidiNote& n) { return n.channel == channel; }))
            events.push_back(
                {0, 0, static_cast<uint8_t>(0xC0 | channel), static_cast<uint8_t>(program), 0});
    for (const MidiNote& n : notes) {
        const auto on = static_cast<int64_t>(std::llround(n.start * ticksPerSecond));
        const auto off = std::max(
            on + 1, static_cast<int64_t>(std::llround((n.start + n.length) * ticksPerSecond)));
        const auto key = static_cast<uint8_t>(std::clamp(n.key, 0, 127));
        const auto channel = static_cast<uint8_t>(n.channel & 15);
        events.push_back({on, 2, static_cast<uint8_t>(0x90 | channel), key,
                          static_cast<uint8_t>(std::clamp(n.velocity, 1, 127))});
        events.push_back({off, 1, static_cast<uint8_t>(0x80 | channel), key, 64});
    }
    std::stable_sort(events.begin(), events.end(), [](const Event& a, const Event& b) {
        return a.tick != b.tick ? a.tick < b.tick : a.order < b.order;
    });

    std::string track;
    auto varLength = [&track](uint64_t v) {
        uint8_t bytes[10];
        int n = 0;
        bytes[n++] = static_cast<uint8_t>(v & 0x7F);
        while (v >>= 7)
            bytes[n++] = static_cast<uint8_t>(0x80 | (v & 0x7F));
        while (n > 0)
            track.push_back(static_cast<char>(bytes[--n]));
    };
    // Tempo: 500,000 microseconds per quarter.
    track += std::string("\x00\xFF\x51\x03\x07\xA1\x20", 7);
    int64_t now = 0;
    for (const Event& e : events) {
        varLength(static_cast<uint64_t>(e.tick - now));
        now = e.tick;
        track.push_back(static_cast<char>(e.status));
        track.push_back(static_cast<char>(e.data1));
        if ((e.status & 0xF0) != 0xC0)
            track.push_back(static_cast<char>(e.data2));
    }
    track += std::string("\x00\xFF\x2F\x00", 4);

    auto be32 = [](uint32_t v) {
        return std::string{static_cast<char>(v >> 24), static_cast<char>(v >> 16),
                           static_cast<char>(v >> 8), static_cast<char>(v)};
    };
    std::ofstream out(path, std::ios::binary);
    out << "MThd" << be32(6) << std::string("\x00\x00\x00\x01\x01\xE0", 6) << "MTrk"
        << be32(static_cast<uint32_t>(track.size())) << track;
    return static_cast<bool>(out.flush());
}

} // namespace kelvorn::bench
