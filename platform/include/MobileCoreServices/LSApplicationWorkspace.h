// The system workspace that opens URLs in applications. The extension reaches it
// only by name: `[LSApplicationWorkspace defaultWorkspace]` and
// `-openURL:withOptions:` through the runtime. The applications are the host's:
// each request is recorded and handed to the host's opener, which answers
// whether an application takes the URL; without an opener the answer is NO.
#pragma once

#include <Foundation/NSDictionary.h>
#include <Foundation/NSURL.h>
#include <objc/runtime.h>
#include <platform/Export.h>

#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

class PLATFORM_EXPORT LSApplicationWorkspace : public objc::Subclass<LSApplicationWorkspace, NSObject> {
public:
    static Class classObject();
    // +defaultWorkspace: the one shared instance.
    static LSApplicationWorkspace* defaultWorkspace();

    struct OpenRequest {
        Ref<NSURL> url;
        Ref<NSDictionary> options;
        std::thread::id thread;
    };

    // -openURL:withOptions:, from any thread.
    bool openURLWithOptions(NSURL* url, NSDictionary* options);

    // Called on the thread of each request; empty removes it.
    using Opener = std::function<bool(NSURL* url, NSDictionary* options)>;
    void setOpener(Opener opener);

    // The newest requests, oldest first: at most `keptRequests`, so that a
    // device that runs for days keeps no growing list.
    static constexpr std::size_t keptRequests = 64;
    std::vector<OpenRequest> openRequests() const;
    void clearOpenRequests();

private:
    LSApplicationWorkspace() = default;

    mutable std::mutex lock_;
    std::deque<OpenRequest> requests_;
    Opener opener_;
};
