#pragma once

#include "XmlPageAllocator.h"
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

// A stretch of a document as the parser delivered it, in a compact form that the reading thread
// replays later: element starts with their attributes, ends, and the nodes that carry text. Texts
// are whole (the pieces the parser delivers are joined), and a text of blanks is marked as such,
// the usual line break and indentation in two bytes. Names are kept once per buffer.
class XmlTokens
{
public:
    enum Kind : unsigned char
    {
        Start = 1,
        End,
        Text,
        CData,
        Comment,
        Pi,
        Blank,
        Indent,
        Doctype
    };

    struct Attr
    {
        char const* name;
        char const* value;
        // False for a name whose prefix no namespace binds: such an attribute is found by its
        // index, never by its name.
        bool byName;
    };

    // One token as read back. The texts point into the buffer, valid until it changes, and end
    // with a NUL, except an indentation's: its textLength says where it ends.
    struct Node
    {
        Kind kind = Start;
        bool empty = false;
        char const* name = "";
        char const* text = "";
        std::size_t textLength = 0;
    };

    // Names: the id of a name, added when it is new. The caller keeps its own map from the
    // parser's interned names; this only stores them.
    uint32_t addName(std::string_view name);
    char const* nameOf(uint32_t id) const { return myNames.data() + myNameAt[id]; }
    std::size_t nameCount() const { return myNameAt.size(); }

    // Writing, in document order.
    // The offset of the start token.
    std::size_t start(uint32_t name, bool empty);
    void attr(uint32_t name, bool byName, char const* value, std::size_t length);
    void end(uint32_t name);
    // Joined with the text just before it when that is of the same kind.
    void text(Kind kind, char const* text, std::size_t length);
    void pi(uint32_t target, char const* data, std::size_t length);
    void doctype();
    // The text being joined is complete: called before reading what was written.
    void closeText();

    // Reading: the token at offset at into node and attrs; the offset of the next one.
    std::size_t read(std::size_t at, Node& node, std::vector<Attr>& attrs) const;
    // The length of the text of that kind being joined (0 when there is none).
    std::size_t openTextLength(Kind kind) const
    {
        return myTextOpen && myTextKind == kind ? myTextLength : 0;
    }

    bool textOpen() const { return myTextOpen; }
    // Whether a text of that kind would join the one open.
    bool joinsText(Kind kind) const { return myTextOpen && myTextKind == kind; }
    std::size_t size() const { return myBytes.size(); }
    std::size_t tokens() const { return myTokens; }
    bool empty() const { return myBytes.empty(); }
    void clear();
    // Drops the tokens before offset at (already read), keeping the names.
    void dropBefore(std::size_t at);
    void reserve(std::size_t bytes) { myBytes.reserve(bytes); }
    // The buffer the tokens are written to, traded for another (emptied first), so that one
    // buffer serves stretch after stretch.
    using Storage = std::vector<char, XmlPageAllocator<char>>;
    void swapStorage(Storage& other)
    {
        other.clear();
        myBytes.swap(other);
    }

private:
    void put(void const* data, std::size_t length);
    template <class T> void putValue(T value) { put(&value, sizeof value); }

    Storage myBytes;
    std::vector<char> myNames;
    std::vector<uint32_t> myNameAt;
    std::size_t myTokens = 0;
    // The count of the start being written.
    std::size_t myStartAt = 0;
    // The text still being joined: where its token starts, its length, whether all blank.
    bool myTextOpen = false;
    Kind myTextKind = Text;
    // The text open is an indentation, written short already.
    bool myIndentOpen = false;
    std::size_t myTextAt = 0;
    std::size_t myTextLength = 0;
    bool myTextBlank = false;
};
