// The host's face-feature library: tells what shape a face of the model has.
// The module only calls it; the host supplies the answers by installing a
// provider (kvSetFeatureHelpProvider) for as long as its model exists. With no
// provider installed nothing is recognised.
#pragma once

class kvIUnknown;
struct RatBSplSurf;

// The library's point record, used for points and directions.
struct kvPoint3DRec {
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
};

// What the host implements behind kvCFeatureHelp.
class kvIFeatureHelpProvider {
public:
    // Forgets whatever the provider remembered about faces.
    virtual void clearCache() = 0;
    // True when the face (a host face object, not kept) is planar; point is
    // then a point of the plane and normal its unit normal. third is the
    // library's own and may be left as it is.
    virtual bool isNurbsAsPlane(kvIUnknown* face, kvPoint3DRec& point, kvPoint3DRec& normal,
                                kvPoint3DRec& third) = 0;
    // True for a face turned about an axis with straight generators (a
    // cylinder or a cone, whole or in part): a point of the axis, the unit
    // axis, the radius at that point and the sine of the half opening angle
    // (0 for a cylinder). value and extra are the library's own; value is
    // handed on to getSurfaceLimitsOnAxis.
    virtual bool isNurbsAsCylinder(kvIUnknown* face, kvPoint3DRec& axisPoint, kvPoint3DRec& axisDirection,
                                   double& radius, double& sineOfAngle, double& value, kvPoint3DRec& extra)
    { (void)face; (void)axisPoint; (void)axisDirection; (void)radius; (void)sineOfAngle; (void)value;
      (void)extra; return false; }
    // True for a face on a torus: centre, unit axis, major and minor radius.
    virtual bool isNurbsAsTorusExt(kvIUnknown* face, kvPoint3DRec& centre, kvPoint3DRec& axis,
                                   double& majorRadius, double& minorRadius, kvPoint3DRec& extra, short* flag)
    { (void)face; (void)centre; (void)axis; (void)majorRadius; (void)minorRadius; (void)extra; (void)flag;
      return false; }
    // The face's extent along the axis of isNurbsAsCylinder: the axis points
    // at its two ends (limit1 the lower along axisDirection) and the radii
    // there. False when the extent cannot be found.
    virtual bool getSurfaceLimitsOnAxis(kvIUnknown* face, const kvPoint3DRec& axisPoint,
                                        const kvPoint3DRec& axisDirection, double radius, double sineOfAngle,
                                        double value, kvPoint3DRec& limit1, double& radius1, kvPoint3DRec& limit2,
                                        double& radius2)
    { (void)face; (void)axisPoint; (void)axisDirection; (void)radius; (void)sineOfAngle; (void)value;
      (void)limit1; (void)radius1; (void)limit2; (void)radius2; return false; }
    // The angle in degrees (0 to 360) that the face sweeps about the axis.
    virtual bool getShapeAngle(const kvPoint3DRec& axisPoint, const kvPoint3DRec& axis, kvIUnknown* face,
                               double& angle)
    { (void)axisPoint; (void)axis; (void)face; (void)angle; return false; }
    // The face's surface as a new record that the caller owns and frees with
    // ratBSplSurfFree; null when the face has none.
    virtual RatBSplSurf* newRatBSplSurf(kvIUnknown* face) { (void)face; return nullptr; }

protected:
    virtual ~kvIFeatureHelpProvider() = default;
};

// Installs the host's provider (null removes it); the caller keeps ownership
// and must remove it before it goes away.
void kvSetFeatureHelpProvider(kvIFeatureHelpProvider* provider);
kvIFeatureHelpProvider* kvGetFeatureHelpProvider();

// A feature object as the module builds it for one question: made with the
// library's default settings, asked, and dropped.
class kvCFeatureHelp {
public:
    kvCFeatureHelp();
    ~kvCFeatureHelp();

    void clearCache();
    // Each question answers false without a provider or for a null face, and
    // leaves its outputs as they were unless the answer is true.
    bool isNurbsAsPlane(kvIUnknown* face, kvPoint3DRec& point, kvPoint3DRec& normal, kvPoint3DRec& third);
    bool isNurbsAsCylinder(kvIUnknown* face, kvPoint3DRec& axisPoint, kvPoint3DRec& axisDirection, double& radius,
                           double& sineOfAngle, double& value, kvPoint3DRec& extra);
    bool isNurbsAsTorusExt(kvIUnknown* face, kvPoint3DRec& centre, kvPoint3DRec& axis, double& majorRadius,
                           double& minorRadius, kvPoint3DRec& extra, short* flag);
    bool getSurfaceLimitsOnAxis(kvIUnknown* face, const kvPoint3DRec& axisPoint, const kvPoint3DRec& axisDirection,
                                double radius, double sineOfAngle, double value, kvPoint3DRec& limit1,
                                double& radius1, kvPoint3DRec& limit2, double& radius2);
    bool getShapeAngle(const kvPoint3DRec& axisPoint, const kvPoint3DRec& axis, kvIUnknown* face, double& angle);
    // A new record the caller frees with ratBSplSurfFree, or null.
    RatBSplSurf* newRatBSplSurf(kvIUnknown* face);

private:
    kvIFeatureHelpProvider* m_provider;

    kvCFeatureHelp(const kvCFeatureHelp&) = delete;
    kvCFeatureHelp& operator=(const kvCFeatureHelp&) = delete;
};
