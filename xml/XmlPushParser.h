#pragma once

#include "XmlFaults.h"
#include "XmlTokens.h"

#include <cstddef>
#include <cstdint>
#include <exception>
#include <new>
#include <string>
#include <string_view>
#include <vector>

struct _xmlParserCtxt;
struct _xmlSAXHandler;
struct _xmlError;

// One libxml2 push parse into tokens: what the parser's tree builder would have made of the
// document (elements, their attributes with namespace declarations first, whole texts, comments,
// processing instructions, a document type), without building a tree. The parser's options are
// the reader's: no entity substitution, no network, no lifting of its limits.
//
// A parse may begin inside a document, after a prefix: the declaration, then the start tags of
// the elements open at that point (or an empty root element once the root has ended), then a
// mark and the line break and blanks that lead to the point. The prefix gives no token: a node it
// would give (text after a start tag that was taken too long, say) is a fault of the prefix, as
// is a start tag more or less than it announced. Tokens after the first thing the parser found
// wrong are not to be delivered: errorAt() says where they begin.
class XmlPushParser
{
public:
    // silent: the parser's own error lines are not printed (a parse of a stretch, whose lines
    // would not be the file's); a diagnostic it raises is noted instead (diagnosed()).
    explicit XmlPushParser(bool silent);
    ~XmlPushParser();
    XmlPushParser(XmlPushParser const&) = delete;
    XmlPushParser& operator=(XmlPushParser const&) = delete;

    // Ends a prefix: the mark, a line break and lead, the blanks before the point on its line.
    static void endPrefix(std::string& prefix, std::string_view lead);

    // Starts the parse with the first bytes of a document.
    bool begin(char const* path, char const* first, std::size_t length);
    // Starts the parse inside a document with its prefix (see endPrefix), which opens opens
    // elements, or holds an empty root element when afterRoot. The prefix's own diagnostics are
    // not printed: they were the document's where its start tags stood.
    bool beginInside(char const* path, std::string const& prefix, int opens, bool afterRoot);
    // Feeds bytes; terminate at the end of the input. False once the parse went wrong.
    bool feed(char const* data, std::size_t length, bool terminate);
    // Closes the elements open now with end tags of their names and ends the parse: the parse
    // of a stretch that the next one continues. Their state first goes to openAtEnd().
    bool closeOpen();
    // The last token before the closing is a text (of any kind): one that only the start of the
    // next stretch ends, as one parse sees it.
    bool endsInText() const { return myEndsInText; }

    // Whether the parser could be made at all (begin).
    bool started() const { return myCtxt != nullptr; }
    // The prefix did not give what it announced: nothing was delivered, the guess was wrong.
    bool prefixRefused() const { return myPrefixRefused; }
    // A silent parse raised a diagnostic (a warning, a namespace error) after its prefix, which
    // one parse would have printed.
    bool diagnosed() const { return myDiagnosed; }
    // The root element has ended (the elements open at the end are none).
    bool rootEnded() const { return myRootEnded; }
    // Tokens from here on come from input fed after this call: tokensBefore() then counts those
    // that came from input before, once the next markup has been read (or the parse ended). The
    // input fed next must begin with markup.
    void markBoundary();
    bool boundaryKnown() const { return myBoundary == Boundary::Known; }
    std::size_t tokensBefore() const { return myTokensBefore; }
    XmlTokens& tokens() { return myTokens; }
    // The count of tokens before the first fault (all of them when there was none).
    std::size_t errorAt() const { return myErrorAt; }
    bool failed() const { return myErrorAt != NoError; }
    // What a callback threw (a token buffer that could not grow, say), or null. The exception
    // stopped the parse where libxml2 had called us; the tokens are then not to be read at all.
    std::exception_ptr const& thrown() const { return myThrown; }
    // The count of tokens before the root element's start (NoError before it is read).
    std::size_t rootAt() const { return myRootAt; }
    // What the parser found wrong, as "line N: its message" (see XmlFaults).
    XmlFaults const& faults() const { return myFaults; }
    // The line the input continues on (after a prefix, the line of the file it continues).
    void setLine(long line);
    // The elements open before the parse (the prefix's) and when it ended, outermost first, each
    // as one text holding its name and its attributes: equal texts, equal elements.
    std::vector<std::string> const& prefixOpen() const { return myPrefixOpen; }
    std::vector<std::string> const& openAtEnd() const { return myOpenAtEnd; }

