#include "LiveDevice.h"

#include "Command.h"
#include "LockScreenRender.h"
#include "PreferenceFile.h"

// After the preference keys, whose kinds include a Boolean of their own.
#include <CoreFoundation/CFNotificationCenter.h>
#include <CoreFoundation/CFRunLoop.h>
#include <EventKit/EKEventStore.h>
#include <Foundation/NSArray.h>
#include <UIKit/UIScreen.h>
#include <platform/Environment.h>
#include <platform/Log.h>

#include <cairo.h>
#include <malloc.h>
#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <set>

namespace {

// A step's error as simulate places it, without a script's name: "line 1: why".
std::string onItsLine(const simulation::ScriptError& error)
{
    return "line " + std::to_string(error.line()) + ": " + error.what();
}

// The size below which an allocation comes from the heap, glibc's largest: above
// an iPhone's frame at any scale a page asks for (an iPhone 7 Plus at 4x: 20 MB)
// and an iPad's at its own (13 MB). And how much free memory the heap keeps at
// its top before it gives some back.
constexpr int heapAllocationLimit = 32 << 20;
constexpr int heapKeptFree = 128 << 20;

// How often the device looks whether time changed what it shows.
constexpr CFTimeInterval tickInterval = 1;
// How long the run loop waits at most before it looks at the work handed in.
constexpr CFTimeInterval longestWait = 1;
// The scales a picture may be drawn at.
constexpr double smallestScale = 0.25;
constexpr double largestScale = 4;

// Why the text is not one line: empty when it is. One end of line may close it.
std::string oneLineProblem(std::string_view text)
{
    if (text.size() > LiveDevice::maximumStepLength)
        return "a step is at most " + std::to_string(LiveDevice::maximumStepLength) + " bytes";
    if (text.ends_with('\n'))
        text.remove_suffix(text.ends_with("\r\n") ? 2 : 1);
    if (text.find_first_of("\r\n") != std::string_view::npos)
        return "one step a request: the text has more than one line";
    return {};
}

nlohmann::ordered_json colorJSON(CGColorRef color)
{
    if (!color)
        return nullptr;
    return { color->red(), color->green(), color->blue(), color->alpha() };
}

// Whoever changed the settings, a page or `dayglass prefs`, every pane shows them anew.
void tellSettingsChanged(CFNotificationCenterRef, void* observer, CFStringRef, const void*, CFDictionaryRef)
{
    static_cast<LiveDevice*>(observer)->settingsChanged();
}

// Keeps a timer of the main run loop off it while it lives.
class TimerPause {
public:
    explicit TimerPause(CFRunLoopTimer* timer)
        : timer_(timer)
    {
        if (timer_)
            CFRunLoopRemoveTimer(CFRunLoopGetMain(), timer_, kCFRunLoopDefaultMode);
    }
    ~TimerPause()
    {
        if (timer_)
            CFRunLoopAddTimer(CFRunLoopGetMain(), timer_, kCFRunLoopDefaultMode);
    }
    TimerPause(const TimerPause&) = delete;
    TimerPause& operator=(const TimerPause&) = delete;

private:
    CFRunLoopTimer* timer_;
};

void appendBytes(png_structp png, png_bytep data, png_size_t length)
{
    static_cast<std::string*>(png_get_io_ptr(png))->append(reinterpret_cast<const char*>(data), length);
}

} // namespace

