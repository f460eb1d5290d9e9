// The coordinator of a size change: whoever is told that the size will change
// may hand it blocks to run alongside the change and once it has finished. Each
// block receives the coordinator as its context.
//
// "animateAlongsideTransition:completion:" is a method of the runtime, so that a
// library calls it by selector with its blocks as objects; the coordinator keeps
// them until the change has finished.
#pragma once

#include <objc/Block.h>
#include <objc/runtime.h>
#include <platform/Export.h>

#include <functional>
#include <vector>

class PLATFORM_EXPORT UIViewControllerTransitionCoordinator
    : public objc::Subclass<UIViewControllerTransitionCoordinator, NSObject> {
public:
    using TransitionBlock = Block<void(id)>;

    static Class classObject();

    // Either block may be nil. NO once the transition has finished.
    bool animateAlongsideTransition(TransitionBlock* animation, TransitionBlock* completion);

    // Makes the change: the alongside blocks, then `layout` puts the new layout
    // in place, then every completion runs. Once only.
    void performTransition(const std::function<void()>& layout);
    bool isFinished() const { return finished_; }

private:
    std::vector<Ref<TransitionBlock>> animations_;
    std::vector<Ref<TransitionBlock>> completions_;
    bool finished_ = false;
};
