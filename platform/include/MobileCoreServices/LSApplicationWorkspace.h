// The system workspace that opens URLs in applications. The extension reaches it
// only by name: `[LSApplicationWorkspace defaultWorkspace]` and
// `-openURL:withOptions:` through the runtime. Opening an application is not
// simulated yet: each request is recorded for the host to read, and answered NO.
#pragma once

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

    // -openURL:withOptions:
    bool openURLWithOptions(NSURL* url, NSDictionary* options);

    // The requests so far, oldest first; the host reads and clears them.
    std::vector<OpenRequest> openRequests() const;
    void clearOpenRequests();

private:
    LSApplicationWorkspace();

    mutable std::mutex lock_;
    std::vector<OpenRequest> requests_;
};
