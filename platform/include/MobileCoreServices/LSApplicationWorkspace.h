// The system workspace that opens URLs in applications. The extension reaches it
// only by name: `[LSApplicationWorkspace defaultWorkspace]` and
// `-openURL:withOptions:` through the runtime. The applications are the host's:
// each request is recorded and handed to the host's opener, which answers
// whether an application takes the URL; without an opener the answer is NO.
#pragma once

#include <functional>

#include <Foundation/NSDictionary.h>
#include <Foundation/NSURL.h>
#include <objc/runtime.h>

#include <mutex>
#include <thread>
#include <vector>

class LSApplicationWorkspace : public NSObject {
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

    // The requests so far, oldest first; the host reads and clears them.
    std::vector<OpenRequest> openRequests() const;
    void clearOpenRequests();

private:
    LSApplicationWorkspace();

    mutable std::mutex lock_;
    std::vector<OpenRequest> requests_;
    Opener opener_;
};
