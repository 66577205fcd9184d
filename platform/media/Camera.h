#pragma once
// Cameras: V4L2 devices /dev/video0 to /dev/video9 that capture, streamed
// through memory-mapped buffers, and a synthetic test camera that only tests
// switch on. A connected camera delivers every picture from a driver thread
// of its own to the frame callback, with its capture time in milliseconds
// since its first picture; a camera that goes away calls the error callback
// once and stops.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

constexpr uint32_t CameraFourCC(char a, char b, char c, char d)
{
    return uint32_t(uint8_t(a)) | uint32_t(uint8_t(b)) << 8 | uint32_t(uint8_t(c)) << 16 | uint32_t(uint8_t(d)) << 24;
}

struct TCameraDriver {
    int Number = 0;       // 0 .. 9
    std::string Name;     // the card's name
    std::string Version;  // the driver's version
};

struct TCameraFormat {
    uint32_t FourCC = 0;  // V4L2 pixel format
    int Width = 0;
    int Height = 0;
    int BitCount = 0;     // bits per pixel of uncompressed formats, else 0
};

class TCameraDevice {
public:
    // Data, size, capture time (ms); false when the picture was not taken.
    using TFrameCallback = std::function<bool(const uint8_t*, size_t, int64_t)>;
    using TErrorCallback = std::function<void(const std::string&)>;

    virtual ~TCameraDevice() = default;
    virtual bool GetFormat(TCameraFormat& AFormat) = 0;
    // The camera may adjust the size; GetFormat tells what it took.
    virtual bool SetFormat(const TCameraFormat& AFormat) = 0;
    // Pictures per second as a fraction.
    virtual bool SetFrameRate(int ANum, int ADen) = 0;
    virtual bool Start(TFrameCallback AFrame, TErrorCallback AError, std::string& AErrorText) = 0;
    // Stops the stream and joins the driver thread; no callback runs after.
    virtual void Stop() = 0;
};

// The cameras there are (test cameras while they are on).
std::vector<TCameraDriver> CameraDrivers();
// Connects the camera of that number; null with the reason.
std::unique_ptr<TCameraDevice> ConnectCamera(int ANumber, std::string& AError);

// Test cameras: ACount cameras numbered 0.., each a numbered pattern in
// AFourCC ("YUYV" or "MJPG"; anything else to test refusals) at 320x240.
// Picture k carries k in its first four bytes (YUYV) or is a JPEG of grey
// level k * 37 mod 256 (MJPEG). A stalled camera delivers nothing; an
// unplugged one fails.
void EnableTestCameras(int ACount, uint32_t AFourCC = CameraFourCC('Y', 'U', 'Y', 'V'));
void StallTestCamera(bool AStalled);
void UnplugTestCamera();
