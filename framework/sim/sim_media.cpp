#include "framework/sim/sim_media.h"

#include <algorithm>

#include "framework/text.h"

namespace kv {

uint32_t SimMedia::command(const std::string& name, const std::string& arg, bool needsOpen) {
    log.push_back(arg.empty() ? name : name + " " + arg);
    auto it = failNext.find(name);
    if (it != failNext.end()) {
        uint32_t e = it->second;
        failNext.erase(it);
        return e;
    }
    if (failAlways) return failAlways;
    if (needsOpen && !isOpen()) return ErrNotOpen;
    return 0;
}

int32_t SimMedia::lastFrame() const {
    auto it = files.find(openFile);
    return it == files.end() ? 0 : std::max<int32_t>(0, it->second.frames - 1);
}

int SimMedia::commands(const std::string& name) const {
    return static_cast<int>(std::count_if(log.begin(), log.end(), [&](const std::string& l) {
        return l == name || l.rfind(name + " ", 0) == 0;
    }));
}

void SimMedia::advance(int32_t n) {
    if (currentMode != MediaMode::Playing) return;
    pos = std::min(pos + n, lastFrame());
    if (pos == lastFrame()) currentMode = MediaMode::Stopped;
}

uint32_t SimMedia::open(const std::string& file) {
    if (uint32_t e = command("open", file, false)) return e;
    if (isOpen()) return 265;  // a device is open already
    auto dot = file.find_last_of('.');
    auto slash = file.find_last_of("\\:");
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return ErrNoDeviceForType;
    const std::string ext = file.substr(dot + 1);
    if (!sameText(ext, "avi") && !sameText(ext, "mpg") && !sameText(ext, "mov")) return ErrNoDeviceForType;
    auto it = std::find_if(files.begin(), files.end(), [&](const auto& f) { return sameText(f.first, file); });
    if (it == files.end()) return ErrFileNotFound;
    openFile = it->first;
    currentMode = MediaMode::Stopped;
    pos = 0;
    return 0;
}

uint32_t SimMedia::close() {
    if (uint32_t e = command("close")) {
        if (failAlways) openFile.clear();  // a device taken away is given up all the same
        return e;
    }
    openFile.clear();
    currentMode = MediaMode::NotReady;
    return 0;
}

std::string SimMedia::errorText(uint32_t error) {
    switch (error) {
        case ErrNotOpen: return "The device is not open.";
        case ErrUnknownDevice: return "The specified device is not open or is not recognized by MCI.";
        case 265: return "The device name is already being used as an alias by this application.";
        case ErrUnsupported: return "The MCI device the system is using does not support the specified command.";
        case ErrFileNotFound: return "Cannot find the specified file.";
        case ErrNoDeviceForType: return "There is no driver installed on your system.";
        default: return "Unknown media error " + intToStr(static_cast<int>(error)) + ".";
    }
}

uint32_t SimMedia::setTimeFormatFrames() { return command("frames"); }

uint32_t SimMedia::setDisplayWindow(uintptr_t window) {
    if (uint32_t e = command("window")) return e;
    displayWindow = window;
    return 0;
}

uint32_t SimMedia::setDisplayRect(int left, int top, int width, int height) {
    if (uint32_t e = command("put", intToStr(left) + "," + intToStr(top) + "," + intToStr(width) + "," + intToStr(height))) return e;
    rectLeft = left;
    rectTop = top;
    rectWidth = width;
    rectHeight = height;
    return 0;
}

uint32_t SimMedia::sourceSize(int& width, int& height) {
    if (uint32_t e = command("where")) return e;
    const Video& v = files.at(openFile);
    width = v.width;
    height = v.height;
    return 0;
}

uint32_t SimMedia::length(int32_t& frames) {
    if (uint32_t e = command("length")) return e;
    frames = files.at(openFile).frames;
    return 0;
}

uint32_t SimMedia::position(int32_t& frame) {
    if (uint32_t e = command("position")) return e;
    frame = pos;
    return 0;
}

uint32_t SimMedia::mode(MediaMode& m) {
    if (uint32_t e = command("mode")) return e;
    m = currentMode;
    return 0;
}

uint32_t SimMedia::play(uintptr_t notify) {
    if (uint32_t e = command("play")) return e;
    notifyWindow = notify;
    if (pos < lastFrame()) currentMode = MediaMode::Playing;
    return 0;
}

uint32_t SimMedia::pause() {
    if (uint32_t e = command("pause")) return e;
    if (currentMode == MediaMode::Playing) currentMode = MediaMode::Paused;
    return 0;
}

uint32_t SimMedia::resume() {
    if (uint32_t e = command("resume")) return e;
    if (currentMode == MediaMode::Paused) currentMode = MediaMode::Playing;
    return 0;
}

uint32_t SimMedia::stop() {
    if (uint32_t e = command("stop")) return e;
    currentMode = MediaMode::Stopped;
    return 0;
}

uint32_t SimMedia::seekToStart() {
    if (uint32_t e = command("seek", "start")) return e;
    pos = 0;
    currentMode = MediaMode::Stopped;
    return 0;
}

uint32_t SimMedia::seek(int32_t frame) {
    if (uint32_t e = command("seek", intToStr(frame))) return e;
    pos = std::clamp<int32_t>(frame, 0, lastFrame());
    currentMode = MediaMode::Stopped;
    return 0;
}

uint32_t SimMedia::step(int32_t frames) {
    if (uint32_t e = command("step", intToStr(frames))) return e;
    pos = std::clamp<int32_t>(pos + frames, 0, lastFrame());
    if (currentMode == MediaMode::Playing) currentMode = MediaMode::Paused;
    return 0;
}

uint32_t SimMedia::setAudio(bool on) {
    if (uint32_t e = command("audio", on ? "on" : "off")) return e;
    audioOn = on;
    return 0;
}

uint32_t SimMedia::setVolume(int32_t perMille) {
    if (uint32_t e = command("volume", intToStr(perMille))) return e;
    volume = perMille;
    return 0;
}

uint32_t SimMedia::setSpeed(int32_t perMille) {
    if (uint32_t e = command("speed", intToStr(perMille))) return e;
    speed = perMille;
    return 0;
}

uint32_t SimMedia::realize() { return command("realize"); }

uint32_t SimMedia::update(uintptr_t, int left, int top, int width, int height) {
    return command("update", intToStr(left) + "," + intToStr(top) + "," + intToStr(width) + "," + intToStr(height));
}

uint32_t SimMedia::configure() { return command("configure"); }

}  // namespace kv
