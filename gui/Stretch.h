// Laying out to fit: a dialog template places controls in fixed pixels for
// the texts it was written with; a longer text (a translation, a larger
// font) needs more room.  An AxisMap moves the template's coordinates on one
// axis so that every box gets the extent it needs: where a box needs more,
// everything after its far edge moves on by the difference, on every row,
// so columns stay lined up, frames around the box grow with it and the
// dialog grows at its edge.  Gaps between edges never shrink, and with no
// box needing more the map is the identity (the template's own look).
#pragma once
#include <vector>

namespace gui {

// One box on the axis: where it starts and its extent in the template, and
// the extent its content needs (no more than size: it fits).
struct Span {
    int start = 0;
    int size = 0;
    int need = 0;
};

class AxisMap {
public:
    AxisMap() = default;  // the identity
    static AxisMap Fit(const std::vector<Span>& spans);

    // Where a template coordinate goes: the offset of the nearest box edge
    // at or before it applies.
    int Map(int x) const;
    // The laid-out extent of the box [start, start + size).
    int Extent(int start, int size) const { return Map(start + size) - Map(start); }
    bool Identity() const { return m_edges.empty(); }
    bool operator==(const AxisMap& o) const { return m_edges == o.m_edges; }

private:
    struct Edge {
        int at = 0;      // template coordinate
        int offset = 0;  // how far it moves (never negative, never less than an edge before it)
        bool operator==(const Edge& o) const { return at == o.at && offset == o.offset; }
    };
    std::vector<Edge> m_edges;  // by coordinate; only those that move
};

}  // namespace gui
