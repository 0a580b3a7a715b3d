// The sim backend's media device: files the test describes (size, length), played by the
// test's hand (advance), with errors on demand, and a record of every command it was given.
#pragma once
#include <map>
#include <string>
#include <vector>

#include "framework/platform.h"

namespace kv {

class SimMedia : public MediaPort {
public:
    // Error numbers this device gives (the platform's numbers for the same faults).
    static constexpr uint32_t ErrUnknownDevice = 263, ErrFileNotFound = 275, ErrNoDeviceForType = 281,
                              ErrNotOpen = 257, ErrUnsupported = 274;

    struct Video {
        int width = 320, height = 240;
        int32_t frames = 100;
    };
    // A playable file; a name without an entry is missing.
    std::map<std::string, Video> files;
    // The next command of this name ("open", "play", "position", ...) fails with the error.
    std::map<std::string, uint32_t> failNext;
    // Every command fails with this error from now on (the device was taken away, as when
    // another program closes every device); closing still lets it go. 0: none.
    uint32_t failAlways = 0;
    // Every command given, with its argument where it has one: "seek 40", "volume 500".
    std::vector<std::string> log;

    // The device's state.
    MediaMode currentMode = MediaMode::NotReady;
    int32_t pos = 0;
    bool audioOn = true;
    int32_t volume = 1000, speed = 1000;
    uintptr_t displayWindow = 0, notifyWindow = 0;
    int rectLeft = 0, rectTop = 0, rectWidth = 0, rectHeight = 0;
    std::string openFile;

    // The device plays on by n frames; at the last frame it stops by itself.
    void advance(int32_t n);
    int commands(const std::string& name) const;  // how often a command was given

    uint32_t open(const std::string& file) override;
    bool isOpen() override { return !openFile.empty(); }
    uint32_t close() override;
    std::string errorText(uint32_t error) override;
    uint32_t setTimeFormatFrames() override;
    uint32_t setDisplayWindow(uintptr_t window) override;
    uint32_t setDisplayRect(int left, int top, int width, int height) override;
    uint32_t sourceSize(int& width, int& height) override;
    uint32_t length(int32_t& frames) override;
    uint32_t position(int32_t& frame) override;
    uint32_t mode(MediaMode& m) override;
    uint32_t play(uintptr_t notifyWindow) override;
    uint32_t pause() override;
    uint32_t resume() override;
    uint32_t stop() override;
    uint32_t seekToStart() override;
    uint32_t seek(int32_t frame) override;
    uint32_t step(int32_t frames) override;
    uint32_t setAudio(bool on) override;
    uint32_t setVolume(int32_t perMille) override;
    uint32_t setSpeed(int32_t perMille) override;
    uint32_t realize() override;
    uint32_t update(uintptr_t surface, int left, int top, int width, int height) override;
    uint32_t configure() override;

private:
    // Records the command; its scripted failure, or "not open" for a device not open.
    uint32_t command(const std::string& name, const std::string& arg = {}, bool needsOpen = true);
    int32_t lastFrame() const;
};

}  // namespace kv