    // For tests: the first start tag once after tokens are written (the prefix's start tags
    // among them) throws std::bad_alloc, as a callback whose token buffer cannot grow does.
    void failIn(std::size_t after) { myFailAfter = after; }

    static constexpr std::size_t NoError = static_cast<std::size_t>(-1);

private:
    struct NameKey
    {
        void const* local;
        void const* prefix;
        uint32_t id;
    };

    // libxml2's callbacks: each runs its body through guarded(), so that nothing is thrown
    // through the parser.
    static void onStart(void* self, unsigned char const* localname, unsigned char const* prefix,
                        unsigned char const* uri, int nbNamespaces,
                        unsigned char const** namespaces, int nbAttributes, int nbDefaulted,
                        unsigned char const** attributes) noexcept;
    static void onEnd(void* self, unsigned char const* localname, unsigned char const* prefix,
                      unsigned char const* uri) noexcept;
    static void onCharacters(void* self, unsigned char const* text, int length) noexcept;
    static void onCData(void* self, unsigned char const* text, int length) noexcept;
    static void onComment(void* self, unsigned char const* text) noexcept;
    static void onPi(void* self, unsigned char const* target, unsigned char const* data) noexcept;
    static void onInternalSubset(void* self, unsigned char const* name,
                                 unsigned char const* externalId,
                                 unsigned char const* systemId) noexcept;

    static void onDiagnostic(void* self, _xmlError* error) noexcept;
    // The error handler of a parse that prints: notes the error, then prints it as libxml2 does.
    static void onError(void* self, char const* format, ...) noexcept;

    // Runs body with the parser of the context (none for an entity's context); what it throws
    // stops the parse and is kept for thrown().
    template <class Body> static void guarded(void* ctx, Body const& body) noexcept;

    bool create(char const* path, char const* first, std::size_t length);

    static XmlPushParser* of(void* ctx);
    // A token of the kind given arrives: false when it belongs to the prefix and is dropped.
    bool pastPrefix(bool isText)
    {
        return (myPhase == Phase::Content && myBoundary == Boundary::None) ||
               pastPrefixOrBoundary(isText);
    }
    bool pastPrefixOrBoundary(bool isText);
    void refusePrefix();
    // Notes a fault the parser raised since the last token; false when tokens are no longer
    // wanted.
    bool noteFault();
    void faultHere();
    void stop();
    // The test hook of failIn.
    void failPoint() const
    {
        if (myTokens.tokens() >= myFailAfter)
            throw std::bad_alloc();
    }
    uint32_t name(XmlTokens& out, void const* local, void const* prefix, char const* xmlnsOr);
    std::string canonical(XmlTokens const& from, std::size_t at) const;
    void text(XmlTokens::Kind kind, char const* text, std::size_t length);

    // Where the parse stands with respect to its prefix: Prefix up to the mark, Lead from the mark
    // to the first markup of the point (text there is the prefix's line break and blanks).
    enum class Phase
    {
        Content,
        Prefix,
        Lead
    };
    enum class Boundary
    {
        None,
        Pending,
        Known
    };

    _xmlSAXHandler* mySax;
    _xmlParserCtxt* myCtxt = nullptr;
    bool mySilent;
    XmlTokens myTokens;
    XmlTokens myPrefixTokens;
    Phase myPhase = Phase::Content;
    int myPrefixOpens = 0;
    bool myPrefixAfterRoot = false;
    bool myPrefixRefused = false;
    bool myDiagnosed = false;
    bool myRootEnded = false;
    bool myEndsInText = false;
    // End tags of the suffix that closeOpen added, still to come.
    int mySuffixLeft = 0;
    Boundary myBoundary = Boundary::None;
    std::size_t myTokensBefore = 0;
    // Open elements: a token offset in myTokens, or -1 - i for the i-th element of the prefix.
    std::vector<long long> myOpen;
    int myDepth = 0;
    bool myNextEndDropped = false;
    std::size_t myRootAt = NoError;
    bool myStopped = false;
    std::size_t myErrorAt = NoError;
    std::exception_ptr myThrown;
    std::vector<std::string> myPrefixOpen;
    XmlFaults myFaults;
    std::vector<std::string> myOpenAtEnd;
    std::vector<NameKey> myNameCache;
    std::size_t myNamesCached = 0;
    std::string myScratch;
    std::vector<XmlTokens::Attr> myAttrs;
    // NoError: failIn not asked for.
    std::size_t myFailAfter = NoError;
};
