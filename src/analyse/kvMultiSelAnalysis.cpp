#include "analyse/kvMultiSelAnalysis.h"

#include "sdk/kvInterfaces.h"
#include "sdk/kvValueSets.h"

#include <cmath>
#include <cstdint>
#include <unordered_map>
#include <unordered_set>

bool collectEnumeratedObjects(kvIUnknown* object, std::vector<kvIUnknownPtr>& list)
{
    kvIfPtr<kvIObjectEnum> objects(object);
    if (objects.isNull())
        return false;
    objects->reset();
    while (!objects->atEnd()) {
        kvIUnknownPtr current;
        objects->current(&current);
        if (!current.isNull())
            list.push_back(current);
        objects->next();
    }
    return true;
}

std::vector<kvIUnknownPtr> kvFlattenSelection(const kvCIUnknownSet& selection)
{
    std::vector<kvIUnknownPtr> named;
    named.reserve(selection.count());
    for (unsigned int i = 0; i < selection.count(); ++i) {
        kvIUnknown* element = selection.getAt(i);
        if (!collectEnumeratedObjects(element, named))
            named.push_back(kvIUnknownPtr(element));
    }
    // A face named twice (twice in the set, or in a group and on its own)
    // is one face of the part: analysed twice it would be counted twice in
    // its group, and a half cylinder would pair with itself as a hole.
    std::vector<kvIUnknownPtr> faces;
    faces.reserve(named.size());
    std::unordered_set<kvIUnknown*> seen;
    for (kvIUnknownPtr& face : named)
        if (face.isNull() || seen.insert(face.get()).second)
            faces.push_back(std::move(face));
    return faces;
}

double kvAngleToFrame(const kvCGeVector& z, const kvCGeVector& normal)
{
    kvCGeVector about = z.cross(normal);
    if (about.length() < 0.001)
        return 0.0;
    about.normIt();
    double angle = z.angleTo(normal, about) / 3.141592653589793 * 180.0;
    if (angle > 90.0)
        angle = 180.0 - angle;
    return angle;
}

namespace {

// The half cylinders of one run, found by their axis point. Points are kept
// in cells as wide as the matching distance, so a match lies in the point's
// own cell or a neighbouring one: each face is compared with the few points
// near it instead of with every earlier half cylinder.
class AxisPointIndex {
public:
    explicit AxisPointIndex(std::size_t expected) { m_cells.reserve(expected); }

    // Calls match(record) for every earlier point within the distance.
    template <class Match>
    void forEachNear(const kvCGePoint& p, Match match) const
    {
        const Cell c = cellOf(p);
        for (std::int64_t dx = -1; dx <= 1; ++dx)
            for (std::int64_t dy = -1; dy <= 1; ++dy)
                for (std::int64_t dz = -1; dz <= 1; ++dz) {
                    auto it = m_cells.find(Cell{c.x + dx, c.y + dy, c.z + dz});
                    for (unsigned int at = it == m_cells.end() ? none : it->second; at != none;
                         at = m_entries[at].next)
                        if (m_entries[at].point.distanceTo(p) < kvSameAxisPointDistance)
                            match(m_entries[at].record);
                }
    }

