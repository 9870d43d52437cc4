// The maker's geometry value types: points, vectors, 4x4 frames, contours and
// colours. Plain values with deep copies; matrices are kept in row order with
// the translation in the fourth column and 0, 0, 0, 1 as the bottom row.
#pragma once

#include "host/object/kvArray.h"

#include <vector>

class kvCGeVector;

class kvCGePoint {
public:
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;

    kvCGePoint() = default;
    kvCGePoint(double px, double py, double pz) : x(px), y(py), z(pz) {}
    explicit kvCGePoint(const double* p) : x(p[0]), y(p[1]), z(p[2]) {}
    explicit kvCGePoint(const kvCGeVector& v);

    kvCGePoint& set(double px, double py, double pz)
    {
        x = px;
        y = py;
        z = pz;
        return *this;
    }
    void get(double out[3]) const
    {
        out[0] = x;
        out[1] = y;
        out[2] = z;
    }
    double operator[](int i) const { return i == 0 ? x : (i == 1 ? y : z); }
    double& operator[](int i) { return i == 0 ? x : (i == 1 ? y : z); }

    double distanceTo(const kvCGePoint& other) const;

    kvCGePoint operator+(const kvCGeVector& v) const;
    kvCGePoint operator-(const kvCGeVector& v) const;
    kvCGePoint& operator+=(const kvCGeVector& v);
    kvCGePoint& operator-=(const kvCGeVector& v);
    kvCGeVector operator-(const kvCGePoint& other) const;

    friend bool operator==(const kvCGePoint& a, const kvCGePoint& b) { return a.x == b.x && a.y == b.y && a.z == b.z; }
    friend bool operator!=(const kvCGePoint& a, const kvCGePoint& b) { return !(a == b); }
};

class kvCGeVector {
public:
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;

    kvCGeVector() = default;
    kvCGeVector(double vx, double vy, double vz) : x(vx), y(vy), z(vz) {}
    explicit kvCGeVector(const double* v) : x(v[0]), y(v[1]), z(v[2]) {}
    explicit kvCGeVector(const kvCGePoint& p) : x(p.x), y(p.y), z(p.z) {}

    kvCGeVector& set(double vx, double vy, double vz)
    {
        x = vx;
        y = vy;
        z = vz;
        return *this;
    }
    void get(double out[3]) const
    {
        out[0] = x;
        out[1] = y;
        out[2] = z;
    }
    double operator[](int i) const { return i == 0 ? x : (i == 1 ? y : z); }
    double& operator[](int i) { return i == 0 ? x : (i == 1 ? y : z); }

    double length() const;
    // Scales to unit length; a zero vector stays zero.
    kvCGeVector& normIt();
    kvCGeVector normal() const { return kvCGeVector(*this).normIt(); }
    double dot(const kvCGeVector& v) const { return x * v.x + y * v.y + z * v.z; }
    kvCGeVector cross(const kvCGeVector& v) const;
    // Unsigned angle to v, 0 to pi (radians).
    double angleTo(const kvCGeVector& v) const;
    // Angle from this vector to v measured counter-clockwise about the
    // reference axis, 0 to 2 pi (radians).
    double angleTo(const kvCGeVector& v, const kvCGeVector& reference) const;
    bool isZero(double tol = 1e-12) const { return length() <= tol; }

    kvCGeVector operator-() const { return kvCGeVector(-x, -y, -z); }
    kvCGeVector operator+(const kvCGeVector& v) const { return kvCGeVector(x + v.x, y + v.y, z + v.z); }
    kvCGeVector operator-(const kvCGeVector& v) const { return kvCGeVector(x - v.x, y - v.y, z - v.z); }
    kvCGeVector operator*(double s) const { return kvCGeVector(x * s, y * s, z * s); }
    kvCGeVector operator/(double s) const { return kvCGeVector(x / s, y / s, z / s); }
    kvCGeVector& operator+=(const kvCGeVector& v);
    kvCGeVector& operator-=(const kvCGeVector& v);
    kvCGeVector& operator*=(double s);
    friend kvCGeVector operator*(double s, const kvCGeVector& v) { return v * s; }

    friend bool operator==(const kvCGeVector& a, const kvCGeVector& b) { return a.x == b.x && a.y == b.y && a.z == b.z; }
    friend bool operator!=(const kvCGeVector& a, const kvCGeVector& b) { return !(a == b); }
};

// A 4x4 frame: the first three columns are the X, Y and Z axes, the fourth
// the origin.
class kvCGeMatrix {
public:
    kvCGeMatrix();  // identity
    explicit kvCGeMatrix(const double m[4][4]);

    kvCGeMatrix& setToIdentity();
    bool isIdentity() const;
    double operator()(int row, int col) const { return m_m[row][col]; }
    double& operator()(int row, int col) { return m_m[row][col]; }
    // The sixteen values as a 4x4 double array, rows first.
    const double (&asDoubleMat() const)[4][4] { return m_m; }

