#include "platform/media/Camera.h"

#include <fcntl.h>
#include <linux/videodev2.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <mutex>
#include <thread>

#include "platform/gdi/JpegFormat.h"

namespace {

int Ioctl(int fd, unsigned long request, void* arg)
{
    int r;
    do
        r = ioctl(fd, request, arg);
    while (r < 0 && errno == EINTR);
    return r;
}

std::string DevicePath(int n)
{
    return "/dev/video" + std::to_string(n);
}

// The card of a device that captures, or false.
bool QueryCamera(int fd, TCameraDriver& d)
{
    v4l2_capability cap{};
    if (Ioctl(fd, VIDIOC_QUERYCAP, &cap) < 0)
        return false;
    const uint32_t caps = (cap.capabilities & V4L2_CAP_DEVICE_CAPS) ? cap.device_caps : cap.capabilities;
    if (!(caps & V4L2_CAP_VIDEO_CAPTURE) || !(caps & V4L2_CAP_STREAMING))
        return false;
    d.Name.assign(reinterpret_cast<const char*>(cap.card), strnlen(reinterpret_cast<const char*>(cap.card), sizeof cap.card));
    d.Version = std::to_string((cap.version >> 16) & 0xFF) + "." + std::to_string((cap.version >> 8) & 0xFF) + "." +
                std::to_string(cap.version & 0xFF);
    return true;
}

class TV4L2Camera final : public TCameraDevice {
public:
    ~TV4L2Camera() override
    {
        Stop();
        if (FFd >= 0)
            close(FFd);
    }
    bool Open(int n, std::string& AError)
    {
        FFd = open(DevicePath(n).c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
        TCameraDriver d;
        if (FFd < 0 || !QueryCamera(FFd, d)) {
            AError = FFd < 0 ? std::strerror(errno) : "not a capturing device";
            return false;
        }
        return true;
    }
    bool GetFormat(TCameraFormat& AFormat) override
    {
        v4l2_format f{};
        f.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
        if (Ioctl(FFd, VIDIOC_G_FMT, &f) < 0)
            return false;
        AFormat.FourCC = f.fmt.pix.pixelformat;
        AFormat.Width = int(f.fmt.pix.width);
        AFormat.Height = int(f.fmt.pix.height);
        AFormat.BitCount = f.fmt.pix.width ? int(f.fmt.pix.bytesperline * 8 / f.fmt.pix.width) : 0;
        return true;
    }
    bool SetFormat(const TCameraFormat& AFormat) override
    {
        v4l2_format f{};
        f.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
        if (Ioctl(FFd, VIDIOC_G_FMT, &f) < 0)
            return false;
        f.fmt.pix.pixelformat = AFormat.FourCC;
        f.fmt.pix.width = uint32_t(AFormat.Width);
        f.fmt.pix.height = uint32_t(AFormat.Height);
        f.fmt.pix.field = V4L2_FIELD_ANY;
        f.fmt.pix.bytesperline = 0;
        return Ioctl(FFd, VIDIOC_S_FMT, &f) >= 0;
    }
    bool SetFrameRate(int ANum, int ADen) override
    {
        v4l2_streamparm p{};
        p.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
        if (Ioctl(FFd, VIDIOC_G_PARM, &p) < 0 || !(p.parm.capture.capability & V4L2_CAP_TIMEPERFRAME))
            return true;  // the camera keeps its own pace
        p.parm.capture.timeperframe.numerator = uint32_t(ADen);
        p.parm.capture.timeperframe.denominator = uint32_t(ANum);
        return Ioctl(FFd, VIDIOC_S_PARM, &p) >= 0;
    }
    bool Start(TFrameCallback AFrame, TErrorCallback AError, std::string& AErrorText) override
    {
        v4l2_requestbuffers req{};
        req.count = 4;
        req.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
        req.memory = V4L2_MEMORY_MMAP;
        if (Ioctl(FFd, VIDIOC_REQBUFS, &req) < 0 || req.count < 2) {
            AErrorText = std::strerror(errno);
            return false;
        }
        for (uint32_t i = 0; i < req.count; ++i) {
            v4l2_buffer b{};
            b.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
            b.memory = V4L2_MEMORY_MMAP;
            b.index = i;
            if (Ioctl(FFd, VIDIOC_QUERYBUF, &b) < 0) {
                AErrorText = std::strerror(errno);
                return false;
            }
            void* p = mmap(nullptr, b.length, PROT_READ | PROT_WRITE, MAP_SHARED, FFd, b.m.offset);
            if (p == MAP_FAILED) {
                AErrorText = std::strerror(errno);
                return false;
            }
            FBuffers.push_back({p, b.length});
            if (Ioctl(FFd, VIDIOC_QBUF, &b) < 0) {
                AErrorText = std::strerror(errno);
                return false;
            }
        }
        int type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
        if (Ioctl(FFd, VIDIOC_STREAMON, &type) < 0) {
            AErrorText = std::strerror(errno);
            return false;
        }
        FStreaming = true;
        FStop.store(false);
        FThread = std::thread([this, AFrame, AError] { Run(AFrame, AError); });
        return true;
    }
    void Stop() override
    {
        FStop.store(true);
        if (FThread.joinable())
            FThread.join();
        if (FStreaming) {
            int type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
            Ioctl(FFd, VIDIOC_STREAMOFF, &type);
            FStreaming = false;
        }
        for (const auto& b : FBuffers)
            munmap(b.first, b.second);
        FBuffers.clear();
    }

private:
    void Run(const TFrameCallback& AFrame, const TErrorCallback& AError)
    {
        bool first = true;
        int64_t firstUs = 0;
        while (!FStop.load()) {
            pollfd p{FFd, POLLIN, 0};
            const int r = poll(&p, 1, 100);
            if (r < 0 && errno == EINTR)
                continue;
            if (r < 0 || (p.revents & (POLLERR | POLLHUP | POLLNVAL))) {
                AError(r < 0 ? std::strerror(errno) : "No such device");
                return;
            }
            if (r == 0)
                continue;
            v4l2_buffer b{};
            b.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
            b.memory = V4L2_MEMORY_MMAP;
            if (Ioctl(FFd, VIDIOC_DQBUF, &b) < 0) {
                if (errno == EAGAIN)
                    continue;
                AError(std::strerror(errno));
                return;
            }
            const int64_t us = int64_t(b.timestamp.tv_sec) * 1000000 + b.timestamp.tv_usec;
            if (first) {
                firstUs = us;
                first = false;
            }
            if (b.index < FBuffers.size())
                AFrame(static_cast<const uint8_t*>(FBuffers[b.index].first), b.bytesused, (us - firstUs) / 1000);
            if (Ioctl(FFd, VIDIOC_QBUF, &b) < 0) {
                AError(std::strerror(errno));
                return;
            }
        }
    }

    int FFd = -1;
    bool FStreaming = false;
    std::vector<std::pair<void*, size_t>> FBuffers;
    std::thread FThread;
    std::atomic<bool> FStop{false};
};

// ---------------------------------------------------------------------------
// Test cameras.

struct TTestCameras {
    std::mutex Lock;
    int Count = 0;
    uint32_t FourCC = 0;
    bool Stalled = false;
    bool Unplugged = false;
};

TTestCameras& TestCameras()
{
    static TTestCameras t;
    return t;
}

class TTestCamera final : public TCameraDevice {
public:
    explicit TTestCamera(uint32_t AFourCC)
    {
        FFormat.FourCC = AFourCC;
        FFormat.Width = 320;
        FFormat.Height = 240;
        FFormat.BitCount = AFourCC == CameraFourCC('Y', 'U', 'Y', 'V') ? 16 : 0;
    }
    ~TTestCamera() override { Stop(); }
    bool GetFormat(TCameraFormat& AFormat) override
    {
        AFormat = FFormat;
        return true;
    }
    bool SetFormat(const TCameraFormat& AFormat) override
    {
        if (AFormat.FourCC != FFormat.FourCC || AFormat.Width <= 0 || AFormat.Height <= 0 || AFormat.Width % 2)
            return false;
        FFormat.Width = AFormat.Width;
        FFormat.Height = AFormat.Height;
        return true;
    }
    bool SetFrameRate(int ANum, int ADen) override
    {
        if (ANum <= 0 || ADen <= 0)
            return false;
        FPeriod = std::chrono::microseconds(int64_t(ADen) * 1000000 / ANum);
        return true;
    }
    bool Start(TFrameCallback AFrame, TErrorCallback AError, std::string&) override
    {
        FStop.store(false);
        FThread = std::thread([this, AFrame, AError] { Run(AFrame, AError); });
        return true;
    }
    void Stop() override
    {
        FStop.store(true);
        if (FThread.joinable())
            FThread.join();
    }

private:
    void Picture(uint32_t k, std::vector<uint8_t>& out)
    {
        if (FFormat.FourCC == CameraFourCC('M', 'J', 'P', 'G')) {
            TDibImage img;
            img.Width = FFormat.Width;
            img.Height = FFormat.Height;
            img.BitCount = 24;
            img.Bits.assign(img.Stride() * size_t(img.Height), uint8_t(k * 37));
            WriteJpeg(img, out, 80);
            return;
        }
        // YUYV: mid grey with moving stripes, the number in the first bytes.
        out.resize(size_t(FFormat.Width) * size_t(FFormat.Height) * 2);
        for (size_t i = 0; i < out.size(); i += 2) {
            out[i] = uint8_t((i / 2 + k * 8) % 256);
            out[i + 1] = 128;
        }
        std::memcpy(out.data(), &k, 4);
    }

