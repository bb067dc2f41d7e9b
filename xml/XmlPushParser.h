#pragma once

#include "XmlTokens.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct _xmlParserCtxt;
struct _xmlSAXHandler;

// One libxml2 push parse into tokens: what the parser's tree builder would have made of the
// document (elements, their attributes with namespace declarations first, whole texts, comments,
// processing instructions, a document type), without building a tree. The parser's options are
// the reader's: no entity substitution, no network, no lifting of its limits.
//
// A parse may begin inside a document: after the declaration and the start tags of the elements
// open at that point (the prefix), whose own starts are kept apart. Tokens after the first thing
// the parser found wrong are not to be delivered: errorAt() says where they begin.
class XmlPushParser
{
public:
    // silent: the parser's own error lines are not printed (a parse of a stretch, whose lines
    // would not be the file's).
    explicit XmlPushParser(bool silent);
    ~XmlPushParser();
    XmlPushParser(XmlPushParser const&) = delete;
    XmlPushParser& operator=(XmlPushParser const&) = delete;

    // Starts the parse with the first bytes of the input; the first prefixStarts element starts
    // are the prefix's.
    bool begin(char const* path, int prefixStarts, char const* first, std::size_t length);
    // Feeds bytes; terminate at the end of the input. False once the parse went wrong.
    bool feed(char const* data, std::size_t length, bool terminate);
    // Closes the elements open now with end tags of their names and ends the parse: the parse
    // of a stretch that the next one continues. Their state first goes to openAtEnd().
    bool closeOpen();

    // Whether the parser could be made at all (begin).
    bool started() const { return myCtxt != nullptr; }
    XmlTokens& tokens() { return myTokens; }
    // The count of tokens before the first fault (all of them when there was none).
    std::size_t errorAt() const { return myErrorAt; }
    bool failed() const { return myErrorAt != NoError; }
    // The count of tokens before the root element's start (NoError before it is read).
    std::size_t rootAt() const { return myRootAt; }
    // The line the input continues on (after a prefix, the line of the file it continues).
    void setLine(long line);
    // The elements open before the parse (the prefix's) and when it ended, outermost first, each
    // as one text holding its name and its attributes: equal texts, equal elements.
    std::vector<std::string> const& prefixOpen() const { return myPrefixOpen; }
    std::vector<std::string> const& openAtEnd() const { return myOpenAtEnd; }

    static constexpr std::size_t NoError = static_cast<std::size_t>(-1);

private:
    struct NameKey
    {
        void const* local;
        void const* prefix;
        uint32_t id;
    };

    static void onStart(void* self, unsigned char const* localname, unsigned char const* prefix,
                        unsigned char const* uri, int nbNamespaces,
                        unsigned char const** namespaces, int nbAttributes, int nbDefaulted,
                        unsigned char const** attributes);
    static void onEnd(void* self, unsigned char const* localname, unsigned char const* prefix,
                      unsigned char const* uri);
    static void onCharacters(void* self, unsigned char const* text, int length);
    static void onCData(void* self, unsigned char const* text, int length);
    static void onComment(void* self, unsigned char const* text);
    static void onPi(void* self, unsigned char const* target, unsigned char const* data);
    static void onInternalSubset(void* self, unsigned char const* name,
                                 unsigned char const* externalId, unsigned char const* systemId);

    static XmlPushParser* of(void* ctx);
    // Notes a fault the parser raised since the last token; false when tokens are no longer
    // wanted.
    bool noteFault();
    void faultHere();
    void stop();
    uint32_t name(XmlTokens& out, void const* local, void const* prefix, char const* xmlnsOr);
    std::string canonical(XmlTokens const& from, std::size_t at) const;
    void text(XmlTokens::Kind kind, char const* text, std::size_t length);

    _xmlSAXHandler* mySax;
    _xmlParserCtxt* myCtxt = nullptr;
    XmlTokens myTokens;
    XmlTokens myPrefixTokens;
    int myPrefixLeft = 0;
    // Open elements: a token offset in myTokens, or -1 - i for the i-th element of the prefix.
    std::vector<long long> myOpen;
    int myDepth = 0;
    bool myNextEndDropped = false;
    std::size_t myRootAt = NoError;
    bool myStopped = false;
    std::size_t myErrorAt = NoError;
    std::vector<std::string> myPrefixOpen;
    std::vector<std::string> myOpenAtEnd;
    std::vector<NameKey> myNameCache;
    std::size_t myNamesCached = 0;
    std::string myScratch;
    std::vector<XmlTokens::Attr> myAttrs;
};
