// SpringBoard's register of installed applications: every bundle under the
// device's "/Applications" (system applications) and
// "/var/containers/Bundle/Application/<id>/" (installed ones), by the
// CFBundleIdentifier of its Info.plist, with its CFBundleDisplayName and the
// CFBundleURLSchemes of its CFBundleURLTypes. Where two applications register one
// scheme, the first in that order keeps it.
#pragma once

#include <Foundation/NSArray.h>
#include <host/Export.h>
#include <host/SBApplication.h>

#include <map>
#include <mutex>
#include <string>
#include <string_view>

class HOST_EXPORT SBApplicationController : public objc::Subclass<SBApplicationController, NSObject> {
public:
    static Class classObject();

    // The shared register, read from the device on first use.
    static SBApplicationController* sharedInstance();

    // Reads the device's applications again (after the device root changed).
    void reloadApplications();

    const NSArray* allApplications() const { return applications_.get(); }
    // Nil when no installed application has the identifier.
    SBApplication* applicationWithDisplayIdentifier(std::string_view bundleIdentifier) const;
    // The bundle identifier of the application that registered the scheme (in
    // any case), empty when none did. Safe from any thread.
    std::string bundleIdentifierForURLScheme(std::string_view scheme) const;

private:
    static id applicationWithDisplayIdentifierImp(id self, SEL, id bundleIdentifier);

    Ref<NSMutableArray> applications_ = NSMutableArray::array();
    mutable std::mutex schemesLock_;
    std::map<std::string, std::string, std::less<>> schemes_;
};