    void Run(const TFrameCallback& AFrame, const TErrorCallback& AError)
    {
        const auto start = std::chrono::steady_clock::now();
        auto next = start;
        uint32_t k = 0;
        std::vector<uint8_t> picture;
        while (!FStop.load()) {
            bool stalled;
            {
                TTestCameras& t = TestCameras();
                std::lock_guard<std::mutex> g(t.Lock);
                if (t.Unplugged) {
                    AError("No such device");
                    return;
                }
                stalled = t.Stalled;
            }
            const auto now = std::chrono::steady_clock::now();
            if (stalled) {
                next = now + FPeriod;
            } else if (now >= next) {
                Picture(k, picture);
                AFrame(picture.data(), picture.size(),
                       std::chrono::duration_cast<std::chrono::milliseconds>(next - start).count());
                ++k;
                next += FPeriod;
                continue;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }

    TCameraFormat FFormat;
    std::chrono::microseconds FPeriod{33333};
    std::thread FThread;
    std::atomic<bool> FStop{false};
};

}  // namespace

std::vector<TCameraDriver> CameraDrivers()
{
    std::vector<TCameraDriver> drivers;
    {
        TTestCameras& t = TestCameras();
        std::lock_guard<std::mutex> g(t.Lock);
        if (t.Count > 0) {
            for (int i = 0; i < t.Count; ++i)
                drivers.push_back({i, "Test camera " + std::to_string(i), "1.0.0"});
            return drivers;
        }
    }
    for (int n = 0; n <= 9; ++n) {
        const int fd = open(DevicePath(n).c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            continue;
        TCameraDriver d;
        d.Number = n;
        if (QueryCamera(fd, d))
            drivers.push_back(d);
        close(fd);
    }
    return drivers;
}

std::unique_ptr<TCameraDevice> ConnectCamera(int ANumber, std::string& AError)
{
    {
        TTestCameras& t = TestCameras();
        std::lock_guard<std::mutex> g(t.Lock);
        if (t.Count > 0) {
            if (ANumber < 0 || ANumber >= t.Count) {
                AError = "No such device";
                return nullptr;
            }
            return std::make_unique<TTestCamera>(t.FourCC);
        }
    }
    if (ANumber < 0 || ANumber > 9) {
        AError = "No such device";
        return nullptr;
    }
    auto camera = std::make_unique<TV4L2Camera>();
    if (!camera->Open(ANumber, AError))
        return nullptr;
    return camera;
}

void EnableTestCameras(int ACount, uint32_t AFourCC)
{
    TTestCameras& t = TestCameras();
    std::lock_guard<std::mutex> g(t.Lock);
    t.Count = ACount;
    t.FourCC = AFourCC;
    t.Stalled = false;
    t.Unplugged = false;
}

void StallTestCamera(bool AStalled)
{
    TTestCameras& t = TestCameras();
    std::lock_guard<std::mutex> g(t.Lock);
    t.Stalled = AStalled;
}

void UnplugTestCamera()
{
    TTestCameras& t = TestCameras();
    std::lock_guard<std::mutex> g(t.Lock);
    t.Unplugged = true;
}
