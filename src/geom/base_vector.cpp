// Vector and matrix arithmetic on plain arrays of doubles.
#include "geom/geom_base.h"

#include <cmath>

namespace {

const double kPi = 3.14159265358979323846;
const double kNullLength = 1e-12;
const double kCosLimit = 0.9999999;

// The angle in [0, pi] of a cosine; within kCosLimit of 1 or -1 the angle is
// taken as exactly 0 or pi.
double angleOfCosine(double c)
{
    if (c > kCosLimit)
        return 0.0;
    if (c < -kCosLimit)
        return kPi;
    return std::acos(c);
}

// The cosine of the angle between a and b; false when either has no length.
bool cosineBetween(const double* a, const double* b, double* c)
{
    const double la = vec3LengthB(a), lb = vec3LengthB(b);
    if (la < kNullLength || lb < kNullLength)
        return false;
    *c = vec3Dot(a, b) / (la * lb);
    return true;
}

// The signed distance of q's foot on the line (o, d) from o, divided by the
// length of d: the value whose angle the line angles report; false when d
// has no length.
bool ratioAlongLine(const double* o, const double* d, const double* q, double* c)
{
    double foot[3];
    const double lambda = projectOnLineB(o, d, q, foot);
    const double ld = vec3LengthB(d);
    if (ld < kNullLength)
        return false;
    *c = lambda / ld;
    return true;
}

}  // namespace

// ---------------------------------------------------------------------------
// First vector module

double* vec3Diff(const double* a, const double* b, double* out)
{
    out[0] = b[0] - a[0];
    out[1] = b[1] - a[1];
    out[2] = b[2] - a[2];
    return out;
}

double vec3Distance(const double* a, const double* b)
{
    const double dx = a[0] - b[0], dy = a[1] - b[1], dz = a[2] - b[2];
    return std::sqrt(dx * dx + dy * dy + dz * dz);
}

double vec3Length(const double* v)
{
    return std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
}

double vec3Normalize(double* v)
{
    const double len = vec3Length(v);
    if (len >= kNullLength) {
        v[0] /= len;
        v[1] /= len;
        v[2] /= len;
    }
    return len;
}

double* vec3AddScaled(const double* p, const double* d, double s, double* out)
{
    out[0] = p[0] + s * d[0];
    out[1] = p[1] + s * d[1];
    out[2] = p[2] + s * d[2];
    return out;
}

double* vec3Combine(const double* a, double s, const double* b, double t, double* out)
{
    out[0] = s * a[0] + t * b[0];
    out[1] = s * a[1] + t * b[1];
    out[2] = s * a[2] + t * b[2];
    return out;
}

double* vec3Combine3(const double* p, const double* a, double s, const double* b, double t,
                     double* out)
{
    out[0] = p[0] + s * a[0] + t * b[0];
    out[1] = p[1] + s * a[1] + t * b[1];
    out[2] = p[2] + s * a[2] + t * b[2];
    return out;
}

double* vec3Combine4(const double* p, const double* a, double s, const double* b, double t,
                     const double* c, double u, double* out)
{
    out[0] = p[0] + s * a[0] + t * b[0] + u * c[0];
    out[1] = p[1] + s * a[1] + t * b[1] + u * c[1];
    out[2] = p[2] + s * a[2] + t * b[2] + u * c[2];
    return out;
}

