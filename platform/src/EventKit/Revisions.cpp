#include "Revisions.h"

#include <set>
#include <tuple>

namespace eventkit {
namespace {

bool isNewer(const ItemRecord& candidate, const ItemRecord& kept)
{
    return std::tie(candidate.sequence, candidate.revised) > std::tie(kept.sequence, kept.revised);
}

// The latest revision of each override, in the order first found.
class OverrideRevisions {
public:
    void offer(const ItemRecord& change, const Series& from)
    {
        for (Entry& entry : entries_) {
            if (entry.change->recurrenceIdText == change.recurrenceIdText) {
                if (isNewer(change, *entry.change))
                    entry = { &change, &from };
                return;
            }
        }
        entries_.push_back({ &change, &from });
    }

    struct Entry {
        const ItemRecord* change;
        const Series* from;
    };
    const std::vector<Entry>& entries() const { return entries_; }

private:
    std::vector<Entry> entries_;
};

} // namespace

bool holdsRevisions(const std::vector<const Series*>& sameUid)
{
    if (sameUid.size() > 1)
        return true;
    std::set<std::string> seen;
    for (const ItemRecord& change : sameUid.front()->overrides) {
        if (!seen.insert(change.recurrenceIdText).second)
            return true;
    }
    return false;
}

std::vector<Series> latestRevisions(const std::vector<const Series*>& sameUid)
{
    const Series* latest = nullptr;
    OverrideRevisions overrides;
    for (const Series* series : sameUid) {
        if (series->master.recurrenceId)
            overrides.offer(series->master, *series);
        else if (!latest || isNewer(series->master, latest->master))
            latest = series;
        for (const ItemRecord& change : series->overrides)
            overrides.offer(change, *series);
    }
    std::vector<Series> merged;
    if (latest) {
        Series series { latest->master, latest->recurrence, {}, latest->fileName };
        for (const auto& entry : overrides.entries())
            series.overrides.push_back(*entry.change);
        merged.push_back(std::move(series));
        return merged;
    }
    for (const auto& entry : overrides.entries())
        merged.push_back({ *entry.change, nullptr, {}, entry.from->fileName });
    return merged;
}

} // namespace eventkit
