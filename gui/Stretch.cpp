#include "gui/Stretch.h"

#include <algorithm>
#include <map>

namespace gui {

AxisMap AxisMap::Fit(const std::vector<Span>& spans) {
    // Far edges of the boxes that need more, with the most each asks for
    // measured from its start; the offset at an edge is the largest of the
    // offset before it and what its boxes ask for (a longest path along the
    // axis, edges in order).
    std::map<int, std::vector<const Span*>> byEnd;
    for (const Span& s : spans)
        if (s.need > s.size && s.size >= 0) byEnd[s.start + s.size].push_back(&s);
    AxisMap map;
    for (const auto& [end, boxes] : byEnd) {
        int offset = map.Map(end) - end;
        for (const Span* s : boxes) offset = std::max(offset, map.Map(s->start) + s->need - end);
        if (offset > 0 && (map.m_edges.empty() || offset > map.m_edges.back().offset))
            map.m_edges.push_back({end, offset});
    }
    return map;
}

int AxisMap::Map(int x) const {
    // The last edge at or before x.
    auto it = std::upper_bound(m_edges.begin(), m_edges.end(), x, [](int v, const Edge& e) { return v < e.at; });
    return it == m_edges.begin() ? x : x + std::prev(it)->offset;
}

}  // namespace gui
