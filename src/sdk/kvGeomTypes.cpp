#include "sdk/kvGeomTypes.h"

#include <algorithm>
#include <cmath>

namespace {
const double kPi = 3.141592653589793;
}

// ---------------------------------------------------------------- point

kvCGePoint::kvCGePoint(const kvCGeVector& v) : x(v.x), y(v.y), z(v.z) {}

double kvCGePoint::distanceTo(const kvCGePoint& other) const { return (*this - other).length(); }

kvCGePoint kvCGePoint::operator+(const kvCGeVector& v) const { return kvCGePoint(x + v.x, y + v.y, z + v.z); }
kvCGePoint kvCGePoint::operator-(const kvCGeVector& v) const { return kvCGePoint(x - v.x, y - v.y, z - v.z); }

kvCGePoint& kvCGePoint::operator+=(const kvCGeVector& v)
{
    x += v.x;
    y += v.y;
    z += v.z;
    return *this;
}

kvCGePoint& kvCGePoint::operator-=(const kvCGeVector& v)
{
    x -= v.x;
    y -= v.y;
    z -= v.z;
    return *this;
}

kvCGeVector kvCGePoint::operator-(const kvCGePoint& other) const
{
    return kvCGeVector(x - other.x, y - other.y, z - other.z);
}

// ---------------------------------------------------------------- vector

double kvCGeVector::length() const { return std::sqrt(x * x + y * y + z * z); }

kvCGeVector& kvCGeVector::normIt()
{
    const double len = length();
    if (len > 0.0) {
        x /= len;
        y /= len;
        z /= len;
    }
    return *this;
}

kvCGeVector kvCGeVector::cross(const kvCGeVector& v) const
{
    return kvCGeVector(y * v.z - z * v.y, z * v.x - x * v.z, x * v.y - y * v.x);
}

double kvCGeVector::angleTo(const kvCGeVector& v) const
{
    // atan2 of the cross and dot products stays accurate near 0 and pi,
    // where acos of the normalised dot product loses its digits.
    return std::atan2(cross(v).length(), dot(v));
}

double kvCGeVector::angleTo(const kvCGeVector& v, const kvCGeVector& reference) const
{
    const kvCGeVector c = cross(v);
    double a = std::atan2(c.length(), dot(v));
    if (c.dot(reference) < 0.0)
        a = 2.0 * kPi - a;
    if (a >= 2.0 * kPi)
        a -= 2.0 * kPi;
    return a;
}

kvCGeVector& kvCGeVector::operator+=(const kvCGeVector& v)
{
    x += v.x;
    y += v.y;
    z += v.z;
    return *this;
}

kvCGeVector& kvCGeVector::operator-=(const kvCGeVector& v)
{
    x -= v.x;
    y -= v.y;
    z -= v.z;
    return *this;
}

kvCGeVector& kvCGeVector::operator*=(double s)
{
    x *= s;
    y *= s;
    z *= s;
    return *this;
}

// ---------------------------------------------------------------- matrix

kvCGeMatrix::kvCGeMatrix() { setToIdentity(); }

kvCGeMatrix::kvCGeMatrix(const double m[4][4])
{
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            m_m[r][c] = m[r][c];
}

kvCGeMatrix& kvCGeMatrix::setToIdentity()
{
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            m_m[r][c] = (r == c) ? 1.0 : 0.0;
    return *this;
}

bool kvCGeMatrix::isIdentity() const { return *this == kvCGeMatrix(); }

kvCGeMatrix& kvCGeMatrix::setFromArbitraryAxis(const kvCGeVector& zAxis)
{
    setToIdentity();
    kvCGeVector n = zAxis;
    if (n.length() == 0.0)
        return *this;
    n.normIt();
    // Near the world Z axis the X axis is taken from world Y, elsewhere from
    // world Z, so that frames of nearly vertical axes stay stable.
    const double limit = 1.0 / 64.0;
    kvCGeVector ax;
    if (std::fabs(n.x) < limit && std::fabs(n.y) < limit)
        ax = kvCGeVector(0, 1, 0).cross(n);
    else
        ax = kvCGeVector(0, 0, 1).cross(n);
    ax.normIt();
    kvCGeVector ay = n.cross(ax).normIt();
    for (int r = 0; r < 3; ++r) {
        m_m[r][0] = ax[r];
        m_m[r][1] = ay[r];
        m_m[r][2] = n[r];
    }
    return *this;
}

