#include <UIKit/UIViewControllerTransitionCoordinator.h>

namespace {

using TransitionBlock = UIViewControllerTransitionCoordinator::TransitionBlock;

BOOL animateAlongsideTransitionImp(id self, SEL, id animation, id completion)
{
    return static_cast<UIViewControllerTransitionCoordinator*>(self)->animateAlongsideTransition(
        TransitionBlock::from(animation), TransitionBlock::from(completion));
}

} // namespace

Class UIViewControllerTransitionCoordinator::classObject()
{
    return objc::registeredClass<UIViewControllerTransitionCoordinator>("UIViewControllerTransitionCoordinator",
        [](Class c) { objc::addMethod(c, "animateAlongsideTransition:completion:", &animateAlongsideTransitionImp); });
}

bool UIViewControllerTransitionCoordinator::animateAlongsideTransition(
    TransitionBlock* animation, TransitionBlock* completion)
{
    if (finished_)
        return false;
    if (animation)
        animations_.emplace_back(animation);
    if (completion)
        completions_.emplace_back(completion);
    return true;
}

void UIViewControllerTransitionCoordinator::performTransition(const std::function<void()>& layout)
{
    if (finished_)
        return;
    for (const Ref<TransitionBlock>& animation : animations_)
        (*animation)(this);
    layout();
    finished_ = true;
    for (const Ref<TransitionBlock>& completion : completions_)
        (*completion)(this);
    animations_.clear();
    completions_.clear();
}
