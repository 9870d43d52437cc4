// Value conversions between the numeric types, bool and kvCString.
//
// Only the pairs declared here convert; kvTConvertible tells which pairs exist,
// so that a caller never reaches a neighbouring overload through a built-in
// promotion (a bool must not slip into convert(double&, const int&)).
// Numbers are rounded to the nearest integer and must fit the target; texts
// must hold one number (or true/false for bool) and nothing else.
#pragma once

#include "sdk/kvString.h"

#include <type_traits>

template <class T, class S>
struct kvTConvertible : std::false_type {};

namespace kvconv {
bool toBool(bool& dst, long double v);
bool toBool(bool& dst, const kvCString& s);
bool parseNumber(const kvCString& s, long double& out);
bool fitShort(short& dst, long double v);
bool fitInt(int& dst, long double v);
bool fitUInt(unsigned int& dst, long double v);
bool fitLong(long& dst, long double v);
bool fitDouble(double& dst, long double v);
kvCString formatInteger(long double v);
kvCString formatFloating(double v, int digits);

inline bool assignNumber(short& d, long double v) { return fitShort(d, v); }
inline bool assignNumber(int& d, long double v) { return fitInt(d, v); }
inline bool assignNumber(unsigned int& d, long double v) { return fitUInt(d, v); }
inline bool assignNumber(long& d, long double v) { return fitLong(d, v); }
inline bool assignNumber(double& d, long double v) { return fitDouble(d, v); }
inline bool assignNumber(bool& d, long double v) { return toBool(d, v); }

template <class T, class S>
inline bool value(T& dst, const S& src)
{
    if constexpr (std::is_same<T, kvCString>::value) {
        if constexpr (std::is_same<S, bool>::value)
            dst = src ? L"true" : L"false";
        else if constexpr (std::is_same<S, float>::value)
            dst = formatFloating(src, 9);
        else if constexpr (std::is_same<S, double>::value)
            dst = formatFloating(src, 17);
        else
            dst = formatInteger(static_cast<long double>(src));
        return true;
    } else if constexpr (std::is_same<S, kvCString>::value) {
        if constexpr (std::is_same<T, bool>::value) {
            return toBool(dst, src);
        } else {
            long double v = 0;
            if (!parseNumber(src, v))
                return false;
            return assignNumber(dst, v);
        }
    } else {
        return assignNumber(dst, static_cast<long double>(src));
    }
}
}  // namespace kvconv

#define KV_CONVERT_PAIR(T, S)                                                     \
    template <>                                                                   \
    struct kvTConvertible<T, S> : std::true_type {};                              \
    inline bool convert(T& dst, const S& src) { return kvconv::value(dst, src); }

KV_CONVERT_PAIR(bool, short)
KV_CONVERT_PAIR(bool, unsigned short)
KV_CONVERT_PAIR(bool, int)
KV_CONVERT_PAIR(bool, unsigned int)
KV_CONVERT_PAIR(bool, long)
KV_CONVERT_PAIR(bool, unsigned long)
KV_CONVERT_PAIR(bool, kvCString)

KV_CONVERT_PAIR(short, bool)
KV_CONVERT_PAIR(short, unsigned short)
KV_CONVERT_PAIR(short, int)
KV_CONVERT_PAIR(short, unsigned int)
KV_CONVERT_PAIR(short, long)
KV_CONVERT_PAIR(short, unsigned long)
KV_CONVERT_PAIR(short, float)
KV_CONVERT_PAIR(short, double)
KV_CONVERT_PAIR(short, kvCString)

KV_CONVERT_PAIR(int, bool)
KV_CONVERT_PAIR(int, short)
KV_CONVERT_PAIR(int, unsigned short)
KV_CONVERT_PAIR(int, unsigned int)
KV_CONVERT_PAIR(int, long)
KV_CONVERT_PAIR(int, unsigned long)
KV_CONVERT_PAIR(int, float)
KV_CONVERT_PAIR(int, double)
KV_CONVERT_PAIR(int, kvCString)

KV_CONVERT_PAIR(unsigned int, bool)
KV_CONVERT_PAIR(unsigned int, short)
KV_CONVERT_PAIR(unsigned int, unsigned short)
KV_CONVERT_PAIR(unsigned int, int)
KV_CONVERT_PAIR(unsigned int, long)
KV_CONVERT_PAIR(unsigned int, unsigned long)
KV_CONVERT_PAIR(unsigned int, float)
KV_CONVERT_PAIR(unsigned int, double)
KV_CONVERT_PAIR(unsigned int, kvCString)

KV_CONVERT_PAIR(long, bool)
KV_CONVERT_PAIR(long, short)
KV_CONVERT_PAIR(long, unsigned short)
KV_CONVERT_PAIR(long, int)
KV_CONVERT_PAIR(long, unsigned int)
KV_CONVERT_PAIR(long, unsigned long)
KV_CONVERT_PAIR(long, float)
KV_CONVERT_PAIR(long, double)
KV_CONVERT_PAIR(long, kvCString)

KV_CONVERT_PAIR(double, short)
KV_CONVERT_PAIR(double, unsigned short)
KV_CONVERT_PAIR(double, int)
KV_CONVERT_PAIR(double, unsigned int)
KV_CONVERT_PAIR(double, long)
KV_CONVERT_PAIR(double, unsigned long)
KV_CONVERT_PAIR(double, float)
KV_CONVERT_PAIR(double, kvCString)

KV_CONVERT_PAIR(kvCString, bool)
KV_CONVERT_PAIR(kvCString, short)
KV_CONVERT_PAIR(kvCString, unsigned short)
KV_CONVERT_PAIR(kvCString, int)
KV_CONVERT_PAIR(kvCString, unsigned int)
KV_CONVERT_PAIR(kvCString, long)
KV_CONVERT_PAIR(kvCString, unsigned long)
KV_CONVERT_PAIR(kvCString, float)
KV_CONVERT_PAIR(kvCString, double)

#undef KV_CONVERT_PAIR