kvCGeMatrix& kvCGeMatrix::setTranslation(const kvCGeVector& t)
{
    m_m[0][3] = t.x;
    m_m[1][3] = t.y;
    m_m[2][3] = t.z;
    return *this;
}

kvCGeMatrix& kvCGeMatrix::setTranslation(const kvCGePoint& t) { return setTranslation(kvCGeVector(t)); }

kvCGeVector kvCGeMatrix::translation() const { return kvCGeVector(m_m[0][3], m_m[1][3], m_m[2][3]); }

kvCGeMatrix& kvCGeMatrix::setCoordSystem(const kvCGePoint& origin, const kvCGeVector& xAxis, const kvCGeVector& yAxis,
                                         const kvCGeVector& zAxis)
{
    setToIdentity();
    for (int r = 0; r < 3; ++r) {
        m_m[r][0] = xAxis[r];
        m_m[r][1] = yAxis[r];
        m_m[r][2] = zAxis[r];
        m_m[r][3] = origin[r];
    }
    return *this;
}

void kvCGeMatrix::getCoordSystem(kvCGePoint& origin, kvCGeVector& xAxis, kvCGeVector& yAxis, kvCGeVector& zAxis) const
{
    for (int r = 0; r < 3; ++r) {
        xAxis[r] = m_m[r][0];
        yAxis[r] = m_m[r][1];
        zAxis[r] = m_m[r][2];
        origin[r] = m_m[r][3];
    }
}

kvCGeMatrix& kvCGeMatrix::setToRotation2(double angle, const kvCGeVector& axis, const kvCGePoint& origin)
{
    setToIdentity();
    kvCGeVector k = axis;
    if (k.length() == 0.0)
        return *this;
    k.normIt();
    const double c = std::cos(angle);
    const double s = std::sin(angle);
    const double t = 1.0 - c;
    m_m[0][0] = t * k.x * k.x + c;
    m_m[0][1] = t * k.x * k.y - s * k.z;
    m_m[0][2] = t * k.x * k.z + s * k.y;
    m_m[1][0] = t * k.x * k.y + s * k.z;
    m_m[1][1] = t * k.y * k.y + c;
    m_m[1][2] = t * k.y * k.z - s * k.x;
    m_m[2][0] = t * k.x * k.z - s * k.y;
    m_m[2][1] = t * k.y * k.z + s * k.x;
    m_m[2][2] = t * k.z * k.z + c;
    // Keep the origin where it is: t = o - R o.
    const kvCGeVector ro = *this * kvCGeVector(origin);
    setTranslation(kvCGeVector(origin) - ro);
    return *this;
}

bool kvCGeMatrix::invertIt()
{
    double a[4][8];
    double scale = 0.0;
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            a[r][c] = m_m[r][c];
            a[r][c + 4] = (r == c) ? 1.0 : 0.0;
            scale = std::max(scale, std::fabs(m_m[r][c]));
        }
    }
    if (scale == 0.0)
        return false;
    for (int col = 0; col < 4; ++col) {
        int pivot = col;
        for (int r = col + 1; r < 4; ++r)
            if (std::fabs(a[r][col]) > std::fabs(a[pivot][col]))
                pivot = r;
        if (std::fabs(a[pivot][col]) <= 1e-14 * scale)
            return false;
        if (pivot != col)
            for (int c = 0; c < 8; ++c)
                std::swap(a[pivot][c], a[col][c]);
        const double p = a[col][col];
        for (int c = 0; c < 8; ++c)
            a[col][c] /= p;
        for (int r = 0; r < 4; ++r) {
            if (r == col || a[r][col] == 0.0)
                continue;
            const double f = a[r][col];
            for (int c = 0; c < 8; ++c)
                a[r][c] -= f * a[col][c];
        }
    }
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            m_m[r][c] = a[r][c + 4];
    return true;
}

