#include "analyse/kvTrimmedBase.h"

#include "sdk/kvUnknownImp.h"

#include <gtest/gtest.h>

namespace {

class BaseSurface : public kvIUnknownImp, public kvIGeSurface {
public:
    kvIUnknown* queryInterface(const wchar_t* name) override { return kvQueryInterfaces<kvIGeSurface>(this, name); }
};

class Trimmed : public kvIUnknownImp, public kvIGeTrimmedSurface {
public:
    explicit Trimmed(kvIUnknown* base) : m_base(base) {}
    kvIUnknown* queryInterface(const wchar_t* name) override
    {
        return kvQueryInterfaces<kvIGeTrimmedSurface>(this, name);
    }
    int getBaseSurface(kvIUnknown** surface) override
    {
        *surface = m_base;
        if (m_base)
            m_base->addRef();
        return 0;
    }

private:
    kvIUnknown* m_base;
};

class Approximation : public kvIUnknownImp, public kvIGeTrimmedSurfApprox {
public:
    explicit Approximation(kvIUnknown* trimmed) : m_trimmed(trimmed) {}
    kvIUnknown* queryInterface(const wchar_t* name) override
    {
        return kvQueryInterfaces<kvIGeTrimmedSurfApprox>(this, name);
    }
    int getTrimmedSurface(double tolerance, kvIUnknown** surface) override
    {
        askedTolerance = tolerance;
        *surface = m_trimmed;
        if (m_trimmed)
            m_trimmed->addRef();
        return 0;
    }
    double askedTolerance = 0.0;

private:
    kvIUnknown* m_trimmed;
};

} // namespace

TEST(TrimmedBase, GivesTheBaseSurfaceUnderTheTrimmedSurfaceOrANullOne)
{
    kvIfPtr<kvIGeSurface> base(new kvIfImp<BaseSurface>());
    kvIfPtr<kvIGeTrimmedSurface> trimmed(new kvIfImp<Trimmed>(base.get()));
    auto* approximation = new kvIfImp<Approximation>(trimmed.get());
    kvIfPtr<kvIGeTrimmedSurfApprox> held(approximation);
    kvIUnknownPtr found;
    EXPECT_TRUE(kvTrimmedBaseSurface(held.getIf(), found));
    EXPECT_EQ(base.get(), found.get());
    EXPECT_DOUBLE_EQ(0.001, approximation->askedTolerance);

    // A trimmed surface without a base gives a null base.
    kvIfPtr<kvIGeTrimmedSurface> bare(new kvIfImp<Trimmed>(nullptr));
    kvIfPtr<kvIGeTrimmedSurfApprox> bareApproximation(new kvIfImp<Approximation>(bare.get()));
    EXPECT_TRUE(kvTrimmedBaseSurface(bareApproximation.getIf(), found));
    EXPECT_TRUE(found.isNull());
}

TEST(TrimmedBase, WithoutATrimmedSurfaceNothingIsFoundAndTheBaseIsKept)
{
    kvIfPtr<kvIGeSurface> kept(new kvIfImp<BaseSurface>());
    kvIUnknownPtr base(kept.get());
    EXPECT_FALSE(kvTrimmedBaseSurface(nullptr, base));
    kvIfPtr<kvIGeTrimmedSurfApprox> empty(new kvIfImp<Approximation>(nullptr));
    EXPECT_FALSE(kvTrimmedBaseSurface(empty.getIf(), base));
    EXPECT_EQ(kept.get(), base.get());
}
