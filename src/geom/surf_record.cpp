// The rational B-spline surface record: life cycle, copy, transpose, dumps
// and small accessors and tests.
#include "geom/geom_surface.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

static const char* const kSurfName = "RatBSplSurf";

namespace {

// Never asks for zero bytes, so that a null result always means failure.
void* allocBytes(size_t n) { return std::malloc(n ? n : 1); }

template <typename T>
T* allocZeroed(long long count)
{
    // A negative count (or a product that overflowed) fails like any other
    // allocation instead of wrapping round to a small size.
    if (count < 0)
        return nullptr;
    T* p = static_cast<T*>(allocBytes(static_cast<size_t>(count) * sizeof(T)));
    if (p) {
        unsigned char* b = reinterpret_cast<unsigned char*>(p);
        for (size_t i = 0, n = static_cast<size_t>(count) * sizeof(T); i < n; ++i)
            b[i] = 0;
    }
    return p;
}

template <typename T>
void releaseArray(T*& p)
{
    if (p) {
        std::free(p);
        p = nullptr;
    }
}

long long netSize(const RatBSplSurf* s)
{
    return static_cast<long long>(s->noPointsu) * static_cast<long long>(s->noPointsv);
}

void copyPoint(const double* from, double* to)
{
    to[0] = from[0];
    to[1] = from[1];
    to[2] = from[2];
}

void printHeader(const RatBSplSurf* s)
{
    std::printf("ordu         : %d\n", s->ordu);
    std::printf("ordv         : %d\n", s->ordv);
    std::printf("noPointsu    : %d\n", s->noPointsu);
    std::printf("noPointsv    : %d\n", s->noPointsv);
    std::printf("periodicu    : %d\n", s->periodicu);
    std::printf("periodicv    : %d\n", s->periodicv);
    std::printf("origFormu    : %d\n", s->origFormu);
    std::printf("origFormv    : %d\n", s->origFormv);
    std::printf("isOffsetSurf : %d\n", s->isOffsetSurf);
    std::printf("offset       : %lf\n", s->offset);
}

bool hasNet(const RatBSplSurf* s)
{
    return s->points && s->weights && s->noPointsu >= 0 && s->noPointsv >= 0;
}

int exportNet(const RatBSplSurf* s, char transposed, double* out, bool points)
{
    const int nu = ratBSplSurfControlRows(s);
    const int nv = ratBSplSurfControlColumns(s);
    if (!out || !hasNet(s) || nu <= 0 || nv <= 0)
        return 0;
    for (int i = 0; i < nu; ++i) {
        for (int j = 0; j < nv; ++j) {
            const long long src = static_cast<long long>(i) * s->noPointsv + j;
            const long long dst = transposed ? static_cast<long long>(j) * nu + i
                                             : static_cast<long long>(i) * nv + j;
            if (points)
                copyPoint(s->points[src], out + 3 * dst);
            else
                out[dst] = s->weights[src];
        }
    }
    return 0;
}

}  // namespace

void ratBSplSurfInit(RatBSplSurf* surface)
{
    if (!surface)
        return;
    surface->name = kSurfName;
    surface->ordu = -1;
    surface->ordv = -1;
    surface->noPointsu = -1;
    surface->noPointsv = -1;
    surface->points = nullptr;
    surface->weights = nullptr;
    surface->knotsu = nullptr;
    surface->knotsv = nullptr;
    surface->rowPoints = nullptr;
    surface->workPoints = nullptr;
    surface->rowWeights = nullptr;
    surface->workWeights = nullptr;
    surface->periodicu = 0;
    surface->periodicv = 0;
    surface->isRational = 0;
    surface->periodu = -1;
    surface->knotRangeu = 0.0;
    surface->multPtsu = 0;
    surface->periodv = -1;
    surface->knotRangev = 0.0;
    surface->multPtsv = 0;
    surface->origFormu = 0;
    surface->origFormv = 0;
    surface->tolerance = 0.0;
    surface->isOffsetSurf = 0;
    surface->offset = 0.0;
    surface->nrmOri = 1;
    surface->destroy = ratBSplSurfDestroy;
    surface->print = ratBSplSurfPrint;
}