    void add(const kvCGePoint& p, unsigned int record)
    {
        unsigned int& head = m_cells.emplace(cellOf(p), none).first->second;
        m_entries.push_back(Entry{p, record, head});
        head = static_cast<unsigned int>(m_entries.size() - 1);
    }

private:
    static constexpr unsigned int none = 0xFFFFFFFFu;
    struct Cell {
        std::int64_t x, y, z;
        bool operator==(const Cell& o) const { return x == o.x && y == o.y && z == o.z; }
    };
    struct CellHash {
        std::size_t operator()(const Cell& c) const
        {
            std::uint64_t h = static_cast<std::uint64_t>(c.x) * 0x9E3779B97F4A7C15ull;
            h ^= static_cast<std::uint64_t>(c.y) * 0xC2B2AE3D27D4EB4Full + (h << 6) + (h >> 2);
            h ^= static_cast<std::uint64_t>(c.z) * 0x165667B19E3779F9ull + (h << 6) + (h >> 2);
            return static_cast<std::size_t>(h);
        }
    };
    struct Entry {
        kvCGePoint point;
        unsigned int record;
        unsigned int next;
    };
    static std::int64_t cellCoord(double v)
    {
        // Coordinates far outside any model share the outermost cells; they
        // are still compared by their true distance.
        const double c = std::floor(v / kvSameAxisPointDistance);
        if (!(c > -4e18))
            return INT64_MIN / 2;
        if (c > 4e18)
            return INT64_MAX / 2;
        return static_cast<std::int64_t>(c);
    }
    static Cell cellOf(const kvCGePoint& p) { return Cell{cellCoord(p.x), cellCoord(p.y), cellCoord(p.z)}; }

    std::unordered_map<Cell, unsigned int, CellHash> m_cells;
    std::vector<Entry> m_entries;
};

void resetWork(kvCAnalyseCtrl& work)
{
    work.radius = 0.0;
    work.boxMin.set(kvCAnalyseCtrl::noRadius, kvCAnalyseCtrl::noRadius, kvCAnalyseCtrl::noRadius);
    work.boxMax.set(-kvCAnalyseCtrl::noRadius, -kvCAnalyseCtrl::noRadius, -kvCAnalyseCtrl::noRadius);
}

}  // namespace

void kvAnalyseFaces(const std::vector<kvIUnknownPtr>& faces, const kvCGeVector& frameZ,
                    const kvFaceClassifier& classify, kvCAnalyseCtrl& work, kvRadiusRecords& radii,
                    kvPlaneRecords& planes, const std::function<void(unsigned int)>& progress)
{
    // A large selection makes many records: the arrays double as they grow
    // instead of adding a few records at a time.
    radii.setGrowBy(0);
    planes.setGrowBy(0);
    AxisPointIndex halfCylinders(64);
    for (std::size_t i = 0; i < faces.size(); ++i) {
        if (progress)
            progress(static_cast<unsigned int>(i + 1));
        resetWork(work);
        kvIUnknown* face = faces[i].get();
        const int kind = classify(face, work);
        if (kind == kvCAnalyseCtrl::faceClassCurved || kind == kvCAnalyseCtrl::faceClassHalfTurn) {
            // A radius that is no number could not be sorted; one above the
            // no-value mark is no radius.
            if (!(work.radius <= kvCAnalyseCtrl::noRadius) || !std::isfinite(work.radius))
                continue;
            const unsigned int k = radii.size();
            kvIArcUnknown& record = radii[k];
            record.box.min = work.boxMin;
            record.box.max = work.boxMax;
            record.box.value = work.radius;
            record.radius = work.radius;
            bool repeat = false;
            if (kind == kvCAnalyseCtrl::faceClassHalfTurn) {
                halfCylinders.forEachNear(work.axisRecord.p2, [&](unsigned int j) {
                    radii.at(j).face = nullptr;
                    repeat = true;
                });
            }
            if (repeat)
                continue;
            kvIArcUnknown& kept = radii.at(k);
            kept.minRadiusU = work.minRadiusU;
            kept.minRadiusV = work.minRadiusV;
            kept.face = faces[i];
            kept.axis = work.axisRecord;
            if (kind == kvCAnalyseCtrl::faceClassHalfTurn)
                halfCylinders.add(work.axisRecord.p2, k);
        } else if (kind == kvCAnalyseCtrl::faceClassPlane) {
            kvIPlanUnknown& record = planes[planes.size()];
            record.face = faces[i];
            record.normal = work.planeNormal;
            record.box.min = work.boxMin;
            record.box.max = work.boxMax;
            record.box.value = kvAngleToFrame(frameZ, work.planeNormal);
        }
    }
}
