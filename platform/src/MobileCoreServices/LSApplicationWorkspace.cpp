#include <MobileCoreServices/LSApplicationWorkspace.h>

namespace {

id defaultWorkspace(Class, SEL)
{
    return LSApplicationWorkspace::defaultWorkspace();
}

BOOL openURLWithOptions(id self, SEL, id url, id options)
{
    return static_cast<LSApplicationWorkspace*>(self)->openURLWithOptions(
        dynamicCast<NSURL>(url), dynamicCast<NSDictionary>(options));
}

// Registered when the library loads, as the phone's frameworks register their
// classes, so that a lookup by name finds the class before anyone used it in C++.
[[maybe_unused]] const Class registeredAtLoad = LSApplicationWorkspace::classObject();

} // namespace

Class LSApplicationWorkspace::classObject()
{
    // Only +defaultWorkspace makes instances: the class has no factory.
    return objc::registeredClass<LSApplicationWorkspace>("LSApplicationWorkspace", [](Class c) {
        objc::addClassMethod(c, "defaultWorkspace", &::defaultWorkspace);
        objc::addMethod(c, "openURL:withOptions:", &::openURLWithOptions);
    });
}

LSApplicationWorkspace* LSApplicationWorkspace::defaultWorkspace()
{
    // Never released: the shared workspace lives as long as the process.
    static auto* workspace = new LSApplicationWorkspace;
    return workspace;
}

bool LSApplicationWorkspace::openURLWithOptions(NSURL* url, NSDictionary* options)
{
    Opener opener;
    {
        std::lock_guard guard(lock_);
        if (requests_.size() == keptRequests)
            requests_.pop_front();
        requests_.push_back({ url, options, std::this_thread::get_id() });
        opener = opener_;
    }
    return url && opener && opener(url, options);
}

void LSApplicationWorkspace::setOpener(Opener opener)
{
    std::lock_guard guard(lock_);
    opener_ = std::move(opener);
}

std::vector<LSApplicationWorkspace::OpenRequest> LSApplicationWorkspace::openRequests() const
{
    std::lock_guard guard(lock_);
    return { requests_.begin(), requests_.end() };
}

void LSApplicationWorkspace::clearOpenRequests()
{
    std::lock_guard guard(lock_);
    requests_.clear();
}
