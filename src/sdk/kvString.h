// The maker's string classes: kvCString (always a value, possibly empty) and
// kvCScString (a name that may be null, used for property names).
#pragma once

#include <cwchar>
#include <string>

class kvCString {
public:
    kvCString() = default;
    kvCString(const wchar_t* text) : m_text(text ? text : L"") {}
    kvCString(const std::wstring& text) : m_text(text) {}
    kvCString(const kvCString&) = default;
    kvCString(kvCString&&) noexcept = default;
    kvCString& operator=(const kvCString&) = default;
    kvCString& operator=(kvCString&&) noexcept = default;
    kvCString& operator=(const wchar_t* text) { m_text = text ? text : L""; return *this; }
    ~kvCString() = default;

    unsigned int length() const { return static_cast<unsigned int>(m_text.size()); }
    bool isEmpty() const { return m_text.empty(); }
    operator const wchar_t*() const { return m_text.c_str(); }
    const wchar_t* c_str() const { return m_text.c_str(); }
    const std::wstring& str() const { return m_text; }

    kvCString& operator+=(const kvCString& other) { m_text += other.m_text; return *this; }
    friend kvCString operator+(kvCString a, const kvCString& b) { a += b; return a; }
    friend bool operator==(const kvCString& a, const kvCString& b) { return a.m_text == b.m_text; }
    friend bool operator!=(const kvCString& a, const kvCString& b) { return a.m_text != b.m_text; }
    friend bool operator<(const kvCString& a, const kvCString& b) { return a.m_text < b.m_text; }
    // Equality with a wide string compares the texts (a null string counts as
    // empty); without these the comparison would be ambiguous.
    friend bool operator==(const kvCString& a, const wchar_t* b) { return a.m_text == (b ? b : L""); }
    friend bool operator==(const wchar_t* a, const kvCString& b) { return b == a; }
    friend bool operator!=(const kvCString& a, const wchar_t* b) { return !(a == b); }
    friend bool operator!=(const wchar_t* a, const kvCString& b) { return !(b == a); }

private:
    std::wstring m_text;
};

class kvCScString {
public:
    kvCScString() = default;
    kvCScString(const wchar_t* text) : m_null(text == nullptr), m_text(text ? text : L"") {}
    kvCScString(const kvCScString&) = default;
    kvCScString& operator=(const kvCScString&) = default;
    ~kvCScString() = default;

    bool isNull() const { return m_null; }
    // A null string converts to a null pointer, never to "".
    operator const wchar_t*() const { return m_null ? nullptr : m_text.c_str(); }

private:
    bool m_null = true;
    std::wstring m_text;
};
