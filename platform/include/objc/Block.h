// Blocks: functions that are objects, so that whoever keeps one for later (a
// queue, a completion argument, a transition coordinator) retains it and the last
// release frees what it captured, as with the phone's heap blocks.
//
// `Block<void(BOOL)>` is a block of one signature; every signature shares the
// runtime class NSBlock, so a block travels through a message as an `id` and the
// receiver takes it back with `Block<…>::from`, which checks the signature.
#pragma once

#include <objc/NSObject.h>
#include <platform/Export.h>

#include <functional>
#include <utility>

class PLATFORM_EXPORT NSBlock : public objc::Subclass<NSBlock, NSObject> {
public:
    static Class classObject();

protected:
    NSBlock() = default;
};

template <typename Signature> class Block;

template <typename R, typename... Args> class PLATFORM_EXPORT Block<R(Args...)> final : public NSBlock {
public:
    using Body = std::function<R(Args...)>;

    explicit Block(Body body)
        : body_(std::move(body))
    {
    }

    R operator()(Args... args) const { return body_(std::forward<Args>(args)...); }

    // The block an `id` holds when it is a block of this signature, else null.
    static Block* from(NSObject* object) { return dynamic_cast<Block*>(dynamicCast<NSBlock>(object)); }

private:
    Body body_;
};

// `makeBlock<void(BOOL)>([](BOOL finished) { … })`: a new block owned by the reference.
template <typename Signature, typename F> Ref<Block<Signature>> makeBlock(F&& body)
{
    return makeRef<Block<Signature>>(typename Block<Signature>::Body(std::forward<F>(body)));
}
