#include "ICal.h"

#include <algorithm>
#include <cstring>

namespace eventkit {
namespace {

// What libical reads: `rest`, with each content line (its folds included) cut
// after maxContentLineBytes.
struct LineSource {
    std::string_view rest;
    std::size_t lineBytes = 0; // of the content line being read
    bool atLineStart = true;
};

bool isFold(char c)
{
    return c == ' ' || c == '\t';
}

// Hands libical the next line of the source, or as much of it as fits in `out`.
char* nextLine(char* out, std::size_t size, void* data)
{
    LineSource& source = *static_cast<LineSource*>(data);
    std::string_view& rest = source.rest;
    std::size_t written = 0;
    while (!rest.empty() && written + 1 < size) {
        if (source.atLineStart) {
            const bool fold = isFold(rest.front());
            if (fold && source.lineBytes >= maxContentLineBytes) {
                rest.remove_prefix(std::min(rest.find('\n'), rest.size() - 1) + 1);
                continue;
            }
            source.lineBytes = fold ? source.lineBytes : 0;
            source.atLineStart = false;
        }
        const char c = rest.front();
        rest.remove_prefix(1);
        if (c == '\n' || c == '\r' || (c != '\0' && source.lineBytes < maxContentLineBytes))
            out[written++] = c;
        source.lineBytes += c != '\r' && c != '\n';
        if (c == '\n') {
            source.atLineStart = true;
            break;
        }
    }
    out[written] = '\0';
    return written > 0 ? out : nullptr;
}

struct ParserFree {
    void operator()(icalparser* parser) const { icalparser_free(parser); }
};

} // namespace

ComponentHandle parseComponent(std::string_view text)
{
    std::unique_ptr<icalparser, ParserFree> parser(icalparser_new());
    LineSource source { text };
    icalparser_set_gen_data(parser.get(), &source);
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
