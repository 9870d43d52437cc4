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
    // False without a provider or for a null face; the outputs are then left
    // as they are.
    bool isNurbsAsPlane(kvIUnknown* face, kvPoint3DRec& point, kvPoint3DRec& normal, kvPoint3DRec& third);
    // A new record the caller frees with ratBSplSurfFree, or null.
    RatBSplSurf* newRatBSplSurf(kvIUnknown* face);

private:
    kvIFeatureHelpProvider* m_provider;

    kvCFeatureHelp(const kvCFeatureHelp&) = delete;
    kvCFeatureHelp& operator=(const kvCFeatureHelp&) = delete;
};
