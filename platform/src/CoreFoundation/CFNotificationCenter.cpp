// The Darwin centre: observers by name, coalesced delivery on the main run loop,
// and the channel to the other processes of the device root.
#include <CoreFoundation/CFNotificationCenter.h>

#include "CoreFoundation/DarwinChannel.h"
#include "CoreFoundation/RunLoop.h"

#include <Foundation/NSString.h>
#include <platform/Environment.h>

#include <algorithm>
#include <mutex>
#include <set>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

class DarwinCenter {
public:
    static DarwinCenter& shared()
    {
        // Never destroyed: the run loop keeps a source that refers to it.
        static auto* center = new DarwinCenter;
        return *center;
    }

    void addObserver(const void* observer, CFNotificationCallback callback, std::string name)
    {
        std::lock_guard guard(lock_);
        const Observer entry { observer, callback, std::move(name) };
        if (std::find(observers_.begin(), observers_.end(), entry) == observers_.end())
            observers_.push_back(entry);
        followDeviceRoot();
    }

    void removeObserver(const void* observer, const std::string* name)
    {
        std::lock_guard guard(lock_);
        std::erase_if(
            observers_, [&](const Observer& o) { return o.observer == observer && (!name || o.name == *name); });
        if (!observers_.empty())
            return;
        channel_.close();
        listeningKey_.clear();
    }

    void post(const std::string& name)
    {
        std::string ownSocket;
        {
            std::lock_guard guard(lock_);
            followDeviceRoot();
            ownSocket = channel_.socketPath();
        }
        schedule(name);
        platform::DarwinChannel::post(platform::deviceRoot(), name, ownSocket);
    }

private:
    struct Observer {
        const void* observer;
        CFNotificationCallback callback;
        std::string name;
        bool operator==(const Observer&) const = default;
    };

    DarwinCenter()
    {
        platform::RunLoop::main().addSource({ [this] { return listeningDescriptor(); }, [this] { receive(); } });
    }

    // Listens on the current device root while anyone observes, trying once per
    // root and process (a forked child needs a socket of its own). Called with
    // the lock held.
    void followDeviceRoot()
    {
        if (observers_.empty())
            return;
        const std::string& root = platform::deviceRoot();
        std::string key = root + '\n' + std::to_string(::getpid());
        if (key == listeningKey_)
            return;
        listeningKey_ = std::move(key);
        channel_.listen(root);
    }

    int listeningDescriptor()
    {
        std::lock_guard guard(lock_);
        followDeviceRoot();
        return channel_.descriptor();
    }

    void receive()
    {
        std::vector<std::string> names;
        {
            std::lock_guard guard(lock_);
            names = channel_.receive();
        }
        for (const std::string& name : names)
            schedule(name);
    }

    // One delivery per observed name until it has run: later posts of the name join it.
    void schedule(const std::string& name)
    {
        {
            std::lock_guard guard(lock_);
            const bool observed
                = std::any_of(observers_.begin(), observers_.end(), [&](const Observer& o) { return o.name == name; });
            if (!observed || !pending_.insert(name).second)
                return;
        }
        platform::RunLoop::main().perform([this, name] { deliver(name); });
    }

    void deliver(const std::string& name)
    {
        std::vector<Observer> observers;
        {
            std::lock_guard guard(lock_);
            pending_.erase(name);
            std::copy_if(observers_.begin(), observers_.end(), std::back_inserter(observers),
                [&](const Observer& o) { return o.name == name; });
        }
        Ref<NSString> text = NSString::string(name);
        for (const Observer& o : observers)
            o.callback(reinterpret_cast<CFNotificationCenterRef>(this), const_cast<void*>(o.observer), text.get(),
                nullptr, nullptr);
    }

    std::mutex lock_;
    std::vector<Observer> observers_;
    std::set<std::string> pending_;
    platform::DarwinChannel channel_;
    std::string listeningKey_;
};

DarwinCenter* centerOf(CFNotificationCenterRef center)
{
    DarwinCenter& shared = DarwinCenter::shared();
    return reinterpret_cast<DarwinCenter*>(center) == &shared ? &shared : nullptr;
}

} // namespace

CFNotificationCenterRef CFNotificationCenterGetDarwinNotifyCenter()
{
    return reinterpret_cast<CFNotificationCenterRef>(&DarwinCenter::shared());
}

void CFNotificationCenterAddObserver(CFNotificationCenterRef center, const void* observer,
    CFNotificationCallback callback, CFStringRef name, const void*, CFNotificationSuspensionBehavior)
{
    if (DarwinCenter* darwin = centerOf(center); darwin && callback && name)
        darwin->addObserver(observer, callback, name->UTF8String());
}

void CFNotificationCenterRemoveObserver(
    CFNotificationCenterRef center, const void* observer, CFStringRef name, const void*)
{
    if (DarwinCenter* darwin = centerOf(center)) {
        const std::string text = name ? name->UTF8String() : std::string();
        darwin->removeObserver(observer, name ? &text : nullptr);
    }
}

void CFNotificationCenterRemoveEveryObserver(CFNotificationCenterRef center, const void* observer)
{
    if (DarwinCenter* darwin = centerOf(center))
        darwin->removeObserver(observer, nullptr);
}

void CFNotificationCenterPostNotification(
    CFNotificationCenterRef center, CFStringRef name, const void*, CFDictionaryRef, Boolean)
{
    if (DarwinCenter* darwin = centerOf(center); darwin && name && !name->UTF8String().empty())
        darwin->post(name->UTF8String());
}
