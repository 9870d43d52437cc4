#include "analyse/kvColorCatalog.h"

#include <climits>
#include <cwctype>
#include <vector>

kvTArray<colorDef, kvTAssignmentCopy<colorDef>>& colorCatalog()
{
    static kvTArray<colorDef, kvTAssignmentCopy<colorDef>> catalog(8);
    return catalog;
}

namespace {

// Lines longer than this are not catalogue entries; the rest of such a line
// is skipped unread.
const std::size_t maxLineLength = 4096;

bool isNameChar(wchar_t c)
{
    return std::iswalnum(c) || c == L'_' || c == L':' || c == L'-';
}

struct Attribute {
    std::wstring name;
    std::wstring raw;    // everything after '=' up to the value's end
    std::wstring value;  // the value without its quotes
};

// The attributes of a line, in order: names that stand on their own (not
// the tail of a longer name, not inside a quoted value) followed by '='.
std::vector<Attribute> attributesOf(const std::wstring& line)
{
    std::vector<Attribute> found;
    std::size_t i = 0;
    const std::size_t n = line.size();
    while (i < n) {
        if (line[i] == L'"') {
            const std::size_t close = line.find(L'"', i + 1);
            i = close == std::wstring::npos ? n : close + 1;
            continue;
        }
        if (!isNameChar(line[i])) {
            ++i;
            continue;
        }
        const std::size_t start = i;
        while (i < n && isNameChar(line[i]))
            ++i;
        if (i >= n || line[i] != L'=')
            continue;
        Attribute a;
        a.name = line.substr(start, i - start);
        ++i;
        const std::size_t valueStart = i;
        if (i < n && line[i] == L'"') {
            const std::size_t close = line.find(L'"', i + 1);
            const std::size_t end = close == std::wstring::npos ? n : close;
            a.value = line.substr(i + 1, end - i - 1);
            i = close == std::wstring::npos ? n : close + 1;
        } else {
            while (i < n && !std::iswspace(line[i]) && line[i] != L'>' && line[i] != L'/')
                ++i;
            a.value = line.substr(valueStart, i - valueStart);
        }
        a.raw = line.substr(valueStart, i - valueStart);
        found.push_back(a);
    }
    return found;
}

// The decimal number at the start of text after blanks and a sign, stopping
// at the first other character; 0 for none. Saturates instead of overflowing.
int leadingNumber(const std::wstring& text)
{
    std::size_t i = 0;
    while (i < text.size() && std::iswspace(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-'))
        negative = text[i++] == L'-';
    long long value = 0;
    for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
        value = value * 10 + (text[i] - L'0');
        if (value > INT_MAX)
            value = INT_MAX;
    }
    return static_cast<int>(negative ? -value : value);
}

const Attribute* findAttribute(const std::vector<Attribute>& attributes, const wchar_t* name)
{
    for (const Attribute& a : attributes)
        if (a.name == name)
            return &a;
    return nullptr;
}

// One line of the file as wide characters: bytes widen one to one. False at
// the end of the input; an over-long line comes back empty.
bool readLine(std::istream& in, std::wstring& line)
{
    line.clear();
    bool any = false;
    bool tooLong = false;
    for (int c; (c = in.get()) != EOF;) {
        any = true;
        if (c == '\n')
            break;
        if (c == '\r')
            continue;
        if (line.size() >= maxLineLength)
            tooLong = true;
        else
            line += static_cast<wchar_t>(static_cast<unsigned char>(c));
    }
    if (tooLong)
        line.clear();
    return any;
}

}  // namespace

int parseColorCatalog(std::istream& in, kvTArray<colorDef, kvTAssignmentCopy<colorDef>>& catalog)
{
    catalog.setSize(0);
    std::wstring line;
    int count = 0;
    while (readLine(in, line)) {
        if (line.find(L"Color_Interface_Definition") == std::wstring::npos)
            continue;
        const std::vector<Attribute> attributes = attributesOf(line);
        const Attribute* r = findAttribute(attributes, L"R");
        const Attribute* g = findAttribute(attributes, L"G");
        const Attribute* b = findAttribute(attributes, L"B");
        if (!r || !g || !b)
            continue;
        colorDef entry;
        // The first character after '=' is taken for the opening quote.
        auto number = [](const Attribute* a) { return leadingNumber(a->raw.size() > 1 ? a->raw.substr(1) : L""); };
        entry.R = number(r);
        entry.G = number(g);
        entry.B = number(b);
        if (const Attribute* name = findAttribute(attributes, L"Name")) {
            std::wstring text = name->raw.size() > 1 && name->raw[0] == L'"' ? name->value
                                : name->raw.size() > 1                       ? name->raw.substr(1)
                                                                             : std::wstring();
            if (text.size() > kvColorNameMax)
                text.resize(kvColorNameMax);
            entry.name = kvCString(text.c_str());
        }
        catalog[static_cast<unsigned int>(count)] = entry;
        ++count;
    }
    return count;
}
