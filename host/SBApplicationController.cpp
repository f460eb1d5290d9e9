#include <host/SBApplicationController.h>

#include <Foundation/NSDictionary.h>
#include <platform/Environment.h>

#include <algorithm>
#include <cctype>
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

std::string lowercased(std::string_view text)
{
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
    return lower;
}

// The schemes of every entry of CFBundleURLTypes; entries of another shape are passed over.
std::vector<std::string> urlSchemesOf(const NSDictionary& info)
{
    std::vector<std::string> schemes;
    auto* types = dynamicCast<NSArray>(info.objectForKey("CFBundleURLTypes"));
    if (!types)
        return schemes;
    for (const Ref<NSObject>& type : *types) {
        auto* entry = dynamicCast<NSDictionary>(type.get());
        auto* entrySchemes = entry ? dynamicCast<NSArray>(entry->objectForKey("CFBundleURLSchemes")) : nullptr;
        if (!entrySchemes)
            continue;
        for (const Ref<NSObject>& scheme : *entrySchemes)
            if (auto* text = dynamicCast<NSString>(scheme.get()); text && text->length() > 0)
                schemes.push_back(lowercased(text->UTF8String()));
    }
    return schemes;
}

Ref<SBApplication> applicationFromBundle(const std::string& bundle)
{
    Ref<NSDictionary> info = NSDictionary::dictionaryWithContentsOfFile(bundle + "/Info.plist");
    auto* identifier = info ? dynamicCast<NSString>(info->objectForKey("CFBundleIdentifier")) : nullptr;
    if (!identifier)
        return nullptr;
    auto* name = dynamicCast<NSString>(info->objectForKey("CFBundleDisplayName"));
    return makeRef<SBApplication>(Ref<NSString>(identifier),
        name ? Ref<NSString>(name) : NSString::string(fs::path(bundle).stem().string()), urlSchemesOf(*info));
}

} // namespace

Class SBApplicationController::classObject()
{
    return objc::registeredClass<SBApplicationController>("SBApplicationController", [](Class c) {
        objc::addClassMethod(
            c, "sharedInstance", +[](Class, SEL) -> id { return sharedInstance(); });
        objc::addMethod(
            c, "applicationWithDisplayIdentifier:", &SBApplicationController::applicationWithDisplayIdentifierImp);
    });
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
    std::map<std::string, std::string, std::less<>> schemes;
    for (const std::string& bundle : installedBundles())
        if (Ref<SBApplication> application = applicationFromBundle(bundle)) {
            applications_->addObject(application.get());
            for (const std::string& scheme : application->urlSchemes())
                schemes.try_emplace(scheme, application->bundleIdentifier()->UTF8String());
        }
    std::lock_guard guard(schemesLock_);
    schemes_ = std::move(schemes);
}

std::string SBApplicationController::bundleIdentifierForURLScheme(std::string_view scheme) const
{
    std::lock_guard guard(schemesLock_);
    auto found = schemes_.find(lowercased(scheme));
    return found == schemes_.end() ? std::string() : found->second;
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