RatBSplSurf* ratBSplSurfCreate(int ordu, int ordv, int noPointsu, int noPointsv)
{
    RatBSplSurf* s = static_cast<RatBSplSurf*>(allocBytes(sizeof(RatBSplSurf)));
    if (!s)
        return nullptr;
    ratBSplSurfInit(s);
    s->ordu = ordu;
    s->ordv = ordv;
    s->noPointsu = noPointsu;
    s->noPointsv = noPointsv;
    const long long nu = noPointsu, nv = noPointsv;
    const long long net = (nu < 0 || nv < 0) ? -1 : nu * nv;
    const long long m = nu > nv ? nu : nv;
    s->points = allocZeroed<GeomVec3>(net);
    s->weights = allocZeroed<double>(net);
    s->knotsu = allocZeroed<double>(nu);
    s->knotsv = allocZeroed<double>(nv);
    s->rowPoints = allocZeroed<GeomVec3>(m);
    s->workPoints = allocZeroed<GeomVec3>(m);
    s->rowWeights = allocZeroed<double>(m < 0 ? -1 : m + 2);
    s->workWeights = allocZeroed<double>(m < 0 ? -1 : m + 2);
    if (!s->points || !s->weights || !s->knotsu || !s->knotsv || !s->rowPoints ||
        !s->workPoints || !s->rowWeights || !s->workWeights) {
        ratBSplSurfFree(s);
        return nullptr;
    }
    return s;
}

void ratBSplSurfDestroy(RatBSplSurf* surface)
{
    if (!surface)
        return;
    releaseArray(surface->points);
    releaseArray(surface->weights);
    releaseArray(surface->knotsu);
    releaseArray(surface->knotsv);
    releaseArray(surface->rowPoints);
    releaseArray(surface->workPoints);
    releaseArray(surface->rowWeights);
    releaseArray(surface->workWeights);
}

void ratBSplSurfFree(RatBSplSurf* surface)
{
    if (!surface)
        return;
    if (surface->destroy)
        surface->destroy(surface);
    std::free(surface);
}

RatBSplSurf* ratBSplSurfCopy(const RatBSplSurf* surface)
{
    if (!surface)
        return nullptr;
    RatBSplSurf* c =
        ratBSplSurfCreate(surface->ordu, surface->ordv, surface->noPointsu, surface->noPointsv);
    if (!c)
        return nullptr;
    c->isRational = surface->isRational;
    c->periodicu = surface->periodicu;
    c->periodicv = surface->periodicv;
    c->origFormu = surface->origFormu;
    c->origFormv = surface->origFormv;
    c->periodu = surface->periodu;
    c->knotRangeu = surface->knotRangeu;
    c->multPtsu = surface->multPtsu;
    c->periodv = surface->periodv;
    c->knotRangev = surface->knotRangev;
    c->multPtsv = surface->multPtsv;
    c->isOffsetSurf = surface->isOffsetSurf;
    c->offset = surface->offset;
    c->nrmOri = surface->nrmOri;
    if (hasNet(surface)) {
        const long long n = netSize(surface);
        for (long long k = 0; k < n; ++k) {
            copyPoint(surface->points[k], c->points[k]);
            c->weights[k] = surface->weights[k];
        }
    }
    if (surface->knotsu)
        for (int i = 0; i < surface->noPointsu; ++i)
            c->knotsu[i] = surface->knotsu[i];
    if (surface->knotsv)
        for (int j = 0; j < surface->noPointsv; ++j)
            c->knotsv[j] = surface->knotsv[j];
    return c;
}

