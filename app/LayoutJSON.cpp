#include "LayoutJSON.h"

nlohmann::ordered_json rectJSON(CGRect rect)
{
    return { rect.origin.x, rect.origin.y, rect.size.width, rect.size.height };
}

nlohmann::ordered_json layoutJSON(const UIViewLayoutNode& node, CGPoint origin)
{
    const CGRect inPicture = CGRectMake(node.frameInRoot.origin.x + origin.x, node.frameInRoot.origin.y + origin.y,
        node.frameInRoot.size.width, node.frameInRoot.size.height);
    nlohmann::ordered_json object
        = { { "class", node.className }, { "frame", rectJSON(node.frame) }, { "pictureFrame", rectJSON(inPicture) } };
    if (node.tag)
        object["tag"] = node.tag;
    if (node.hidden)
        object["hidden"] = true;
    if (node.text)
        object["text"] = *node.text;
    if (!node.subviews.empty()) {
        auto& subviews = object["subviews"] = nlohmann::ordered_json::array();
        for (const UIViewLayoutNode& subview : node.subviews)
            subviews.push_back(layoutJSON(subview, origin));
    }
    return object;
}
