#include "XmlTokens.h"

#include <cstring>
#include <utility>

// Layout, byte by byte (numbers in the machine's order, unaligned):
//   Start:   kind, empty, name (4), attribute count (4), then per attribute: name (4, the top bit
//            set when it is not found by name), value, NUL
//   End:     kind, name (4)
//   Text, CData, Comment, Blank: kind, length (4), text, NUL
//   Pi:      kind, target (4), length (4), data, NUL
//   Indent:  kind, count of spaces after the line break (1)
//   Doctype: kind

namespace {

constexpr uint32_t NotByName = 0x80000000u;
constexpr std::size_t MaxIndent = 255;

// A line break and the most spaces an indentation token stands for.
struct Indentation
{
    char text[MaxIndent + 2];
    constexpr Indentation() : text()
    {
        text[0] = '\n';
        for (std::size_t i = 1; i <= MaxIndent; ++i)
            text[i] = ' ';
        text[MaxIndent + 1] = '\0';
    }
};
constexpr Indentation Indents;

template <class T> T get(char const* p)
{
    T v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

bool allBlank(char const* text, std::size_t length)
{
    for (std::size_t i = 0; i < length; ++i)
        if (!isBlank(text[i]))
            return false;
    return true;
}

// The usual line break and indentation between elements: what an indentation token stands for.
bool isIndentation(char const* text, std::size_t length)
{
    if (length < 1 || length > MaxIndent + 1 || text[0] != '\n')
        return false;
    for (std::size_t i = 1; i < length; ++i)
        if (text[i] != ' ')
            return false;
    return true;
}

} // namespace

uint32_t XmlTokens::addName(std::string_view name)
{
    uint32_t const id = static_cast<uint32_t>(myNameAt.size());
    myNameAt.push_back(static_cast<uint32_t>(myNames.size()));
    myNames.insert(myNames.end(), name.begin(), name.end());
    myNames.push_back('\0');
    return id;
}

void XmlTokens::put(void const* data, std::size_t length)
{
    char const* p = static_cast<char const*>(data);
    myBytes.insert(myBytes.end(), p, p + length);
}

std::size_t XmlTokens::start(uint32_t name, bool empty)
{
    closeText();
    std::size_t const at = myBytes.size();
    myBytes.push_back(static_cast<char>(Start));
    myBytes.push_back(empty ? 1 : 0);
    putValue(name);
    putValue(uint32_t(0));
    myStartAt = myBytes.size() - sizeof(uint32_t);
    ++myTokens;
    return at;
}

void XmlTokens::attr(uint32_t name, bool byName, char const* value, std::size_t length)
{
    putValue(byName ? name : name | NotByName);
    put(value, length);
    myBytes.push_back('\0');
    uint32_t count = get<uint32_t>(myBytes.data() + myStartAt) + 1;
    std::memcpy(myBytes.data() + myStartAt, &count, sizeof count);
}

void XmlTokens::end(uint32_t name)
{
    closeText();
    myBytes.push_back(static_cast<char>(End));
    putValue(name);
    ++myTokens;
}

void XmlTokens::text(Kind kind, char const* text, std::size_t length)
{
    if (myTextOpen && myTextKind == kind) {
        if (myIndentOpen) {
            // More text after an indentation: it becomes a text of its own kind.
            myIndentOpen = false;
            myBytes.resize(myTextAt);
            myBytes.push_back(static_cast<char>(Text));
            putValue(static_cast<uint32_t>(myTextLength));
            put(Indents.text, myTextLength);
            myBytes.push_back('\0');
        }
        myTextBlank = myTextBlank && allBlank(text, length);
        myBytes.pop_back(); // the NUL
        put(text, length);
        myBytes.push_back('\0');
        myTextLength += length;
        uint32_t const total = static_cast<uint32_t>(myTextLength);
        std::memcpy(myBytes.data() + myTextAt + 1, &total, sizeof total);
        return;
    }
    closeText();
    myTextOpen = true;
    myTextKind = kind;
    myTextAt = myBytes.size();
    myTextLength = length;
    ++myTokens;
    // The usual line break and indentation between elements, written short at once.
    if (kind == Text && isIndentation(text, length)) {
        myIndentOpen = true;
        myTextBlank = true;
        myBytes.push_back(static_cast<char>(Indent));
        myBytes.push_back(static_cast<char>(length - 1));
        return;
    }
    myTextBlank = allBlank(text, length);
    myBytes.push_back(static_cast<char>(kind));
    putValue(static_cast<uint32_t>(length));
    put(text, length);
    myBytes.push_back('\0');
}

void XmlTokens::closeText()
{
    if (!myTextOpen)
        return;
    myTextOpen = false;
    if (std::exchange(myIndentOpen, false) || myTextKind != Text || !myTextBlank)
        return;
    char const* t = myBytes.data() + myTextAt + 1 + sizeof(uint32_t);
    if (!isIndentation(t, myTextLength)) {
        myBytes[myTextAt] = static_cast<char>(Blank);
        return;
    }
    myBytes[myTextAt] = static_cast<char>(Indent);
    myBytes[myTextAt + 1] = static_cast<char>(myTextLength - 1);
    myBytes.resize(myTextAt + 2);
}

void XmlTokens::pi(uint32_t target, char const* data, std::size_t length)
{
    closeText();
    myBytes.push_back(static_cast<char>(Pi));
    putValue(target);
    putValue(static_cast<uint32_t>(length));
    put(data, length);
    myBytes.push_back('\0');
    ++myTokens;
}

void XmlTokens::doctype()
{
    closeText();
    myBytes.push_back(static_cast<char>(Doctype));
    ++myTokens;
}

std::size_t XmlTokens::read(std::size_t at, Node& node, std::vector<Attr>& attrs) const
{
    char const* const base = myBytes.data();
    char const* p = base + at;
    node.kind = static_cast<Kind>(*p++);
    node.empty = false;
    node.text = "";
    node.textLength = 0;
    switch (node.kind) {
    case Start: {
        node.empty = *p++ != 0;
        node.name = nameOf(get<uint32_t>(p));
        uint32_t const count = get<uint32_t>(p + 4);
        p += 8;
        attrs.resize(count);
        for (uint32_t i = 0; i < count; ++i) {
            uint32_t const id = get<uint32_t>(p);
            p += 4;
            attrs[i].name = nameOf(id & ~NotByName);
            attrs[i].byName = (id & NotByName) == 0;
            attrs[i].value = p;
            p += std::strlen(p) + 1;
        }
        break;
    }
    case End:
        node.name = nameOf(get<uint32_t>(p));
        p += 4;
        break;
    case Pi:
        node.name = nameOf(get<uint32_t>(p));
        p += 4;
        [[fallthrough]];
    case Text:
    case CData:
    case Comment:
    case Blank:
        node.textLength = get<uint32_t>(p);
        node.text = p + 4;
        p += 4 + node.textLength + 1;
        break;
    case Indent:
        // The shared text holds the most spaces: it has no end after a shorter indentation.
        node.textLength = static_cast<unsigned char>(*p++) + 1u;
        node.text = Indents.text;
        break;
    case Doctype:
        break;
    }
    return static_cast<std::size_t>(p - base);
}

void XmlTokens::clear()
{
    myBytes.clear();
    myNames.clear();
    myNameAt.clear();
    myTokens = 0;
    myTextOpen = false;
    myIndentOpen = false;
}

void XmlTokens::dropBefore(std::size_t at)
{
    myBytes.erase(myBytes.begin(), myBytes.begin() + static_cast<std::ptrdiff_t>(at));
    if (myTextOpen)
        myTextAt -= at;
    if (myStartAt >= at)
        myStartAt -= at;
}