RatBSplSurf* ratBSplSurfTranspose(const RatBSplSurf* surface)
{
    if (!surface)
        return nullptr;
    RatBSplSurf* t =
        ratBSplSurfCreate(surface->ordv, surface->ordu, surface->noPointsv, surface->noPointsu);
    if (!t)
        return nullptr;
    t->isRational = surface->isRational;
    t->isOffsetSurf = surface->isOffsetSurf;
    t->offset = surface->offset;
    t->periodicu = surface->periodicv;
    t->periodicv = surface->periodicu;
    t->origFormu = surface->origFormv;
    t->origFormv = surface->origFormu;
    t->periodu = surface->periodv;
    t->periodv = surface->periodu;
    t->knotRangeu = surface->knotRangev;
    t->knotRangev = surface->knotRangeu;
    t->multPtsu = surface->multPtsv;
    t->multPtsv = surface->multPtsu;
    if (hasNet(surface)) {
        for (int i = 0; i < t->noPointsu; ++i) {
            for (int j = 0; j < t->noPointsv; ++j) {
                const long long dst = static_cast<long long>(i) * t->noPointsv + j;
                const long long src = static_cast<long long>(j) * surface->noPointsv + i;
                copyPoint(surface->points[src], t->points[dst]);
                t->weights[dst] = surface->weights[src];
            }
        }
    }
    if (surface->knotsv)
        for (int i = 0; i < t->noPointsu; ++i)
            t->knotsu[i] = surface->knotsv[i];
    if (surface->knotsu)
        for (int j = 0; j < t->noPointsv; ++j)
            t->knotsv[j] = surface->knotsu[j];
    return t;
}

void ratBSplSurfPrint(RatBSplSurf* surface)
{
    if (!surface)
        return;
    std::printf("RatBSplSurf::print() :\n");
    printHeader(surface);
    std::printf("nrmOri       : %c\n", surface->nrmOri);
    if (!hasNet(surface) || !surface->knotsu || !surface->knotsv)
        return;
    for (int i = 0; i < surface->noPointsu; ++i) {
        for (int j = 0; j < surface->noPointsv; ++j) {
            const long long k = static_cast<long long>(i) * surface->noPointsv + j;
            const double* p = surface->points[k];
            std::printf("[%d][%d] : (%lf,%lf,%lf), %lf, ", i, j, p[0], p[1], p[2],
                        surface->weights[k]);
            std::printf("%lf\n", surface->knotsv[j]);
        }
        std::printf("%lf\n", surface->knotsu[i]);
    }
}

void ratBSplSurfPrintTransposed(RatBSplSurf* surface)
{
    if (!surface)
        return;
    std::printf("RatBSplSurf::printTransposed() :\n");
    printHeader(surface);
    if (!hasNet(surface) || !surface->knotsu || !surface->knotsv)
        return;
    for (int j = 0; j < surface->noPointsv; ++j) {
        for (int i = 0; i < surface->noPointsu; ++i) {
            const long long k = static_cast<long long>(i) * surface->noPointsv + j;
            const double* p = surface->points[k];
            std::printf("[%d][%d] : (%lf,%lf,%lf), %lf, ", i, j, p[0], p[1], p[2],
                        surface->weights[k]);
            std::printf("%lf\n", surface->knotsu[i]);
        }
        std::printf("%lf\n", surface->knotsv[j]);
    }
}

void ratBSplSurfCallPrint(RatBSplSurf* surface)
{
    if (surface && surface->print)
        surface->print(surface);
}

void ratBSplSurfSetPoint(RatBSplSurf* surface, int i, int j, double x, double y, double z)
{
    if (!surface || !surface->points || i < 0 || i >= surface->noPointsu || j < 0 ||
        j >= surface->noPointsv)
        return;
    double* p = surface->points[static_cast<long long>(i) * surface->noPointsv + j];
    p[0] = x;
    p[1] = y;
    p[2] = z;
}

void ratBSplSurfSetWeight(RatBSplSurf* surface, int i, int j, double w)
{
    if (!surface || !surface->weights || i < 0 || i >= surface->noPointsu || j < 0 ||
        j >= surface->noPointsv)
        return;
    surface->weights[static_cast<long long>(i) * surface->noPointsv + j] = w;
}

void ratBSplSurfSetKnotU(RatBSplSurf* surface, int i, double k)
{
    if (!surface || !surface->knotsu || i < 0 || i >= surface->noPointsu)
        return;
    surface->knotsu[i] = k;
}

