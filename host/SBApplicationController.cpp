#include <host/SBApplicationController.h>

#include <Foundation/NSDictionary.h>
#include <platform/Environment.h>

#include <algorithm>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

// The application bundles directly inside a device folder, in name order, as
// device paths.
std::vector<std::string> bundlesIn(const std::string& deviceFolder)
{
    std::vector<std::string> bundles;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(platform::resolveDevicePath(deviceFolder), error))
        if (entry.path().extension() == ".app" && entry.is_directory(error))
            bundles.push_back(deviceFolder + "/" + entry.path().filename().string());
    std::sort(bundles.begin(), bundles.end());
    return bundles;
}

std::vector<std::string> installedBundles()
{
    const std::string containersFolder = "/var/containers/Bundle/Application";
    std::vector<std::string> bundles = bundlesIn("/Applications");
    std::vector<std::string> containers;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(platform::resolveDevicePath(containersFolder), error))
        containers.push_back(containersFolder + "/" + entry.path().filename().string());
    std::sort(containers.begin(), containers.end());
    for (const std::string& container : containers)
        for (std::string& bundle : bundlesIn(container))
            bundles.push_back(std::move(bundle));
    return bundles;
}

Ref<SBApplication> applicationFromBundle(const std::string& bundle)
{
    Ref<NSDictionary> info = NSDictionary::dictionaryWithContentsOfFile(bundle + "/Info.plist");
    auto* identifier = info ? dynamicCast<NSString>(info->objectForKey("CFBundleIdentifier")) : nullptr;
    if (!identifier)
        return nullptr;
    auto* name = dynamicCast<NSString>(info->objectForKey("CFBundleDisplayName"));
    return makeRef<SBApplication>(
        Ref<NSString>(identifier), name ? Ref<NSString>(name) : NSString::string(fs::path(bundle).stem().string()));
}

} // namespace

Class SBApplicationController::classObject()
{
    static Class cls
        = objc::registerClass<SBApplicationController>("SBApplicationController", NSObject::classObject(), [](Class c) {
              objc::addClassMethod(
                  c, "sharedInstance", +[](Class, SEL) -> id { return sharedInstance(); });
              objc::addMethod(c,
                  "applicationWithDisplayIdentifier:", &SBApplicationController::applicationWithDisplayIdentifierImp);
          });
    return cls;
}

SBApplicationController::SBApplicationController()
{
    setIsa(classObject());
}

SBApplicationController* SBApplicationController::sharedInstance()
{
    static SBApplicationController* shared = [] {
        auto* controller = new SBApplicationController;
        controller->reloadApplications();
        return controller;
    }();
    return shared;
}

void SBApplicationController::reloadApplications()
{
    applications_->removeAllObjects();
    for (const std::string& bundle : installedBundles())
        if (Ref<SBApplication> application = applicationFromBundle(bundle))
            applications_->addObject(application.get());
}

SBApplication* SBApplicationController::applicationWithDisplayIdentifier(std::string_view bundleIdentifier) const
{
    for (const Ref<NSObject>& object : *applications_) {
        auto* application = static_cast<SBApplication*>(object.get());
        if (application->bundleIdentifier()->UTF8String() == bundleIdentifier)
            return application;
    }
    return nullptr;
}

id SBApplicationController::applicationWithDisplayIdentifierImp(id self, SEL, id bundleIdentifier)
{
    auto* identifier = dynamicCast<NSString>(bundleIdentifier);
    if (!identifier)
        return nullptr;
    return static_cast<SBApplicationController*>(self)->applicationWithDisplayIdentifier(identifier->UTF8String());
}
