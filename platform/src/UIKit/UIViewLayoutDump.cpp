#include <UIKit/UIViewLayoutDump.h>

namespace {

UIViewLayoutNode describe(UIView& view, const UIView& root)
{
    UIViewLayoutNode node;
    node.className = class_getName(object_getClass(&view));
    node.frame = view.frame();
    node.frameInRoot = view.convertRectToView(view.bounds(), &root);
    node.tag = view.tag();
    node.hidden = view.isHidden();
    node.text = view.layoutText();
    for (const Ref<UIView>& subview : view.subviews())
        node.subviews.push_back(describe(*subview, root));
    return node;
}

} // namespace

UIViewLayoutNode UIViewLayoutTree(UIView* root)
{
    if (!root)
        return {};
    root->layoutIfNeeded();
    return describe(*root, *root);
}