void ratBSplSurfSetKnotV(RatBSplSurf* surface, int j, double k)
{
    if (!surface || !surface->knotsv || j < 0 || j >= surface->noPointsv)
        return;
    surface->knotsv[j] = k;
}

void ratBSplSurfAddOffset(RatBSplSurf* surface, double d)
{
    if (!surface)
        return;
    surface->offset += d;
    surface->isOffsetSurf = std::fabs(surface->offset) > 1e-7 ? 1 : 0;
}

void ratBSplSurfTestClosed(const RatBSplSurf* surface, int* closedU, int* closedV)
{
    ratBSplSurfTestClosedTol(surface, 1e-7, closedU, closedV);
}

void ratBSplSurfTestClosedTol(const RatBSplSurf* surface, double tol, int* closedU,
                              int* closedV)
{
    if (!surface || !surface->knotsv)
        return;
    const int rows = ratBSplSurfControlRows(surface);
    const int cols = ratBSplSurfControlColumns(surface);
    const bool net = surface->points != nullptr && rows > 0 && cols > 0;
    const long long stride = surface->noPointsv;
    if (closedU) {
        if (surface->periodicu != 0 || surface->origFormu == 2) {
            *closedU = 1;
        } else {
            int closed = net ? 1 : 0;
            for (int j = 0; closed && j < cols; ++j)
                if (vec3DistanceB(surface->points[j], surface->points[(rows - 1) * stride + j]) >
                    tol)
                    closed = 0;
            *closedU = closed;
        }
    }
    if (closedV) {
        if (surface->periodicv != 0 || surface->origFormv == 2) {
            *closedV = 1;
        } else {
            int closed = net ? 1 : 0;
            for (int i = 0; closed && i < rows; ++i)
                if (vec3DistanceB(surface->points[i * stride],
                                  surface->points[i * stride + cols - 1]) > tol)
                    closed = 0;
            *closedV = closed;
        }
    }
}

int ratBSplSurfGetPoints(const RatBSplSurf* surface, char transposed, double* out)
{
    if (!surface)
        return 5063;
    return exportNet(surface, transposed, out, true);
}

int ratBSplSurfGetWeights(const RatBSplSurf* surface, char transposed, double* out)
{
    if (!surface)
        return 5138;
    return exportNet(surface, transposed, out, false);
}

int ratBSplSurfHasWeights(const RatBSplSurf* surface)
{
    if (!surface || !surface->weights)
        return 0;
    const int rows = ratBSplSurfControlRows(surface);
    const int cols = ratBSplSurfControlColumns(surface);
    for (int i = 0; i < rows; ++i)
        for (int j = 0; j < cols; ++j)
            if (std::fabs(surface->weights[static_cast<long long>(i) * surface->noPointsv + j] -
                          1.0) > 1e-10)
                return 1;
    return 0;
}

namespace {

bool knotsUsable(const double* K, int n, int ord)
{
    if (!K || ord < 1 || n < 2 || n / 2 < ord)
        return false;
    for (int i = 0; i < n; ++i)
        if (!std::isfinite(K[i]) || (i > 0 && K[i] < K[i - 1]))
            return false;
    return true;
}

}  // namespace

int ratBSplSurfHasSpans(const RatBSplSurf* surface)
{
    if (!surface || !surface->points || !surface->weights || !surface->rowPoints ||
        !surface->workPoints || !surface->rowWeights || !surface->workWeights)
        return 0;
    return knotsUsable(surface->knotsu, surface->noPointsu, surface->ordu) &&
                   knotsUsable(surface->knotsv, surface->noPointsv, surface->ordv)
               ? 1
               : 0;
}

int ratBSplSurfControlRows(const RatBSplSurf* surface)
{
    if (!surface || surface->ordu < 1 || surface->noPointsu < surface->ordu)
        return 0;
    return surface->noPointsu - surface->ordu;
}

int ratBSplSurfControlColumns(const RatBSplSurf* surface)
{
    if (!surface || surface->ordv < 1 || surface->noPointsv < surface->ordv)
        return 0;
    return surface->noPointsv - surface->ordv;
}