kvCGeMatrix kvCGeMatrix::inverse() const
{
    kvCGeMatrix inv(*this);
    inv.invertIt();
    return inv;
}

double kvCGeMatrix::determinant() const
{
    double a[4][4];
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            a[r][c] = m_m[r][c];
    double det = 1.0;
    for (int col = 0; col < 4; ++col) {
        int pivot = col;
        for (int r = col + 1; r < 4; ++r)
            if (std::fabs(a[r][col]) > std::fabs(a[pivot][col]))
                pivot = r;
        if (a[pivot][col] == 0.0)
            return 0.0;
        if (pivot != col) {
            for (int c = 0; c < 4; ++c)
                std::swap(a[pivot][c], a[col][c]);
            det = -det;
        }
        det *= a[col][col];
        for (int r = col + 1; r < 4; ++r) {
            const double f = a[r][col] / a[col][col];
            for (int c = col; c < 4; ++c)
                a[r][c] -= f * a[col][c];
        }
    }
    return det;
}

kvCGeMatrix kvCGeMatrix::operator*(const kvCGeMatrix& other) const
{
    kvCGeMatrix res;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) {
            double s = 0.0;
            for (int k = 0; k < 4; ++k)
                s += m_m[r][k] * other.m_m[k][c];
            res.m_m[r][c] = s;
        }
    return res;
}

kvCGePoint kvCGeMatrix::operator*(const kvCGePoint& p) const
{
    double out[3];
    for (int r = 0; r < 3; ++r)
        out[r] = m_m[r][0] * p.x + m_m[r][1] * p.y + m_m[r][2] * p.z + m_m[r][3];
    const double w = m_m[3][0] * p.x + m_m[3][1] * p.y + m_m[3][2] * p.z + m_m[3][3];
    if (w != 1.0 && w != 0.0)
        for (double& v : out)
            v /= w;
    return kvCGePoint(out);
}

kvCGeVector kvCGeMatrix::operator*(const kvCGeVector& v) const
{
    return kvCGeVector(m_m[0][0] * v.x + m_m[0][1] * v.y + m_m[0][2] * v.z,
                       m_m[1][0] * v.x + m_m[1][1] * v.y + m_m[1][2] * v.z,
                       m_m[2][0] * v.x + m_m[2][1] * v.y + m_m[2][2] * v.z);
}

bool operator==(const kvCGeMatrix& a, const kvCGeMatrix& b)
{
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            if (a.m_m[r][c] != b.m_m[r][c])
                return false;
    return true;
}

// ---------------------------------------------------------------- contour

void kvCGeContour::addLine(const kvCGePoint& p, bool start)
{
    Element e;
    // The first element always opens a piece, whatever the flag says.
    e.kind = (start || m_elements.empty()) ? 0 : 1;
    e.end = p;
    m_elements.push_back(e);
}

bool kvCGeContour::addArc(const kvCGePoint& end, const kvCGePoint& centre, const kvCGeVector& normal, bool ccw)
{
    if (m_elements.empty() || normal.length() == 0.0)
        return false;
    if ((m_elements.back().end - centre).length() == 0.0)
        return false;  // no radius: the arc is not defined
    Element e;
    e.kind = 2;
    e.end = end;
    e.centre = centre;
    e.normal = normal.normal();
    e.ccw = ccw;
    m_elements.push_back(e);
    return true;
}

