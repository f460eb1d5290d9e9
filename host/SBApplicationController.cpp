#include <host/SBApplicationController.h>

#include <Foundation/NSDictionary.h>
#include <platform/Environment.h>

#include <algorithm>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

// The application bundles directly inside a folder, in name order.
std::vector<fs::path> bundlesIn(const fs::path& folder)
{
    std::vector<fs::path> bundles;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error))
        if (entry.path().extension() == ".app" && entry.is_directory(error))
            bundles.push_back(entry.path());
    std::sort(bundles.begin(), bundles.end());
    return bundles;
}

std::vector<fs::path> installedBundles()
{
    std::vector<fs::path> bundles = bundlesIn(platform::resolveDevicePath("/Applications"));
    std::error_code error;
    std::vector<fs::path> containers;
    for (const auto& entry :
        fs::directory_iterator(platform::resolveDevicePath("/var/containers/Bundle/Application"), error))
        containers.push_back(entry.path());
    std::sort(containers.begin(), containers.end());
    for (const fs::path& container : containers)
        for (fs::path& bundle : bundlesIn(container))
            bundles.push_back(std::move(bundle));
    return bundles;
}

Ref<SBApplication> applicationFromBundle(const fs::path& bundle)
{
    Ref<NSDictionary> info = NSDictionary::dictionaryWithContentsOfFile((bundle / "Info.plist").string());
    auto* identifier = info ? dynamicCast<NSString>(info->objectForKey("CFBundleIdentifier")) : nullptr;
    if (!identifier)
        return nullptr;
    auto* name = dynamicCast<NSString>(info->objectForKey("CFBundleDisplayName"));
    return makeRef<SBApplication>(
        Ref<NSString>(identifier), name ? Ref<NSString>(name) : NSString::string(bundle.stem().string()));
}

} // namespace

Class SBApplicationController::classObject()
{
    static Class cls
        = objc::registerClass<SBApplicationController>("SBApplicationController", NSObject::classObject(), [](Class c) {
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
    for (const fs::path& bundle : installedBundles())
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
