#include "ICal.h"

#include <algorithm>
#include <cstring>

namespace eventkit {
namespace {

// Hands libical the next line of `data` (a std::string_view it consumes), or
// as much of it as fits in `out`.
char* nextLine(char* out, std::size_t size, void* data)
{
    std::string_view& rest = *static_cast<std::string_view*>(data);
    if (rest.empty())
        return nullptr;
    std::size_t taken = 0, written = 0;
    while (taken < rest.size() && written + 1 < size) {
        const char c = rest[taken++];
        if (c != '\0')
            out[written++] = c;
        if (c == '\n')
            break;
    }
    out[written] = '\0';
    rest.remove_prefix(taken);
    return out;
}

struct ParserFree {
    void operator()(icalparser* parser) const { icalparser_free(parser); }
};

} // namespace

ComponentHandle parseComponent(std::string_view text)
{
    std::unique_ptr<icalparser, ParserFree> parser(icalparser_new());
    icalparser_set_gen_data(parser.get(), &text);
    return ComponentHandle(icalparser_parse(parser.get(), nextLine));
}

std::vector<icalcomponent*> childComponents(icalcomponent* parent, icalcomponent_kind kind)
{
    std::vector<icalcomponent*> children;
    for (icalcompiter cursor = icalcomponent_begin_component(parent, kind); icalcompiter_deref(&cursor);
         icalcompiter_next(&cursor))
        children.push_back(icalcompiter_deref(&cursor));
    return children;
}

std::string icalText(const icaltimetype& time)
{
    char buffer[32];
    if (time.is_date)
        std::snprintf(buffer, sizeof buffer, "%04d%02d%02d", time.year, time.month, time.day);
    else
        std::snprintf(buffer, sizeof buffer, "%04d%02d%02dT%02d%02d%02d%s", time.year, time.month, time.day, time.hour,
            time.minute, time.second, time.zone == icaltimezone_get_utc_timezone() ? "Z" : "");
    return buffer;
}

} // namespace eventkit