bool kvCGeContour::getApproxPoints(kvTArray<double[3], kvTMemCopy<double[3]>>& points, double tolerance) const
{
    if (m_elements.empty())
        return false;
    kvCGePoint current;
    for (const Element& e : m_elements) {
        if (e.kind == 2) {
            const kvCGeVector su = current - e.centre;
            const double r = su.length();
            // Work in the plane of the arc: u towards the start, v = n x u.
            kvCGeVector u = su;
            kvCGeVector projected = u - e.normal * u.dot(e.normal);
            if (projected.length() > 0.0)
                u = projected;
            u.normIt();
            const kvCGeVector v = e.normal.cross(u);
            const kvCGeVector eu = e.end - e.centre;
            double theta = std::atan2(eu.dot(v), eu.dot(u));  // -pi .. pi
            if (e.ccw) {
                if (theta <= 1e-12)
                    theta += 2.0 * kPi;
            } else {
                if (theta >= -1e-12)
                    theta -= 2.0 * kPi;
            }
            double tol = tolerance;
            if (!(tol > 0.0))
                tol = 1e-6 * r;
            double step = kPi / 2.0;
            if (tol < r)
                step = std::min(step, 2.0 * std::acos(1.0 - tol / r));
            double n = std::ceil(std::fabs(theta) / step);
            n = std::min(std::max(n, 1.0), 100000.0);
            const int count = static_cast<int>(n);
            for (int i = 1; i < count; ++i) {
                const double a = theta * i / count;
                const kvCGePoint q = e.centre + u * (r * std::cos(a)) + v * (r * std::sin(a));
                double xyz[3];
                q.get(xyz);
                points.append(xyz);
            }
        }
        double xyz[3];
        e.end.get(xyz);
        points.append(xyz);
        current = e.end;
    }
    return true;
}

void kvCGeContour::transformBy(const kvCGeMatrix& m)
{
    for (Element& e : m_elements) {
        e.end = m * e.end;
        e.centre = m * e.centre;
        e.normal = (m * e.normal).normIt();
    }
}

// ---------------------------------------------------------------- colour

kvCColor& kvCColor::setRGB(unsigned char r, unsigned char g, unsigned char b)
{
    m_value = static_cast<unsigned int>(r) | (static_cast<unsigned int>(g) << 8) | (static_cast<unsigned int>(b) << 16);
    return *this;
}

kvCColor& kvCColor::setFromAcadColorIndex(int index)
{
    static const unsigned char named[10][3] = {
        {0, 0, 0},       {255, 0, 0},   {255, 255, 0}, {0, 255, 0},     {0, 255, 255},
        {0, 0, 255},     {255, 0, 255}, {255, 255, 255}, {128, 128, 128}, {192, 192, 192},
    };
    static const unsigned char greys[6] = {51, 91, 132, 173, 214, 255};
    static const double shades[5] = {255.0, 204.0, 153.0, 127.0, 76.0};
    if (index < 0 || index > 255)
        return setRGB(0, 0, 0);
    if (index < 10)
        return setRGB(named[index][0], named[index][1], named[index][2]);
    if (index >= 250)
        return setRGB(greys[index - 250], greys[index - 250], greys[index - 250]);
    const int hueStep = index / 10 - 1;  // 0 .. 23, 15 degrees each
    const int offset = index % 10;
    const double value = shades[offset / 2];
    const double saturation = (offset % 2 == 0) ? 1.0 : 0.5;
    const double h = hueStep * 15.0 / 60.0;  // sector 0 .. 6
    const int sector = static_cast<int>(h) % 6;
    const double f = h - static_cast<int>(h);
    const double p = value * (1.0 - saturation);
    const double q = value * (1.0 - saturation * f);
    const double t = value * (1.0 - saturation * (1.0 - f));
    double r = value, g = value, b = value;
    switch (sector) {
    case 0: r = value; g = t; b = p; break;
    case 1: r = q; g = value; b = p; break;
    case 2: r = p; g = value; b = t; break;
    case 3: r = p; g = q; b = value; break;
    case 4: r = t; g = p; b = value; break;
    default: r = value; g = p; b = q; break;
    }
    return setRGB(static_cast<unsigned char>(std::lround(r)), static_cast<unsigned char>(std::lround(g)),
                  static_cast<unsigned char>(std::lround(b)));
}
