#include "LockScreenRender.h"

#include "PngOutput.h"
#include "StandardOutput.h"

#include "DeviceChoice.h"
#include "DeviceSession.h"
#include "InputFiles.h"
#include "LayoutJSON.h"
#include "ListNotes.h"

#include <Foundation/NSData.h>
#include <UIKit/UIScreen.h>
#include <host/LockScreenScene.h>

#include <cstdio>
#include <filesystem>

namespace {

struct Notification {
    std::string app, title, message;
};

std::optional<Notification> parseNotification(const std::string& text)
{
    const std::size_t first = text.find('|');
    if (first == std::string::npos || first == 0)
        return std::nullopt;
    const std::size_t second = text.find('|', first + 1);
    Notification notification { text.substr(0, first), text.substr(first + 1, second - first - 1), {} };
    if (second != std::string::npos)
        notification.message = text.substr(second + 1);
    return notification;
}

Ref<UIImage> wallpaperImage(const std::string& path)
{
    if (path.empty())
        return nullptr;
    const std::string bytes = readInputFile(path, "the wallpaper");
    Ref<UIImage> image = UIImage::imageWithData(NSData::dataWithBytes(bytes.data(), bytes.size()).get());
    if (!image)
        throw UsageError("the wallpaper " + path + " is not a PNG picture");
    return image;
}

} // namespace

nlohmann::ordered_json lockScreenLayoutJSON(
    LockScreenScene& scene, const host::DeviceModel& model, host::Orientation orientation, double scale)
{
    const CGSize size = scene.bounds().size;
    return { { "device", model.name }, { "orientation", orientation == host::Orientation::Landscape ? "landscape" : "portrait" },
        { "scale", scale }, { "size", { size.width, size.height } },
        { "screen", layoutJSON(UIViewLayoutTree(&scene), {}) } };
}

void LockScreenRenderOptions::addTo(CLI::App& subcommand, CLI::Option* only)
{
    subcommand.add_option("--device", device, "The device model: iphone7, iphonese, iphone7plus or ipad")
        ->capture_default_str()
        ->check(deviceModelValidator())
        ->excludes(only);
    subcommand.add_flag("--landscape", landscape, "Hold the device sideways")->excludes(only);
    subcommand
        .add_option("--notify", notifications,
            "A notification on the lock screen, as \"APP|TITLE|MESSAGE\" (the message optional); repeatable")
        ->check(CLI::Validator(
            [](std::string& text) {
                return parseNotification(text) ? std::string()
                                               : "'" + text + "' is not a notification of the form APP|TITLE|MESSAGE";
            },
            "APP|TITLE|MESSAGE"))
        ->excludes(only);
    subcommand.add_option("--wallpaper", wallpaper, "A PNG picture for the wallpaper, instead of the built-in one")
        ->check(existingPath(PathKind::File))
        ->type_name("FILE.png")
        ->excludes(only);
}

int renderLockScreen(const CommonOptions& options, const ListOptions& list, const LockScreenRenderOptions& lockScreen,
    const PictureRequest& picture)
{
    applyListEnvironment(list);
    const host::DeviceModel& model = deviceModelNamed(lockScreen.device);
    const host::Orientation orientation
        = lockScreen.landscape ? host::Orientation::Landscape : host::Orientation::Portrait;
    Ref<UIImage> wallpaper = wallpaperImage(lockScreen.wallpaper);
    host::Device device = bootDevice(options, model, orientation);
    checkExtensionLoaded(device);
    applyListOverrides(list);
    host::SpringBoard& springBoard = device.springBoard();
    // SpringBoard takes the model's own scale; the picture's is asked for.
    UIScreen::mainScreen()->setScale(picture.scale);
    springBoard.wake();
    applyOwner(list, device);
    for (const std::string& text : lockScreen.notifications) {
        const Notification notification = *parseNotification(text);
        springBoard.notify(notification.app, notification.title, notification.message);
    }

    auto scene = makeRef<LockScreenScene>(model, orientation);
    scene->wallpaper().setImage(wallpaper.get());
    scene->setContent(springBoard.rootView());
    scene->setHint(springBoard.hint());
    Ref<UIImage> image = scene->snapshot(picture.scale);
    writePng(*image, picture.output);

    const CGSize size = scene->bounds().size;
    const std::string where = pictureDestination(picture.output);
    if (picture.layoutJSON) {
        nlohmann::ordered_json document = { { "file", where } };
        document.update(lockScreenLayoutJSON(*scene, model, orientation, picture.scale));
        printOutput("%s\n", document.dump(2).c_str());
    } else {
        printPictureSummary(picture.output,
            formatted("%s: the lock screen of an %s, %g × %g points at scale %g (%zu × %zu pixels)", where.c_str(),
                std::string(model.displayName).c_str(), size.width, size.height, picture.scale, image->pixelWidth(),
                image->pixelHeight()));
    }
    printNotes(calendarChoiceNotes(options, list));
    return 0;
}