double vec3Dot(const double* a, const double* b)
{
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

double* vec3Cross(const double* a, const double* b, double* out)
{
    // Through temporaries so that out may be one of the inputs.
    const double x = a[1] * b[2] - a[2] * b[1];
    const double y = a[2] * b[0] - a[0] * b[2];
    const double z = a[0] * b[1] - a[1] * b[0];
    out[0] = x;
    out[1] = y;
    out[2] = z;
    return out;
}

// ---------------------------------------------------------------------------
// Second vector module

double vec3DotB(const double* a, const double* b) { return vec3Dot(a, b); }

double* vec3CrossB(double* out, const double* a, const double* b) { return vec3Cross(a, b, out); }

double vec3LengthB(const double* v) { return std::sqrt(vec3Dot(v, v)); }

double vec3NormalizeB(double* v)
{
    const double len = vec3LengthB(v);
    if (std::fabs(len) >= kNullLength) {
        v[0] /= len;
        v[1] /= len;
        v[2] /= len;
    }
    return len;
}

double vec3DistanceB(const double* a, const double* b) { return vec3Distance(a, b); }

double* vec3DiffB(const double* a, const double* b, double* out) { return vec3Diff(a, b, out); }

double* vec3CombineB(const double* a, double s, const double* b, double t, double* out)
{
    return vec3Combine(a, s, b, t, out);
}

double vec3Triple(const double* a, const double* b, const double* c)
{
    double bc[3];
    vec3Cross(b, c, bc);
    return vec3Dot(a, bc);
}

double projectOnLineB(const double* o, const double* d, const double* q, double* out)
{
    double dn[3] = {d[0], d[1], d[2]};
    vec3NormalizeB(dn);
    double oq[3];
    vec3Diff(o, q, oq);
    const double lambda = vec3Dot(dn, oq);
    vec3AddScaled(o, dn, lambda, out);
    return lambda;
}

double vec3Angle(const double* a, const double* b)
{
    double c;
    return cosineBetween(a, b, &c) ? angleOfCosine(c) : 0.0;
}

double vec3OuterAngle(const double* a, const double* b)
{
    double c;
    return cosineBetween(a, b, &c) ? 2.0 * kPi - angleOfCosine(c) : 0.0;
}

double vec3AngleFromLine(const double* o, const double* d, const double* q)
{
    double c;
    return ratioAlongLine(o, d, q, &c) ? angleOfCosine(c) : 0.0;
}

double vec3OuterAngleFromLine(const double* o, const double* d, const double* q)
{
    double c;
    return ratioAlongLine(o, d, q, &c) ? 2.0 * kPi - angleOfCosine(c) : 0.0;
}

double vec3AngleBetweenProjections(const double* o, const double* a, const double* b,
                                   const double* q)
{
    const double la = vec3LengthB(a), lb = vec3LengthB(b);
    if (la < kNullLength || lb < kNullLength)
        return 0.0;
    double foot[3];
    const double y = projectOnLineB(o, b, q, foot) / lb;
    const double x = projectOnLineB(o, a, q, foot) / la;
    return std::atan2(y, x);
}

void vec3AnyPerpendicular(double* n, double* u, double* w)
{
    if (vec3NormalizeB(n) < kNullLength)
        return;
    if (std::fabs(n[2]) < kNullLength) {
        u[0] = -n[1];
        u[1] = n[0];
        u[2] = 0.0;
    } else {
        u[0] = -n[2];
        u[1] = 0.0;
        u[2] = n[0];
    }
    vec3NormalizeB(u);
    vec3Cross(n, u, w);
}

void vec3PerpendicularFrame(double* n, const double* r, double* u, double* w)
{
    if (vec3NormalizeB(n) < kNullLength)
        return;
    const double nr = vec3Dot(n, r);
    double t[3] = {r[0] - nr * n[0], r[1] - nr * n[1], r[2] - nr * n[2]};
    vec3NormalizeB(t);
    u[0] = t[0];
    u[1] = t[1];
    u[2] = t[2];
    vec3Cross(n, u, w);
}

// ---------------------------------------------------------------------------
// Matrices

const double geomIdentityMatrix[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

void mat4Identity(double* m)
{
    for (int i = 0; i < 16; ++i)
        m[i] = (i % 5 == 0) ? 1.0 : 0.0;
}

void mat4IdentityCopy(double* m) { mat4Copy(geomIdentityMatrix, m); }

void mat4Copy(const double* src, double* dst)
{
    for (int i = 0; i < 16; ++i)
        dst[i] = src[i];
}

void mat4Transpose(const double* src, double* dst)
{
    double t[16];
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            t[4 * c + r] = src[4 * r + c];
    mat4Copy(t, dst);
}

void mat4TransposeInPlace(double* m)
{
    static const int pairs[6][2] = {{1, 4}, {2, 8}, {3, 12}, {6, 9}, {7, 13}, {11, 14}};
    for (const auto& p : pairs) {
        const double t = m[p[0]];
        m[p[0]] = m[p[1]];
        m[p[1]] = t;
    }
}

double* mat4TransformPoint(const double* m, const double* p, double* out)
{
    out[0] = m[0] * p[0] + m[1] * p[1] + m[2] * p[2] + m[3];
    out[1] = m[4] * p[0] + m[5] * p[1] + m[6] * p[2] + m[7];
    out[2] = m[8] * p[0] + m[9] * p[1] + m[10] * p[2] + m[11];
    return out;
}

double* mat4TransformVector(const double* m, const double* v, double* out)
{
    out[0] = m[0] * v[0] + m[1] * v[1] + m[2] * v[2];
    out[1] = m[4] * v[0] + m[5] * v[1] + m[6] * v[2];
    out[2] = m[8] * v[0] + m[9] * v[1] + m[10] * v[2];
    return out;
}

double* mat4TransformPointT(const double* m, const double* p, double* out)
{
    out[0] = m[0] * p[0] + m[4] * p[1] + m[8] * p[2] + m[12];
    out[1] = m[1] * p[0] + m[5] * p[1] + m[9] * p[2] + m[13];
    out[2] = m[2] * p[0] + m[6] * p[1] + m[10] * p[2] + m[14];
    return out;
}

double* mat4TransformVectorT(const double* m, const double* v, double* out)
{
    out[0] = m[0] * v[0] + m[4] * v[1] + m[8] * v[2];
    out[1] = m[1] * v[0] + m[5] * v[1] + m[9] * v[2];
    out[2] = m[2] * v[0] + m[6] * v[1] + m[10] * v[2];
    return out;
}

double* mat4ApplyPoint(const double* m, const double* p, double* out)
{
    double t[3];
    mat4TransformPoint(m, p, t);
    out[0] = t[0];
    out[1] = t[1];
    out[2] = t[2];
    return out;
}

double* mat4ApplyVector(const double* m, const double* v, double* out)
{
    double t[3];
    mat4TransformVector(m, v, t);
    out[0] = t[0];
    out[1] = t[1];
    out[2] = t[2];
    return out;
}

void mat4Multiply(const double* a, const double* b, double* out)
{
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) {
            double s = 0.0;
            for (int k = 0; k < 4; ++k)
                s += a[4 * r + k] * b[4 * k + c];
            out[4 * r + c] = s;
        }
}

void mat4Product(const double* a, const double* b, double* out)
{
    double t[16];
    mat4Multiply(a, b, t);
    mat4Copy(t, out);
}

void mat4Translation(const double* p, double* m)
{
    mat4Identity(m);
    m[3] = p[0];
    m[7] = p[1];
    m[11] = p[2];
}

void mat4SetDiagonal(const double* v, double* m)
{
    m[0] = v[0];
    m[5] = v[1];
    m[10] = v[2];
}

static void setColumn(double* m, int c, const double* v)
{
    m[c] = v[0];
    m[4 + c] = v[1];
    m[8 + c] = v[2];
}

static void getColumn(const double* m, int c, double* v)
{
    v[0] = m[c];
    v[1] = m[4 + c];
    v[2] = m[8 + c];
}

void mat4FromAxes(const double* x, const double* y, const double* z, const double* origin,
                  double* m)
{
    mat4Identity(m);
    setColumn(m, 0, x);
    setColumn(m, 1, y);
    setColumn(m, 2, z);
    setColumn(m, 3, origin);
}

void mat4FromFrameColumns(const double* origin, const double* x, const double* y,
                          const double* z, double* m)
{
    setColumn(m, 0, x);
    setColumn(m, 1, y);
    setColumn(m, 2, z);
    setColumn(m, 3, origin);
    m[12] = m[13] = m[14] = 0.0;
    m[15] = 1.0;
}

void mat4ToAxes(const double* m, double* x, double* y, double* z, double* origin)
{
    getColumn(m, 0, x);
    getColumn(m, 1, y);
    getColumn(m, 2, z);
    getColumn(m, 3, origin);
}

void mat4FrameColumns(const double* m, double* origin, double* x, double* y, double* z)
{
    mat4ToAxes(m, x, y, z, origin);
}

void mat4AxisLengths(const double* m, double* lx, double* ly, double* lz)
{
    double c[3];
    getColumn(m, 0, c);
    *lx = vec3Length(c);
    getColumn(m, 1, c);
    *ly = vec3Length(c);
    getColumn(m, 2, c);
    *lz = vec3Length(c);
}

void mat4Scale(double f, double* m)
{
    for (int i = 0; i < 12; ++i)
        m[i] *= f;
}

void mat4ScaleInPlace(double* m, double f) { mat4Scale(f, m); }

void mat3Scale(double f, double* m)
{
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            m[4 * r + c] *= f;
}

void mat4ScaleTranslation(double f, double* m)
{
    m[3] *= f;
    m[7] *= f;
    m[11] *= f;
}

void mat4RotationAboutAxis(const double* p, const double* a, double theta, double* m)
{
    const double c = std::cos(theta), s = std::sin(theta), k = 1.0 - c;
    const double x = a[0], y = a[1], z = a[2];
    mat4Identity(m);
    m[0] = k * x * x + c;
    m[1] = k * x * y - s * z;
    m[2] = k * x * z + s * y;
    m[4] = k * y * x + s * z;
    m[5] = k * y * y + c;
    m[6] = k * y * z - s * x;
    m[8] = k * z * x - s * y;
    m[9] = k * z * y + s * x;
    m[10] = k * z * z + c;
    m[15] = 1.0;
    double q[3];
    mat4TransformVector(m, p, q);
    m[3] = p[0] - q[0];
    m[7] = p[1] - q[1];
    m[11] = p[2] - q[2];
}