    // A rotation whose Z axis is the given direction; X and Y follow the
    // arbitrary-axis rule. The translation becomes zero.
    kvCGeMatrix& setFromArbitraryAxis(const kvCGeVector& zAxis);
    kvCGeMatrix& setTranslation(const kvCGeVector& t);
    kvCGeMatrix& setTranslation(const kvCGePoint& t);
    kvCGeVector translation() const;
    kvCGeMatrix& setCoordSystem(const kvCGePoint& origin, const kvCGeVector& xAxis, const kvCGeVector& yAxis,
                                const kvCGeVector& zAxis);
    void getCoordSystem(kvCGePoint& origin, kvCGeVector& xAxis, kvCGeVector& yAxis, kvCGeVector& zAxis) const;
    // Rotation by angle (radians, right-handed) about the axis through origin.
    kvCGeMatrix& setToRotation2(double angle, const kvCGeVector& axis, const kvCGePoint& origin);
    // Inverts in place; a singular matrix is left unchanged and gives false.
    bool invertIt();
    kvCGeMatrix inverse() const;
    double determinant() const;

    kvCGeMatrix operator*(const kvCGeMatrix& other) const;
    kvCGeMatrix& operator*=(const kvCGeMatrix& other) { return *this = *this * other; }
    kvCGePoint operator*(const kvCGePoint& p) const;    // with translation
    kvCGeVector operator*(const kvCGeVector& v) const;  // rotation part only

    friend bool operator==(const kvCGeMatrix& a, const kvCGeMatrix& b);
    friend bool operator!=(const kvCGeMatrix& a, const kvCGeMatrix& b) { return !(a == b); }

private:
    double m_m[4][4];
};

// A contour: pieces of lines and circular arcs. lineTo with start set begins
// a new piece at the point; otherwise it draws a line from the current point.
// arcTo draws an arc from the current point to the end point about a centre,
// counter-clockwise about the normal when ccw is non-zero.
class kvCGeContour {
public:
    struct Element {
        int kind = 0;  // 0 start of a piece, 1 line, 2 arc
        kvCGePoint end;
        kvCGePoint centre;
        kvCGeVector normal;
        bool ccw = true;
        friend bool operator==(const Element& a, const Element& b)
        {
            return a.kind == b.kind && a.end == b.end && a.centre == b.centre && a.normal == b.normal && a.ccw == b.ccw;
        }
    };

    virtual ~kvCGeContour() = default;

    void clear() { m_elements.clear(); }
    bool isEmpty() const { return m_elements.empty(); }
    unsigned int elementCount() const { return static_cast<unsigned int>(m_elements.size()); }
    const Element& element(unsigned int i) const { return m_elements.at(i); }

    // Appends the points that approximate the contour (start points of the
    // pieces, line ends, arc points within the chord tolerance) to points.
    // False for an empty contour.
    bool getApproxPoints(kvTArray<double[3], kvTMemCopy<double[3]>>& points, double tolerance) const;
    // Every point of the contour transformed by the matrix.
    void transformBy(const kvCGeMatrix& m);

    friend bool operator==(const kvCGeContour& a, const kvCGeContour& b) { return a.m_elements == b.m_elements; }
    friend bool operator!=(const kvCGeContour& a, const kvCGeContour& b) { return !(a == b); }

protected:
    void addLine(const kvCGePoint& p, bool start);
    bool addArc(const kvCGePoint& end, const kvCGePoint& centre, const kvCGeVector& normal, bool ccw);

    std::vector<Element> m_elements;
};

class kvCGeContour3d : public kvCGeContour {
public:
    kvCGeContour3d& lineTo(const kvCGePoint& p, int start)
    {
        addLine(p, start != 0);
        return *this;
    }
    bool arcTo(const kvCGePoint& end, const kvCGePoint& centre, const kvCGeVector& normal, int ccw)
    {
        return addArc(end, centre, normal, ccw != 0);
    }
};

// A contour in the XY plane.
class kvCGeContour2d : public kvCGeContour {
public:
    kvCGeContour2d& lineTo(double x, double y, int start)
    {
        addLine(kvCGePoint(x, y, 0.0), start != 0);
        return *this;
    }
    bool arcTo(double x, double y, double cx, double cy, int ccw)
    {
        return addArc(kvCGePoint(x, y, 0.0), kvCGePoint(cx, cy, 0.0), kvCGeVector(0, 0, 1), ccw != 0);
    }
};

// A colour: red, green and blue bytes; the colour word has red in the lowest
// byte, then green, then blue.
class kvCColor {
public:
    kvCColor() = default;
    kvCColor(unsigned char r, unsigned char g, unsigned char b) { setRGB(r, g, b); }

    kvCColor& setRGB(unsigned char r, unsigned char g, unsigned char b);
    // The colours of the CAD index palette: 1 to 9 the named colours,
    // 10 to 249 24 hues in five shades and two saturations, 250 to 255 greys.
    // Index 0 and indices above 255 give black.
    kvCColor& setFromAcadColorIndex(int index);
    kvCColor& setColorValue(unsigned int value)
    {
        m_value = value & 0xFFFFFFu;
        return *this;
    }
    unsigned int colorValue() const { return m_value; }
    unsigned char red() const { return static_cast<unsigned char>(m_value & 0xFF); }
    unsigned char green() const { return static_cast<unsigned char>((m_value >> 8) & 0xFF); }
    unsigned char blue() const { return static_cast<unsigned char>((m_value >> 16) & 0xFF); }

    friend bool operator==(const kvCColor& a, const kvCColor& b) { return a.m_value == b.m_value; }
    friend bool operator!=(const kvCColor& a, const kvCColor& b) { return a.m_value != b.m_value; }

private:
    unsigned int m_value = 0;
};