// A screen is opaque: its rows go out as RGB. Cairo's own writer takes five
// times as long, filtering every row every way and compressing hard; a page
// on loopback wants the frame soon more than small, so the rows are not
// filtered and zlib compresses fast.
std::shared_ptr<const std::string> encodeScreenFrame(const ScreenFrame& frame)
{
    // Made before libpng may jump out of its error: nothing below it has a destructor to skip.
    auto encoded = std::make_shared<std::string>();
    std::vector<png_byte> row(frame.width * 3);
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        throw LiveRefusal(500, "cannot encode the screen as PNG");
    }
    png_set_write_fn(png, encoded.get(), appendBytes, nullptr);
    png_set_compression_level(png, 1);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
    png_set_IHDR(png, info, static_cast<png_uint_32>(frame.width), static_cast<png_uint_32>(frame.height), 8,
        PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (std::size_t y = 0; y < frame.height; ++y) {
        // Cairo's ARGB32 is a native 32-bit word a pixel.
        const auto* pixels = reinterpret_cast<const std::uint32_t*>(frame.pixels.data() + y * frame.stride);
        for (std::size_t x = 0; x < frame.width; ++x) {
            row[x * 3] = static_cast<png_byte>(pixels[x] >> 16);
            row[x * 3 + 1] = static_cast<png_byte>(pixels[x] >> 8);
            row[x * 3 + 2] = static_cast<png_byte>(pixels[x]);
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return encoded;
}

void keepFrameBuffersInHeap()
{
    mallopt(M_MMAP_THRESHOLD, heapAllocationLimit);
    mallopt(M_TRIM_THRESHOLD, heapKeptFree);
}

LiveDevice::LiveDevice(host::Device& device, LiveEvents& events)
    : springBoard_(device.springBoard())
    , events_(events)
    , player_(device, true)
    , scene_(makeNonNullRef<LockScreenScene>(springBoard_.deviceModel(), springBoard_.orientation()))
{
    logged_ = platform::logLinesWritten();
    lastLook_ = look();
    Ref<NSString> name = NSString::string(preferencesChangedNotification);
    CFNotificationCenterAddObserver(CFNotificationCenterGetDarwinNotifyCenter(), this, &tellSettingsChanged,
        name.get(), nullptr, CFNotificationSuspensionBehaviorDeliverImmediately);
}

LiveDevice::~LiveDevice()
{
    CFNotificationCenterRemoveEveryObserver(CFNotificationCenterGetDarwinNotifyCenter(), this);
    if (tickTimer_)
        CFRunLoopTimerInvalidate(tickTimer_.get());
}

void LiveDevice::settingsChanged()
{
    // What the screen shows may follow the settings: the next picture is drawn anew.
    ++version_;
    publish({ { "kind", "settings" } });
}

void LiveDevice::run()
{
    tickTimer_ = CFRunLoopTimerCreateWithHandler(
        CFAbsoluteTimeGetCurrent() + tickInterval, tickInterval, [this](CFRunLoopTimer*) { tick(); });
    CFRunLoopAddTimer(CFRunLoopGetMain(), tickTimer_.get(), kCFRunLoopDefaultMode);
    while (!stopping_.load()) {
        CFRunLoopRunInMode(kCFRunLoopDefaultMode, longestWait, false);
        runHandedWork();
    }
    std::deque<std::function<void()>> refused;
    {
        std::lock_guard guard(handedLock_);
        closed_ = true;
        refused.swap(handed_);
    }
    // Dropped unrun: each waiting thread hears that its promise was broken.
}

void LiveDevice::stop()
{
    stopping_.store(true);
    CFRunLoopStop(CFRunLoopGetMain());
}

void LiveDevice::hand(std::function<void()> work)
{
    {
        std::lock_guard guard(handedLock_);
        if (closed_ || stopping_.load())
            throw LiveRefusal(503, "the device is shutting down");
        handed_.push_back(std::move(work));
    }
    // Ends the run loop's wait, or its next one, so that the work runs now.
    CFRunLoopStop(CFRunLoopGetMain());
}

void LiveDevice::runHandedWork()
{
    for (;;) {
        std::function<void()> work;
        {
            std::lock_guard guard(handedLock_);
            if (handed_.empty())
                return;
            work = std::move(handed_.front());
            handed_.pop_front();
        }
        AutoreleasePool pool;
        work();
    }
}

nlohmann::ordered_json LiveDevice::step(const std::string& text)
{
    if (const std::string problem = oneLineProblem(text); !problem.empty())
        throw LiveRefusal(400, problem);
    simulation::ScriptChecks checks = sessionChecks();
    // A page may not write files where it likes; the picture is GET /api/screen.png.
    checks.outputFile = [](const std::string&) -> std::string {
        return "snapshot writes a file on the server; ask GET /api/screen.png for the screen";
    };
    std::vector<simulation::Step> steps;
    try {
        steps = simulation::parseScript(text, checks);
    } catch (const simulation::ScriptError& error) {
        throw LiveRefusal(400, onItsLine(error));
    }
    if (steps.empty())
        throw LiveRefusal(400, "no step: send one line of the step language, such as wake");
    StepReport report;
    try {
        // The tick looks at what changed between steps only. Off the loop, it
        // does not fire once a simulated second through a long idle.
        const TimerPause untimed(tickTimer_.get());
        report = player_.play(steps.front());
    } catch (const simulation::ScriptError& error) {
        ++version_;
        publish({ { "kind", "refused" }, { "step", text }, { "error", onItsLine(error) } });
        throw LiveRefusal(409, onItsLine(error));
    }
    ++version_;
    nlohmann::ordered_json answer = report.json();
    logged_ = platform::logLinesWritten();
    lastLook_ = look();
    publish({ { "kind", "step" }, { "step", report.step }, { "log", answer["log"] }, { "launches", answer["launches"] },
        { "changes", answer["changes"] } });
    return answer;
}

nlohmann::ordered_json LiveDevice::state()
{
    return LockScreenState::read(springBoard_).json();
}

ScreenFrame LiveDevice::screen(double scale)
{
    if (scale <= 0)
        scale = springBoard_.deviceModel().scale;
    scale = std::clamp(scale, smallestScale, largestScale);
    {
        std::lock_guard guard(frameLock_);
        if (lastFrame_.png && lastFrame_.version == version_ && lastFrame_.scale == scale)
            return lastFrame_;
    }
    // SpringBoard takes the model's own scale; the picture's is asked for.
    const CGFloat modelScale = UIScreen::mainScreen()->scale();
    UIScreen::mainScreen()->setScale(scale);
    scene_->showSpringBoard(springBoard_);
    Ref<UIImage> image = scene_->snapshot(scale);
    scene_->setContent(nullptr);
    UIScreen::mainScreen()->setScale(modelScale);

    ScreenFrame frame { .version = version_, .scale = scale };
    cairo_surface_t* surface = image->cairoSurface();
    cairo_surface_flush(surface);
    frame.width = static_cast<std::size_t>(cairo_image_surface_get_width(surface));
    frame.height = static_cast<std::size_t>(cairo_image_surface_get_height(surface));
    frame.stride = static_cast<std::size_t>(cairo_image_surface_get_stride(surface));
    const unsigned char* data = cairo_image_surface_get_data(surface);
    frame.pixels.assign(data, data + frame.stride * frame.height);
    return frame;
}

void LiveDevice::keepEncoded(const ScreenFrame& frame)
{
    std::lock_guard guard(frameLock_);
    if (frame.version >= lastFrame_.version)
        lastFrame_ = ScreenFrame { .version = frame.version, .scale = frame.scale, .png = frame.png };
}

nlohmann::ordered_json LiveDevice::layout()
{
    const double scale = springBoard_.deviceModel().scale;
    scene_->showSpringBoard(springBoard_);
    scene_->layoutIfNeeded();
    nlohmann::ordered_json document
        = lockScreenLayoutJSON(*scene_, springBoard_.deviceModel(), springBoard_.orientation(), scale);
    scene_->setContent(nullptr);
    return document;
}

nlohmann::ordered_json LiveDevice::calendars()
{
    std::set<std::string> chosen;
    if (const Ref<NSArray> list = NSArray::arrayWithContentsOfFile(calendarListFilePath))
        for (const Ref<NSObject>& entry : *list)
            if (auto* identifier = dynamicCast<NSString>(entry.get()))
                chosen.insert(identifier->UTF8String());
    nlohmann::ordered_json calendars = nlohmann::ordered_json::array();
    const Ref<NSArray> all = makeRef<EKEventStore>()->calendars();
    for (const Ref<NSObject>& entry : *all) {
        auto* calendar = dynamicCast<EKCalendar>(entry.get());
        if (!calendar)
            continue;
        const std::string identifier = calendar->calendarIdentifier()->UTF8String();
        calendars.push_back({ { "identifier", identifier }, { "title", calendar->title()->UTF8String() },
            { "color", colorJSON(calendar->CGColor()) }, { "chosen", chosen.count(identifier) > 0 } });
    }
    return { { "file", platform::resolveDevicePath(calendarListFilePath) }, { "calendars", calendars } };
}

// The clock moves the notifications' ages on; the idle timer may have turned the
// screen off. Pages hear of it only when what they see changed.
void LiveDevice::tick()
{
    const std::string now = look();
    const std::vector<std::string> log = platform::loggedLinesSince(logged_);
    if (now == lastLook_ && log.empty())
        return;
    springBoard_.refreshNotificationAges();
    logged_ = platform::logLinesWritten();
    lastLook_ = now;
    ++version_;
    publish({ { "kind", "time" }, { "log", log }, { "launches", nlohmann::ordered_json::array() },
        { "changes", nlohmann::ordered_json::array() } });
}

void LiveDevice::publish(nlohmann::ordered_json news)
{
    news["version"] = version_;
    events_.publish(news.dump());
}

// The state and the clock's minute: the clock, the date and every age shown
// change with the minute, nothing else changes without a step or a timer.
std::string LiveDevice::look()
{
    const long long minute = static_cast<long long>(std::floor(platform::currentUnixTime() / 60));
    return std::to_string(minute) + LockScreenState::read(springBoard_).json().dump();
}
